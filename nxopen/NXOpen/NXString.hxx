// NX Open's text: a string that knows whether it holds UTF-8 or the locale's code page.
#ifndef NXOpen_NXSTRING_HXX_INCLUDED
#define NXOpen_NXSTRING_HXX_INCLUDED

#include <stddef.h>

#include <string>

#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENCPPEXPORT NXString {
 public:
  enum NXStringMode { UTF8, Locale };

  NXString() : native_text(NULL), utf8_text(NULL), mode(Locale) {}
  // The bytes are taken as text of the given mode: locale text unless told UTF8.
  NXString(const char* text, NXStringMode mode = Locale);
  NXString(const std::string& text, NXStringMode mode = Locale);
  NXString(const NXString& other);
  NXString& operator=(const NXString& other);
  ~NXString();

  NXStringMode GetMode() const;
  // The text in the string's own mode.
  const char* GetText() const;
  // The text in the locale's code page; characters outside it are lost.
  const char* GetLocaleText() const;
  const char* GetUTF8Text() const;

 private:
  mutable char* native_text;
  mutable void* utf8_text;
  NXStringMode mode;
};

}  // namespace NXOpen

#endif
