// Uploads: the request JSON, copying each local file into the store, and registering one
// new revision per file in every target workspace.
package service

import (
	"bytes"
	"encoding/json"
	"fmt"
	"io"
	"os"
	"path"
	"path/filepath"
	"sort"
	"strconv"
	"strings"
)

type uploadFile struct {
	LocalFilePath    string `json:"local_file_path"`
	Filename         string `json:"filename"`
	SourceFilePath   string `json:"source_file_path"`
	SourceFileID     string `json:"source_file_id"`
	SourceRevisionID string `json:"source_revision_id"`
	SourceFolderID   string `json:"source_folder_id"`
	SourceVersionID  string `json:"source_version_id"`
}

type uploadRequest struct {
	Workspaces       map[string]json.Number `json:"workspaces"`
	UploadOption     string                 `json:"upload_option"`
	ParentFile       string                 `json:"parent_file"`
	SourceRevisionID string                 `json:"source_revision_id"`
	Files            []uploadFile           `json:"files"`
}

type uploadTarget struct{ workspace, directory int64 }

// uploadPlan is a checked request: every target exists and the token is good.
type uploadPlan struct {
	req     uploadRequest
	targets []uploadTarget
}

// stagedFile is one file after it was copied into the store's staging area.
type stagedFile struct {
	request uploadFile
	name    string
	path    string
	size    int64
	failure string
}

// planUpload checks the token and the request; a refused request changes nothing.
func (s *Service) planUpload(token, text string) (*uploadPlan, string) {
	c, failure := s.catalog()
	if failure != "" {
		return nil, failure
	}
	p := &uploadPlan{}
	dec := json.NewDecoder(bytes.NewReader([]byte(text)))
	dec.UseNumber()
	var raw interface{}
	if err := json.Unmarshal([]byte(text), &raw); err != nil {
		return nil, badRequest("The upload request is not valid JSON: " + err.Error())
	}
	if _, ok := raw.(map[string]interface{}); !ok {
		return nil, badRequest("The upload request is not a JSON object.")
	}
	if err := dec.Decode(&p.req); err != nil {
		return nil, badRequest("The upload request is malformed: " + err.Error())
	}
	switch p.req.UploadOption {
	case "", "individual", "assembly":
	default:
		return nil, badRequest(fmt.Sprintf("Unknown upload option %q.", p.req.UploadOption))
	}
	if len(p.req.Workspaces) == 0 {
		return nil, badRequest("The upload request names no workspace.")
	}
	if len(p.req.Files) == 0 {
		return nil, badRequest("The upload request holds no files.")
	}
	for key, value := range p.req.Workspaces {
		ws, err1 := strconv.ParseInt(key, 10, 64)
		dir, err2 := value.Int64()
		if err1 != nil || err2 != nil {
			return nil, badRequest(fmt.Sprintf("Workspace entry %q: %q is not a pair of ids.", key,
				value.String()))
		}
		p.targets = append(p.targets, uploadTarget{ws, dir})
	}
	sort.Slice(p.targets, func(i, j int) bool { return p.targets[i].workspace < p.targets[j].workspace })
	err := s.store.read(func(st *state) error {
		if _, denied := s.checkToken(st, token); denied != "" {
			return serviceError(denied)
		}
		for _, t := range p.targets {
			if c.workspace(t.workspace) == nil {
				return serviceError(workspaceNotFound(t.workspace))
			}
			if findDirectory(c, st, t.workspace, t.directory) == nil {
				return serviceError(notFound(fmt.Sprintf("Directory %d was not found in workspace %d.",
					t.directory, t.workspace)))
			}
		}
		return nil
	})
	if err != nil {
		return nil, asText(err)
	}
	return p, ""
}

// storedName is the file name kept in the store: the last component only, so that no name
// can reach outside the store.
func storedName(f uploadFile) string {
	name := f.Filename
	if name == "" {
		name = f.LocalFilePath
	}
	name = path.Base(strings.ReplaceAll(name, "\\", "/"))
	if name == "." || name == ".." || name == "/" {
		return ""
	}
	return name
}

// stage copies one local file into dir; a failure is an item of the upload's error list.
func stage(dir string, f uploadFile) stagedFile {
	sf := stagedFile{request: f, name: storedName(f)}
	if f.LocalFilePath == "" {
		sf.failure = "missing local_file_path for " + f.Filename
		if f.Filename == "" {
			sf.failure = "missing local_file_path"
		}
		return sf
	}
	if sf.name == "" {
		sf.failure = "invalid file name for " + f.LocalFilePath
		return sf
	}
	info, err := os.Stat(f.LocalFilePath)
	if err != nil || !info.Mode().IsRegular() {
		sf.failure = "file not found: " + f.LocalFilePath
		return sf
	}
	src, err := os.Open(f.LocalFilePath)
	if err != nil {
		sf.failure = "file not readable: " + f.LocalFilePath
		return sf
	}
	defer src.Close()
	if err := os.MkdirAll(dir, 0o755); err != nil {
		sf.failure = "failed to store " + sf.name
		return sf
	}
	dst, err := os.CreateTemp(dir, "part-*")
	if err != nil {
		sf.failure = "failed to store " + sf.name
		return sf
	}
	n, err := io.Copy(dst, src)
	if cerr := dst.Close(); err == nil {
		err = cerr
	}
	if err != nil {
		os.Remove(dst.Name())
		sf.failure = "failed to read " + f.LocalFilePath
		return sf
	}
	sf.path, sf.size = dst.Name(), n
	return sf
}

func (s *Service) newStagingDir() string {
	return filepath.Join(s.store.stagingDir(), randomHex(8))
}

// register records a revision for every staged file in every target, moving the files into
// place; it answers the links and any further error items.
func (s *Service) register(p *uploadPlan, files []stagedFile) ([]map[string]string, []string) {
	var ok []stagedFile
	for _, f := range files {
		if f.failure == "" {
			ok = append(ok, f)
		}
	}
	if len(ok) == 0 {
		return nil, nil
	}
	base, failure := s.models.base()
	if failure != "" {
		return nil, []string{failure}
	}
	parent := 0
	if p.req.UploadOption == "assembly" || (p.req.UploadOption == "" && len(p.req.Files) > 1) {
		for i, f := range ok {
			if f.name == p.req.ParentFile {
				parent = i
			}
		}
	} else {
		parent = -1
	}
	var entries []map[string]string
	var items []string
	err := s.store.update(func(st *state) error {
		now := timestamp(s.now())
		for ti, t := range p.targets {
			last := ti == len(p.targets)-1
			revs := make([]*revision, len(ok))
			assets := make([]*asset, len(ok))
			for i, f := range ok {
				a := findAsset(st, t.workspace, f.request.SourceFileID, f.name)
				if a == nil {
					a = &asset{ID: st.NextAssetID, WorkspaceID: t.workspace,
						SourceFileID: f.request.SourceFileID, Name: f.name}
					st.NextAssetID++
					st.Assets = append(st.Assets, a)
				}
				number := int64(len(a.Revisions) + 1)
				dir := filepath.Join(s.store.filesDir(), fmt.Sprintf("ws-%d", t.workspace),
					fmt.Sprintf("asset-%d", a.ID), fmt.Sprintf("rev-%d", number))
				stored := filepath.Join(dir, f.name)
				if err := placeFile(f.path, dir, stored, last); err != nil {
					items = append(items, "failed to store "+f.name)
					continue
				}
				rev := &revision{Number: number, LinkID: st.NextLinkID, DirectoryID: t.directory,
					Filename: f.name, StoredPath: stored, Size: f.size,
					SourceFilePath: f.request.SourceFilePath, SourceRevisionID: f.request.SourceRevisionID,
					SourceVersionID: f.request.SourceVersionID, SourceFolderID: f.request.SourceFolderID,
					UploadOption: p.req.UploadOption, ParentFile: p.req.ParentFile, CreatedTime: now}
				if rev.SourceRevisionID == "" {
					rev.SourceRevisionID = p.req.SourceRevisionID
				}
				st.NextLinkID++
				a.Revisions = append(a.Revisions, rev)
				revs[i], assets[i] = rev, a
				entries = append(entries, map[string]string{f.name: modelLink(base, a.ID, number)})
			}
			if parent >= 0 && revs[parent] != nil {
				for _, rev := range revs {
					if rev != nil {
						rev.BOMAssetID = assets[parent].ID
						rev.BOMRevisionID = strconv.FormatInt(revs[parent].Number, 10)
					}
				}
			}
		}
		return nil
	})
	if err != nil {
		return nil, []string{asText(err)}
	}
	return entries, items
}

// placeFile moves the staged copy into the store for the last target and copies it for the
// others.
func placeFile(staged, dir, stored string, move bool) error {
	if err := os.MkdirAll(dir, 0o755); err != nil {
		return err
	}
	if move {
		return os.Rename(staged, stored)
	}
	src, err := os.Open(staged)
	if err != nil {
		return err
	}
	defer src.Close()
	dst, err := os.Create(stored)
	if err != nil {
		return err
	}
	if _, err := io.Copy(dst, src); err != nil {
		dst.Close()
		os.Remove(stored)
		return err
	}
	return dst.Close()
}

func findAsset(st *state, workspace int64, sourceFileID, name string) *asset {
	for _, a := range st.Assets {
		if a.WorkspaceID != workspace {
			continue
		}
		if sourceFileID != "" && a.SourceFileID == sourceFileID {
			return a
		}
		if sourceFileID == "" && a.SourceFileID == "" && a.Name == name {
			return a
		}
	}
	return nil
}

const registrationSkipped = "registration skipped because not all files were uploaded"

// Upload sends every file at once and answers [{file name: link}] with the failed files as a
// comma-separated error text; the files that could be read are uploaded all the same.
func (s *Service) Upload(token, text string) (string, string) {
	p, failure := s.planUpload(token, text)
	if failure != "" {
		return "", failure
	}
	dir := s.newStagingDir()
	defer os.RemoveAll(dir)
	var staged []stagedFile
	var items []string
	for _, f := range p.req.Files {
		sf := stage(dir, f)
		if sf.failure != "" {
			items = append(items, sf.failure)
		}
		staged = append(staged, sf)
	}
	var entries []map[string]string
	if len(items) > 0 && s.Settings().RegisterOnlyIfAll {
		items = append(items, registrationSkipped)
	} else {
		var more []string
		entries, more = s.register(p, staged)
		items = append(items, more...)
	}
	payload := ""
	if len(entries) > 0 {
		data, _ := json.Marshal(entries)
		payload = string(data)
	}
	s.log.write(levelInfo, "Upload of %d file(s): %d link(s), %d error(s)", len(p.req.Files),
		len(entries), len(items))
	return payload, strings.Join(items, ", ")
}
