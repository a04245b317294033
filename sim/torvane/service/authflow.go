// The local sign-in flow: a loopback listener that serves a small sign-in page, and the
// wait for the browser to approve it.
package service

import (
	"context"
	"fmt"
	"html"
	"net"
	"net/http"
	"net/url"
	"strings"
	"sync"
	"time"
)

const defaultAuthTimeout = 300 * time.Second

const (
	outcomeApproved  = "approved"
	outcomeDenied    = "denied"
	outcomeAbandoned = "abandoned"
	outcomeTimedOut  = "timed out"
)

type authFlow struct {
	state   string
	url     string
	who     string
	timeout time.Duration
	srv     *http.Server
	timer   *time.Timer
	done    chan struct{}
	once    sync.Once
	outcome string
	claimed bool
}

// finish records the first outcome; later ones are ignored. It reports whether it was first.
func (f *authFlow) finish(outcome string) bool {
	first := false
	f.once.Do(func() {
		f.outcome = outcome
		first = true
		close(f.done)
	})
	return first
}

func (f *authFlow) ended() bool {
	select {
	case <-f.done:
		return true
	default:
		return false
	}
}

// shutdown closes the listener once the page that approved has been delivered.
func (f *authFlow) shutdown() {
	ctx, cancel := context.WithTimeout(context.Background(), 2*time.Second)
	defer cancel()
	f.srv.Shutdown(ctx)
}

type authFlows struct {
	mu      sync.Mutex
	current *authFlow
}

// Authorize starts a sign-in: a listener on a random loopback port whose URL the browser
// opens. A sign-in still open is abandoned. timeout <= 0 means the configured default.
func (s *Service) Authorize(timeout time.Duration) (string, string) {
	if timeout <= 0 {
		timeout = s.envSeconds(EnvAuthTimeout, defaultAuthTimeout)
	}
	ln, err := net.Listen("tcp", "127.0.0.1:0")
	if err != nil {
		return "", "failed to start the local sign-in listener: " + err.Error()
	}
	f := &authFlow{state: randomHex(16), timeout: timeout, done: make(chan struct{})}
	if c, _ := s.catalog(); c != nil {
		if u := c.user(c.CurrentUserID); u != nil {
			f.who = strings.TrimSpace(u.FirstName + " " + u.LastName)
			if u.Email != "" {
				f.who += " (" + u.Email + ")"
			}
		}
	}
	f.url = fmt.Sprintf("http://127.0.0.1:%d/authorize?state=%s",
		ln.Addr().(*net.TCPAddr).Port, f.state)
	mux := http.NewServeMux()
	mux.HandleFunc("/authorize", f.serve)
	f.srv = &http.Server{Handler: mux, ReadHeaderTimeout: 10 * time.Second}
	go f.srv.Serve(ln)
	f.timer = time.AfterFunc(timeout, func() {
		if f.finish(outcomeTimedOut) {
			f.shutdown()
		}
	})

	s.auth.mu.Lock()
	old := s.auth.current
	s.auth.current = f
	s.auth.mu.Unlock()
	if old != nil {
		old.finish(outcomeAbandoned)
		old.timer.Stop()
		go old.shutdown()
	}
	s.log.write(levelInfo, "Sign-in started, waiting for the browser at %s", f.url)
	return f.url, ""
}

// Complete waits until the browser approves the current sign-in, then issues tokens.
func (s *Service) Complete() (string, string) {
	s.auth.mu.Lock()
	f := s.auth.current
	s.auth.mu.Unlock()
	if f == nil {
		return "", "no sign-in in progress: call LocalAuthFlowAuthorize first"
	}
	if s.envBool(EnvAutoApprove) {
		f.finish(outcomeApproved)
	}
	<-f.done
	f.timer.Stop()
	s.auth.mu.Lock()
	if s.auth.current == f {
		s.auth.current = nil
	}
	claimed := f.claimed
	f.claimed = true
	s.auth.mu.Unlock()
	go f.shutdown()

	switch {
	case f.outcome == outcomeApproved && claimed:
		return "", "no sign-in in progress: the tokens of this sign-in were already delivered"
	case f.outcome == outcomeApproved:
		s.log.write(levelInfo, "Sign-in approved in the browser")
		return s.issueTokens()
	case f.outcome == outcomeDenied:
		return "", "access_denied: the sign-in was cancelled in the browser"
	case f.outcome == outcomeAbandoned:
		return "", "authorization flow abandoned: a newer sign-in attempt replaced it"
	default:
		return "", fmt.Sprintf("authorization timed out: the browser sign-in did not finish "+
			"within %s", f.timeout)
	}
}

// Logout revokes the current session's tokens and answers the page that ends the browser
// session.
func (s *Service) Logout() (string, string) {
	revoked, err := s.revokeCurrentSession()
	logoutURL, urlErr := s.logoutURL()
	if urlErr != "" {
		return "", urlErr
	}
	if err != nil {
		return logoutURL, "token revocation failed: " + asText(err)
	}
	s.log.write(levelInfo, "Signed out (tokens revoked: %t)", revoked)
	return logoutURL, ""
}

func (s *Service) logoutURL() (string, string) {
	if login := s.externalServerText("LoginURL"); strings.HasPrefix(login, "http://") ||
		strings.HasPrefix(login, "https://") {
		u := strings.TrimRight(login, "/") + "/logout"
		if client := s.externalServerText("ClientID"); client != "" {
			u += "?client_id=" + url.QueryEscape(client)
		}
		return u, ""
	}
	base, errText := s.models.base()
	if errText != "" {
		return "", errText
	}
	return base + "/logout", ""
}

func (f *authFlow) serve(w http.ResponseWriter, r *http.Request) {
	q := r.URL.Query()
	if q.Get("state") != f.state {
		writePage(w, http.StatusBadRequest, "Sign-in link not valid",
			"<p>This sign-in link is not valid. Start the sign-in again from NX.</p>")
		return
	}
	if f.ended() {
		writePage(w, http.StatusGone, "Sign-in ended",
			"<p>This sign-in request has already ended ("+html.EscapeString(f.outcome)+
				"). You can close this window.</p>")
		return
	}
	switch {
	case q.Get("approve") == "1":
		if f.finish(outcomeApproved) {
			writePage(w, http.StatusOK, "Signed in",
				"<p>You are signed in to Synquo. You can close this window and return to NX.</p>")
			return
		}
	case q.Get("deny") == "1":
		if f.finish(outcomeDenied) {
			writePage(w, http.StatusOK, "Sign-in cancelled",
				"<p>The sign-in was cancelled. You can close this window.</p>")
			return
		}
	default:
		who := ""
		if f.who != "" {
			who = "<p>Continue as <b>" + html.EscapeString(f.who) + "</b>?</p>"
		}
		writePage(w, http.StatusOK, "Sign in to Synquo", who+
			`<form method="get" action="/authorize">`+
			`<input type="hidden" name="state" value="`+html.EscapeString(f.state)+`">`+
			`<button type="submit" name="approve" value="1">Sign in</button> `+
			`<button type="submit" name="deny" value="1">Cancel</button></form>`)
		return
	}
	writePage(w, http.StatusGone, "Sign-in ended",
		"<p>This sign-in request has already ended. You can close this window.</p>")
}

func writePage(w http.ResponseWriter, status int, title, body string) {
	w.Header().Set("Content-Type", "text/html; charset=utf-8")
	w.Header().Set("Cache-Control", "no-store")
	w.WriteHeader(status)
	fmt.Fprintf(w, "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%s</title>"+
		"<style>body{font-family:sans-serif;margin:4em auto;max-width:32em}"+
		"button{font-size:1.1em;padding:.4em 1.2em}</style></head>"+
		"<body><h1>%s</h1>%s</body></html>", html.EscapeString(title), html.EscapeString(title),
		body)
}
