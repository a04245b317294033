// The file-name rules of the exports: safe stems, the extension rules and the name a file is
// uploaded under (for a part of the simulated NX whose leaf name comes from the input).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "addin/export/ExportPath.h"
#include "sim/nx/Model.h"

namespace {

namespace fs = std::filesystem;

bool isRefusedInStem(char c) {
  switch (c) {
    case '"':
    case '*':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
      return true;
    default:
      return false;
  }
}

void checkStem(const std::string& text) {
  const std::string stem = synquo::sanitizeFileStem(text);
  fuzzcheck::require(!stem.empty() && stem != "." && stem != "..", "a name of its own", stem);
  if (text.empty()) {
    fuzzcheck::require(stem == "managed", "an empty text gives managed", stem);
    return;
  }
  fuzzcheck::require(stem.size() == text.size(), "one character for one", text + " -> " + stem);
  bool onlyDots = true;
  for (std::size_t i = 0; i < stem.size(); ++i) {
    fuzzcheck::require(!isRefusedInStem(stem[i]), "no separator or reserved character", stem);
    fuzzcheck::require(stem[i] == text[i] || stem[i] == '_', "changed only to _", stem);
    if (stem[i] != '.') onlyDots = false;
  }
  fuzzcheck::require(!onlyDots, "never dots alone", stem);
  fuzzcheck::require(synquo::sanitizeFileStem(stem) == stem, "idempotent", stem);
}

std::string lowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

void checkExtension(const std::string& text) {
  const fs::path path(text);
  const std::string extension = synquo::lowerCaseExtension(path);
  const std::string name = path.filename().string();
  if (!extension.empty()) {
    fuzzcheck::require(extension[0] == '.', "starts with its dot", extension);
    fuzzcheck::require(extension == lowerAscii(extension), "lower-cased", extension);
    fuzzcheck::require(extension.find('.', 1) == std::string::npos, "from the last dot", extension);
    fuzzcheck::require(name.size() > extension.size(), "never the whole name", name);
    fuzzcheck::require(
        lowerAscii(name).compare(name.size() - extension.size(), extension.size(), extension) == 0,
        "the end of the name", name);
  } else {
    const std::size_t dot = name.rfind('.');
    fuzzcheck::require(dot == std::string::npos || dot == 0 || name == "..",
                       "empty only without a dot after the first character", name);
  }
  fuzzcheck::require(synquo::isPdfPath(path) == (extension == ".pdf"), "isPdfPath", name);
  fuzzcheck::require(
      synquo::isSupportedUploadFile(path) == (extension == ".pdf" || extension == ".prt"),
      "isSupportedUploadFile", name);
}

void checkUploadName(const std::string& leaf, const std::string& source,
                     const std::string& exported) {
  const fs::path exportedFile(exported);
  fuzzcheck::require(!synquo::uploadFileName(nullptr, source, exportedFile).has_value(),
                     "none for a null part");
  nxsim::reset();
  nxsim::PartDefinition definition;
  definition.fullPath = "/parts/fuzz.prt";
  // NX's texts are C strings: a name ends at its first zero.
  const std::string nxLeaf = leaf.substr(0, leaf.find('\0'));
  definition.leaf = nxLeaf.empty() ? std::string("fuzz") : nxLeaf;
  NXOpen::BasePart* part = nxsim::partObject(nxsim::addPart(definition));
  std::optional<std::string> name;
  try {
    name = synquo::uploadFileName(part, source, exportedFile);
  } catch (...) {
    fuzzcheck::unexpectedException("uploadFileName");
  }
  fuzzcheck::require(name.has_value() && !name->empty(), "a part has a name", leaf);
  const std::string exportedName = exportedFile.filename().string();
  if (!exportedName.empty()) {
    fuzzcheck::require(*name == exportedName, "the exported file's name first", *name);
  } else {
    fuzzcheck::require(name->find_first_of("/\\") == std::string::npos || *name == definition.leaf,
                       "a file name, not a path", *name);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string whole(reinterpret_cast<const char*>(data), size);
  checkStem(whole);
  checkExtension(whole);

  FuzzedDataProvider input(data, size);
  const std::string leaf = input.ConsumeRandomLengthString(64);
  const std::string source = input.ConsumeRandomLengthString(128);
  const std::string exported = input.ConsumeRemainingBytesAsString();
  checkUploadName(leaf, source, exported);
  return 0;
}
