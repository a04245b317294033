// Loopback sockets and the environment on Windows.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <stdexcept>

#include "sim/torvane/tests/support/LoopbackHttp.h"

namespace torvane_test {

namespace {

void startWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) {
    throw std::runtime_error("WSAStartup failed");
  }
}

}  // namespace

std::string exchangeWithLoopback(uint16_t port, const std::string& request) {
  startWinsock();
  const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) {
    throw std::runtime_error("socket failed: " + std::to_string(WSAGetLastError()));
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    const int error = WSAGetLastError();
    ::closesocket(s);
    throw std::runtime_error("connect to 127.0.0.1:" + std::to_string(port) +
                             " failed: " + std::to_string(error));
  }
  std::size_t sent = 0;
  while (sent < request.size()) {
    const int n = ::send(s, request.data() + sent, static_cast<int>(request.size() - sent), 0);
    if (n <= 0) {
      ::closesocket(s);
      throw std::runtime_error("send failed");
    }
    sent += static_cast<std::size_t>(n);
  }
  std::string reply;
  char buffer[4096];
  for (;;) {
    const int n = ::recv(s, buffer, static_cast<int>(sizeof buffer), 0);
    if (n <= 0) {
      break;
    }
    reply.append(buffer, static_cast<std::size_t>(n));
  }
  ::closesocket(s);
  return reply;
}

void setEnvironmentVariable(const std::string& name, const std::string& value) {
  if (!SetEnvironmentVariableA(name.c_str(), value.c_str())) {
    throw std::runtime_error("SetEnvironmentVariable " + name + " failed");
  }
}

}  // namespace torvane_test
