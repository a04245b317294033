// Fault injection: a JSON file that makes chosen functions fail, answer a given payload or
// wait first. It is read on every call so that a test may change it between calls.
package service

import (
	"encoding/json"
	"fmt"
	"os"
	"sync"
)

type fault struct {
	Error   *string         `json:"error"`
	Payload json.RawMessage `json:"payload"`
	DelayMS int64           `json:"delay_ms"`
	// Nth, when set, limits the fault to that call (1-based): of its function, or of every
	// call for the "*" entry, which is how anomaly runs break one call at a time.
	Nth int `json:"nth"`
}

// callCount numbers the calls since the library was loaded, per function and in all.
type callCount struct {
	mu      sync.Mutex
	total   int
	perName map[string]int
}

func (c *callCount) next(name string) (ofName, ofAll int) {
	c.mu.Lock()
	defer c.mu.Unlock()
	if c.perName == nil {
		c.perName = map[string]int{}
	}
	c.total++
	c.perName[name]++
	return c.perName[name], c.total
}

// replaces tells whether the fault answers instead of the real operation.
func (f *fault) replaces() bool { return f.Error != nil || len(f.Payload) > 0 }

// answer gives the injected payload and error; a JSON string payload is used as its text,
// any other JSON value as written.
func (f *fault) answer() (string, string) {
	payload := ""
	if len(f.Payload) > 0 {
		var text string
		if err := json.Unmarshal(f.Payload, &text); err == nil {
			payload = text
		} else {
			payload = string(f.Payload)
		}
	}
	errText := ""
	if f.Error != nil {
		errText = *f.Error
	}
	return payload, errText
}

// lookupFault reads the fault file; a missing file means no faults, a damaged one fails
// every call so that a broken test set-up cannot go unnoticed. The function's own entry
// comes before "*"; an entry with nth applies only to that call.
func lookupFault(path, function string, ofName, ofAll int) (*fault, error) {
	if path == "" {
		return nil, nil
	}
	data, err := os.ReadFile(path)
	if os.IsNotExist(err) {
		return nil, nil
	}
	if err != nil {
		return nil, fmt.Errorf("torvane-sim: cannot read fault file %s: %v", path, err)
	}
	faults := map[string]*fault{}
	if err := json.Unmarshal(data, &faults); err != nil {
		return nil, fmt.Errorf("torvane-sim: bad fault file %s: %v", path, err)
	}
	if f := faults[function]; f != nil && (f.Nth == 0 || f.Nth == ofName) {
		return f, nil
	}
	if f := faults["*"]; f != nil && (f.Nth == 0 || f.Nth == ofAll) {
		return f, nil
	}
	return nil, nil
}
