// Text helpers shared by the whole add-in.
#include "addin/common/Text.h"

namespace synquo {
namespace {

bool isTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isTrimmed(text[begin])) ++begin;
  while (end > begin && isTrimmed(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string toLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string toUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

namespace {

bool startsCodePoint(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

}  // namespace

size_t codePointCount(std::string_view text) {
  size_t count = 0;
  for (char c : text) {
    if (startsCodePoint(c)) ++count;
  }
  return count;
}

std::string firstCodePoints(std::string_view text, size_t count) {
  size_t seen = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (startsCodePoint(text[at]) && seen++ == count) return std::string(text.substr(0, at));
  }
  return std::string(text);
}

}  // namespace synquo
