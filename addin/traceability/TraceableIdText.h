// Traceable identifier texts: the UUID style that NX's current internal identifiers and our
// SYNQUO_ID values share, and new identifiers of that style.
#pragma once

#include <string>
#include <string_view>

namespace synquo {

// Exactly 36 characters, "-" at positions 8, 13, 18 and 23 and a hexadecimal digit (either
// case) everywhere else. Version and variant are not checked.
bool isUuidStyleId(std::string_view text);

// A new random version 4 UUID in lower case, grouped 8-4-4-4-12. Never throws.
std::string generateTraceableId();

}  // namespace synquo
