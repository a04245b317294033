// NX Open's exception: an error code and a message; 0 when only a message was given.
#include <NXOpen/NXException.hxx>

#include <string>

namespace NXOpen {

class NXExceptionImpl {
 public:
  int code = 0;
  std::string message;
};

NXException::NXException(const NXException& other) noexcept
    : std::exception(other), m_impl(new NXExceptionImpl(*other.m_impl)) {}

NXException::~NXException() noexcept { delete m_impl; }

NXException::NXException(int errorCode) : m_impl(new NXExceptionImpl) {
  m_impl->code = errorCode;
  // The simulated NX has no message catalogue: the code is the message.
  m_impl->message = "NX error " + std::to_string(errorCode);
}

NXException::NXException(const char* message) : m_impl(new NXExceptionImpl) {
  m_impl->message = message == nullptr ? "" : message;
}

NXException::NXException(int errorCode, const char* message) : m_impl(new NXExceptionImpl) {
  m_impl->code = errorCode;
  m_impl->message = message == nullptr ? "" : message;
}

NXException NXException::Create(int errorCode) { return NXException(errorCode); }
NXException NXException::Create(const char* message) { return NXException(message); }
NXException NXException::Create(int errorCode, const char* message) {
  return NXException(errorCode, message);
}

const char* NXException::Message() const { return m_impl->message.c_str(); }

int NXException::ErrorCode() const { return m_impl->code; }

}  // namespace NXOpen
