// The rule for URLs handed to the system shell: whatever it accepts is a plain http or https
// URL with a host and nothing a shell handler's command line could be broken by.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "addin/common/ShellUrl.h"

namespace {

bool startsWithFolded(const std::string& text, const std::string& lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerPrefix[i]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  std::string refusal;
  try {
    refusal = synquo::shellUrlRefusal(url);
  } catch (...) {
    fuzzcheck::unexpectedException("shellUrlRefusal");
  }
  fuzzcheck::require(synquo::isShellSafeUrl(url) == refusal.empty(), "isShellSafeUrl", url);
  if (!refusal.empty()) {
    fuzzcheck::require(refusal.rfind("refused ", 0) == 0, "refusal says it refused", refusal);
    return 0;
  }
  const std::size_t prefix = startsWithFolded(url, "https://") ? 8
                             : startsWithFolded(url, "http://") ? 7
                                                                : 0;
  fuzzcheck::require(prefix != 0, "only http and https", url);
  fuzzcheck::require(url.size() > prefix, "a host follows the scheme", url);
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    fuzzcheck::require(c != '"' && c != '\'' && c != ' ' && byte >= 0x20 && byte != 0x7f,
                       "no quote, space or control character", url);
  }
  return 0;
}
