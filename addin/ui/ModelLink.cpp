// Finding and normalising the model's link.
#include "addin/ui/ModelLink.h"

#include <vector>

#include "addin/common/Text.h"

namespace ui {
namespace {

// White space around a name means nothing in a query, and the final trim of the link would
// otherwise turn "revisionId\t" into a revision parameter only on a second pass.
std::string parameterName(const std::string& parameter) {
  return synquo::trim(parameter.substr(0, parameter.find('=')));
}

std::string withoutParameter(const std::string& link, const std::string& name) {
  // A '?' inside the fragment is part of the fragment, not a query.
  const size_t hash = link.find('#');
  const size_t question = link.substr(0, hash).find('?');
  if (question == std::string::npos) return link;
  const std::string query = link.substr(
      question + 1, hash == std::string::npos ? std::string::npos : hash - question - 1);
  const std::string fragment = hash == std::string::npos ? std::string() : link.substr(hash);
  std::vector<std::string> kept;
  size_t start = 0;
  for (;;) {
    const size_t amp = query.find('&', start);
    const std::string parameter =
        query.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
    // A blank parameter is dropped like an empty one: trimmed last, it would leave a bare
    // separator that the next pass drops.
    if (!synquo::trim(parameter).empty() && parameterName(parameter) != name) {
      kept.push_back(parameter);
    }
    if (amp == std::string::npos) break;
    start = amp + 1;
  }
  std::string out = link.substr(0, question);
  for (size_t i = 0; i < kept.size(); ++i) out += (i == 0 ? "?" : "&") + kept[i];
  return out + fragment;
}

}  // namespace

std::string withoutRevisionParameters(const std::string& link) {
  std::string out = synquo::trim(link);
  if (out.empty()) return out;
  out = withoutParameter(out, "revisionId");
  // Dropping the query can bare white space that stood before it.
  return synquo::trim(withoutParameter(out, "revision_id"));
}

std::optional<std::string> findModelLink(const std::map<std::string, std::string>& links,
                                         const std::string& fileName) {
  if (links.empty()) return std::nullopt;
  const std::string* chosen = nullptr;
  if (!fileName.empty()) {
    const auto exact = links.find(fileName);
    if (exact != links.end()) {
      chosen = &exact->second;
    } else {
      const std::string lower = synquo::toLowerAscii(fileName);
      for (const auto& [key, value] : links) {
        if (synquo::toLowerAscii(key) == lower) {
          chosen = &value;
          break;
        }
      }
    }
  }
  if (chosen == nullptr && links.size() == 1) chosen = &links.begin()->second;
  if (chosen == nullptr) return std::nullopt;
  return withoutRevisionParameters(*chosen);
}

}  // namespace ui
