// Which integration an upload comes from, as the service records it.
#pragma once

#include <vantel/Export.h>

#include <cstdint>
#include <string>

namespace vantel {

enum class VantelUploadSourceType : int32_t {
  GenericCad = 0,
  Pdm = 1,
  Plm = 2,
  WebUpload = 3,
  CommandLine = 4,
  Api = 5,
  DesktopSync = 6,
  MobileApp = 7,
  Email = 8,
  Brevin = 9,
  CloudStorage = 10,
  Erp = 11,
  Other = 12,
};

// The identifier text the service knows the source by ("brevin" for the add-in). A value
// outside the enumeration raises std::invalid_argument.
VANTEL_API std::string uploadSourceIdentifier(VantelUploadSourceType sourceType);

}  // namespace vantel
