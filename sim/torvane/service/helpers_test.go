// Shared set-up for the service tests: a service over a fresh store with its own
// environment.
package service

import (
	"encoding/json"
	"io"
	"net/http"
	"os"
	"path/filepath"
	"strings"
	"sync"
	"testing"
)

type testEnv struct {
	mu   sync.Mutex
	vars map[string]string
}

func (e *testEnv) get(name string) string {
	e.mu.Lock()
	defer e.mu.Unlock()
	return e.vars[name]
}

func (e *testEnv) set(name, value string) {
	e.mu.Lock()
	defer e.mu.Unlock()
	e.vars[name] = value
}

func newTestService(t *testing.T) (*Service, *testEnv) {
	t.Helper()
	env := &testEnv{vars: map[string]string{EnvJobStepMS: "0"}}
	return New(filepath.Join(t.TempDir(), "store"), env.get), env
}

// signIn runs the browser flow with an approving GET and answers the tokens.
func signIn(t *testing.T, s *Service) tokenAnswer {
	t.Helper()
	url, errText := s.Authorize(0)
	if errText != "" {
		t.Fatalf("Authorize: %s", errText)
	}
	if code, _ := httpGet(t, url+"&approve=1"); code != 200 {
		t.Fatalf("approving GET answered %d", code)
	}
	payload, errText := s.Complete()
	if errText != "" {
		t.Fatalf("Complete: %s", errText)
	}
	var tokens tokenAnswer
	mustUnmarshal(t, payload, &tokens)
	return tokens
}

func httpGet(t *testing.T, url string) (int, string) {
	t.Helper()
	resp, err := http.Get(url)
	if err != nil {
		t.Fatalf("GET %s: %v", url, err)
	}
	defer resp.Body.Close()
	body, _ := io.ReadAll(resp.Body)
	return resp.StatusCode, string(body)
}

func mustUnmarshal(t *testing.T, text string, v interface{}) {
	t.Helper()
	if err := json.Unmarshal([]byte(text), v); err != nil {
		t.Fatalf("not the expected JSON (%v): %s", err, text)
	}
}

func writeFile(t *testing.T, dir, name, content string) string {
	t.Helper()
	p := filepath.Join(dir, name)
	if err := os.WriteFile(p, []byte(content), 0o644); err != nil {
		t.Fatal(err)
	}
	return p
}

func expectContains(t *testing.T, text string, parts ...string) {
	t.Helper()
	for _, p := range parts {
		if !strings.Contains(text, p) {
			t.Errorf("%q does not contain %q", text, p)
		}
	}
}

func is401(t *testing.T, errText string) {
	t.Helper()
	if !strings.HasPrefix(errText, "received non-200 status code: 401: ") {
		t.Errorf("expected a 401 text, got %q", errText)
	}
}
