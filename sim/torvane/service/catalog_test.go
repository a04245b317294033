// Workspaces, users and directories from the built-in catalog, a seed file and the store.
package service

import (
	"path/filepath"
	"strconv"
	"strings"
	"testing"
)

func TestDefaultCatalogAnswersWorkspacesUserAndRoots(t *testing.T) {
	s, _ := newTestService(t)
	tok := signIn(t, s).AccessToken

	payload, errText := s.GetAllWorkspaces(tok, "")
	var ws []map[string]interface{}
	mustUnmarshal(t, payload, &ws)
	if errText != "" || len(ws) != 3 {
		t.Fatalf("workspaces %s error %q", payload, errText)
	}
	for _, key := range []string{"id", "name", "color", "created_time", "downloading_allowed", "uuid"} {
		if _, ok := ws[0][key]; !ok {
			t.Errorf("workspace lacks %q: %v", key, ws[0])
		}
	}
	filtered, _ := s.GetAllWorkspaces(tok, "supplier")
	mustUnmarshal(t, filtered, &ws)
	if len(ws) != 1 || ws[0]["name"] != "Supplier Exchange" {
		t.Errorf("filtered list %s", filtered)
	}

	user, _ := s.GetCurrentUser(tok)
	var u User
	mustUnmarshal(t, user, &u)
	if u.ID != 7 || u.FirstName != "Jordan" || u.LastName != "Lee" || u.Email == "" {
		t.Errorf("current user %s", user)
	}
	root, _ := s.GetRootDirectory(tok, 101)
	var d map[string]interface{}
	mustUnmarshal(t, root, &d)
	if d["id"].(float64) != 1001 || d["parent_id"] != nil {
		t.Errorf("root %s", root)
	}
	one, _ := s.GetWorkspace(tok, 102)
	expectContains(t, one, `"name":"Supplier Exchange"`, `"downloading_allowed":false`)
	member, errText := s.GetWorkspaceUser(tok, 101, "8")
	expectContains(t, member, `"first_name":"Sam"`)
	if errText != "" {
		t.Error(errText)
	}
}

func TestUnknownCatalogEntriesAnswer404Or400(t *testing.T) {
	s, _ := newTestService(t)
	tok := signIn(t, s).AccessToken
	checks := []struct {
		errText string
		code    string
	}{
		{second(s.GetWorkspace(tok, 999)), "404"},
		{second(s.GetRootDirectory(tok, 999)), "404"},
		{second(s.GetDirectory(tok, 101, "77")), "404"},
		{second(s.GetDirectory(tok, 101, "abc")), "400"},
		{second(s.GetWorkspaceUser(tok, 101, "99")), "404"},
		{second(s.GetSubDirectories(tok, 102, "1001")), "404"},
	}
	for i, c := range checks {
		if !strings.HasPrefix(c.errText, "received non-200 status code: "+c.code+": ") {
			t.Errorf("check %d: %q", i, c.errText)
		}
	}
}

func second(_ string, b string) string { return b }

func TestCreatedDirectoriesAreListedAndKept(t *testing.T) {
	s, env := newTestService(t)
	tok := signIn(t, s).AccessToken
	created, errText := s.CreateDirectory(tok, 101, 0, "Brackets")
	if errText != "" {
		t.Fatal(errText)
	}
	var d Directory
	mustUnmarshal(t, created, &d)
	if d.ParentID == nil || *d.ParentID != 1001 || d.WorkspaceID != 101 {
		t.Errorf("created %s", created)
	}
	_, errText = s.CreateDirectory(tok, 101, 1001, "brackets")
	expectContains(t, errText, "409")
	for _, bad := range []string{"", "  ", "a/b", ".."} {
		_, errText = s.CreateDirectory(tok, 101, 1001, bad)
		expectContains(t, errText, "400")
	}

	again := New(s.Home(), env.get)
	subs, _ := again.GetSubDirectories(tok, 101, "1001")
	expectContains(t, subs, `"name":"Brackets"`, `"name":"Fixtures"`)
	if strings.Index(subs, "Brackets") > strings.Index(subs, "Fixtures") {
		t.Errorf("sub-directories not sorted by name: %s", subs)
	}
	one, errText := again.GetDirectory(tok, 101, strconv.FormatInt(d.ID, 10))
	if errText != "" || !strings.Contains(one, "Brackets") {
		t.Errorf("GetDirectory %s %q", one, errText)
	}
}

func TestSeedFileReplacesTheCatalog(t *testing.T) {
	s, env := newTestService(t)
	dir := t.TempDir()
	env.set(EnvSeed, writeFile(t, dir, "seed.json", `{
		"workspaces": [{"id": 5, "name": "Only One", "downloading_allowed": true}],
		"user": {"id": 31, "first_name": "Ada", "last_name": "Kim", "email": "ada@synquo.example"}
	}`))
	tok := signIn(t, s).AccessToken
	ws, _ := s.GetAllWorkspaces(tok, "")
	if !strings.Contains(ws, `"Only One"`) || strings.Contains(ws, "Design Review") {
		t.Errorf("workspaces %s", ws)
	}
	user, _ := s.GetCurrentUser(tok)
	expectContains(t, user, `"id":31`, `"first_name":"Ada"`)
	root, errText := s.GetRootDirectory(tok, 5)
	if errText != "" || !strings.Contains(root, `"name":"Only One"`) {
		t.Errorf("generated root %s %q", root, errText)
	}

	env.set(EnvSeed, writeFile(t, dir, "bad.json", `{"workspaces": [`))
	_, errText = s.GetAllWorkspaces(tok, "")
	expectContains(t, errText, "bad seed file", "bad.json")
	env.set(EnvSeed, filepath.Join(dir, "missing.json"))
	_, errText = s.GetAllWorkspaces(tok, "")
	expectContains(t, errText, "cannot read seed file")
}

func TestListSupportedFileTypes(t *testing.T) {
	s, _ := newTestService(t)
	tok := signIn(t, s).AccessToken
	types, errText := s.ListSupportedFileTypes(tok)
	if errText != "" || !strings.Contains(types, `".prt"`) || !strings.Contains(types, `".pdf"`) {
		t.Errorf("types %s error %q", types, errText)
	}
}
