// Text helpers shared by the whole add-in: trimming and ASCII case folding.
#pragma once

#include <string>
#include <string_view>

namespace synquo {

// Removes exactly space, tab, carriage return and line feed from both ends.
std::string trim(std::string_view text);

// Folds ASCII letters; other bytes (UTF-8 included) stay as they are.
std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);

// Lengths and cuts of UTF-8 text in characters (code points), so that a shortened name never
// ends inside a character.
size_t codePointCount(std::string_view text);
std::string firstCodePoints(std::string_view text, size_t count);

}  // namespace synquo
