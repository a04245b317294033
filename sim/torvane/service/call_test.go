// The call wrapper: injected faults, the journal and the settings calls.
package service

import (
	"bufio"
	"encoding/json"
	"os"
	"path/filepath"
	"strings"
	"testing"
	"time"
)

func TestFaultFileReplacesDelaysOrBreaksCalls(t *testing.T) {
	s, env := newTestService(t)
	faults := filepath.Join(t.TempDir(), "faults.json")
	env.set(EnvFaults, faults)
	real := func() (string, string) { return "real", "" }

	if p, e := s.Call("GetCurrentUser", nil, real); p != "real" || e != "" {
		t.Errorf("without a fault file: %q %q", p, e)
	}
	os.WriteFile(faults, []byte(`{"GetCurrentUser": {"error": "boom"},
		"FindRevision": {"payload": "[]", "delay_ms": 150},
		"LocalAuthFlowLogout": {"payload": "https://x.example/logout", "error": "revocation failed"},
		"GetAllWorkspaces": {"payload": {"not": "an array"}},
		"GetWorkspace": {"delay_ms": 100}}`), 0o644)
	if p, e := s.Call("GetCurrentUser", nil, real); p != "" || e != "boom" {
		t.Errorf("error fault: %q %q", p, e)
	}
	start := time.Now()
	if p, e := s.Call("FindRevision", nil, real); p != "[]" || e != "" || time.Since(start) < 150*time.Millisecond {
		t.Errorf("payload fault: %q %q after %v", p, e, time.Since(start))
	}
	if p, e := s.Call("LocalAuthFlowLogout", nil, real); p != "https://x.example/logout" || e != "revocation failed" {
		t.Errorf("both: %q %q", p, e)
	}
	if p, _ := s.Call("GetAllWorkspaces", nil, real); p != `{"not": "an array"}` {
		t.Errorf("JSON payload: %q", p)
	}
	start = time.Now()
	if p, _ := s.Call("GetWorkspace", nil, real); p != "real" || time.Since(start) < 100*time.Millisecond {
		t.Errorf("delay only: %q after %v", p, time.Since(start))
	}

	os.WriteFile(faults, []byte(`{"GetCurrentUser": `), 0o644)
	if _, e := s.Call("GetWorkspace", nil, real); !strings.Contains(e, "bad fault file") {
		t.Errorf("damaged fault file: %q", e)
	}
	os.WriteFile(faults, []byte(`{}`), 0o644)
	if p, _ := s.Call("GetCurrentUser", nil, real); p != "real" {
		t.Errorf("fault not lifted: %q", p)
	}
}

func TestNthLimitsAFaultToOneCall(t *testing.T) {
	s, env := newTestService(t)
	faults := filepath.Join(t.TempDir(), "faults.json")
	env.set(EnvFaults, faults)
	real := func() (string, string) { return "real", "" }
	os.WriteFile(faults, []byte(`{"GetWorkspace": {"error": "second", "nth": 2},
		"*": {"error": "fourth overall", "nth": 4}}`), 0o644)
	want := []struct{ name, err string }{
		{"GetWorkspace", ""}, {"GetCurrentUser", ""}, {"GetWorkspace", "second"},
		{"GetCurrentUser", "fourth overall"}, {"GetWorkspace", ""},
	}
	for i, w := range want {
		if _, e := s.Call(w.name, nil, real); e != w.err {
			t.Errorf("call %d (%s): error %q, want %q", i+1, w.name, e, w.err)
		}
	}
}

func TestJournalHasOneLinePerCallWithMaskedTokens(t *testing.T) {
	s, env := newTestService(t)
	journal := filepath.Join(t.TempDir(), "journal.jsonl")
	env.set(EnvJournal, journal)
	token := "at_0123456789abcdef"
	s.Call("GetCurrentUser", map[string]interface{}{"token": MaskToken(token)},
		func() (string, string) { return "", "nope" })
	s.Call("Initialize", map[string]interface{}{"options": JSONArg(`{"a":1}`)},
		func() (string, string) { return "", "" })
	s.Call("Upload", nil, func() (string, string) { return `[{"a.prt": "link"}]`, "" })
	s.Call("GetCurrentUser", nil, func() (string, string) { return `{"id": 7}`, "" })

	f, err := os.Open(journal)
	if err != nil {
		t.Fatal(err)
	}
	defer f.Close()
	var lines []journalLine
	sc := bufio.NewScanner(f)
	for sc.Scan() {
		var l journalLine
		mustUnmarshal(t, sc.Text(), &l)
		lines = append(lines, l)
		if strings.Contains(sc.Text(), token) {
			t.Errorf("token in the journal: %s", sc.Text())
		}
	}
	if len(lines) != 4 || lines[0].Function != "GetCurrentUser" || lines[0].Error != "nope" ||
		lines[0].Args["token"] != "at_0123…" || lines[1].Function != "Initialize" {
		t.Fatalf("journal %+v", lines)
	}
	if opts, ok := lines[1].Args["options"].(map[string]interface{}); !ok || opts["a"] != 1.0 {
		t.Errorf("options journaled as %v", lines[1].Args["options"])
	}
	if got, _ := json.Marshal(lines[2].Result); string(got) != `[{"a.prt":"link"}]` {
		t.Errorf("upload answer journaled as %s", got)
	}
	if lines[3].Result != nil {
		t.Errorf("GetCurrentUser answer journaled: %v", lines[3].Result)
	}
	if MaskToken("short") != "***" || MaskToken("") != "" {
		t.Error("short tokens must be hidden completely")
	}
}

func TestAPanicBecomesAnErrorText(t *testing.T) {
	s, _ := newTestService(t)
	_, e := s.Call("Upload", nil, func() (string, string) { panic("broken") })
	expectContains(t, e, "internal error in Upload", "broken")
}

func TestInitializeChecksItsOptions(t *testing.T) {
	s, _ := newTestService(t)
	for _, bad := range []string{"", "nonsense", "[1]", `"text"`, `{"logLevel": "loud"}`,
		`{"externalServer": "https://x"}`, `{"externalServer": {"LoginURL": 3}}`,
		`{"debugMode": "yes"}`, `{"uploadSource": {"source_id": "x"}}`} {
		if _, e := s.Initialize(bad); !strings.HasPrefix(e, "invalid initialize options: ") {
			t.Errorf("%q accepted: %q", bad, e)
		}
	}
	if s.Settings().Initialized {
		t.Error("a refused Initialize changed the settings")
	}
	logPath := filepath.Join(t.TempDir(), "logs", "synquo-torvane-integration.log")
	_, e := s.Initialize(`{"externalServer":{"LoginURL":"https://login.synquo.example/",
		"ServerURL":"https://app.synquo.example/","ClientID":"c","Audience":"https://a.example/api/v2/"},
		"logFile":` + quote(logPath) + `,"logLevel":"debug","debugMode":true,
		"registerOnlyIfAllFilesUploaded":false,"serviceInfo":{"brevin":"1.0.0"},
		"uploadSource":{"source":"brevin"}}`)
	if e != "" {
		t.Fatal(e)
	}
	s.AddServiceInfo("vantel", "1.0.2")
	st := s.Settings()
	if !st.Initialized || !st.DebugMode || st.LogLevel != "debug" || st.ServiceInfo["brevin"] != "1.0.0" ||
		st.ServiceInfo["vantel"] != "1.0.2" || st.UploadSource.Source != "brevin" ||
		st.ExternalServer["ClientID"] != "c" {
		t.Errorf("settings %+v", st)
	}
	s.Call("GetCurrentUser", nil, func() (string, string) { return "", "denied" })
	s.SetLogLevel("error")
	s.Call("GetWorkspace", nil, func() (string, string) { return "ok", "" })
	s.CloseLogFile()
	s.Call("GetAllWorkspaces", nil, func() (string, string) { return "", "after close" })
	data, _ := os.ReadFile(logPath)
	log := string(data)
	expectContains(t, log, "[torvane] Initialized", "brevin/1.0.0", "GetCurrentUser failed: denied")
	if strings.Contains(log, "GetWorkspace succeeded") || strings.Contains(log, "after close") {
		t.Errorf("log ignores level or close:\n%s", log)
	}

	s.SetUSRegion(true)
	s.SetRegisterOnlyIfAllFilesUploaded(true)
	if _, e := s.SetExternalServer("[]"); e == "" {
		t.Error("a non-object server was accepted")
	}
	if _, e := s.SetUploadSource("", "id", ""); e == "" {
		t.Error("a source id without source was accepted")
	}
	s.SetUploadSource("", "", "")
	st = s.Settings()
	if !st.USRegion || !st.RegisterOnlyIfAll || st.UploadSource != nil {
		t.Errorf("settings %+v", st)
	}
}

func quote(s string) string { return `"` + strings.ReplaceAll(s, `\`, `\\`) + `"` }
