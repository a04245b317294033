// The journal: one JSON line per call, so that tests can see what the library was asked.
package service

import (
	"encoding/json"
	"os"
	"sync"
	"time"
)

type journal struct {
	mu sync.Mutex
}

type journalLine struct {
	Time       string                 `json:"time"`
	Function   string                 `json:"fn"`
	Args       map[string]interface{} `json:"args"`
	Result     interface{}            `json:"result,omitempty"`
	Error      string                 `json:"error,omitempty"`
	Faulted    bool                   `json:"faulted,omitempty"`
	DurationMS int64                  `json:"duration_ms"`
}

func (j *journal) write(path string, line journalLine) {
	if path == "" {
		return
	}
	data, err := json.Marshal(line)
	if err != nil {
		return
	}
	j.mu.Lock()
	defer j.mu.Unlock()
	f, err := os.OpenFile(path, os.O_CREATE|os.O_WRONLY|os.O_APPEND, 0o644)
	if err != nil {
		return
	}
	defer f.Close()
	f.Write(append(data, '\n'))
}

// resultJournaled names the calls whose answers carry no secret, so that tests can compare
// what the library answered with what the add-in made of it (tokens are never journaled).
var resultJournaled = map[string]bool{"Upload": true, "FindRevision": true}

// MaskToken keeps only enough of a token to tell tokens apart in the journal.
func MaskToken(token string) string {
	if token == "" {
		return ""
	}
	if len(token) <= 8 {
		return "***"
	}
	return token[:7] + "…"
}

// JSONArg journals a JSON text as the value it holds, or as plain text when it is not JSON.
func JSONArg(text string) interface{} {
	if json.Valid([]byte(text)) {
		return json.RawMessage(text)
	}
	return text
}

func journalTime(t time.Time) string { return t.UTC().Format(time.RFC3339Nano) }
