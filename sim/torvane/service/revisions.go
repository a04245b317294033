// Revision lookup: which uploaded revisions of a source file a workspace holds.
package service

import (
	"sort"
	"strconv"
)

type revisionAnswer struct {
	AssetID                 int64       `json:"asset_id"`
	BOMAssetID              *int64      `json:"bom_asset_id,omitempty"`
	DirectoryID             int64       `json:"directory_id"`
	Link                    string      `json:"link"`
	RevisionLinkID          int64       `json:"revision_link_id"`
	WorkspaceID             int64       `json:"workspace_id"`
	BOMRevisionID           string      `json:"bom_revision_id"`
	UnresolvedFeedbackCount int64       `json:"unresolved_feedback_count"`
	Review                  interface{} `json:"review"`
	Message                 string      `json:"message"`
	SourceVersion           string      `json:"source_version"`
	SourceRevisionID        string      `json:"source_revision_id"`
	RevisionID              int64       `json:"revision_id"`
	Filename                string      `json:"filename"`
	CreatedTime             string      `json:"created_time"`
}

// RevisionQuery is what FindRevision asks. AssetID (the first text) narrows to one asset
// when given; LatestOnly looks only at each asset's newest revision. The other flags are
// accepted and journaled only.
type RevisionQuery struct {
	AssetID          string
	SourceFileID     string
	SourceVersionID  string
	SourceRevisionID string
	WorkspaceID      int64
	LatestOnly       bool
}

// FindRevision answers the matching revisions, newest first, or the service's 404 text when
// there is none.
func (s *Service) FindRevision(token string, q RevisionQuery) (string, string) {
	if q.SourceFileID == "" && q.AssetID == "" {
		return "", badRequest("A source file id or an asset id is required.")
	}
	base, failure := s.models.base()
	if failure != "" {
		return "", failure
	}
	return s.answer(token, false, func(c *Catalog, st *state, user int64) (interface{}, string) {
		if c.workspace(q.WorkspaceID) == nil {
			return nil, revisionNotFound()
		}
		var out []revisionAnswer
		for _, a := range st.Assets {
			if a.WorkspaceID != q.WorkspaceID ||
				(q.SourceFileID != "" && a.SourceFileID != q.SourceFileID) ||
				(q.AssetID != "" && strconv.FormatInt(a.ID, 10) != q.AssetID) {
				continue
			}
			revs := a.Revisions
			if q.LatestOnly && len(revs) > 0 {
				revs = revs[len(revs)-1:]
			}
			for _, r := range revs {
				if q.SourceRevisionID != "" && r.SourceRevisionID != q.SourceRevisionID {
					continue
				}
				if q.SourceVersionID != "" && r.SourceVersionID != "" &&
					r.SourceVersionID != q.SourceVersionID {
					continue
				}
				ans := revisionAnswer{AssetID: a.ID, DirectoryID: r.DirectoryID,
					Link: modelLink(base, a.ID, r.Number), RevisionLinkID: r.LinkID,
					WorkspaceID: a.WorkspaceID, BOMRevisionID: r.BOMRevisionID,
					SourceVersion: r.SourceVersionID, SourceRevisionID: r.SourceRevisionID,
					RevisionID: r.Number, Filename: r.Filename, CreatedTime: r.CreatedTime}
				if r.BOMAssetID != 0 {
					ans.BOMAssetID = i64(r.BOMAssetID)
				}
				out = append(out, ans)
			}
		}
		if len(out) == 0 {
			return nil, revisionNotFound()
		}
		sort.SliceStable(out, func(i, j int) bool {
			if out[i].AssetID != out[j].AssetID {
				return out[i].AssetID < out[j].AssetID
			}
			return out[i].RevisionID > out[j].RevisionID
		})
		return out, ""
	})
}
