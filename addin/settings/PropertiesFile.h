// The add-in's configuration: the optional "synquo.properties" beside the add-in library,
// read into one process-wide table of keys and values at every invocation.
#pragma once

#include <filesystem>
#include <string>

namespace synquo {

inline constexpr const char* kPropertiesFileName = "synquo.properties";

// Reads the properties file into the table (replacing it whole), then points the log at its
// directory and sets its level from the table. Returns whether a file was opened. Runs on
// the user-interface thread.
bool loadSettings();

// The trimmed value stored for the key (case-sensitive), or the empty string.
std::string getProperty(const std::string& key);

// Where the properties file is looked for: beside the add-in's module, or the bare name
// (resolved against the current directory) when the module's name cannot be found.
std::filesystem::path propertiesFilePath();

// The file that the last loadSettings read; empty when none could be opened.
std::filesystem::path loadedPropertiesPath();

// LOCALAPPDATA\Synquo\NX\logs, or the add-in's directory when that variable is not set.
std::filesystem::path defaultLogDirectory();

// Whether legacy parts get a traceability attribute ("synquo_fix_legacy_id", default true).
// Announces the outcome in the log whenever the configured value or outcome changed.
bool fixLegacyIdEnabled();

// Whether session temporary directories are kept ("synquo_nx_retain_temp_files" is "true"
// in any case).
bool retainTempFiles();

}  // namespace synquo
