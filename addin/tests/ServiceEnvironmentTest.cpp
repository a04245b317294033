// The service environments: selection by name, overrides, and the form of every row.
#include "addin/settings/ServiceEnvironment.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>

#include "addin/settings/PropertiesFile.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/Process.h"

namespace synquo {
namespace {

using testsupport::AddinEnvironment;

std::string loginOf(const std::string& environment) {
  ServiceSettings settings;
  settings.environment = environment;
  return resolveServiceEnvironment(settings).at("LoginURL").get<std::string>();
}

const std::string kProductionLogin = "https://login.synquo.example/";
const std::string kUsProductionLogin = "https://us-login.synquo.example/";
const std::string kStagingLogin = "https://stage-login.synquo.example/";
const std::string kUsStagingLogin = "https://us-stage-login.synquo.example/";

TEST(ServiceEnvironment, ProductionIsTheDefault) {
  const nlohmann::json production = resolveServiceEnvironment(ServiceSettings{});
  EXPECT_EQ(production, nlohmann::json({{"LoginURL", "https://login.synquo.example/"},
                                        {"ServerURL", "https://app.synquo.example/"},
                                        {"ClientID", "u8jzPde0IgxLd6GncfBAepfJBd0Kh8oO"},
                                        {"Audience", "https://login.synquo.example/api/v2/"}}));
}

TEST(ServiceEnvironment, EachNameSelectsItsEnvironmentInAnyCase) {
  for (const char* name : {"stage", "staging", "STAGE", "Staging"}) {
    EXPECT_EQ(loginOf(name), kStagingLogin) << name;
  }
  for (const char* name : {"us_stage", "us_staging", "US_Staging", "US_STAGE"}) {
    EXPECT_EQ(loginOf(name), kUsStagingLogin) << name;
  }
  for (const char* name : {"us_prod", "US_PROD", "Us_Prod"}) {
    EXPECT_EQ(loginOf(name), kUsProductionLogin) << name;
  }
  for (const char* name : {"", "production", "prod", "us", " staging ", "stage\t", "us-prod",
                           "staging2", "st\xc3\xa4ge"}) {
    EXPECT_EQ(loginOf(name), kProductionLogin) << '"' << name << '"';
  }
}

// The form a service description must have to sign in: https URLs ending in "/" on
// .example hosts, an audience path of "/api/v2/", a client id of 32 letters and digits.
void expectServiceForm(const nlohmann::json& row) {
  ASSERT_EQ(row.size(), 4u);
  for (const char* member : {"LoginURL", "ServerURL", "Audience"}) {
    const std::string url = row.at(member).get<std::string>();
    EXPECT_EQ(url.rfind("https://", 0), 0u) << url;
    EXPECT_EQ(url.back(), '/') << url;
    const std::string host = url.substr(8, url.find('/', 8) - 8);
    EXPECT_GE(host.size(), std::string(".example").size());
    EXPECT_EQ(host.substr(host.size() - 8), ".example") << url;
  }
  const std::string audience = row.at("Audience").get<std::string>();
  EXPECT_EQ(audience.substr(audience.find('/', 8)), "/api/v2/");
  const std::string clientId = row.at("ClientID").get<std::string>();
  EXPECT_EQ(clientId.size(), 32u);
  for (char c : clientId) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << clientId;
}

TEST(ServiceEnvironment, EveryRowHasTheFourMembersInTheirForm) {
  std::set<std::string> clientIds;
  std::set<std::string> servers;
  for (const char* name : {"", "us_prod", "stage", "us_stage"}) {
    ServiceSettings settings;
    settings.environment = name;
    const nlohmann::json row = resolveServiceEnvironment(settings);
    expectServiceForm(row);
    clientIds.insert(row.at("ClientID").get<std::string>());
    servers.insert(row.at("ServerURL").get<std::string>());
  }
  EXPECT_EQ(clientIds.size(), 4u);
  EXPECT_EQ(servers.size(), 4u);
}

// A user who copies the shipped example and uncomments its overrides must get a
// description that can sign in.
TEST(ServiceEnvironment, TheExampleFilesOverrideSamplesHaveTheWorkingForm) {
  AddinEnvironment addin;
  const std::string example = testsupport::readFile(
      testsupport::selfExecutablePath().parent_path() / "synquo.properties.example");
  std::string uncommented;
  std::istringstream lines(example);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("#synquo_", 0) == 0) line.erase(0, 1);
    uncommented += line + "\n";
  }
  addin.writeProperties(uncommented);
  loadSettings();
  const ServiceSettings settings = readServiceSettings();
  EXPECT_FALSE(settings.loginUrl.empty());
  EXPECT_FALSE(settings.serverUrl.empty());
  EXPECT_FALSE(settings.clientId.empty());
  EXPECT_FALSE(settings.audience.empty());
  expectServiceForm(resolveServiceEnvironment(settings));
}

TEST(ServiceEnvironment, NonEmptyOverridesReplaceSingleMembers) {
  ServiceSettings settings;
  settings.environment = "staging";
  settings.clientId = "mine";
  nlohmann::json row = resolveServiceEnvironment(settings);
  EXPECT_EQ(row.at("ClientID"), "mine");
  EXPECT_EQ(row.at("LoginURL"), kStagingLogin);
  EXPECT_EQ(row.at("ServerURL"), "https://stage-app.synquo.example/");
  EXPECT_EQ(row.at("Audience"), "https://stage-login.synquo.example/api/v2/");

  ServiceSettings all;
  all.loginUrl = "https://l.test/";
  all.serverUrl = "not even a url";
  all.clientId = "c";
  all.audience = "https://a.test/api/v2/";
  EXPECT_EQ(resolveServiceEnvironment(all),
            nlohmann::json({{"LoginURL", "https://l.test/"},
                            {"ServerURL", "not even a url"},
                            {"ClientID", "c"},
                            {"Audience", "https://a.test/api/v2/"}}));
}

TEST(ServiceEnvironment, ReadsTheFiveKeysFromThePropertiesFile) {
  AddinEnvironment addin;
  addin.writeProperties(
      "synquo_nx_server= US_Staging \n"
      "synquo_nx_login_url = https://login.override.example/ \n"
      "synquo_nx_server_url=\n"
      "synquo_nx_client_id=\tCustomClient\t\n"
      "synquo_nx_audience=https://aud.override.example/api/v2/\r\n");
  loadSettings();
  const ServiceSettings settings = readServiceSettings();
  EXPECT_EQ(settings.environment, "US_Staging");
  EXPECT_EQ(settings.loginUrl, "https://login.override.example/");
  EXPECT_EQ(settings.serverUrl, "");
  EXPECT_EQ(settings.clientId, "CustomClient");
  EXPECT_EQ(settings.audience, "https://aud.override.example/api/v2/");
  EXPECT_EQ(resolveServiceEnvironment(settings),
            nlohmann::json({{"LoginURL", "https://login.override.example/"},
                            {"ServerURL", "https://us-stage-app.synquo.example/"},
                            {"ClientID", "CustomClient"},
                            {"Audience", "https://aud.override.example/api/v2/"}}));
}

TEST(ServiceEnvironment, WithoutAPropertiesFileProductionIsUsed) {
  AddinEnvironment addin;
  loadSettings();
  const ServiceSettings settings = readServiceSettings();
  EXPECT_EQ(settings.environment, "");
  EXPECT_EQ(resolveServiceEnvironment(settings).at("ServerURL"), "https://app.synquo.example/");
}

TEST(ServiceEnvironment, AnEmptyClientIdKeepsTheEnvironmentsOwn) {
  AddinEnvironment addin;
  addin.writeProperties("synquo_nx_server=staging\nsynquo_nx_client_id=\n");
  loadSettings();
  EXPECT_EQ(resolveServiceEnvironment(readServiceSettings()).at("ClientID"),
            "TeKdNnFRIBXuDL7DxtpYlSXpfKtHF4vU");
}

}  // namespace
}  // namespace synquo
