// Process helpers for tests on Windows: GetModuleFileNameW, SetEnvironmentVariableW and
// CreateProcessW.
#include <windows.h>

#include <stdexcept>

#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/Process.h"

namespace testsupport {
namespace {

class Win32Child : public ChildProcess {
 public:
  explicit Win32Child(HANDLE process) : process_(process) {}
  ~Win32Child() override {
    if (!exitCode_) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, INFINITE);
    }
    CloseHandle(process_);
  }
  std::optional<int> wait(std::chrono::milliseconds limit) override {
    if (exitCode_) return exitCode_;
    if (WaitForSingleObject(process_, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(process_, &code);
      exitCode_ = static_cast<int>(code);
    }
    return exitCode_;
  }

 private:
  HANDLE process_;
  std::optional<int> exitCode_;
};

std::wstring quoted(const std::wstring& argument) {
  std::wstring out = L"\"";
  for (wchar_t c : argument) {
    if (c == L'"') out += L'\\';
    out += c;
  }
  return out + L"\"";
}

}  // namespace

std::filesystem::path selfExecutablePath() {
  std::wstring buffer(32768, L'\0');
  const DWORD length =
      GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(length);
  return std::filesystem::path(buffer);
}

void setEnvironmentVariable(const std::string& name,
                            const std::optional<std::filesystem::path>& value) {
  const std::wstring wideName(name.begin(), name.end());
  SetEnvironmentVariableW(wideName.c_str(), value ? value->c_str() : nullptr);
  _wputenv_s(wideName.c_str(), value ? value->c_str() : L"");
}

std::unique_ptr<ChildProcess> startChild(const std::filesystem::path& executable,
                                         const std::vector<std::string>& arguments) {
  std::wstring commandLine = quoted(executable.native());
  for (const std::string& argument : arguments) {
    commandLine += L" " + quoted(platform::fromUtf8(argument).native());
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    throw std::runtime_error("CreateProcessW failed for " + platform::toUtf8(executable));
  }
  CloseHandle(info.hThread);
  return std::make_unique<Win32Child>(info.hProcess);
}

}  // namespace testsupport
