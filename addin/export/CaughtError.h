// The texts export log lines insert for a failure: the exception being handled (what() of a
// standard one, "unknown" otherwise) and an OS error's reason kept on one line.
#pragma once

#include <exception>
#include <string>
#include <system_error>

#include "addin/common/Text.h"

namespace synquo {

// Call only inside a catch block.
inline std::string caughtErrorText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown";
  }
}

// Some runtimes end the OS's message with a line break; a log line must stay one line.
inline std::string systemErrorText(const std::error_code& error) {
  if (!error) return std::string();
  std::string reason = error.message();
  for (char& c : reason) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return trim(reason);
}

}  // namespace synquo
