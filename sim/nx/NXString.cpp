// NX Open's text. It keeps the form it was made in and converts to the other on demand, so
// locale text and UTF-8 are never taken for one another.
#include <NXOpen/NXString.hxx>

#include <cstring>

#include "sim/nx/CodePage.h"

namespace NXOpen {
namespace {

char* copyText(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  char* copy = new char[size];
  std::memcpy(copy, text, size);
  return copy;
}

char* copyText(const std::string& text) { return copyText(text.c_str()); }

}  // namespace

NXString::NXString(const char* text, NXStringMode textMode)
    : native_text(NULL), utf8_text(NULL), mode(textMode) {
  const char* given = text == NULL ? "" : text;
  if (textMode == UTF8) {
    utf8_text = copyText(given);
  } else {
    native_text = copyText(given);
  }
}

NXString::NXString(const std::string& text, NXStringMode textMode)
    : NXString(text.c_str(), textMode) {}

NXString::NXString(const NXString& other)
    : native_text(other.native_text == NULL ? NULL : copyText(other.native_text)),
      utf8_text(other.utf8_text == NULL ? NULL : copyText(static_cast<char*>(other.utf8_text))),
      mode(other.mode) {}

NXString& NXString::operator=(const NXString& other) {
  if (&other != this) {
    NXString copy(other);
    std::swap(native_text, copy.native_text);
    std::swap(utf8_text, copy.utf8_text);
    mode = copy.mode;
  }
  return *this;
}

NXString::~NXString() {
  delete[] native_text;
  delete[] static_cast<char*>(utf8_text);
}

NXString::NXStringMode NXString::GetMode() const { return mode; }

const char* NXString::GetText() const { return mode == UTF8 ? GetUTF8Text() : GetLocaleText(); }

const char* NXString::GetLocaleText() const {
  if (native_text == NULL) {
    native_text = copyText(utf8_text == NULL
                               ? std::string()
                               : nxsim::detail::utf8ToLocale(static_cast<const char*>(utf8_text)));
  }
  return native_text;
}

const char* NXString::GetUTF8Text() const {
  if (utf8_text == NULL) {
    utf8_text =
        copyText(native_text == NULL ? std::string() : nxsim::detail::localeToUtf8(native_text));
  }
  return static_cast<const char*>(utf8_text);
}

}  // namespace NXOpen
