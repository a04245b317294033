// Shared helpers of the exports.
#include "addin/export/ExportSupport.h"

#include <exception>

#include <NXOpen/PartCollection.hxx>
#include <NXOpen/Session.hxx>
#include "addin/common/Text.h"

namespace synquo {

NXOpen::BasePart* displayedPart() {
  try {
    NXOpen::Session* session = NXOpen::Session::GetSession();
    NXOpen::PartCollection* parts = session == nullptr ? nullptr : session->Parts();
    return parts == nullptr ? nullptr : parts->BaseDisplay();
  } catch (...) {
    return nullptr;
  }
}

std::string exportExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown";
  }
}

std::string lastPathElement(const std::string& utf8Path) {
  const auto at = utf8Path.find_last_of("\\/");
  return at == std::string::npos ? utf8Path : utf8Path.substr(at + 1);
}

std::string fileNameExtension(const std::string& name) {
  if (name == "." || name == "..") return std::string();
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return std::string();
  return toLowerAscii(name.substr(dot));
}

std::string fileNameStem(const std::string& name) {
  return name.substr(0, name.size() - fileNameExtension(name).size());
}

std::string osErrorText(const std::error_code& error) {
  if (!error) return std::string();
  // Some runtimes end the message with a line break; a log line must stay one line.
  std::string text = error.message();
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return trim(text);
}

}  // namespace synquo
