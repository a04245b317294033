// What the exports share beyond their public rules: the displayed part and the texts that
// failures are logged with.
#pragma once

#include <string>
#include <system_error>

#include <NXOpen/BasePart.hxx>

namespace synquo {

// Session -> Parts -> BaseDisplay; null when there is none or NX fails on the way.
NXOpen::BasePart* displayedPart();

// The text of the exception being handled: what() of a standard one, "unknown" otherwise.
// Call only inside a catch block.
std::string exportExceptionText();

// The last element of a UTF-8 path; NX may separate elements with either slash.
std::string lastPathElement(const std::string& utf8Path);

// The extension of a file name, lower-cased: from its last dot to its end; empty without a
// dot, when the only dot is the first character, and for "." and "..".
std::string fileNameExtension(const std::string& name);

// The file name without that extension.
std::string fileNameStem(const std::string& name);

// The OS's message for an error, on one line; empty for no error.
std::string osErrorText(const std::error_code& error);

}  // namespace synquo
