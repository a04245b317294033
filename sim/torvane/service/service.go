// Package service is the stand-in's local service: sign-in, tokens, the workspace catalog,
// uploads, revisions and upload jobs, kept in a store directory. The exported C functions
// are a thin layer over it.
package service

import (
	"fmt"
	"os"
	"strconv"
	"strings"
	"sync"
	"time"
)

// Environment variables that configure the stand-in.
const (
	EnvHome        = "TORVANE_SIM_HOME"
	EnvSeed        = "TORVANE_SIM_SEED"
	EnvJournal     = "TORVANE_SIM_JOURNAL"
	EnvFaults      = "TORVANE_SIM_FAULTS"
	EnvAuthTimeout = "TORVANE_SIM_AUTH_TIMEOUT"
	EnvAutoApprove = "TORVANE_SIM_AUTO_APPROVE"
	EnvTokenTTL    = "TORVANE_SIM_TOKEN_TTL"
	EnvTokenUses   = "TORVANE_SIM_TOKEN_USES"
	EnvJobStepMS   = "TORVANE_SIM_JOB_STEP_MS"
)

// Service is one instance of the stand-in; the library holds exactly one.
type Service struct {
	getenv func(string) string
	now    func() time.Time
	store  store

	settingsMu sync.Mutex
	settings   Settings

	log     logFile
	journal journal
	auth    authFlows
	jobs    jobTable
	models  modelServer
	calls   callCount

	// Requests answered per access token, for the use limit (EnvTokenUses).
	usesMu sync.Mutex
	uses   map[string]int
}

// New creates a service over the store directory home. getenv reads the environment at the
// moment of each call (tests pass their own).
func New(home string, getenv func(string) string) *Service {
	if getenv == nil {
		getenv = os.Getenv
	}
	s := &Service{getenv: getenv, now: time.Now}
	s.store.home = home
	s.log.level = levelInfo
	s.settings = defaultSettings()
	s.jobs.init()
	s.models.svc = s
	s.uses = map[string]int{}
	return s
}

// Home is the store directory.
func (s *Service) Home() string { return s.store.home }

// Call runs one exported operation between the fault file and the journal: an injected
// delay comes first, an injected error or payload answers instead of the operation.
func (s *Service) Call(name string, args map[string]interface{},
	op func() (string, string)) (string, string) {
	start := s.now()
	var payload, errText string
	faulted := false
	ofName, ofAll := s.calls.next(name)
	f, err := lookupFault(s.getenv(EnvFaults), name, ofName, ofAll)
	switch {
	case err != nil:
		errText, faulted = err.Error(), true
	case f != nil && f.replaces():
		sleepMS(f.DelayMS)
		payload, errText = f.answer()
		faulted = true
	default:
		if f != nil {
			sleepMS(f.DelayMS)
		}
		payload, errText = guarded(name, op)
	}
	if args == nil {
		args = map[string]interface{}{}
	}
	var result interface{}
	if resultJournaled[name] && payload != "" {
		result = JSONArg(payload)
	}
	s.journal.write(s.getenv(EnvJournal), journalLine{Time: journalTime(start), Function: name,
		Args: args, Result: result, Error: errText, Faulted: faulted,
		DurationMS: int64(s.now().Sub(start) / time.Millisecond)})
	if errText != "" {
		s.log.write(levelError, "%s failed: %s", name, errText)
	} else {
		s.log.write(levelDebug, "%s succeeded", name)
	}
	return payload, errText
}

// guarded turns a panic into an error text: the library must never take its host process down.
func guarded(name string, op func() (string, string)) (payload, errText string) {
	defer func() {
		if r := recover(); r != nil {
			payload, errText = "", fmt.Sprintf("torvane-sim internal error in %s: %v", name, r)
		}
	}()
	return op()
}

func sleepMS(ms int64) {
	if ms > 0 {
		time.Sleep(time.Duration(ms) * time.Millisecond)
	}
}

// envSeconds reads a duration in (possibly fractional) seconds; fallback when unset or bad.
func (s *Service) envSeconds(name string, fallback time.Duration) time.Duration {
	text := strings.TrimSpace(s.getenv(name))
	if text == "" {
		return fallback
	}
	v, err := strconv.ParseFloat(text, 64)
	if err != nil || v <= 0 {
		return fallback
	}
	return time.Duration(v * float64(time.Second))
}

// envMillis reads a duration in milliseconds; 0 is allowed.
func (s *Service) envMillis(name string, fallback time.Duration) time.Duration {
	v, err := strconv.ParseInt(strings.TrimSpace(s.getenv(name)), 10, 64)
	if err != nil || v < 0 {
		return fallback
	}
	return time.Duration(v) * time.Millisecond
}

func (s *Service) envBool(name string) bool {
	switch strings.ToLower(strings.TrimSpace(s.getenv(name))) {
	case "1", "true", "yes", "on":
		return true
	}
	return false
}

func (s *Service) catalog() (*Catalog, string) {
	c, err := LoadCatalog(s.getenv(EnvSeed))
	if err != nil {
		return nil, "torvane-sim: " + err.Error()
	}
	return c, ""
}

func timestamp(t time.Time) string { return t.UTC().Format(time.RFC3339) }
