// Which integration an upload comes from, as the service records it.
#include <vantel/UploadSource.h>

#include <array>
#include <stdexcept>
#include <utility>

namespace vantel {
namespace {

constexpr std::array<std::pair<VantelUploadSourceType, const char*>, 13> kIdentifiers{{
    {VantelUploadSourceType::GenericCad, "generic_cad"},
    {VantelUploadSourceType::Pdm, "pdm"},
    {VantelUploadSourceType::Plm, "plm"},
    {VantelUploadSourceType::WebUpload, "web_upload"},
    {VantelUploadSourceType::CommandLine, "command_line"},
    {VantelUploadSourceType::Api, "api"},
    {VantelUploadSourceType::DesktopSync, "desktop_sync"},
    {VantelUploadSourceType::MobileApp, "mobile_app"},
    {VantelUploadSourceType::Email, "email"},
    {VantelUploadSourceType::Brevin, "brevin"},
    {VantelUploadSourceType::CloudStorage, "cloud_storage"},
    {VantelUploadSourceType::Erp, "erp"},
    {VantelUploadSourceType::Other, "other"},
}};

}  // namespace

std::string uploadSourceIdentifier(VantelUploadSourceType sourceType) {
  for (const auto& [value, identifier] : kIdentifiers) {
    if (value == sourceType) return identifier;
  }
  throw std::invalid_argument("unknown upload source enum value");
}

}  // namespace vantel
