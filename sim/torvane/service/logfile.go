// The library's own log file: plain text lines, one per event, filtered by level.
package service

import (
	"fmt"
	"os"
	"path/filepath"
	"strings"
	"sync"
	"time"
)

const (
	levelDebug = iota
	levelInfo
	levelWarning
	levelError
	levelOff
)

// parseLevel accepts the usual spellings; ok is false for anything else.
func parseLevel(text string) (int, bool) {
	switch strings.ToLower(strings.TrimSpace(text)) {
	case "debug", "trace":
		return levelDebug, true
	case "info", "":
		return levelInfo, true
	case "warning", "warn":
		return levelWarning, true
	case "error":
		return levelError, true
	case "off", "none":
		return levelOff, true
	}
	return levelInfo, false
}

var levelNames = [...]string{"DEBUG", "INFO", "WARNING", "ERROR"}

type logFile struct {
	mu    sync.Mutex
	path  string
	file  *os.File
	level int
}

// open switches to another file; an empty path or one that cannot be opened stops logging
// to a file (the service itself keeps working).
func (l *logFile) open(path string) {
	l.mu.Lock()
	defer l.mu.Unlock()
	if l.file != nil && l.path == path {
		return
	}
	l.closeLocked()
	l.path = path
	if path == "" {
		return
	}
	if dir := filepath.Dir(path); dir != "" {
		os.MkdirAll(dir, 0o755)
	}
	f, err := os.OpenFile(path, os.O_CREATE|os.O_WRONLY|os.O_APPEND, 0o644)
	if err != nil {
		return
	}
	l.file = f
}

func (l *logFile) setLevel(level int) {
	l.mu.Lock()
	l.level = level
	l.mu.Unlock()
}

func (l *logFile) close() {
	l.mu.Lock()
	defer l.mu.Unlock()
	l.closeLocked()
	l.path = ""
}

func (l *logFile) closeLocked() {
	if l.file != nil {
		l.file.Close()
		l.file = nil
	}
}

func (l *logFile) write(level int, format string, args ...interface{}) {
	l.mu.Lock()
	defer l.mu.Unlock()
	if l.file == nil || level < l.level || l.level == levelOff {
		return
	}
	line := fmt.Sprintf("%s %-7s [torvane] %s\n", time.Now().Format("2006-01-02 15:04:05.000"),
		levelNames[level], fmt.Sprintf(format, args...))
	l.file.WriteString(line)
}
