// Screening of URLs before they reach the shell.
#include "addin/common/ShellUrl.h"

#include "addin/common/Text.h"

namespace synquo {
namespace {

bool isSchemeChar(char c, bool first) {
  const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The scheme as written before ':', or empty when the text has none.
std::string schemeOf(const std::string& url) {
  const size_t colon = url.find(':');
  if (colon == std::string::npos || colon == 0) return std::string();
  for (size_t i = 0; i < colon; ++i) {
    if (!isSchemeChar(url[i], i == 0)) return std::string();
  }
  return url.substr(0, colon);
}

}  // namespace

std::string shellUrlRefusal(const std::string& url) {
  const std::string scheme = schemeOf(url);
  const std::string folded = toLowerAscii(scheme);
  if (folded != "http" && folded != "https") {
    return scheme.empty() ? std::string("refused URL without a scheme")
                          : "refused URL scheme \"" + scheme + "\"";
  }
  if (url.compare(scheme.size(), 3, "://") != 0 || url.size() == scheme.size() + 3) {
    return "refused " + folded + " URL without a host";
  }
  for (char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\'' || c == ' ' || byte < 0x20 || byte == 0x7f) {
      return "refused " + folded + " URL containing a quote, space or control character";
    }
  }
  return std::string();
}

}  // namespace synquo
