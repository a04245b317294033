// Upload jobs: an upload run in the background whose progress can be asked for and which
// can be cancelled until its files are being registered.
package service

import (
	"encoding/json"
	"fmt"
	"os"
	"sort"
	"strings"
	"sync"
	"time"
)

const defaultJobStep = 100 * time.Millisecond

// Job states.
const (
	JobQueued             = "queued"
	JobUploading          = "uploading"
	JobRegistering        = "registering"
	JobCompleted          = "completed"
	JobCompletedWithError = "completed_with_errors"
	JobFailed             = "failed"
	JobCancelled          = "cancelled"
)

type jobProgress struct {
	InputFilesTotal int   `json:"input_files_total"`
	WorkspacesTotal int   `json:"workspaces_total"`
	FilesTotal      int   `json:"files_total"`
	FilesUploading  int   `json:"files_uploading"`
	FilesUploaded   int   `json:"files_uploaded"`
	FilesFailed     int   `json:"files_failed"`
	FilesRemaining  int   `json:"files_remaining"`
	BytesTotal      int64 `json:"bytes_total"`
	BytesUploaded   int64 `json:"bytes_uploaded"`
}

type jobRegistration struct {
	Pending     int `json:"pending"`
	Registering int `json:"registering"`
	Registered  int `json:"registered"`
	Failed      int `json:"failed"`
	Skipped     int `json:"skipped"`
}

type jobCancellation struct {
	Requested bool    `json:"requested"`
	CanCancel bool    `json:"can_cancel"`
	Reason    *string `json:"reason"`
}

type jobStatus struct {
	JobID        string              `json:"job_id"`
	Status       string              `json:"status"`
	CreatedAt    string              `json:"created_at"`
	UpdatedAt    string              `json:"updated_at"`
	ExpiresAt    string              `json:"expires_at"`
	Progress     jobProgress         `json:"progress"`
	Registration jobRegistration     `json:"registration"`
	Cancellation jobCancellation     `json:"cancellation"`
	Errors       []string            `json:"errors"`
	Results      []map[string]string `json:"results"`
}

type job struct {
	mu       sync.Mutex
	status   jobStatus
	created  time.Time
	expires  time.Time
	finished bool
}

func (j *job) snapshot() string {
	j.mu.Lock()
	defer j.mu.Unlock()
	data, _ := json.Marshal(j.status)
	return string(data)
}

type jobTable struct {
	mu   sync.Mutex
	jobs map[string]*job
}

func (t *jobTable) init() { t.jobs = map[string]*job{} }

// prune drops expired jobs, then the oldest finished ones beyond the retained count.
func (t *jobTable) prune(now time.Time, keep int) {
	var finished []*job
	for id, j := range t.jobs {
		j.mu.Lock()
		expired, done := now.After(j.expires), j.finished
		j.mu.Unlock()
		if expired {
			delete(t.jobs, id)
		} else if done {
			finished = append(finished, j)
		}
	}
	if len(t.jobs) <= keep {
		return
	}
	sort.Slice(finished, func(a, b int) bool { return finished[a].created.Before(finished[b].created) })
	for _, j := range finished {
		if len(t.jobs) <= keep {
			break
		}
		delete(t.jobs, j.status.JobID)
	}
}

func (s *Service) findJob(id string) *job {
	settings := s.Settings()
	s.jobs.mu.Lock()
	defer s.jobs.mu.Unlock()
	s.jobs.prune(s.now(), settings.MaxRetainedJobs)
	return s.jobs.jobs[id]
}

func jobNotFound(id string) string {
	return notFound(fmt.Sprintf("Upload job %q was not found.", id))
}

// StartUpload checks the request at once and runs the upload in the background.
func (s *Service) StartUpload(token, text string) (string, string) {
	p, failure := s.planUpload(token, text)
	if failure != "" {
		return "", failure
	}
	settings := s.Settings()
	now := s.now()
	j := &job{created: now,
		expires: now.Add(time.Duration(settings.JobRetentionMinutes) * time.Minute)}
	j.status = jobStatus{JobID: "job_" + randomHex(12), Status: JobQueued,
		CreatedAt: timestamp(now), UpdatedAt: timestamp(now), ExpiresAt: timestamp(j.expires),
		Errors: []string{}, Results: []map[string]string{}}
	j.status.Progress = jobProgress{InputFilesTotal: len(p.req.Files),
		WorkspacesTotal: len(p.targets), FilesTotal: len(p.req.Files),
		FilesRemaining: len(p.req.Files)}
	for _, f := range p.req.Files {
		if info, err := os.Stat(f.LocalFilePath); err == nil && info.Mode().IsRegular() {
			j.status.Progress.BytesTotal += info.Size()
		}
	}
	j.status.Registration.Pending = len(p.req.Files)
	j.status.Cancellation.CanCancel = true

	s.jobs.mu.Lock()
	s.jobs.jobs[j.status.JobID] = j
	s.jobs.prune(now, settings.MaxRetainedJobs)
	s.jobs.mu.Unlock()
	// The environment is read here, not in the job: the host may change it between calls.
	go s.runJob(j, p, settings.RegisterOnlyIfAll, s.envMillis(EnvJobStepMS, defaultJobStep))
	data, _ := json.Marshal(map[string]string{"job_id": j.status.JobID, "status": JobQueued,
		"created_at": j.status.CreatedAt})
	return string(data), ""
}

func (s *Service) runJob(j *job, p *uploadPlan, registerOnlyIfAll bool, step time.Duration) {
	update := func(fn func(st *jobStatus)) {
		j.mu.Lock()
		fn(&j.status)
		j.status.UpdatedAt = timestamp(s.now())
		j.mu.Unlock()
	}
	cancelled := func() bool {
		j.mu.Lock()
		defer j.mu.Unlock()
		return j.status.Cancellation.Requested
	}
	dir := s.newStagingDir()
	defer os.RemoveAll(dir)
	update(func(st *jobStatus) { st.Status = JobUploading })

	var staged []stagedFile
	var items []string
	for _, f := range p.req.Files {
		if cancelled() {
			break
		}
		update(func(st *jobStatus) { st.Progress.FilesUploading = 1 })
		time.Sleep(step)
		sf := stage(dir, f)
		staged = append(staged, sf)
		update(func(st *jobStatus) {
			st.Progress.FilesUploading = 0
			st.Progress.FilesRemaining--
			if sf.failure != "" {
				st.Progress.FilesFailed++
				st.Registration.Pending--
				st.Registration.Failed++
				st.Errors = append(st.Errors, sf.failure)
				items = append(items, sf.failure)
			} else {
				st.Progress.FilesUploaded++
				st.Progress.BytesUploaded += sf.size
			}
		})
	}

	j.mu.Lock()
	if j.status.Cancellation.Requested {
		j.status.Status = JobCancelled
		j.status.Registration.Skipped += j.status.Registration.Pending
		j.status.Registration.Pending = 0
		j.status.Cancellation.CanCancel = false
		j.status.UpdatedAt = timestamp(s.now())
		j.finished = true
		j.mu.Unlock()
		s.log.write(levelInfo, "Upload job %s cancelled", j.status.JobID)
		return
	}
	j.status.Cancellation.CanCancel = false
	j.mu.Unlock()

	ok := len(p.req.Files) - len(items)
	if len(items) > 0 && registerOnlyIfAll {
		update(func(st *jobStatus) {
			st.Registration.Skipped += st.Registration.Pending
			st.Registration.Pending = 0
			st.Errors = append(st.Errors, registrationSkipped)
			st.Status = JobFailed
		})
	} else {
		update(func(st *jobStatus) {
			st.Status = JobRegistering
			st.Registration.Registering = st.Registration.Pending
			st.Registration.Pending = 0
		})
		time.Sleep(step)
		entries, more := s.register(p, staged)
		update(func(st *jobStatus) {
			st.Registration.Registering = 0
			st.Registration.Failed += len(more)
			st.Registration.Registered = ok - len(more)
			st.Errors = append(st.Errors, more...)
			st.Results = append(st.Results, entries...)
			switch {
			case len(st.Errors) == 0:
				st.Status = JobCompleted
			case st.Registration.Registered > 0:
				st.Status = JobCompletedWithError
			default:
				st.Status = JobFailed
			}
		})
	}
	j.mu.Lock()
	j.finished = true
	s.log.write(levelInfo, "Upload job %s %s: %s", j.status.JobID, j.status.Status,
		strings.Join(j.status.Errors, ", "))
	j.mu.Unlock()
}

// GetUploadStatus answers a job's current status.
func (s *Service) GetUploadStatus(id string) (string, string) {
	j := s.findJob(id)
	if j == nil {
		return "", jobNotFound(id)
	}
	return j.snapshot(), ""
}

// CancelUpload asks a job to stop before its next file. A job that has finished or is
// registering answers its status together with the reason it cannot be cancelled.
func (s *Service) CancelUpload(id string) (string, string) {
	j := s.findJob(id)
	if j == nil {
		return "", jobNotFound(id)
	}
	j.mu.Lock()
	var refusal string
	switch {
	case j.finished:
		refusal = fmt.Sprintf("upload job %s has already finished (%s) and cannot be cancelled",
			id, j.status.Status)
	case !j.status.Cancellation.CanCancel:
		refusal = fmt.Sprintf("upload job %s is registering its files and cannot be cancelled", id)
	default:
		reason := "cancelled at the client's request"
		j.status.Cancellation.Requested = true
		j.status.Cancellation.Reason = &reason
		j.status.UpdatedAt = timestamp(s.now())
	}
	j.mu.Unlock()
	return j.snapshot(), refusal
}
