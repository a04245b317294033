// What a call throws, as text, for tests that compare the message a user would see.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace testsupport {

// The exception's what(), or "no failure" when the call returns.
inline std::string failureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "no failure";
}

}  // namespace testsupport
