// HTTP GET with WinHTTP.
#include <windows.h>
#include <winhttp.h>

#include <vector>

#include "sim/runner/HttpGet.h"

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

struct Handle {
  HINTERNET h = nullptr;
  ~Handle() {
    if (h != nullptr) WinHttpCloseHandle(h);
  }
};

std::string lastError(const char* what) {
  return std::string(what) + " failed with " + std::to_string(GetLastError());
}

}  // namespace

HttpGetResult httpGet(const std::string& url, long timeoutSeconds) {
  HttpGetResult result;
  std::wstring wurl = widen(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(wurl.c_str(), 0, 0, &parts)) {
    result.error = lastError("WinHttpCrackUrl");
    return result;
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);

  Handle session{WinHttpOpen(L"brevin-sim", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                             WINHTTP_NO_PROXY_BYPASS, 0)};
  if (session.h == nullptr) {
    result.error = lastError("WinHttpOpen");
    return result;
  }
  const int ms = static_cast<int>(timeoutSeconds * 1000);
  WinHttpSetTimeouts(session.h, ms, ms, ms, ms);
  Handle connection{WinHttpConnect(session.h, host.c_str(), parts.nPort, 0)};
  if (connection.h == nullptr) {
    result.error = lastError("WinHttpConnect");
    return result;
  }
  const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  Handle request{WinHttpOpenRequest(connection.h, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                    WINHTTP_DEFAULT_ACCEPT_TYPES, flags)};
  if (request.h == nullptr) {
    result.error = lastError("WinHttpOpenRequest");
    return result;
  }
  if (!WinHttpSendRequest(request.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                          0, 0) ||
      !WinHttpReceiveResponse(request.h, nullptr)) {
    result.error = lastError("WinHttpSendRequest");
    return result;
  }
  DWORD status = 0;
  DWORD size = sizeof(status);
  WinHttpQueryHeaders(request.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  result.status = static_cast<long>(status);
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.h, &available) || available == 0) break;
    std::vector<char> buffer(available);
    DWORD read = 0;
    if (!WinHttpReadData(request.h, buffer.data(), available, &read) || read == 0) break;
    result.body.append(buffer.data(), read);
  }
  result.ok = true;
  return result;
}

}  // namespace simrunner
