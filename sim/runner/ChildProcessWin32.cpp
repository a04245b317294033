// Running a child program with CreateProcessW.
#include <windows.h>

#include "sim/runner/ChildProcess.h"

namespace simrunner {
namespace {

std::wstring widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// Quotes one argument the way the C runtime's command-line parser reads it back.
void appendQuoted(std::wstring& line, const std::wstring& argument) {
  if (!line.empty()) line += L' ';
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      line.append(backslashes * 2 + 1, L'\\');
    } else {
      line.append(backslashes, L'\\');
    }
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

HANDLE openOutput(const std::filesystem::path& file) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(file.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ChildResult runChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, const ChildOptions& options) {
  ChildResult result;
  std::wstring line;
  appendQuoted(line, program.wstring());
  for (const auto& a : arguments) appendQuoted(line, widen(a));

  PROCESS_INFORMATION process{};
  BOOL created = FALSE;
  DWORD createError = 0;
  // Wine now and then refuses a start with an internal error while other tests start theirs;
  // a later attempt starts. Any other refusal is the answer.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) Sleep(200);
    HANDLE in = INVALID_HANDLE_VALUE;
    if (!options.stdinFile.empty()) {
      SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
      in = CreateFileW(options.stdinFile.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    HANDLE out = INVALID_HANDLE_VALUE;
    HANDLE err = INVALID_HANDLE_VALUE;
    if (!options.stdoutFile.empty()) out = openOutput(options.stdoutFile);
    if (!options.stderrFile.empty()) err = openOutput(options.stderrFile);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in != INVALID_HANDLE_VALUE ? in : GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out != INVALID_HANDLE_VALUE ? out : GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = err != INVALID_HANDLE_VALUE ? err : GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = line;
    created = CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                             0, nullptr, nullptr, &startup, &process);
    createError = created ? 0 : GetLastError();
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    if (created || createError != ERROR_INTERNAL_ERROR) break;
  }
  if (!created) {
    result.error = "Cannot start " + program.u8string() + ": error " + std::to_string(createError);
    return result;
  }
  result.started = true;
  // The child (and what it starts) ends with this process, also when this one is killed.
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job != nullptr) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits)) ||
        !AssignProcessToJobObject(job, process.hProcess)) {
      CloseHandle(job);
      job = nullptr;
    }
  }
  CloseHandle(process.hThread);
  const DWORD wait = WaitForSingleObject(
      process.hProcess,
      options.timeout.count() > 0 ? static_cast<DWORD>(options.timeout.count()) : INFINITE);
  if (wait == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    result.timedOut = true;
    result.error = program.u8string() + " did not finish in " +
                   std::to_string(options.timeout.count()) + " ms";
  } else {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = static_cast<int>(code);
    if (code >= 0xC0000000u) {
      result.crashed = true;
      result.error = program.u8string() + " ended with exception code " + std::to_string(code);
    }
  }
  CloseHandle(process.hProcess);
  if (job != nullptr) CloseHandle(job);
  return result;
}

}  // namespace simrunner
