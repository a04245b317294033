// The text of the exception being handled.
#include "addin/common/CurrentException.h"

#include <exception>

namespace synquo {

std::string currentExceptionText() {
  try {
    throw;
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return kUnknownExceptionText;
  }
}

}  // namespace synquo
