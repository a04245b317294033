// The built-in table of service environments and the overrides from the properties file.
#include "addin/settings/ServiceEnvironment.h"

#include "addin/common/Text.h"
#include "addin/settings/PropertiesFile.h"

namespace synquo {
namespace {

struct Environment {
  const char* loginUrl;
  const char* serverUrl;
  const char* clientId;
  const char* audience;
};

constexpr Environment kProduction{"https://login.synquo.example/", "https://app.synquo.example/",
                                  "u8jzPde0IgxLd6GncfBAepfJBd0Kh8oO",
                                  "https://login.synquo.example/api/v2/"};
constexpr Environment kUsProduction{
    "https://us-login.synquo.example/", "https://us-app.synquo.example/",
    "OL8dKLzdocJ2isAjIhKtJ0RlgLKOmxgJ", "https://us-login.synquo.example/api/v2/"};
constexpr Environment kStaging{
    "https://stage-login.synquo.example/", "https://stage-app.synquo.example/",
    "TeKdNnFRIBXuDL7DxtpYlSXpfKtHF4vU", "https://stage-login.synquo.example/api/v2/"};
constexpr Environment kUsStaging{
    "https://us-stage-login.synquo.example/", "https://us-stage-app.synquo.example/",
    "CsMehGAkWvj7FAc9QeWJKY40uvSwMFLZ", "https://us-stage-login.synquo.example/api/v2/"};

const Environment& selectEnvironment(const std::string& name) {
  const std::string lower = toLowerAscii(name);
  if (lower == "stage" || lower == "staging") return kStaging;
  if (lower == "us_stage" || lower == "us_staging") return kUsStaging;
  if (lower == "us_prod") return kUsProduction;
  return kProduction;
}

void overrideMember(nlohmann::json& description, const char* member, const std::string& value) {
  if (!value.empty()) description[member] = value;
}

}  // namespace

ServiceSettings readServiceSettings() {
  ServiceSettings settings;
  settings.environment = getProperty("synquo_nx_server");
  settings.loginUrl = getProperty("synquo_nx_login_url");
  settings.serverUrl = getProperty("synquo_nx_server_url");
  settings.clientId = getProperty("synquo_nx_client_id");
  settings.audience = getProperty("synquo_nx_audience");
  return settings;
}

nlohmann::json resolveServiceEnvironment(const ServiceSettings& settings) {
  const Environment& row = selectEnvironment(settings.environment);
  nlohmann::json description = {{"LoginURL", row.loginUrl},
                                {"ServerURL", row.serverUrl},
                                {"ClientID", row.clientId},
                                {"Audience", row.audience}};
  overrideMember(description, "LoginURL", settings.loginUrl);
  overrideMember(description, "ServerURL", settings.serverUrl);
  overrideMember(description, "ClientID", settings.clientId);
  overrideMember(description, "Audience", settings.audience);
  return description;
}

}  // namespace synquo
