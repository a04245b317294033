// The text of the exception being handled, whatever its type: what a catch-all at the
// add-in's edge logs or shows, since nothing may escape into NX.
#pragma once

#include <string>

namespace synquo {

// Call only inside a catch block. A standard exception gives its what(); anything else
// gives kUnknownExceptionText.
std::string currentExceptionText();

inline constexpr const char* kUnknownExceptionText = "An unknown error occurred.";

}  // namespace synquo
