// Links on Windows: CreateSymbolicLinkW and a mount-point reparse point. Wine 8 answers the
// first with success but makes nothing and refuses the second, while it reports the host's
// own symbolic links as reparse points: there the link is made by the host's ln.
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

#include "addin/tests/support/Links.h"

namespace testsupport {
namespace {

namespace fs = std::filesystem;

bool isReparsePoint(const fs::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The host's name of a path when running under wine; empty elsewhere.
std::string hostName(const fs::path& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return {};
  char* name = unixName(path.c_str());
  if (name == nullptr) return {};
  std::string out = name;
  HeapFree(GetProcessHeap(), 0, name);
  return out;
}

bool hostLink(const fs::path& target, const fs::path& link) {
  const std::string from = hostName(target);
  const std::string to = hostName(link.parent_path());
  if (from.empty() || to.empty()) return false;
  // Test paths hold no blanks; a host program would take quotes literally.
  const std::wstring line = L"/bin/ln -s " + fs::u8path(from).wstring() + L" " +
                            fs::u8path(to).wstring() + L"/" + link.filename().wstring();
  std::vector<wchar_t> command(line.begin(), line.end());
  command.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  // A host process gives no handle to wait on: the link shows up once ln has run.
  for (int i = 0; i < 500 && !isReparsePoint(link); ++i) Sleep(10);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  return isReparsePoint(link);
}

struct MountPointBuffer {
  DWORD tag;
  WORD dataLength;
  WORD reserved;
  WORD substituteOffset;
  WORD substituteLength;
  WORD printOffset;
  WORD printLength;
  WCHAR names[1];
};

bool mountPoint(const fs::path& target, const fs::path& link) {
  if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
  HANDLE directory =
      CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (directory == INVALID_HANDLE_VALUE) {
    RemoveDirectoryW(link.c_str());
    return false;
  }
  const std::wstring substitute = L"\\??\\" + fs::absolute(target).wstring();
  const WORD length = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
  std::vector<char> bytes(sizeof(MountPointBuffer) + length + 2 * sizeof(wchar_t), 0);
  auto* buffer = reinterpret_cast<MountPointBuffer*>(bytes.data());
  buffer->tag = IO_REPARSE_TAG_MOUNT_POINT;
  buffer->substituteLength = length;
  buffer->printOffset = static_cast<WORD>(length + sizeof(wchar_t));
  buffer->dataLength = static_cast<WORD>(8 + length + 2 * sizeof(wchar_t));
  std::memcpy(buffer->names, substitute.c_str(), length);
  DWORD returned = 0;
  const BOOL made =
      DeviceIoControl(directory, FSCTL_SET_REPARSE_POINT, buffer,
                      static_cast<DWORD>(buffer->dataLength + 8), nullptr, 0, &returned, nullptr);
  CloseHandle(directory);
  if (!made) RemoveDirectoryW(link.c_str());
  return made && isReparsePoint(link);
}

}  // namespace

bool makeDirectoryLink(const fs::path& target, const fs::path& link) {
  const DWORD flags = SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  if (CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) && isReparsePoint(link)) {
    return true;
  }
  return hostLink(target, link);
}

bool makeFileLink(const fs::path& target, const fs::path& link) {
  if (CreateSymbolicLinkW(link.c_str(), target.c_str(),
                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
      isReparsePoint(link)) {
    return true;
  }
  return hostLink(target, link);
}

bool makeJunction(const fs::path& target, const fs::path& link) {
  return mountPoint(target, link) || hostLink(target, link);
}

}  // namespace testsupport
