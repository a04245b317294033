// The store: the service's persistent state, a JSON file and the received files in one
// directory, so that it outlives a process.
package service

import (
	"encoding/json"
	"fmt"
	"os"
	"path/filepath"
	"sync"
	"time"
)

type tokenRecord struct {
	Session   string    `json:"session"`
	UserID    int64     `json:"user_id"`
	ExpiresAt time.Time `json:"expires_at"`
	Revoked   bool      `json:"revoked"`
}

type refreshRecord struct {
	Session string `json:"session"`
	UserID  int64  `json:"user_id"`
	Revoked bool   `json:"revoked"`
}

type revision struct {
	Number           int64  `json:"number"`
	LinkID           int64  `json:"link_id"`
	DirectoryID      int64  `json:"directory_id"`
	Filename         string `json:"filename"`
	StoredPath       string `json:"stored_path"`
	Size             int64  `json:"size"`
	SourceFilePath   string `json:"source_file_path,omitempty"`
	SourceRevisionID string `json:"source_revision_id,omitempty"`
	SourceVersionID  string `json:"source_version_id,omitempty"`
	SourceFolderID   string `json:"source_folder_id,omitempty"`
	UploadOption     string `json:"upload_option,omitempty"`
	ParentFile       string `json:"parent_file,omitempty"`
	BOMAssetID       int64  `json:"bom_asset_id,omitempty"`
	BOMRevisionID    string `json:"bom_revision_id,omitempty"`
	CreatedTime      string `json:"created_time"`
}

type asset struct {
	ID           int64       `json:"id"`
	WorkspaceID  int64       `json:"workspace_id"`
	SourceFileID string      `json:"source_file_id,omitempty"`
	Name         string      `json:"name"`
	Revisions    []*revision `json:"revisions"`
}

func (a *asset) latest() *revision {
	if len(a.Revisions) == 0 {
		return nil
	}
	return a.Revisions[len(a.Revisions)-1]
}

type state struct {
	NextAssetID     int64                     `json:"next_asset_id"`
	NextDirectoryID int64                     `json:"next_directory_id"`
	NextLinkID      int64                     `json:"next_link_id"`
	CurrentSession  string                    `json:"current_session"`
	Tokens          map[string]*tokenRecord   `json:"tokens"`
	RefreshTokens   map[string]*refreshRecord `json:"refresh_tokens"`
	Directories     []Directory               `json:"directories"`
	Assets          []*asset                  `json:"assets"`
	ModelServerPort int                       `json:"model_server_port"`
}

// store guards the state file; every operation reads it afresh so that a second process
// that ran in between is seen.
type store struct {
	home string
	mu   sync.Mutex
}

func (s *store) statePath() string { return filepath.Join(s.home, "state.json") }

func (s *store) filesDir() string { return filepath.Join(s.home, "files") }

func (s *store) stagingDir() string { return filepath.Join(s.home, "staging") }

func (s *store) load() (*state, error) {
	st := &state{}
	data, err := os.ReadFile(s.statePath())
	if err == nil {
		if err := json.Unmarshal(data, st); err != nil {
			return nil, fmt.Errorf("store %s is damaged: %v", s.statePath(), err)
		}
	} else if !os.IsNotExist(err) {
		return nil, err
	}
	if st.Tokens == nil {
		st.Tokens = map[string]*tokenRecord{}
	}
	if st.RefreshTokens == nil {
		st.RefreshTokens = map[string]*refreshRecord{}
	}
	if st.NextAssetID == 0 {
		st.NextAssetID = 5001
	}
	if st.NextLinkID == 0 {
		st.NextLinkID = 9001
	}
	return st, nil
}

// save replaces the state file in one rename, so a reader never sees half of it.
func (s *store) save(st *state) error {
	if err := os.MkdirAll(s.home, 0o755); err != nil {
		return err
	}
	data, err := json.MarshalIndent(st, "", "  ")
	if err != nil {
		return err
	}
	f, err := os.CreateTemp(s.home, "state-*.tmp")
	if err != nil {
		return err
	}
	tmp := f.Name()
	_, err = f.Write(data)
	if cerr := f.Close(); err == nil {
		err = cerr
	}
	if err != nil {
		os.Remove(tmp)
		return err
	}
	if err := os.Rename(tmp, s.statePath()); err != nil {
		os.Remove(tmp)
		return err
	}
	return nil
}

// lockFile keeps other processes that share the store out while this one reads and writes
// the state: a file created exclusively, taken over when its holder left it behind.
func (s *store) lockFile() func() {
	path := filepath.Join(s.home, "state.lock")
	os.MkdirAll(s.home, 0o755)
	deadline := time.Now().Add(10 * time.Second)
	for {
		f, err := os.OpenFile(path, os.O_CREATE|os.O_EXCL|os.O_WRONLY, 0o644)
		if err == nil {
			fmt.Fprintf(f, "%d", os.Getpid())
			f.Close()
			return func() { os.Remove(path) }
		}
		if info, statErr := os.Stat(path); statErr == nil &&
			time.Since(info.ModTime()) > staleLockAge {
			os.Remove(path)
			continue
		}
		if time.Now().After(deadline) {
			// Better a lost update than a library that hangs its host.
			return func() {}
		}
		time.Sleep(2 * time.Millisecond)
	}
}

const staleLockAge = 5 * time.Second

// read runs fn on a fresh copy of the state without writing it back.
func (s *store) read(fn func(st *state) error) error {
	s.mu.Lock()
	defer s.mu.Unlock()
	defer s.lockFile()()
	st, err := s.load()
	if err != nil {
		return err
	}
	return fn(st)
}

// update runs fn on the state and writes it back when fn succeeds.
func (s *store) update(fn func(st *state) error) error {
	s.mu.Lock()
	defer s.mu.Unlock()
	defer s.lockFile()()
	st, err := s.load()
	if err != nil {
		return err
	}
	if err := fn(st); err != nil {
		return err
	}
	return s.save(st)
}

// serviceError carries a service error text (already formatted for the caller) through the
// store's error return.
type serviceError string

func (e serviceError) Error() string { return string(e) }

func asText(err error) string {
	if err == nil {
		return ""
	}
	if t, ok := err.(serviceError); ok {
		return string(t)
	}
	return "torvane-sim store failure: " + err.Error()
}
