// The model viewer: a loopback web server behind the links that uploads answer. It keeps
// its port in the store so that links from an earlier run keep working when possible.
package service

import (
	"fmt"
	"html"
	"net"
	"net/http"
	"strconv"
	"strings"
	"sync"
)

type modelServer struct {
	svc  *Service
	mu   sync.Mutex
	port int
}

// base starts the server on first use and answers its root URL.
func (m *modelServer) base() (string, string) {
	m.mu.Lock()
	defer m.mu.Unlock()
	if m.port == 0 {
		preferred := 0
		m.svc.store.read(func(st *state) error {
			preferred = st.ModelServerPort
			return nil
		})
		var ln net.Listener
		if preferred > 0 {
			ln, _ = net.Listen("tcp", fmt.Sprintf("127.0.0.1:%d", preferred))
		}
		if ln == nil {
			var err error
			if ln, err = net.Listen("tcp", "127.0.0.1:0"); err != nil {
				return "", "failed to start the model viewer: " + err.Error()
			}
		}
		m.port = ln.Addr().(*net.TCPAddr).Port
		if m.port != preferred {
			m.svc.store.update(func(st *state) error {
				st.ModelServerPort = m.port
				return nil
			})
		}
		mux := http.NewServeMux()
		mux.HandleFunc("/models/", m.serveModel)
		mux.HandleFunc("/logout", func(w http.ResponseWriter, r *http.Request) {
			writePage(w, http.StatusOK, "Signed out", "<p>You are signed out of Synquo.</p>")
		})
		go (&http.Server{Handler: mux}).Serve(ln)
	}
	return fmt.Sprintf("http://127.0.0.1:%d", m.port), ""
}

func modelLink(base string, assetID, revision int64) string {
	return fmt.Sprintf("%s/models/%d?revisionId=%d", base, assetID, revision)
}

// serveModel shows a model's page (/models/<id>[?revisionId=n]) or sends a revision's file
// (/models/<id>/revisions/<n>/file).
func (m *modelServer) serveModel(w http.ResponseWriter, r *http.Request) {
	parts := strings.Split(strings.Trim(strings.TrimPrefix(r.URL.Path, "/models/"), "/"), "/")
	id, err := strconv.ParseInt(parts[0], 10, 64)
	if err != nil {
		http.NotFound(w, r)
		return
	}
	var a *asset
	m.svc.store.read(func(st *state) error {
		for _, x := range st.Assets {
			if x.ID == id {
				a = x
			}
		}
		return nil
	})
	if a == nil || len(a.Revisions) == 0 {
		writePage(w, http.StatusNotFound, "Model not found", "<p>"+
			html.EscapeString(revisionNotFoundMessage)+"</p>")
		return
	}
	if len(parts) == 3 && parts[1] == "revisions" {
		n, _ := strconv.ParseInt(parts[2], 10, 64)
		for _, rev := range a.Revisions {
			if rev.Number == n {
				w.Header().Set("Content-Disposition", "attachment; filename=\""+rev.Filename+"\"")
				http.ServeFile(w, r, rev.StoredPath)
				return
			}
		}
		http.NotFound(w, r)
		return
	}
	shown := a.latest()
	if n, err := strconv.ParseInt(r.URL.Query().Get("revisionId"), 10, 64); err == nil {
		for _, rev := range a.Revisions {
			if rev.Number == n {
				shown = rev
			}
		}
	}
	var b strings.Builder
	fmt.Fprintf(&b, "<p>Workspace %d, revision %d of %d, uploaded %s (%d bytes).</p>",
		a.WorkspaceID, shown.Number, len(a.Revisions), html.EscapeString(shown.CreatedTime),
		shown.Size)
	b.WriteString("<ul>")
	for i := len(a.Revisions) - 1; i >= 0; i-- {
		rev := a.Revisions[i]
		fmt.Fprintf(&b, "<li><a href=\"/models/%d?revisionId=%d\">Revision %d</a> "+
			"(source revision %s) <a href=\"/models/%d/revisions/%d/file\">download</a></li>",
			a.ID, rev.Number, rev.Number, html.EscapeString(rev.SourceRevisionID), a.ID, rev.Number)
	}
	b.WriteString("</ul>")
	writePage(w, http.StatusOK, a.Name, b.String())
}
