// The model link: stripping the revision parameters is idempotent, leaves no revisionId or
// revision_id parameter in the query and keeps the fragment; the link found for a file name
// is one of the entries, normalised.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "FuzzCheck.h"
#include "addin/ui/ModelLink.h"

namespace {

// The add-in trims these four.
bool isTrimSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// As a URL reads: the fragment from the first '#', the query from the first '?' before it.
std::string fragmentOf(const std::string& link) {
  const std::size_t hash = link.find('#');
  return hash == std::string::npos ? std::string() : link.substr(hash);
}

std::string trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isTrimSpace(text[begin])) ++begin;
  while (end > begin && isTrimSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

void checkStripped(const std::string& link) {
  const std::string once = ui::withoutRevisionParameters(link);
  const std::string twice = ui::withoutRevisionParameters(once);
  fuzzcheck::require(once == twice, "idempotent", link + " -> " + once + " -> " + twice);
  if (!once.empty()) {
    fuzzcheck::require(!isTrimSpace(once.front()) && !isTrimSpace(once.back()), "trimmed", once);
  }
  fuzzcheck::require(once.size() <= link.size(), "never longer", once);

  fuzzcheck::require(fragmentOf(once) == fragmentOf(trimmed(link)), "the fragment stays",
                     link + " -> " + once);

  const std::size_t hash = once.find('#');
  const std::size_t question = once.substr(0, hash).find('?');
  if (question == std::string::npos) return;
  const std::string query =
      once.substr(question + 1, hash == std::string::npos ? std::string::npos : hash - question - 1);
  std::size_t start = 0;
  for (;;) {
    const std::size_t amp = query.find('&', start);
    const std::string parameter =
        query.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
    const std::string name = trimmed(parameter.substr(0, parameter.find('=')));
    fuzzcheck::require(name != "revisionId" && name != "revision_id", "no revision parameter",
                       link + " -> " + once);
    if (amp == std::string::npos) break;
    start = amp + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  checkStripped(std::string(reinterpret_cast<const char*>(data), size));

  FuzzedDataProvider input(data, size);
  std::map<std::string, std::string> links;
  const int entries = input.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < entries; ++i) {
    std::string name = input.ConsumeRandomLengthString(32);
    links[std::move(name)] = input.ConsumeRandomLengthString(128);
  }
  const std::string fileName = input.ConsumeRandomLengthString(32);
  const std::optional<std::string> found = ui::findModelLink(links, fileName);
  if (links.size() == 1) {
    fuzzcheck::require(found.has_value(), "the only entry is found", fileName);
  }
  if (!fileName.empty() && links.count(fileName) != 0) {
    fuzzcheck::require(found == ui::withoutRevisionParameters(links.at(fileName)),
                       "the exact name wins", fileName);
  }
  if (found) {
    bool fromAnEntry = false;
    for (const auto& [name, link] : links) {
      if (ui::withoutRevisionParameters(link) == *found) fromAnEntry = true;
    }
    fuzzcheck::require(fromAnEntry, "one of the entries", *found);
  } else {
    fuzzcheck::require(links.size() != 1, "none only without a single entry", fileName);
  }
  return 0;
}
