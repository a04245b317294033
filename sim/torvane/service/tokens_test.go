// Tokens: checked on every request, refreshed, expired, revoked at logout, kept in the store.
package service

import (
	"strings"
	"testing"
	"time"
)

func TestRequestsNeedAKnownToken(t *testing.T) {
	s, _ := newTestService(t)
	for _, token := range []string{"", "at_unknown"} {
		payload, errText := s.GetAllWorkspaces(token, "")
		if payload != "" {
			t.Errorf("payload for token %q: %s", token, payload)
		}
		is401(t, errText)
	}
}

func TestLogoutRevokesTheSessionAndAnswersALogoutURL(t *testing.T) {
	s, _ := newTestService(t)
	tokens := signIn(t, s)
	refreshed, errText := s.GenerateAccessToken(tokens.RefreshToken)
	if errText != "" {
		t.Fatal(errText)
	}
	var second tokenAnswer
	mustUnmarshal(t, refreshed, &second)
	if second.AccessToken == tokens.AccessToken || second.RefreshToken != tokens.RefreshToken {
		t.Errorf("refresh answered %+v", second)
	}

	url, errText := s.Logout()
	if errText != "" || !strings.HasPrefix(url, "http://127.0.0.1:") {
		t.Fatalf("logout URL %q error %q", url, errText)
	}
	if code, _ := httpGet(t, url); code != 200 {
		t.Errorf("logout page answered %d", code)
	}
	for _, tok := range []string{tokens.AccessToken, second.AccessToken} {
		_, errText = s.GetCurrentUser(tok)
		is401(t, errText)
		expectContains(t, errText, "revoked")
	}
	_, errText = s.GenerateAccessToken(tokens.RefreshToken)
	is401(t, errText)
}

func TestLogoutURLUsesTheExternalServer(t *testing.T) {
	s, _ := newTestService(t)
	s.Initialize(`{"externalServer":{"LoginURL":"https://login.synquo.example/","ClientID":"abc"}}`)
	url, errText := s.Logout()
	if errText != "" || url != "https://login.synquo.example/logout?client_id=abc" {
		t.Errorf("logout URL %q error %q", url, errText)
	}
}

func TestTokensOutliveTheProcessAndExpire(t *testing.T) {
	s, env := newTestService(t)
	env.set(EnvTokenTTL, "0.3")
	tokens := signIn(t, s)
	again := New(s.Home(), env.get)
	if _, errText := again.GetCurrentUser(tokens.AccessToken); errText != "" {
		t.Fatalf("a second instance refused the token: %s", errText)
	}
	time.Sleep(400 * time.Millisecond)
	_, errText := again.GetCurrentUser(tokens.AccessToken)
	is401(t, errText)
	expectContains(t, errText, "expired")
	if _, errText := again.GenerateAccessToken(tokens.RefreshToken); errText != "" {
		t.Errorf("refresh after expiry: %s", errText)
	}
}

func TestUnknownRefreshTokenIsRefused(t *testing.T) {
	s, _ := newTestService(t)
	_, errText := s.GenerateAccessToken("rt_nothing")
	is401(t, errText)
}

func TestATokenLapsesAfterItsUsesAndRenewalGivesANewOne(t *testing.T) {
	s, env := newTestService(t)
	env.set(EnvTokenUses, "2")
	tokens := signIn(t, s)
	for i := 0; i < 2; i++ {
		if _, errText := s.GetCurrentUser(tokens.AccessToken); errText != "" {
			t.Fatalf("use %d refused: %s", i+1, errText)
		}
	}
	_, errText := s.GetCurrentUser(tokens.AccessToken)
	is401(t, errText)
	expectContains(t, errText, "expired")
	refreshed, errText := s.GenerateAccessToken(tokens.RefreshToken)
	if errText != "" {
		t.Fatal(errText)
	}
	var second tokenAnswer
	mustUnmarshal(t, refreshed, &second)
	if _, errText := s.GetCurrentUser(second.AccessToken); errText != "" {
		t.Errorf("the renewed token was refused: %s", errText)
	}
}
