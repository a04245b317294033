// The catalog: workspaces, users and directories the service knows about, from a seed
// file or built-in defaults.
package service

import (
	"encoding/json"
	"fmt"
	"os"
	"strings"
)

// Workspace is one workspace as the service lists it.
type Workspace struct {
	ID                 int64   `json:"id"`
	Name               string  `json:"name"`
	Color              string  `json:"color,omitempty"`
	CreatedByUserID    *int64  `json:"created_by_user_id,omitempty"`
	CreatedTime        string  `json:"created_time,omitempty"`
	ModifiedTime       string  `json:"modified_time,omitempty"`
	DownloadingAllowed bool    `json:"downloading_allowed"`
	ProjectID          *int64  `json:"project_id,omitempty"`
	SourceState        *string `json:"source_state,omitempty"`
	UUID               string  `json:"uuid,omitempty"`
}

// User is one account.
type User struct {
	ID           int64  `json:"id"`
	CompanyID    *int64 `json:"company_id,omitempty"`
	Email        string `json:"email,omitempty"`
	Username     string `json:"username,omitempty"`
	FirstName    string `json:"first_name,omitempty"`
	LastName     string `json:"last_name,omitempty"`
	PhoneNumber  string `json:"phone_number,omitempty"`
	JobTitle     string `json:"job_title,omitempty"`
	CreatedTime  string `json:"created_time,omitempty"`
	ModifiedTime string `json:"modified_time,omitempty"`
}

// Directory is a folder inside a workspace; a root directory has no parent.
type Directory struct {
	ID           int64  `json:"id"`
	Name         string `json:"name"`
	WorkspaceID  int64  `json:"workspace_id"`
	ParentID     *int64 `json:"parent_id,omitempty"`
	CreatedTime  string `json:"created_time,omitempty"`
	ModifiedTime string `json:"modified_time,omitempty"`
}

// Catalog is the seed: what exists before anything is uploaded or created.
type Catalog struct {
	Workspaces    []Workspace `json:"workspaces"`
	Users         []User      `json:"users"`
	User          *User       `json:"user,omitempty"`
	CurrentUserID int64       `json:"current_user_id,omitempty"`
	Directories   []Directory `json:"directories"`
}

func i64(v int64) *int64   { return &v }
func str(v string) *string { return &v }

// DefaultCatalog is what a fresh store offers when no seed file is given.
func DefaultCatalog() *Catalog {
	c := &Catalog{
		Workspaces: []Workspace{
			{ID: 101, Name: "Design Review", Color: "#2f6fde", CreatedByUserID: i64(7),
				CreatedTime: "2024-01-15T09:30:00Z", ModifiedTime: "2024-05-02T14:12:00Z",
				DownloadingAllowed: true, ProjectID: i64(5001),
				UUID: "6f1c2a9e-3b4d-4e8f-9a10-2c3d4e5f6a71"},
			{ID: 102, Name: "Supplier Exchange", Color: "#e39b1b", CreatedByUserID: i64(7),
				CreatedTime: "2024-02-20T08:00:00Z", ModifiedTime: "2024-04-11T10:45:00Z",
				DownloadingAllowed: false, SourceState: str("released"),
				UUID: "0b7d5c3e-8f21-4a6b-b3c4-d5e6f7a8b902"},
			{ID: 103, Name: "Prototype Lab", Color: "#3fa66b", CreatedByUserID: i64(8),
				CreatedTime: "2024-03-03T16:20:00Z", ModifiedTime: "2024-03-03T16:20:00Z",
				DownloadingAllowed: true, ProjectID: i64(5002),
				UUID: "9a8b7c6d-5e4f-4a3b-8c2d-1e0f9a8b7c63"},
		},
		Users: []User{
			{ID: 7, CompanyID: i64(42), Email: "jordan.lee@synquo.example", Username: "jordan.lee",
				FirstName: "Jordan", LastName: "Lee", PhoneNumber: "+1 555 0100",
				JobTitle: "Design Engineer", CreatedTime: "2023-11-01T12:00:00Z",
				ModifiedTime: "2024-04-30T08:15:00Z"},
			{ID: 8, CompanyID: i64(42), Email: "sam.ortiz@synquo.example", Username: "sam.ortiz",
				FirstName: "Sam", LastName: "Ortiz", JobTitle: "Reviewer",
				CreatedTime: "2023-12-05T09:00:00Z", ModifiedTime: "2023-12-05T09:00:00Z"},
		},
		CurrentUserID: 7,
		Directories: []Directory{
			{ID: 1001, Name: "Design Review", WorkspaceID: 101, CreatedTime: "2024-01-15T09:30:00Z"},
			{ID: 1002, Name: "Supplier Exchange", WorkspaceID: 102,
				CreatedTime: "2024-02-20T08:00:00Z"},
			{ID: 1003, Name: "Prototype Lab", WorkspaceID: 103, CreatedTime: "2024-03-03T16:20:00Z"},
			{ID: 1011, Name: "Fixtures", WorkspaceID: 101, ParentID: i64(1001),
				CreatedTime: "2024-01-16T11:00:00Z"},
		},
	}
	return c
}

// LoadCatalog reads a seed file and completes it: a single "user" joins the user list and
// every workspace without a root directory gets one.
func LoadCatalog(path string) (*Catalog, error) {
	if path == "" {
		return DefaultCatalog(), nil
	}
	data, err := os.ReadFile(path)
	if err != nil {
		return nil, fmt.Errorf("cannot read seed file %s: %v", path, err)
	}
	c := &Catalog{}
	dec := json.NewDecoder(strings.NewReader(string(data)))
	if err := dec.Decode(c); err != nil {
		return nil, fmt.Errorf("bad seed file %s: %v", path, err)
	}
	if c.User != nil {
		c.Users = append([]User{*c.User}, c.Users...)
		c.User = nil
	}
	if len(c.Users) == 0 {
		return nil, fmt.Errorf("bad seed file %s: no user", path)
	}
	if c.CurrentUserID == 0 {
		c.CurrentUserID = c.Users[0].ID
	}
	if c.user(c.CurrentUserID) == nil {
		return nil, fmt.Errorf("bad seed file %s: current_user_id %d is not a user", path,
			c.CurrentUserID)
	}
	c.completeRoots()
	return c, nil
}

func (c *Catalog) completeRoots() {
	var maxID int64
	for _, d := range c.Directories {
		if d.ID > maxID {
			maxID = d.ID
		}
	}
	for _, w := range c.Workspaces {
		if c.root(w.ID) == nil {
			maxID++
			c.Directories = append(c.Directories, Directory{ID: maxID, Name: w.Name,
				WorkspaceID: w.ID, CreatedTime: w.CreatedTime})
		}
	}
}

func (c *Catalog) workspace(id int64) *Workspace {
	for i := range c.Workspaces {
		if c.Workspaces[i].ID == id {
			return &c.Workspaces[i]
		}
	}
	return nil
}

func (c *Catalog) user(id int64) *User {
	for i := range c.Users {
		if c.Users[i].ID == id {
			return &c.Users[i]
		}
	}
	return nil
}

func (c *Catalog) root(workspaceID int64) *Directory {
	for i := range c.Directories {
		d := &c.Directories[i]
		if d.WorkspaceID == workspaceID && d.ParentID == nil {
			return d
		}
	}
	return nil
}

func (c *Catalog) maxDirectoryID() int64 {
	var maxID int64
	for _, d := range c.Directories {
		if d.ID > maxID {
			maxID = d.ID
		}
	}
	return maxID
}
