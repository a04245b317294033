// Catalog requests: workspaces, users and directories, including directories created
// through the library.
package service

import (
	"encoding/json"
	"fmt"
	"sort"
	"strconv"
	"strings"
)

// answer runs fn with the catalog and the state after the token has been checked, and
// writes fn's result as JSON. With write set the state is saved afterwards.
func (s *Service) answer(token string, write bool,
	fn func(c *Catalog, st *state, user int64) (interface{}, string)) (string, string) {
	c, failure := s.catalog()
	if failure != "" {
		return "", failure
	}
	var result interface{}
	body := func(st *state) error {
		user, denied := s.checkToken(st, token)
		if denied != "" {
			return serviceError(denied)
		}
		var f string
		if result, f = fn(c, st, user); f != "" {
			return serviceError(f)
		}
		return nil
	}
	var err error
	if write {
		err = s.store.update(body)
	} else {
		err = s.store.read(body)
	}
	if err != nil {
		return "", asText(err)
	}
	data, err := json.Marshal(result)
	if err != nil {
		return "", "torvane-sim: " + err.Error()
	}
	return string(data), ""
}

func workspaceNotFound(id int64) string {
	return notFound(fmt.Sprintf("Workspace %d was not found.", id))
}

// directories lists the seeded and the created directories of one workspace.
func directories(c *Catalog, st *state, workspaceID int64) []Directory {
	var out []Directory
	for _, list := range [][]Directory{c.Directories, st.Directories} {
		for _, d := range list {
			if d.WorkspaceID == workspaceID {
				out = append(out, d)
			}
		}
	}
	return out
}

func findDirectory(c *Catalog, st *state, workspaceID, id int64) *Directory {
	for _, d := range directories(c, st, workspaceID) {
		if d.ID == id {
			d := d
			return &d
		}
	}
	return nil
}

func parseID(text, what string) (int64, string) {
	id, err := strconv.ParseInt(strings.TrimSpace(text), 10, 64)
	if err != nil {
		return 0, badRequest(fmt.Sprintf("%s %q is not a number.", what, text))
	}
	return id, ""
}

// GetAllWorkspaces lists the workspaces; a non-empty filter keeps those whose name
// contains it (ignoring case).
func (s *Service) GetAllWorkspaces(token, filter string) (string, string) {
	return s.answer(token, false, func(c *Catalog, st *state, user int64) (interface{}, string) {
		out := []Workspace{}
		for _, w := range c.Workspaces {
			if filter == "" || strings.Contains(strings.ToLower(w.Name), strings.ToLower(filter)) {
				out = append(out, w)
			}
		}
		return out, ""
	})
}

// GetWorkspace answers one workspace.
func (s *Service) GetWorkspace(token string, id int64) (string, string) {
	return s.answer(token, false, func(c *Catalog, st *state, user int64) (interface{}, string) {
		w := c.workspace(id)
		if w == nil {
			return nil, workspaceNotFound(id)
		}
		return w, ""
	})
}

// GetWorkspaceUser answers a member of a workspace; every user belongs to every workspace.
func (s *Service) GetWorkspaceUser(token string, workspaceID int64, userText string) (string,
	string) {
	return s.answer(token, false, func(c *Catalog, st *state, user int64) (interface{}, string) {
		if c.workspace(workspaceID) == nil {
			return nil, workspaceNotFound(workspaceID)
		}
		id, failure := parseID(userText, "User id")
		if failure != "" {
			return nil, failure
		}
		u := c.user(id)
		if u == nil {
			return nil, notFound(fmt.Sprintf("User %d was not found in workspace %d.", id,
				workspaceID))
		}
		return u, ""
	})
}

// GetCurrentUser answers the user the token was issued to.
func (s *Service) GetCurrentUser(token string) (string, string) {
	return s.answer(token, false, func(c *Catalog, st *state, user int64) (interface{}, string) {
		u := c.user(user)
		if u == nil {
			return nil, notFound(fmt.Sprintf("User %d was not found.", user))
		}
		return u, ""
	})
}

// GetRootDirectory answers the top directory of a workspace.
func (s *Service) GetRootDirectory(token string, workspaceID int64) (string, string) {
	return s.answer(token, false, func(c *Catalog, st *state, user int64) (interface{}, string) {
		if c.workspace(workspaceID) == nil {
			return nil, workspaceNotFound(workspaceID)
		}
		r := c.root(workspaceID)
		if r == nil {
			return nil, notFound(fmt.Sprintf("Workspace %d has no root directory.", workspaceID))
		}
		return r, ""
	})
}

// GetDirectory answers one directory of a workspace.
func (s *Service) GetDirectory(token string, workspaceID int64, dirText string) (string, string) {
	return s.answer(token, false, func(c *Catalog, st *state, user int64) (interface{}, string) {
		if c.workspace(workspaceID) == nil {
			return nil, workspaceNotFound(workspaceID)
		}
		id, failure := parseID(dirText, "Directory id")
		if failure != "" {
			return nil, failure
		}
		d := findDirectory(c, st, workspaceID, id)
		if d == nil {
			return nil, notFound(fmt.Sprintf("Directory %d was not found in workspace %d.", id,
				workspaceID))
		}
		return d, ""
	})
}

// GetSubDirectories lists the directories directly below one, by name.
func (s *Service) GetSubDirectories(token string, workspaceID int64, dirText string) (string,
	string) {
	return s.answer(token, false, func(c *Catalog, st *state, user int64) (interface{}, string) {
		if c.workspace(workspaceID) == nil {
			return nil, workspaceNotFound(workspaceID)
		}
		id, failure := parseID(dirText, "Directory id")
		if failure != "" {
			return nil, failure
		}
		if findDirectory(c, st, workspaceID, id) == nil {
			return nil, notFound(fmt.Sprintf("Directory %d was not found in workspace %d.", id,
				workspaceID))
		}
		out := []Directory{}
		for _, d := range directories(c, st, workspaceID) {
			if d.ParentID != nil && *d.ParentID == id {
				out = append(out, d)
			}
		}
		sort.Slice(out, func(i, j int) bool { return out[i].Name < out[j].Name })
		return out, ""
	})
}

// CreateDirectory makes a directory below parentID (0: the root) and keeps it in the store.
func (s *Service) CreateDirectory(token string, workspaceID, parentID int64, name string) (string,
	string) {
	return s.answer(token, true, func(c *Catalog, st *state, user int64) (interface{}, string) {
		if c.workspace(workspaceID) == nil {
			return nil, workspaceNotFound(workspaceID)
		}
		name = strings.TrimSpace(name)
		if name == "" || name == "." || name == ".." || strings.ContainsAny(name, "/\\") {
			return nil, badRequest(fmt.Sprintf("Directory name %q is not allowed.", name))
		}
		if parentID == 0 {
			if r := c.root(workspaceID); r != nil {
				parentID = r.ID
			}
		}
		if findDirectory(c, st, workspaceID, parentID) == nil {
			return nil, notFound(fmt.Sprintf("Directory %d was not found in workspace %d.",
				parentID, workspaceID))
		}
		for _, d := range directories(c, st, workspaceID) {
			if d.ParentID != nil && *d.ParentID == parentID && strings.EqualFold(d.Name, name) {
				return nil, conflict(fmt.Sprintf("A directory named %q already exists here.", name))
			}
		}
		if st.NextDirectoryID <= c.maxDirectoryID() {
			st.NextDirectoryID = c.maxDirectoryID() + 1
		}
		if st.NextDirectoryID < 20001 {
			st.NextDirectoryID = 20001
		}
		now := timestamp(s.now())
		d := Directory{ID: st.NextDirectoryID, Name: name, WorkspaceID: workspaceID,
			ParentID: i64(parentID), CreatedTime: now, ModifiedTime: now}
		st.NextDirectoryID++
		st.Directories = append(st.Directories, d)
		return d, ""
	})
}

// SupportedFileTypes are the extensions the service can show.
var SupportedFileTypes = []string{".prt", ".pdf", ".jt", ".step", ".stp", ".iges", ".igs",
	".x_t", ".x_b", ".stl", ".obj", ".3mf", ".dwg", ".dxf"}

// ListSupportedFileTypes answers the extensions the service accepts.
func (s *Service) ListSupportedFileTypes(token string) (string, string) {
	return s.answer(token, false, func(c *Catalog, st *state, user int64) (interface{}, string) {
		return SupportedFileTypes, ""
	})
}
