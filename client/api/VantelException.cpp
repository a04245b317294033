// The one exception type of the client library; its text is meant for the user.
#include <vantel/VantelException.h>

#include <utility>

namespace vantel {

VantelException::VantelException(std::string message) : message_(std::move(message)) {}

VantelException::VantelException(const VantelException& other) = default;

VantelException& VantelException::operator=(const VantelException& other) = default;

VantelException::~VantelException() = default;

const char* VantelException::what() const noexcept { return message_.c_str(); }

}  // namespace vantel
