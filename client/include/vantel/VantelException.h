// The one exception type of the client library; its text is meant for the user.
#pragma once

#include <vantel/Export.h>

#include <exception>
#include <string>

namespace vantel {

class VANTEL_API VantelException : public std::exception {
 public:
  explicit VantelException(std::string message);
  VantelException(const VantelException& other);
  VantelException& operator=(const VantelException& other);
  ~VantelException() override;

  const char* what() const noexcept override;

 private:
  std::string message_;
};

}  // namespace vantel
