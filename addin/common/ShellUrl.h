// Which URLs the add-in may hand to the system shell. On Windows the shell can
// start programs (file paths, UNC paths, file: and other protocol handlers), and a
// quote inside a URL can break out of a handler's command line, so only plain
// http and https URLs are ever opened.
#pragma once

#include <string>

namespace synquo {

// Empty when the URL may be opened; otherwise why not, naming the refused scheme
// (or the offending character) for the log.
std::string shellUrlRefusal(const std::string& url);

inline bool isShellSafeUrl(const std::string& url) { return shellUrlRefusal(url).empty(); }

}  // namespace synquo
