// The exception NX Open raises when a call fails.
#ifndef NXOpen_NXEXCEPTION_HXX_INCLUDED
#define NXOpen_NXEXCEPTION_HXX_INCLUDED

#include <exception>

#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXExceptionImpl;

class NXOPENCPPEXPORT NXException : public std::exception {
 public:
  NXException() = delete;
  NXException& operator=(const NXException&) = delete;
  NXException(const NXException& other) noexcept;
  virtual ~NXException() noexcept;

  static NXException Create(int errorCode);
  // The error code is 0.
  static NXException Create(const char* message);
  static NXException Create(int errorCode, const char* message);

  const char* Message() const;
  virtual const char* what() const throw() { return Message(); }
  int ErrorCode() const;

 private:
  explicit NXException(int errorCode);
  explicit NXException(const char* message);
  explicit NXException(int errorCode, const char* message);
  NXExceptionImpl* m_impl;
};

}  // namespace NXOpen

#endif
