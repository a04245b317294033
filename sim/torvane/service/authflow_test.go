// The browser sign-in: the page, approval, refusal, abandonment and time-outs.
package service

import (
	"strings"
	"sync"
	"testing"
	"time"
)

func TestSignInPageOffersApprovalAndApprovedGetDeliversTokens(t *testing.T) {
	s, _ := newTestService(t)
	url, errText := s.Authorize(0)
	if errText != "" || !strings.HasPrefix(url, "http://127.0.0.1:") ||
		!strings.Contains(url, "/authorize?state=") {
		t.Fatalf("authorization URL %q, error %q", url, errText)
	}
	code, page := httpGet(t, url)
	if code != 200 {
		t.Fatalf("sign-in page answered %d", code)
	}
	expectContains(t, page, "<form", `name="approve" value="1"`, "Jordan Lee")

	var wg sync.WaitGroup
	var payload, completeErr string
	wg.Add(1)
	go func() {
		defer wg.Done()
		payload, completeErr = s.Complete()
	}()
	time.Sleep(50 * time.Millisecond)
	code, page = httpGet(t, url+"&approve=1")
	wg.Wait()
	if code != 200 || !strings.Contains(page, "signed in") {
		t.Errorf("approval answered %d: %s", code, page)
	}
	if completeErr != "" {
		t.Fatalf("Complete failed: %s", completeErr)
	}
	var tokens tokenAnswer
	mustUnmarshal(t, payload, &tokens)
	if !strings.HasPrefix(tokens.AccessToken, "at_") || !strings.HasPrefix(tokens.RefreshToken, "rt_") {
		t.Errorf("unexpected tokens %+v", tokens)
	}
	if _, err := time.Parse(time.RFC3339, tokens.ExpiresAt); err != nil {
		t.Errorf("expires_at %q: %v", tokens.ExpiresAt, err)
	}
	if _, denied := s.GetCurrentUser(tokens.AccessToken); denied != "" {
		t.Errorf("fresh token refused: %s", denied)
	}
}

func TestSignInRefusesForeignStateAndEndsAfterUse(t *testing.T) {
	s, _ := newTestService(t)
	url, _ := s.Authorize(0)
	base := url[:strings.Index(url, "?")]
	if code, _ := httpGet(t, base+"?state=other&approve=1"); code != 400 {
		t.Errorf("foreign state answered %d", code)
	}
	httpGet(t, url+"&approve=1")
	if _, errText := s.Complete(); errText != "" {
		t.Fatal(errText)
	}
	if _, errText := s.Complete(); !strings.Contains(errText, "no sign-in in progress") {
		t.Errorf("second Complete: %q", errText)
	}
}

func TestCancelledSignInReportsAccessDenied(t *testing.T) {
	s, _ := newTestService(t)
	url, _ := s.Authorize(0)
	httpGet(t, url+"&deny=1")
	payload, errText := s.Complete()
	if payload != "" || !strings.HasPrefix(errText, "access_denied") {
		t.Errorf("payload %q error %q", payload, errText)
	}
}

func TestSecondAuthorizeAbandonsTheFirst(t *testing.T) {
	s, _ := newTestService(t)
	first, _ := s.Authorize(0)
	done := make(chan string)
	go func() {
		_, errText := s.Complete()
		done <- errText
	}()
	time.Sleep(50 * time.Millisecond)
	second, _ := s.Authorize(0)
	select {
	case errText := <-done:
		expectContains(t, errText, "abandoned")
	case <-time.After(5 * time.Second):
		t.Fatal("the first Complete did not end")
	}
	if first == second {
		t.Error("the second attempt reused the first URL")
	}
	httpGet(t, second+"&approve=1")
	if _, errText := s.Complete(); errText != "" {
		t.Errorf("second attempt: %s", errText)
	}
}

func TestSignInTimesOut(t *testing.T) {
	s, env := newTestService(t)
	env.set(EnvAuthTimeout, "0.2")
	s.Authorize(0)
	start := time.Now()
	_, errText := s.Complete()
	expectContains(t, errText, "timed out")
	if time.Since(start) > 3*time.Second {
		t.Errorf("time-out took %v", time.Since(start))
	}
	if _, errText := s.Authorize(time.Second); errText != "" {
		t.Fatal(errText)
	}
	if _, errText = s.Complete(); !strings.Contains(errText, "within 1s") {
		t.Errorf("explicit time-out: %q", errText)
	}
}

func TestCompleteWithoutAuthorizeFails(t *testing.T) {
	s, _ := newTestService(t)
	_, errText := s.Complete()
	expectContains(t, errText, "no sign-in in progress")
}

func TestAutoApproveNeedsNoBrowser(t *testing.T) {
	s, env := newTestService(t)
	env.set(EnvAutoApprove, "1")
	s.Authorize(0)
	payload, errText := s.Complete()
	if errText != "" || !strings.Contains(payload, "access_token") {
		t.Errorf("payload %q error %q", payload, errText)
	}
}
