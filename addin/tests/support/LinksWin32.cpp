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

bool underWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll"), "wine_get_version") != nullptr;
}

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

// Runs a host program under wine, then waits until `done` holds: a host process gives no
// handle to wait on.
template <typename Done>
bool runOnHost(const wchar_t* program, const std::wstring& line, Done done) {
  std::vector<wchar_t> command(line.begin(), line.end());
  command.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  for (int i = 0; i < 500 && !done(); ++i) Sleep(10);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  return done();
}

bool hostLink(const fs::path& target, const fs::path& link) {
  const std::string from = hostName(target);
  const std::string to = hostName(link.parent_path());
  if (from.empty() || to.empty()) return false;
  // Test paths hold no blanks; a host program would take quotes literally.
  const std::wstring line = L"/bin/ln -s " + fs::u8path(from).wstring() + L" " +
                            fs::u8path(to).wstring() + L"/" + link.filename().wstring();
  return runOnHost(L"Z:\\bin\\ln", line, [&] { return isReparsePoint(link); });
}

bool isAbsent(const fs::path& path) {
  return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
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

bool linksAreRemovable() { return !underWine(); }

bool fileLinksCanBeMade() { return !underWine(); }

bool removeLink(const fs::path& link) {
  if (RemoveDirectoryW(link.c_str()) || DeleteFileW(link.c_str())) return true;
  const std::string name = hostName(link);
  if (name.empty()) return false;
  return runOnHost(L"Z:\\bin\\rm", L"/bin/rm -f " + fs::u8path(name).wstring(),
                   [&] { return isAbsent(link); });
}

void removeLinksBelow(const fs::path& directory) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((directory / L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  std::vector<fs::path> links;
  std::vector<fs::path> folders;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      links.push_back(directory / name);
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      folders.push_back(directory / name);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  for (const fs::path& link : links) removeLink(link);
  for (const fs::path& folder : folders) removeLinksBelow(folder);
}

bool makeJunction(const fs::path& target, const fs::path& link) {
  return mountPoint(target, link) || hostLink(target, link);
}

}  // namespace testsupport
