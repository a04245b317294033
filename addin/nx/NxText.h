// Text at NX's seam: NX Open's NXString on one side, the UTF-8 std::string every text of the
// add-in is on the other. NX Open is read and written in UTF-8 only, never in the locale's
// code page, so no character is lost on the way.
#pragma once

#include <string>
#include <vector>

#include <NXOpen/NXString.hxx>

namespace nx {

// The string's text as UTF-8; empty for a string that holds none.
std::string utf8(const NXOpen::NXString& text);
std::vector<std::string> utf8(const std::vector<NXOpen::NXString>& texts);

// UTF-8 text as NX Open takes it.
NXOpen::NXString nxText(const std::string& utf8Text);
std::vector<NXOpen::NXString> nxTexts(const std::vector<std::string>& utf8Texts);

}  // namespace nx
