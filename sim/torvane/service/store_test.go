// The store shared by several library instances (processes) and several threads.
package service

import (
	"os"
	"path/filepath"
	"sync"
	"testing"
	"time"
)

func TestTwoInstancesOnOneStoreLoseNoUpdate(t *testing.T) {
	first, env := newTestService(t)
	second := New(first.Home(), env.get)
	var mu sync.Mutex
	var tokens []string
	var wg sync.WaitGroup
	for _, s := range []*Service{first, second} {
		for i := 0; i < 10; i++ {
			wg.Add(1)
			go func(s *Service) {
				defer wg.Done()
				payload, errText := s.issueTokens()
				if errText != "" {
					t.Error(errText)
					return
				}
				var answer tokenAnswer
				mustUnmarshal(t, payload, &answer)
				mu.Lock()
				tokens = append(tokens, answer.AccessToken)
				mu.Unlock()
			}(s)
		}
	}
	wg.Wait()
	if len(tokens) != 20 {
		t.Fatalf("%d tokens", len(tokens))
	}
	for _, tok := range tokens {
		if _, errText := first.GetCurrentUser(tok); errText != "" {
			t.Errorf("token lost: %s", errText)
		}
	}
	if _, err := os.Stat(filepath.Join(first.Home(), "state.lock")); !os.IsNotExist(err) {
		t.Error("lock file left behind")
	}
}

func TestConcurrentUploadsOfOneFileGetDistinctRevisions(t *testing.T) {
	s, _ := newTestService(t)
	tok := signIn(t, s).AccessToken
	file := writeFile(t, t.TempDir(), "same.prt", "x")
	var wg sync.WaitGroup
	for i := 0; i < 8; i++ {
		wg.Add(1)
		go func() {
			defer wg.Done()
			if _, errText := s.Upload(tok, uploadPayload(101, 1001, "",
				uploadFile{LocalFilePath: file, SourceFileID: "SAME"})); errText != "" {
				t.Error(errText)
			}
		}()
	}
	wg.Wait()
	all, _ := s.FindRevision(tok, RevisionQuery{SourceFileID: "SAME", WorkspaceID: 101})
	var results []revisionAnswer
	mustUnmarshal(t, all, &results)
	seen := map[int64]bool{}
	for _, r := range results {
		seen[r.RevisionID] = true
	}
	if len(results) != 8 || len(seen) != 8 {
		t.Errorf("revisions %s", all)
	}
}

func TestAStaleLockIsTakenOver(t *testing.T) {
	s, _ := newTestService(t)
	os.MkdirAll(s.Home(), 0o755)
	lock := filepath.Join(s.Home(), "state.lock")
	os.WriteFile(lock, []byte("999999"), 0o644)
	old := time.Now().Add(-time.Minute)
	os.Chtimes(lock, old, old)
	start := time.Now()
	if _, errText := s.issueTokens(); errText != "" {
		t.Fatal(errText)
	}
	if time.Since(start) > 2*time.Second {
		t.Errorf("took %v", time.Since(start))
	}
}

func TestADamagedStateFileIsReported(t *testing.T) {
	s, _ := newTestService(t)
	os.MkdirAll(s.Home(), 0o755)
	os.WriteFile(filepath.Join(s.Home(), "state.json"), []byte("{"), 0o644)
	_, errText := s.GetAllWorkspaces("at_x", "")
	expectContains(t, errText, "torvane-sim store failure", "damaged")
}
