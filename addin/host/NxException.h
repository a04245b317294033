// The exception NX Open raises when a call fails: an NX error code and its message.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace host {

class NxException : public std::exception {
 public:
  NxException(int errorCode, std::string message)
      : errorCode_(errorCode), message_(std::move(message)) {}

  // NX's error code; never 0 for a raised exception.
  int ErrorCode() const noexcept { return errorCode_; }
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  int errorCode_;
  std::string message_;
};

}  // namespace host
