// Upload jobs: progress to completion, cancellation and the status after the end.
package service

import (
	"encoding/json"
	"path/filepath"
	"strings"
	"testing"
	"time"
)

func jobID(t *testing.T, payload string) string {
	t.Helper()
	var start map[string]string
	mustUnmarshal(t, payload, &start)
	if start["job_id"] == "" {
		t.Fatalf("no job id in %s", payload)
	}
	return start["job_id"]
}

func waitForJob(t *testing.T, s *Service, id string) jobStatus {
	t.Helper()
	deadline := time.Now().Add(10 * time.Second)
	for time.Now().Before(deadline) {
		payload, errText := s.GetUploadStatus(id)
		if errText != "" {
			t.Fatal(errText)
		}
		var st jobStatus
		mustUnmarshal(t, payload, &st)
		switch st.Status {
		case JobCompleted, JobCompletedWithError, JobFailed, JobCancelled:
			return st
		}
		time.Sleep(20 * time.Millisecond)
	}
	t.Fatal("job did not finish")
	return jobStatus{}
}

func TestJobRunsToCompletionWithFullStatus(t *testing.T) {
	s, env := newTestService(t)
	env.set(EnvJobStepMS, "30")
	tok := signIn(t, s).AccessToken
	dir := t.TempDir()
	a := writeFile(t, dir, "a.prt", "aaaa")
	b := writeFile(t, dir, "b.prt", "bbbbbb")
	payload, errText := s.StartUpload(tok, uploadPayload(101, 1001, "",
		uploadFile{LocalFilePath: a, SourceFileID: "A1"}, uploadFile{LocalFilePath: b}))
	if errText != "" {
		t.Fatal(errText)
	}
	id := jobID(t, payload)

	first, _ := s.GetUploadStatus(id)
	var raw map[string]interface{}
	mustUnmarshal(t, first, &raw)
	for _, key := range []string{"job_id", "status", "created_at", "updated_at", "expires_at",
		"progress", "registration", "cancellation", "errors"} {
		if _, ok := raw[key]; !ok {
			t.Errorf("status lacks %q: %s", key, first)
		}
	}
	expectContains(t, first, `"input_files_total":2`, `"bytes_total":10`, `"can_cancel":true`)

	st := waitForJob(t, s, id)
	if st.Status != JobCompleted || st.Progress.FilesUploaded != 2 || st.Progress.FilesRemaining != 0 ||
		st.Progress.BytesUploaded != 10 || st.Registration.Registered != 2 ||
		st.Registration.Pending != 0 || len(st.Errors) != 0 || st.Cancellation.CanCancel {
		t.Errorf("final status %+v", st)
	}
	if _, errText := s.FindRevision(tok, RevisionQuery{SourceFileID: "A1", WorkspaceID: 101,
		LatestOnly: true}); errText != "" {
		t.Errorf("job upload not registered: %s", errText)
	}
	status, refusal := s.CancelUpload(id)
	if status == "" || !strings.Contains(refusal, "already finished") {
		t.Errorf("cancel after the end: %q %q", status, refusal)
	}
}

func TestJobWithMissingFileCompletesWithErrors(t *testing.T) {
	s, _ := newTestService(t)
	tok := signIn(t, s).AccessToken
	a := writeFile(t, t.TempDir(), "a.prt", "a")
	payload, _ := s.StartUpload(tok, uploadPayload(101, 1001, "",
		uploadFile{LocalFilePath: a}, uploadFile{LocalFilePath: "/missing/b.prt"}))
	st := waitForJob(t, s, jobID(t, payload))
	if st.Status != JobCompletedWithError || st.Progress.FilesFailed != 1 ||
		st.Registration.Failed != 1 || st.Registration.Registered != 1 ||
		len(st.Errors) != 1 || st.Errors[0] != "file not found: /missing/b.prt" {
		t.Errorf("status %+v", st)
	}
}

func TestCancelledJobRegistersNothing(t *testing.T) {
	s, env := newTestService(t)
	env.set(EnvJobStepMS, "300")
	tok := signIn(t, s).AccessToken
	dir := t.TempDir()
	var files []uploadFile
	for _, n := range []string{"a.prt", "b.prt", "c.prt"} {
		files = append(files, uploadFile{LocalFilePath: writeFile(t, dir, n, n), SourceFileID: n})
	}
	payload, _ := s.StartUpload(tok, uploadPayload(101, 1001, "", files...))
	id := jobID(t, payload)
	status, refusal := s.CancelUpload(id)
	if refusal != "" || !strings.Contains(status, `"requested":true`) {
		t.Fatalf("cancel: %s %q", status, refusal)
	}
	st := waitForJob(t, s, id)
	if st.Status != JobCancelled || st.Cancellation.Reason == nil || st.Registration.Registered != 0 {
		t.Errorf("status %+v", st)
	}
	if stored, _ := filepath.Glob(filepath.Join(s.Home(), "files", "*")); len(stored) != 0 {
		t.Errorf("files kept: %v", stored)
	}
}

func TestJobRequestsAreCheckedAtOnce(t *testing.T) {
	s, _ := newTestService(t)
	_, errText := s.StartUpload("at_nobody", uploadPayload(101, 1001, "", uploadFile{LocalFilePath: "x"}))
	is401(t, errText)
	tok := signIn(t, s).AccessToken
	_, errText = s.StartUpload(tok, "{")
	expectContains(t, errText, "400")
	for _, call := range []func(string) (string, string){s.GetUploadStatus, s.CancelUpload} {
		payload, errText := call("job_unknown")
		if payload != "" || !strings.HasPrefix(errText, "received non-200 status code: 404: ") {
			t.Errorf("unknown job: %q %q", payload, errText)
		}
	}
}

func TestRetentionDropsFinishedJobs(t *testing.T) {
	s, _ := newTestService(t)
	if _, errText := s.Initialize(`{"uploadConfiguration":{"maxRetainedJobs":1}}`); errText != "" {
		t.Fatal(errText)
	}
	tok := signIn(t, s).AccessToken
	a := writeFile(t, t.TempDir(), "a.prt", "a")
	body := uploadPayload(101, 1001, "", uploadFile{LocalFilePath: a})
	p1, _ := s.StartUpload(tok, body)
	first := jobID(t, p1)
	waitForJob(t, s, first)
	p2, _ := s.StartUpload(tok, body)
	waitForJob(t, s, jobID(t, p2))
	if _, errText := s.GetUploadStatus(first); !strings.Contains(errText, "404") {
		t.Errorf("the older job was kept: %q", errText)
	}
	var raw json.RawMessage
	p3, _ := s.GetUploadStatus(jobID(t, p2))
	mustUnmarshal(t, p3, &raw)
}
