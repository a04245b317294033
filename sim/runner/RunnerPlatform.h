// What brevin-sim needs from the operating system: the environment it hands to the add-in
// and the Torvane stand-in, its own location, fresh directories, the file names of the
// modules it stages, and the browser that the add-in's URL launches reach.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <vantel/TorvaneLibraryName.h>

namespace simrunner {

// Changes this process's environment, as the C runtime and child processes see it.
void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);
// Empty when unset.
std::string environment(const std::string& name);

// The program's arguments after its name, as UTF-8.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Makes this process end when the process that started it ends (Linux; on Windows the
// starting side puts its children in a job that ends with it).
void endWithParent();

// The running program's own file.
std::filesystem::path executablePath();

// A new, empty directory under the system's temporary directory, named prefix plus a unique
// suffix. Raises std::runtime_error.
std::filesystem::path makeTemporaryDirectory(const std::string& prefix);

bool isWindows();
std::string addinFileName();  // libbrevin.so / brevin.dll
inline std::string torvaneFileName() { return vantel::kTorvaneLibraryFileName; }
std::string executableFileName(const std::string& stem);  // stem / stem.exe

// Whether a process this one started is still running (Linux: the add-in's browser launches;
// on Windows the shell starts them, so this is always false there).
bool hasRunningChildren();

// Makes the add-in's URL launches start the simulated browser: the BROWSER variable on
// Linux, the http and https handlers of the wine prefix on Windows. Raises std::runtime_error.
void installBrowser(const std::filesystem::path& simBrowser);

}  // namespace simrunner
