// Text at NX's seam.
#include "addin/nx/NxText.h"

namespace nx {

std::string utf8(const NXOpen::NXString& text) {
  const char* bytes = text.GetUTF8Text();
  return bytes == nullptr ? std::string() : std::string(bytes);
}

std::vector<std::string> utf8(const std::vector<NXOpen::NXString>& texts) {
  std::vector<std::string> result;
  result.reserve(texts.size());
  for (const NXOpen::NXString& text : texts) result.push_back(utf8(text));
  return result;
}

NXOpen::NXString nxText(const std::string& utf8Text) {
  return NXOpen::NXString(utf8Text, NXOpen::NXString::UTF8);
}

std::vector<NXOpen::NXString> nxTexts(const std::vector<std::string>& utf8Texts) {
  std::vector<NXOpen::NXString> result;
  result.reserve(utf8Texts.size());
  for (const std::string& text : utf8Texts) result.push_back(nxText(text));
  return result;
}

}  // namespace nx
