// The library's C interface: one exported function per call of the Torvane library, each a
// thin wrapper that hands its arguments to the local service.
package main

/*
#include <stdlib.h>
*/
import "C"

import (
	"os"
	"path/filepath"
	"strings"
	"sync"
	"time"
	"unsafe"

	"synquo.example/torvane-sim/service"
)

var (
	serviceOnce sync.Once
	theService  *service.Service
)

// svc creates the service on the first call, so the store directory comes from the
// environment as it is then.
func svc() *service.Service {
	serviceOnce.Do(func() { theService = service.New(storeHome(), liveGetenv) })
	return theService
}

// storeHome is TORVANE_SIM_HOME, else a folder beside the library, else one in the
// current directory.
func storeHome() string {
	if home := liveGetenv(service.EnvHome); home != "" {
		return home
	}
	if lib := modulePath(); lib != "" {
		return filepath.Join(filepath.Dir(lib), "torvane-sim-data")
	}
	wd, err := os.Getwd()
	if err != nil {
		wd = "."
	}
	return filepath.Join(wd, "torvane-sim-data")
}

// cstr hands a text to the caller, who returns it through FreeAllocatedString; an empty
// text is a null pointer.
func cstr(s string) *C.char {
	if s == "" {
		return nil
	}
	return C.CString(s)
}

func holder(payload, errText string) (*C.char, *C.char) { return cstr(payload), cstr(errText) }

// own copies a string argument: its bytes belong to the caller and only last for the call.
func own(s string) string { return strings.Clone(s) }

type args = map[string]interface{}

func noResult(fn func()) func() (string, string) {
	return func() (string, string) {
		fn()
		return "", ""
	}
}

//export Initialize
func Initialize(options string) (*C.char, *C.char) {
	options = own(options)
	return holder(svc().Call("Initialize", args{"options": service.JSONArg(options)},
		func() (string, string) { return svc().Initialize(options) }))
}

//export LocalAuthFlowAuthorize
func LocalAuthFlowAuthorize() (*C.char, *C.char) {
	return holder(svc().Call("LocalAuthFlowAuthorize", nil,
		func() (string, string) { return svc().Authorize(0) }))
}

//export LocalAuthFlowAuthorizeWithTimeout
func LocalAuthFlowAuthorizeWithTimeout(timeoutSeconds int64) (*C.char, *C.char) {
	return holder(svc().Call("LocalAuthFlowAuthorizeWithTimeout",
		args{"timeout_seconds": timeoutSeconds}, func() (string, string) {
			return svc().Authorize(time.Duration(timeoutSeconds) * time.Second)
		}))
}

//export LocalAuthFlowComplete
func LocalAuthFlowComplete() (*C.char, *C.char) {
	return holder(svc().Call("LocalAuthFlowComplete", nil, svc().Complete))
}

//export LocalAuthFlowGenerateAccessToken
func LocalAuthFlowGenerateAccessToken(refreshToken string) (*C.char, *C.char) {
	refreshToken = own(refreshToken)
	return holder(svc().Call("LocalAuthFlowGenerateAccessToken",
		args{"refresh_token": service.MaskToken(refreshToken)},
		func() (string, string) { return svc().GenerateAccessToken(refreshToken) }))
}

//export LocalAuthFlowLogout
func LocalAuthFlowLogout() (*C.char, *C.char) {
	return holder(svc().Call("LocalAuthFlowLogout", nil, svc().Logout))
}

//export GetAllWorkspaces
func GetAllWorkspaces(token, filter string) (*C.char, *C.char) {
	token, filter = own(token), own(filter)
	return holder(svc().Call("GetAllWorkspaces",
		args{"token": service.MaskToken(token), "filter": filter},
		func() (string, string) { return svc().GetAllWorkspaces(token, filter) }))
}

//export GetWorkspace
func GetWorkspace(token string, workspaceID uint64) (*C.char, *C.char) {
	token = own(token)
	id := int64(workspaceID)
	return holder(svc().Call("GetWorkspace",
		args{"token": service.MaskToken(token), "workspace_id": id},
		func() (string, string) { return svc().GetWorkspace(token, id) }))
}

//export GetWorkspaceUser
func GetWorkspaceUser(token string, workspaceID uint64, userID string) (*C.char, *C.char) {
	token, userID = own(token), own(userID)
	id := int64(workspaceID)
	return holder(svc().Call("GetWorkspaceUser",
		args{"token": service.MaskToken(token), "workspace_id": id, "user_id": userID},
		func() (string, string) { return svc().GetWorkspaceUser(token, id, userID) }))
}

//export GetCurrentUser
func GetCurrentUser(token string) (*C.char, *C.char) {
	token = own(token)
	return holder(svc().Call("GetCurrentUser", args{"token": service.MaskToken(token)},
		func() (string, string) { return svc().GetCurrentUser(token) }))
}

//export GetRootDirectory
func GetRootDirectory(token string, workspaceID uint64) (*C.char, *C.char) {
	token = own(token)
	id := int64(workspaceID)
	return holder(svc().Call("GetRootDirectory",
		args{"token": service.MaskToken(token), "workspace_id": id},
		func() (string, string) { return svc().GetRootDirectory(token, id) }))
}

//export GetDirectory
func GetDirectory(token string, workspaceID uint64, directoryID string) (*C.char, *C.char) {
	token, directoryID = own(token), own(directoryID)
	id := int64(workspaceID)
	return holder(svc().Call("GetDirectory",
		args{"token": service.MaskToken(token), "workspace_id": id, "directory_id": directoryID},
		func() (string, string) { return svc().GetDirectory(token, id, directoryID) }))
}

//export GetSubDirectories
func GetSubDirectories(token string, workspaceID uint64, directoryID string) (*C.char, *C.char) {
	token, directoryID = own(token), own(directoryID)
	id := int64(workspaceID)
	return holder(svc().Call("GetSubDirectories",
		args{"token": service.MaskToken(token), "workspace_id": id, "directory_id": directoryID},
		func() (string, string) { return svc().GetSubDirectories(token, id, directoryID) }))
}

//export FindRevision
func FindRevision(token, assetID, sourceFileID, sourceVersionID, sourceRevisionID string,
	workspaceID uint64, flag1, latestOnly, flag3, flag4 bool) (*C.char, *C.char) {
	q := service.RevisionQuery{AssetID: own(assetID), SourceFileID: own(sourceFileID),
		SourceVersionID: own(sourceVersionID), SourceRevisionID: own(sourceRevisionID),
		WorkspaceID: int64(workspaceID), LatestOnly: latestOnly}
	token = own(token)
	return holder(svc().Call("FindRevision", args{"token": service.MaskToken(token),
		"text1": q.AssetID, "text2": q.SourceFileID, "text3": q.SourceVersionID,
		"text4": q.SourceRevisionID, "workspace_id": q.WorkspaceID,
		"flags": []bool{flag1, latestOnly, flag3, flag4}},
		func() (string, string) { return svc().FindRevision(token, q) }))
}

//export ListSupportedFileTypes
func ListSupportedFileTypes(token string) (*C.char, *C.char) {
	token = own(token)
	return holder(svc().Call("ListSupportedFileTypes", args{"token": service.MaskToken(token)},
		func() (string, string) { return svc().ListSupportedFileTypes(token) }))
}

//export Upload
func Upload(token, payload string, flag bool) (*C.char, *C.char) {
	token, payload = own(token), own(payload)
	return holder(svc().Call("Upload", args{"token": service.MaskToken(token),
		"payload": service.JSONArg(payload), "flag": flag},
		func() (string, string) { return svc().Upload(token, payload) }))
}

//export StartUpload
func StartUpload(token, payload string, flag bool) (*C.char, *C.char) {
	token, payload = own(token), own(payload)
	return holder(svc().Call("StartUpload", args{"token": service.MaskToken(token),
		"payload": service.JSONArg(payload), "flag": flag},
		func() (string, string) { return svc().StartUpload(token, payload) }))
}

//export GetUploadStatus
func GetUploadStatus(jobID string) (*C.char, *C.char) {
	jobID = own(jobID)
	return holder(svc().Call("GetUploadStatus", args{"job_id": jobID},
		func() (string, string) { return svc().GetUploadStatus(jobID) }))
}

//export CancelUpload
func CancelUpload(jobID string) (*C.char, *C.char) {
	jobID = own(jobID)
	return holder(svc().Call("CancelUpload", args{"job_id": jobID},
		func() (string, string) { return svc().CancelUpload(jobID) }))
}

//export CreateDirectory
func CreateDirectory(token string, workspaceID, parentID uint64, name string) (*C.char, *C.char) {
	token, name = own(token), own(name)
	ws, parent := int64(workspaceID), int64(parentID)
	return holder(svc().Call("CreateDirectory", args{"token": service.MaskToken(token),
		"workspace_id": ws, "parent_id": parent, "name": name},
		func() (string, string) { return svc().CreateDirectory(token, ws, parent, name) }))
}

//export SetDebugMode
func SetDebugMode(enabled bool) {
	svc().Call("SetDebugMode", args{"enabled": enabled},
		noResult(func() { svc().SetDebugMode(enabled) }))
}

//export SetUSRegion
func SetUSRegion(enabled bool) {
	svc().Call("SetUSRegion", args{"enabled": enabled},
		noResult(func() { svc().SetUSRegion(enabled) }))
}

//export SetRegisterOnlyIfAllFilesUploaded
func SetRegisterOnlyIfAllFilesUploaded(enabled bool) {
	svc().Call("SetRegisterOnlyIfAllFilesUploaded", args{"enabled": enabled},
		noResult(func() { svc().SetRegisterOnlyIfAllFilesUploaded(enabled) }))
}

//export SetUploadSource
func SetUploadSource(source, sourceID, displayName string) (*C.char, *C.char) {
	source, sourceID, displayName = own(source), own(sourceID), own(displayName)
	return holder(svc().Call("SetUploadSource",
		args{"source": source, "source_id": sourceID, "display_name": displayName},
		func() (string, string) { return svc().SetUploadSource(source, sourceID, displayName) }))
}

//export SetExternalServer
func SetExternalServer(server string) (*C.char, *C.char) {
	server = own(server)
	return holder(svc().Call("SetExternalServer", args{"server": service.JSONArg(server)},
		func() (string, string) { return svc().SetExternalServer(server) }))
}

//export SetLogFile
func SetLogFile(path string) {
	path = own(path)
	svc().Call("SetLogFile", args{"path": path}, noResult(func() { svc().SetLogFile(path) }))
}

//export SetLogLevel
func SetLogLevel(level string) {
	level = own(level)
	svc().Call("SetLogLevel", args{"level": level}, noResult(func() { svc().SetLogLevel(level) }))
}

//export CloseLogFile
func CloseLogFile() {
	svc().Call("CloseLogFile", nil, noResult(svc().CloseLogFile))
}

//export AddServiceInfo
func AddServiceInfo(name, version string) {
	name, version = own(name), own(version)
	svc().Call("AddServiceInfo", args{"name": name, "version": version},
		noResult(func() { svc().AddServiceInfo(name, version) }))
}

//export FreeAllocatedString
func FreeAllocatedString(text *C.char) {
	if text != nil {
		C.free(unsafe.Pointer(text))
	}
}

func main() {}
