// Traceable identifier texts.
#include "addin/traceability/TraceableIdText.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>

namespace synquo {
namespace {

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isDashPosition(std::size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

using Bytes = std::array<unsigned char, 16>;

template <typename Engine>
void fill(Bytes& bytes, Engine& engine) {
  for (unsigned char& b : bytes) b = static_cast<unsigned char>(engine() & 0xFFu);
}

Bytes randomBytes() {
  Bytes bytes{};
  try {
    std::random_device device;
    fill(bytes, device);
  } catch (...) {
    // Without an entropy source the clock still keeps two parts from sharing an identifier.
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32),
                       static_cast<std::uint32_t>(tick), static_cast<std::uint32_t>(tick >> 32)};
    std::mt19937 engine(seed);
    fill(bytes, engine);
  }
  return bytes;
}

}  // namespace

bool isUuidStyleId(std::string_view text) {
  if (text.size() != 36) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isDashPosition(i) ? text[i] != '-' : !isHexDigit(text[i])) return false;
  }
  return true;
}

std::string generateTraceableId() {
  Bytes bytes = randomBytes();
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0Fu) | 0x40u);
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3Fu) | 0x80u);
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(36);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0Fu];
  }
  return text;
}

}  // namespace synquo
