// Uploads and revision lookup: files copied into the store, one revision per upload,
// links, error items and the not-found answer.
package service

import (
	"encoding/json"
	"fmt"
	"os"
	"path/filepath"
	"strings"
	"testing"
)

func uploadPayload(workspace, dir int64, option string, files ...uploadFile) string {
	req := map[string]interface{}{"workspaces": map[string]int64{fmt.Sprint(workspace): dir},
		"files": files}
	if option != "" {
		req["upload_option"] = option
	}
	data, _ := json.Marshal(req)
	return string(data)
}

func links(t *testing.T, payload string) map[string]string {
	t.Helper()
	var list []map[string]string
	mustUnmarshal(t, payload, &list)
	out := map[string]string{}
	for _, m := range list {
		for k, v := range m {
			out[k] = v
		}
	}
	return out
}

func TestUploadStoresFilesAndRecordsRevisions(t *testing.T) {
	s, env := newTestService(t)
	tok := signIn(t, s).AccessToken
	dir := t.TempDir()
	body := writeFile(t, dir, "bracket.prt", "bracket v1")
	sheet := writeFile(t, dir, "bracket_dwg.pdf", "%PDF drawing")

	_, errText := s.FindRevision(tok, RevisionQuery{SourceFileID: "SF-1", SourceVersionID: "1",
		SourceRevisionID: "A", WorkspaceID: 101, LatestOnly: true})
	expectContains(t, errText, "received non-200 status code: 404", revisionNotFoundMessage)

	payload, errText := s.Upload(tok, uploadPayload(101, 1001, "",
		uploadFile{LocalFilePath: body, Filename: "bracket.prt", SourceFileID: "SF-1",
			SourceRevisionID: "A", SourceVersionID: "1"},
		uploadFile{LocalFilePath: sheet, SourceFileID: "SF-2", SourceRevisionID: "A"}))
	if errText != "" {
		t.Fatalf("upload error %q", errText)
	}
	got := links(t, payload)
	if len(got) != 2 || !strings.HasPrefix(got["bracket.prt"], "http://127.0.0.1:") ||
		!strings.Contains(got["bracket.prt"], "/models/") ||
		!strings.HasSuffix(got["bracket.prt"], "?revisionId=1") || got["bracket_dwg.pdf"] == "" {
		t.Fatalf("links %v", got)
	}
	stored, _ := filepath.Glob(filepath.Join(s.Home(), "files", "ws-101", "*", "rev-1", "*"))
	if len(stored) != 2 {
		t.Fatalf("stored files %v", stored)
	}
	for _, p := range stored {
		data, _ := os.ReadFile(p)
		if filepath.Base(p) == "bracket.prt" && string(data) != "bracket v1" {
			t.Errorf("stored content %q", data)
		}
	}
	if code, page := httpGet(t, got["bracket.prt"]); code != 200 || !strings.Contains(page, "bracket.prt") {
		t.Errorf("model page %d %s", code, page)
	}
	if leftovers, _ := os.ReadDir(filepath.Join(s.Home(), "staging")); len(leftovers) != 0 {
		t.Errorf("staging not cleaned: %v", leftovers)
	}

	found, errText := s.FindRevision(tok, RevisionQuery{SourceFileID: "SF-1", SourceVersionID: "1",
		SourceRevisionID: "A", WorkspaceID: 101, LatestOnly: true})
	var results []map[string]interface{}
	mustUnmarshal(t, found, &results)
	if errText != "" || len(results) != 1 || results[0]["workspace_id"].(float64) != 101 ||
		results[0]["source_revision_id"] != "A" || results[0]["directory_id"].(float64) != 1001 ||
		results[0]["link"] != got["bracket.prt"] {
		t.Fatalf("find revision %s %q", found, errText)
	}
	// The assembly's parent is the first file; members point at it.
	if results[0]["bom_asset_id"] != results[0]["asset_id"] {
		t.Errorf("bom asset %v", results[0])
	}
	_, errText = s.FindRevision(tok, RevisionQuery{SourceFileID: "SF-1", SourceRevisionID: "A",
		WorkspaceID: 102, LatestOnly: true})
	expectContains(t, errText, revisionNotFoundMessage)

	// A second upload of a newer revision: the old one is no longer the latest.
	writeFile(t, dir, "bracket.prt", "bracket v2")
	payload, _ = New(s.Home(), env.get).Upload(tok, uploadPayload(101, 1001, "individual",
		uploadFile{LocalFilePath: body, SourceFileID: "SF-1", SourceRevisionID: "B"}))
	if !strings.HasSuffix(links(t, payload)["bracket.prt"], "?revisionId=2") {
		t.Errorf("second revision link %s", payload)
	}
	_, errText = s.FindRevision(tok, RevisionQuery{SourceFileID: "SF-1", SourceRevisionID: "A",
		WorkspaceID: 101, LatestOnly: true})
	expectContains(t, errText, revisionNotFoundMessage)
	all, _ := s.FindRevision(tok, RevisionQuery{SourceFileID: "SF-1", WorkspaceID: 101})
	mustUnmarshal(t, all, &results)
	if len(results) != 2 || results[0]["source_revision_id"] != "B" {
		t.Errorf("all revisions, newest first: %s", all)
	}
}

func TestUploadReportsMissingFilesAndUploadsTheRest(t *testing.T) {
	s, _ := newTestService(t)
	tok := signIn(t, s).AccessToken
	dir := t.TempDir()
	good := writeFile(t, dir, "good.prt", "x")
	missing1 := filepath.Join(dir, "gone.prt")
	missing2 := filepath.Join(dir, "also-gone.prt")
	payload, errText := s.Upload(tok, uploadPayload(101, 1001, "",
		uploadFile{LocalFilePath: missing1}, uploadFile{LocalFilePath: good},
		uploadFile{LocalFilePath: missing2}, uploadFile{LocalFilePath: dir}))
	if errText != "file not found: "+missing1+", file not found: "+missing2+
		", file not found: "+dir {
		t.Errorf("error text %q", errText)
	}
	if got := links(t, payload); len(got) != 1 || got["good.prt"] == "" {
		t.Errorf("links %v", got)
	}
}

func TestRegisterOnlyIfAllFilesUploadedKeepsNothingOnAFailure(t *testing.T) {
	s, _ := newTestService(t)
	s.SetRegisterOnlyIfAllFilesUploaded(true)
	tok := signIn(t, s).AccessToken
	good := writeFile(t, t.TempDir(), "good.prt", "x")
	payload, errText := s.Upload(tok, uploadPayload(101, 1001, "",
		uploadFile{LocalFilePath: good}, uploadFile{LocalFilePath: "/no/such/file.prt"}))
	if payload != "" || errText != "file not found: /no/such/file.prt, "+registrationSkipped {
		t.Errorf("payload %q error %q", payload, errText)
	}
	if stored, _ := filepath.Glob(filepath.Join(s.Home(), "files", "*", "*", "*", "*")); len(stored) != 0 {
		t.Errorf("files kept: %v", stored)
	}
}

func TestBadUploadRequestsAreRefusedWhole(t *testing.T) {
	s, _ := newTestService(t)
	tok := signIn(t, s).AccessToken
	good := writeFile(t, t.TempDir(), "good.prt", "x")
	file := uploadFile{LocalFilePath: good}
	cases := map[string]string{
		"not json":     `{"files": [`,
		"not object":   `[1]`,
		"no workspace": `{"files": [{"local_file_path": "x"}]}`,
		"no files":     uploadPayload(101, 1001, ""),
		"bad option":   uploadPayload(101, 1001, "everything", file),
		"bad ws key":   `{"workspaces": {"abc": 1}, "files": [{"local_file_path": "x"}]}`,
	}
	for name, text := range cases {
		payload, errText := s.Upload(tok, text)
		if payload != "" || !strings.HasPrefix(errText, "received non-200 status code: 400: ") {
			t.Errorf("%s: payload %q error %q", name, payload, errText)
		}
		if strings.Contains(errText, ",") {
			t.Errorf("%s: error text with a comma would be split: %q", name, errText)
		}
	}
	_, errText := s.Upload(tok, uploadPayload(999, 1, "", file))
	expectContains(t, errText, "404", "Workspace 999")
	_, errText = s.Upload(tok, uploadPayload(101, 1002, "", file))
	expectContains(t, errText, "404", "Directory 1002")
	_, errText = s.Upload("at_nobody", uploadPayload(101, 1001, "", file))
	is401(t, errText)
	if stored, _ := filepath.Glob(filepath.Join(s.Home(), "files", "*")); len(stored) != 0 {
		t.Errorf("files kept: %v", stored)
	}
}

func TestFileNamesCannotLeaveTheStore(t *testing.T) {
	s, _ := newTestService(t)
	tok := signIn(t, s).AccessToken
	good := writeFile(t, t.TempDir(), "good.prt", "x")
	payload, errText := s.Upload(tok, uploadPayload(101, 1001, "",
		uploadFile{LocalFilePath: good, Filename: `..\..\evil.prt`}))
	if errText != "" || links(t, payload)["evil.prt"] == "" {
		t.Errorf("payload %q error %q", payload, errText)
	}
	if _, err := os.Stat(filepath.Join(s.Home(), "evil.prt")); err == nil {
		t.Error("a file escaped the store")
	}
}

func TestUploadToTwoWorkspaces(t *testing.T) {
	s, _ := newTestService(t)
	tok := signIn(t, s).AccessToken
	good := writeFile(t, t.TempDir(), "good.prt", "x")
	data, _ := json.Marshal(map[string]interface{}{
		"workspaces": map[string]int64{"101": 1011, "103": 1003},
		"files":      []uploadFile{{LocalFilePath: good, SourceFileID: "G", SourceRevisionID: "1"}}})
	payload, errText := s.Upload(tok, string(data))
	var list []map[string]string
	mustUnmarshal(t, payload, &list)
	if errText != "" || len(list) != 2 {
		t.Fatalf("payload %s error %q", payload, errText)
	}
	for _, ws := range []int64{101, 103} {
		if _, errText := s.FindRevision(tok, RevisionQuery{SourceFileID: "G", WorkspaceID: ws,
			LatestOnly: true}); errText != "" {
			t.Errorf("workspace %d: %s", ws, errText)
		}
	}
	if _, err := os.Stat(good); err != nil {
		t.Error("the local file was moved away")
	}
}
