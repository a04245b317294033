// Settings: what Initialize and the Set functions tell the library.
package service

import (
	"encoding/json"
	"fmt"
	"sort"
	"strings"
)

// UploadSource names the integration that uploads.
type UploadSource struct {
	Source      string `json:"source"`
	SourceID    string `json:"source_id,omitempty"`
	DisplayName string `json:"display_name,omitempty"`
}

// Settings is a snapshot of the library's configuration.
type Settings struct {
	Initialized         bool
	ExternalServer      map[string]interface{}
	LogFile             string
	LogLevel            string
	DisableStdStreams   bool
	DebugMode           bool
	USRegion            bool
	RegisterOnlyIfAll   bool
	JobRetentionMinutes int
	MaxRetainedJobs     int
	UploadSource        *UploadSource
	ServiceInfo         map[string]string
}

func defaultSettings() Settings {
	return Settings{LogLevel: "info", JobRetentionMinutes: 60, MaxRetainedJobs: 50,
		ServiceInfo: map[string]string{}}
}

// Settings returns a copy of the current configuration.
func (s *Service) Settings() Settings {
	s.settingsMu.Lock()
	defer s.settingsMu.Unlock()
	c := s.settings
	c.ServiceInfo = map[string]string{}
	for k, v := range s.settings.ServiceInfo {
		c.ServiceInfo[k] = v
	}
	if s.settings.UploadSource != nil {
		src := *s.settings.UploadSource
		c.UploadSource = &src
	}
	return c
}

type initOptions struct {
	LogFile                        *string              `json:"logFile"`
	LogLevel                       *string              `json:"logLevel"`
	DisableStdStreams              *bool                `json:"disableStdStreams"`
	DebugMode                      *bool                `json:"debugMode"`
	USRegion                       *bool                `json:"usRegion"`
	RegisterOnlyIfAllFilesUploaded *bool                `json:"registerOnlyIfAllFilesUploaded"`
	UploadConfiguration            *uploadConfiguration `json:"uploadConfiguration"`
	ExternalServer                 json.RawMessage      `json:"externalServer"`
	UploadSource                   *UploadSource        `json:"uploadSource"`
	ServiceInfo                    map[string]string    `json:"serviceInfo"`
}

type uploadConfiguration struct {
	RegisterOnlyIfAllFilesUploaded *bool `json:"registerOnlyIfAllFilesUploaded"`
	JobRetentionMinutes            *int  `json:"jobRetentionMinutes"`
	MaxRetainedJobs                *int  `json:"maxRetainedJobs"`
}

func invalidOptions(format string, args ...interface{}) string {
	return "invalid initialize options: " + fmt.Sprintf(format, args...)
}

// Initialize checks and applies the options object; nothing changes when it is refused.
func (s *Service) Initialize(text string) (string, string) {
	var raw interface{}
	if err := json.Unmarshal([]byte(text), &raw); err != nil {
		return "", invalidOptions("%v", err)
	}
	if _, ok := raw.(map[string]interface{}); !ok {
		return "", invalidOptions("expected a JSON object")
	}
	var o initOptions
	if err := json.Unmarshal([]byte(text), &o); err != nil {
		return "", invalidOptions("%v", err)
	}
	var server map[string]interface{}
	if len(o.ExternalServer) > 0 {
		var errText string
		if server, errText = parseExternalServer(o.ExternalServer); errText != "" {
			return "", invalidOptions("externalServer: %s", errText)
		}
	}
	level := -1
	if o.LogLevel != nil {
		l, ok := parseLevel(*o.LogLevel)
		if !ok {
			return "", invalidOptions("unknown logLevel %q", *o.LogLevel)
		}
		level = l
	}
	if o.UploadSource != nil && o.UploadSource.Source == "" {
		return "", invalidOptions("uploadSource needs a source")
	}
	if c := o.UploadConfiguration; c != nil {
		if c.JobRetentionMinutes != nil && *c.JobRetentionMinutes <= 0 {
			return "", invalidOptions("jobRetentionMinutes must be positive")
		}
		if c.MaxRetainedJobs != nil && *c.MaxRetainedJobs <= 0 {
			return "", invalidOptions("maxRetainedJobs must be positive")
		}
	}

	s.settingsMu.Lock()
	st := &s.settings
	st.Initialized = true
	if server != nil {
		st.ExternalServer = server
	}
	if o.LogFile != nil {
		st.LogFile = *o.LogFile
	}
	if o.LogLevel != nil {
		st.LogLevel = strings.ToLower(*o.LogLevel)
	}
	setIf(&st.DisableStdStreams, o.DisableStdStreams)
	setIf(&st.DebugMode, o.DebugMode)
	setIf(&st.USRegion, o.USRegion)
	setIf(&st.RegisterOnlyIfAll, o.RegisterOnlyIfAllFilesUploaded)
	if c := o.UploadConfiguration; c != nil {
		setIf(&st.RegisterOnlyIfAll, c.RegisterOnlyIfAllFilesUploaded)
		if c.JobRetentionMinutes != nil {
			st.JobRetentionMinutes = *c.JobRetentionMinutes
		}
		if c.MaxRetainedJobs != nil {
			st.MaxRetainedJobs = *c.MaxRetainedJobs
		}
	}
	if o.UploadSource != nil {
		src := *o.UploadSource
		st.UploadSource = &src
	}
	for k, v := range o.ServiceInfo {
		st.ServiceInfo[k] = v
	}
	logPath := st.LogFile
	s.settingsMu.Unlock()

	if level >= 0 {
		s.log.setLevel(level)
	}
	if o.LogFile != nil {
		s.log.open(logPath)
	}
	s.log.write(levelInfo, "Initialized (service info: %s)", s.serviceInfoText())
	return "", ""
}

func setIf(dst *bool, v *bool) {
	if v != nil {
		*dst = *v
	}
}

func parseExternalServer(raw []byte) (map[string]interface{}, string) {
	var v interface{}
	if err := json.Unmarshal(raw, &v); err != nil {
		return nil, err.Error()
	}
	m, ok := v.(map[string]interface{})
	if !ok {
		return nil, "expected a JSON object"
	}
	for _, key := range []string{"LoginURL", "ServerURL", "ClientID", "Audience"} {
		if val, present := m[key]; present {
			if _, isText := val.(string); !isText {
				return nil, key + " must be a string"
			}
		}
	}
	return m, ""
}

// SetExternalServer replaces the service description.
func (s *Service) SetExternalServer(text string) (string, string) {
	server, errText := parseExternalServer([]byte(text))
	if errText != "" {
		return "", "invalid external server configuration: " + errText
	}
	s.settingsMu.Lock()
	s.settings.ExternalServer = server
	s.settingsMu.Unlock()
	return "", ""
}

// SetUploadSource names the uploading integration; three empty texts clear it.
func (s *Service) SetUploadSource(source, sourceID, displayName string) (string, string) {
	s.settingsMu.Lock()
	defer s.settingsMu.Unlock()
	if source == "" && sourceID == "" && displayName == "" {
		s.settings.UploadSource = nil
		return "", ""
	}
	if source == "" {
		return "", "invalid upload source: the source identifier is empty"
	}
	s.settings.UploadSource = &UploadSource{source, sourceID, displayName}
	return "", ""
}

// AddServiceInfo records a component name and version sent along with requests.
func (s *Service) AddServiceInfo(name, version string) {
	if name == "" {
		return
	}
	s.settingsMu.Lock()
	s.settings.ServiceInfo[name] = version
	s.settingsMu.Unlock()
}

func (s *Service) serviceInfoText() string {
	s.settingsMu.Lock()
	defer s.settingsMu.Unlock()
	names := make([]string, 0, len(s.settings.ServiceInfo))
	for k := range s.settings.ServiceInfo {
		names = append(names, k)
	}
	sort.Strings(names)
	parts := make([]string, 0, len(names))
	for _, k := range names {
		parts = append(parts, k+"/"+s.settings.ServiceInfo[k])
	}
	return strings.Join(parts, " ")
}

func (s *Service) setFlag(dst *bool, v bool) {
	s.settingsMu.Lock()
	*dst = v
	s.settingsMu.Unlock()
}

// SetDebugMode, SetUSRegion and SetRegisterOnlyIfAllFilesUploaded switch one flag each.
func (s *Service) SetDebugMode(v bool) { s.setFlag(&s.settings.DebugMode, v) }

func (s *Service) SetUSRegion(v bool) { s.setFlag(&s.settings.USRegion, v) }

func (s *Service) SetRegisterOnlyIfAllFilesUploaded(v bool) {
	s.setFlag(&s.settings.RegisterOnlyIfAll, v)
}

// SetLogFile writes the log to another file from now on.
func (s *Service) SetLogFile(path string) {
	s.settingsMu.Lock()
	s.settings.LogFile = path
	s.settingsMu.Unlock()
	s.log.open(path)
}

// SetLogLevel changes the level; an unknown level is ignored with a warning.
func (s *Service) SetLogLevel(level string) {
	l, ok := parseLevel(level)
	if !ok {
		s.log.write(levelWarning, "Ignoring unknown log level %q", level)
		return
	}
	s.settingsMu.Lock()
	s.settings.LogLevel = strings.ToLower(level)
	s.settingsMu.Unlock()
	s.log.setLevel(l)
}

// CloseLogFile stops writing the log.
func (s *Service) CloseLogFile() {
	s.settingsMu.Lock()
	s.settings.LogFile = ""
	s.settingsMu.Unlock()
	s.log.close()
}

func (s *Service) externalServerText(key string) string {
	s.settingsMu.Lock()
	defer s.settingsMu.Unlock()
	if v, ok := s.settings.ExternalServer[key].(string); ok {
		return v
	}
	return ""
}
