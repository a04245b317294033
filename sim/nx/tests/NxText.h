// NX Open's texts as the tests compare them: UTF-8.
#pragma once

#include <NXOpen/NXString.hxx>

#include <string>
#include <vector>

namespace nxsim {

inline std::string text(const NXOpen::NXString& value) { return value.GetUTF8Text(); }

inline std::vector<std::string> texts(const std::vector<NXOpen::NXString>& values) {
  std::vector<std::string> out;
  for (const NXOpen::NXString& value : values) out.push_back(text(value));
  return out;
}

}  // namespace nxsim
