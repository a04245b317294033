// Tokens: access and refresh tokens issued at sign-in, checked on every request and
// revoked at logout, all kept in the store.
package service

import (
	"crypto/rand"
	"encoding/hex"
	"encoding/json"
	"strconv"
	"strings"
	"time"
)

const defaultTokenTTL = time.Hour

func randomHex(n int) string {
	b := make([]byte, n)
	if _, err := rand.Read(b); err != nil {
		panic(err)
	}
	return hex.EncodeToString(b)
}

type tokenAnswer struct {
	AccessToken  string `json:"access_token"`
	RefreshToken string `json:"refresh_token"`
	ExpiresAt    string `json:"expires_at"`
	TokenType    string `json:"token_type"`
}

// issueTokens starts a new session for the catalog's current user.
func (s *Service) issueTokens() (string, string) {
	c, errText := s.catalog()
	if errText != "" {
		return "", errText
	}
	var answer []byte
	err := s.store.update(func(st *state) error {
		session := "ses_" + randomHex(8)
		refresh := "rt_" + randomHex(16)
		st.RefreshTokens[refresh] = &refreshRecord{Session: session, UserID: c.CurrentUserID}
		st.CurrentSession = session
		answer = s.newAccessToken(st, session, c.CurrentUserID, refresh)
		return nil
	})
	if err != nil {
		return "", asText(err)
	}
	return string(answer), ""
}

func (s *Service) newAccessToken(st *state, session string, userID int64, refresh string) []byte {
	s.pruneTokens(st)
	access := "at_" + randomHex(16)
	expires := s.now().Add(s.envSeconds(EnvTokenTTL, defaultTokenTTL))
	st.Tokens[access] = &tokenRecord{Session: session, UserID: userID, ExpiresAt: expires}
	data, _ := json.Marshal(tokenAnswer{AccessToken: access, RefreshToken: refresh,
		ExpiresAt: timestamp(expires), TokenType: "Bearer"})
	return data
}

// pruneTokens forgets access tokens that expired a day ago, so the store stays small.
func (s *Service) pruneTokens(st *state) {
	limit := s.now().Add(-24 * time.Hour)
	for k, t := range st.Tokens {
		if t.ExpiresAt.Before(limit) {
			delete(st.Tokens, k)
		}
	}
}

// GenerateAccessToken trades a refresh token for a new access token of the same session.
func (s *Service) GenerateAccessToken(refresh string) (string, string) {
	var answer []byte
	err := s.store.update(func(st *state) error {
		r := st.RefreshTokens[refresh]
		if refresh == "" || r == nil {
			return serviceError(unauthorized("invalid_grant: unknown refresh token."))
		}
		if r.Revoked {
			return serviceError(unauthorized("invalid_grant: the refresh token has been revoked."))
		}
		st.CurrentSession = r.Session
		answer = s.newAccessToken(st, r.Session, r.UserID, refresh)
		return nil
	})
	if err != nil {
		return "", asText(err)
	}
	return string(answer), ""
}

// checkToken returns the user an access token belongs to, or the 401 text.
func (s *Service) checkToken(st *state, token string) (int64, string) {
	if token == "" {
		return 0, unauthorized("Missing bearer token.")
	}
	t := st.Tokens[token]
	switch {
	case t == nil:
		return 0, unauthorized("The access token is not valid.")
	case t.Revoked:
		return 0, unauthorized("The access token has been revoked.")
	case !s.now().Before(t.ExpiresAt), !s.useToken(token):
		return 0, unauthorized("The access token has expired.")
	}
	return t.UserID, ""
}

// useToken counts one request with the token and reports whether it is within the use
// limit, which lets a test make a token lapse at an exact request, whatever the clock says.
func (s *Service) useToken(token string) bool {
	limit, err := strconv.Atoi(strings.TrimSpace(s.getenv(EnvTokenUses)))
	if err != nil || limit <= 0 {
		return true
	}
	s.usesMu.Lock()
	defer s.usesMu.Unlock()
	s.uses[token]++
	return s.uses[token] <= limit
}

// authorizedUser checks a token against a fresh read of the store.
func (s *Service) authorizedUser(token string) (int64, string) {
	var user int64
	var denied string
	err := s.store.read(func(st *state) error {
		user, denied = s.checkToken(st, token)
		return nil
	})
	if err != nil {
		return 0, asText(err)
	}
	return user, denied
}

// revokeCurrentSession revokes every token of the last signed-in session; it reports
// whether there was one.
func (s *Service) revokeCurrentSession() (bool, error) {
	revoked := false
	err := s.store.update(func(st *state) error {
		session := st.CurrentSession
		if session == "" {
			return nil
		}
		for _, t := range st.Tokens {
			if t.Session == session && !t.Revoked {
				t.Revoked = true
				revoked = true
			}
		}
		for _, r := range st.RefreshTokens {
			if r.Session == session && !r.Revoked {
				r.Revoked = true
				revoked = true
			}
		}
		st.CurrentSession = ""
		return nil
	})
	return revoked, err
}
