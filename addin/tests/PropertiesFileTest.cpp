// The properties file beside the add-in: where it is, its syntax, and the settings it drives.
#include "addin/settings/PropertiesFile.h"

#include <gtest/gtest.h>

#include "addin/logging/Log.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/FailingPlatform.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using platform::FakePlatform;
using testsupport::AddinEnvironment;

class PropertiesFile : public ::testing::Test {
 protected:
  AddinEnvironment addin_;
};

TEST_F(PropertiesFile, IsLookedForBesideTheAddinModule) {
  EXPECT_EQ(propertiesFilePath(), addin_.addinDirectory() / "synquo.properties");
}

TEST_F(PropertiesFile, FallsBackToTheBareNameWhenTheModuleIsUnknown) {
  addin_.platform().fail(FakePlatform::Call::AddinModuleFile);
  EXPECT_EQ(propertiesFilePath(), fs::path("synquo.properties"));
  addin_.platform().heal(FakePlatform::Call::AddinModuleFile);

  addin_.platform().setAddinModuleFile(platform::ModuleFile{true, {}});
  EXPECT_EQ(propertiesFilePath(), fs::path("synquo.properties"));
}

TEST_F(PropertiesFile, AbsentFileGivesAnEmptyTable) {
  EXPECT_FALSE(loadSettings());
  EXPECT_TRUE(loadedPropertiesPath().empty());
  EXPECT_EQ(getProperty("synquo_nx_log_level"), "");
}

TEST_F(PropertiesFile, ReadsKeysAndTrimmedValues) {
  addin_.writeProperties(
      "synquo_nx_server = staging \n"
      "\tsynquo_nx_client_id\t=\tabc\t\n"
      "a=b=c\n"
      "url=https://x.example:8443/p\n"
      "empty=\n");
  EXPECT_TRUE(loadSettings());
  EXPECT_EQ(loadedPropertiesPath(), addin_.propertiesFile());
  EXPECT_EQ(getProperty("synquo_nx_server"), "staging");
  EXPECT_EQ(getProperty("synquo_nx_client_id"), "abc");
  EXPECT_EQ(getProperty("a"), "b=c");
  EXPECT_EQ(getProperty("url"), "https://x.example:8443/p");
  EXPECT_EQ(getProperty("empty"), "");
  EXPECT_EQ(getProperty("missing"), "");
}

TEST_F(PropertiesFile, SkipsCommentsBlankAndMalformedLines) {
  addin_.writeProperties(
      "# synquo_nx_server=stage\n"
      " # synquo_nx_log_level=DEBUG\n"
      "!synquo_nx_client_id=x\n"
      "\n"
      "   \t\n"
      "=x\n"
      " = y\n"
      "no separator here\n"
      "key: value\n"
      ";synquo_nx_log_level=DEBUG\n");
  EXPECT_TRUE(loadSettings());
  EXPECT_EQ(getProperty("synquo_nx_server"), "");
  EXPECT_EQ(getProperty("synquo_nx_log_level"), "");
  EXPECT_EQ(getProperty("!synquo_nx_client_id"), "");
  EXPECT_EQ(getProperty(""), "");
  EXPECT_EQ(getProperty("key: value"), "");
  EXPECT_EQ(getProperty(";synquo_nx_log_level"), "DEBUG");
  EXPECT_EQ(logging::currentLogLevel(), logging::LogLevel::Info);
}

TEST_F(PropertiesFile, KeysAreCaseSensitiveAndTheLaterLineWins) {
  addin_.writeProperties(
      "SYNQUO_NX_LOG_LEVEL=DEBUG\n"
      "synquo_nx_server=stage\n"
      "synquo_nx_server=us_prod\n");
  loadSettings();
  EXPECT_EQ(getProperty("SYNQUO_NX_LOG_LEVEL"), "DEBUG");
  EXPECT_EQ(getProperty("synquo_nx_server"), "us_prod");
  EXPECT_EQ(logging::currentLogLevel(), logging::LogLevel::Info);
}

TEST_F(PropertiesFile, AByteOrderMarkAndWindowsLineEndsReadLikePlainText) {
  addin_.writeProperties("\xEF\xBB\xBFsynquo_nx_server=stage\r\nsynquo_nx_log_level=warn\r\n");
  loadSettings();
  EXPECT_EQ(getProperty("synquo_nx_server"), "stage");
  EXPECT_EQ(getProperty("\xEF\xBB\xBFsynquo_nx_server"), "");
  EXPECT_EQ(logging::currentLogLevel(), logging::LogLevel::Warning);

  // Only the first line can carry the mark.
  addin_.writeProperties(
      "a=1\r\n\xEF\xBB\xBF"
      "b=2\r\n");
  loadSettings();
  EXPECT_EQ(getProperty("\xEF\xBB\xBF"
                        "b"),
            "2");
  EXPECT_EQ(getProperty("b"), "");
}

TEST_F(PropertiesFile, ValuesKeepTheirBytes) {
  addin_.writeProperties("name=J\xc3\xb6rg \xe2\x82\xac\nlatin=J\xf6rg\n");
  loadSettings();
  EXPECT_EQ(getProperty("name"), "J\xc3\xb6rg \xe2\x82\xac");
  EXPECT_EQ(getProperty("latin"), "J\xf6rg");
}

TEST_F(PropertiesFile, ADeletedFileRestoresEveryDefaultAtTheNextLoad) {
  addin_.writeProperties("synquo_nx_log_level=ERROR\nsynquo_nx_retain_temp_files=true\n");
  EXPECT_TRUE(loadSettings());
  EXPECT_EQ(logging::currentLogLevel(), logging::LogLevel::Error);
  EXPECT_TRUE(retainTempFiles());

  addin_.removeProperties();
  EXPECT_FALSE(loadSettings());
  EXPECT_TRUE(loadedPropertiesPath().empty());
  EXPECT_EQ(getProperty("synquo_nx_log_level"), "");
  EXPECT_FALSE(retainTempFiles());
  EXPECT_EQ(logging::currentLogLevel(), logging::LogLevel::Info);
  EXPECT_TRUE(AddinEnvironment::logContains(addin_.defaultLogDirectory(),
                                            "[INFO] [Synquo] Log level set to INFO (default)"));
}

TEST_F(PropertiesFile, ADirectoryInPlaceOfTheFileCountsAsNoFile) {
  fs::create_directory(addin_.propertiesFile());
  EXPECT_FALSE(loadSettings());
  EXPECT_TRUE(loadedPropertiesPath().empty());
}

TEST_F(PropertiesFile, AFileThatCannotBeReadIsNoFileAndIsReportedWithPathAndReason) {
  addin_.writeProperties("synquo_nx_log_level=DEBUG\n");
  const std::error_code reason = std::make_error_code(std::errc::permission_denied);
  bool opened = false;
  int unreadable = 0;
  platform::failEachOperationInTurn(
      [&] { EXPECT_NO_THROW(opened = loadSettings()); },
      [&](const platform::FailingPlatform& failing) {
        // Failures of the log's own files are the log's to report.
        if (failing.failedPath() != addin_.propertiesFile()) return;
        ++unreadable;
        EXPECT_FALSE(opened);
        EXPECT_TRUE(loadedPropertiesPath().empty());
        EXPECT_EQ(getProperty("synquo_nx_log_level"), "");
        EXPECT_TRUE(AddinEnvironment::logContains(
            addin_.defaultLogDirectory(),
            "[WARNING] [Synquo] Failed to read synquo.properties." +
                logging::failureDetail(addin_.propertiesFile(), reason)));
      },
      reason);
  EXPECT_GE(unreadable, 2) << "both looking at the file and reading it can fail";
}

TEST_F(PropertiesFile, TheLogGoesToTheDefaultDirectoryWithTheLevelAnnounced) {
  addin_.writeProperties("synquo_nx_log_level = warn\n");
  loadSettings();
  EXPECT_EQ(logging::logDirectory(), addin_.defaultLogDirectory());
  EXPECT_EQ(logging::currentLogLevel(), logging::LogLevel::Warning);
  EXPECT_TRUE(AddinEnvironment::logContains(
      addin_.defaultLogDirectory(), "[INFO] [Synquo] Log level set to WARNING (properties)"));
}

TEST_F(PropertiesFile, AnEmptyLevelMeansInfoFromTheDefault) {
  addin_.writeProperties("synquo_nx_log_level=ERROR\n");
  loadSettings();
  addin_.writeProperties("synquo_nx_log_level=\n");
  loadSettings();
  EXPECT_EQ(logging::currentLogLevel(), logging::LogLevel::Info);
  EXPECT_TRUE(AddinEnvironment::logContains(addin_.defaultLogDirectory(),
                                            "[INFO] [Synquo] Log level set to INFO (default)"));
}

TEST_F(PropertiesFile, AnUnknownLevelIsReportedAndKeepsThePreviousOne) {
  addin_.writeProperties("synquo_nx_log_level=ERROR\n");
  loadSettings();
  addin_.writeProperties("synquo_nx_log_level=loud\n");
  loadSettings();
  EXPECT_EQ(logging::currentLogLevel(), logging::LogLevel::Error);
  EXPECT_TRUE(AddinEnvironment::logContains(
      addin_.defaultLogDirectory(),
      "[WARNING] [Synquo] synquo.properties: unrecognized value for synquo_nx_log_level: "
      "\"loud\"; ignoring."));
}

TEST_F(PropertiesFile, ARelativeLogDirectoryLiesBesideTheAddin) {
  addin_.writeProperties("synquo_nx_log_directory= logs \nsynquo_nx_log_level=DEBUG\n");
  loadSettings();
  EXPECT_EQ(logging::logDirectory(), addin_.addinDirectory() / "logs");
  EXPECT_TRUE(AddinEnvironment::logContains(addin_.addinDirectory() / "logs",
                                            "[INFO] [Synquo] Log level set to DEBUG (properties)"));
  EXPECT_FALSE(fs::exists(addin_.defaultLogDirectory()));
}

TEST_F(PropertiesFile, AnAbsoluteLogDirectoryIsUsedUnchanged) {
  testsupport::TempDir elsewhere("brevin-logs");
  const fs::path target = elsewhere.path() / "nested" / "logs";
  addin_.writeProperties("synquo_nx_log_directory=" + platform::toUtf8(target) + "\n");
  loadSettings();
  EXPECT_EQ(logging::logDirectory(), target);
  EXPECT_TRUE(fs::is_directory(target));
}

TEST_F(PropertiesFile, WithoutLocalAppDataTheLogLiesBesideTheAddin) {
  addin_.platform().setEnvironment("LOCALAPPDATA", {});
  EXPECT_EQ(defaultLogDirectory(), addin_.addinDirectory());
  loadSettings();
  EXPECT_EQ(logging::logDirectory(), addin_.addinDirectory());
}

TEST_F(PropertiesFile, DefaultLogDirectoryIsUnderLocalAppData) {
  EXPECT_EQ(defaultLogDirectory(), addin_.localAppData() / "Synquo" / "NX" / "logs");
  addin_.platform().fail(FakePlatform::Call::EnvironmentPath);
  EXPECT_EQ(defaultLogDirectory(), addin_.addinDirectory());
  addin_.platform().fail(FakePlatform::Call::AddinModuleFile);
  EXPECT_EQ(defaultLogDirectory(), fs::path());
}

TEST_F(PropertiesFile, WithNothingKnownARelativeLogDirectoryKeepsTheLogSilent) {
  addin_.platform().fail(FakePlatform::Call::EnvironmentPath);
  addin_.platform().fail(FakePlatform::Call::AddinModuleFile);
  EXPECT_FALSE(loadSettings());
  // Without the module the file cannot be found; even a relative setting would have no base.
  EXPECT_TRUE(logging::logDirectory().empty());
  logging::error("lost");
  EXPECT_FALSE(logging::logFileExists());
}

TEST_F(PropertiesFile, RetainTempFilesIsTrueOnlyForTheWordTrue) {
  for (const char* value : {"true", "TRUE", "True", "  tRuE  "}) {
    addin_.writeProperties(std::string("synquo_nx_retain_temp_files=") + value + "\n");
    loadSettings();
    EXPECT_TRUE(retainTempFiles()) << value;
  }
  for (const char* value : {"", "yes", "1", "on", "truee", "enabled"}) {
    addin_.writeProperties(std::string("synquo_nx_retain_temp_files=") + value + "\n");
    loadSettings();
    EXPECT_FALSE(retainTempFiles()) << value;
  }
  for (const std::string& entry : AddinEnvironment::logEntries(addin_.defaultLogDirectory())) {
    EXPECT_EQ(entry.find("[WARNING]"), std::string::npos) << entry;
  }
}

class FixLegacyId : public PropertiesFile {
 protected:
  bool readWith(const std::string& value) {
    addin_.writeProperties("synquo_fix_legacy_id=" + value + "\nsynquo_nx_log_level=DEBUG\n");
    loadSettings();
    return fixLegacyIdEnabled();
  }
  std::vector<std::string> log() const {
    return AddinEnvironment::logEntries(addin_.defaultLogDirectory());
  }
  size_t count(const std::string& entry) const {
    const auto all = log();
    return static_cast<size_t>(std::count(all.begin(), all.end(), entry));
  }
};

TEST_F(FixLegacyId, AcceptsEveryTrueAndFalseSpellingInAnyCase) {
  for (const char* value : {"1", "true", "YES", "On", "enabled", "TRUE"}) {
    EXPECT_TRUE(readWith(value)) << value;
  }
  for (const char* value : {"0", "false", "No", "OFF", "Disabled", "FALSE"}) {
    EXPECT_FALSE(readWith(value)) << value;
  }
  EXPECT_EQ(count("[INFO] [Synquo] synquo_fix_legacy_id is false (configured value: \"No\")."), 1u);
  EXPECT_EQ(count("[INFO] [Synquo] synquo_fix_legacy_id is true (configured value: \"On\")."), 1u);
}

TEST_F(FixLegacyId, AnnouncesEachValueAndOutcomeOnlyOnce) {
  EXPECT_FALSE(readWith("off"));
  EXPECT_FALSE(readWith("off"));
  EXPECT_FALSE(fixLegacyIdEnabled());
  EXPECT_EQ(count("[INFO] [Synquo] synquo_fix_legacy_id is false (configured value: \"off\")."),
            1u);

  EXPECT_TRUE(readWith(""));
  EXPECT_TRUE(readWith(""));
  EXPECT_EQ(count("[INFO] [Synquo] synquo_fix_legacy_id is true (default true)."), 1u);

  // Another value, then the first again: both are news.
  EXPECT_FALSE(readWith("off"));
  EXPECT_EQ(count("[INFO] [Synquo] synquo_fix_legacy_id is false (configured value: \"off\")."),
            2u);
}

TEST_F(FixLegacyId, AnUnknownValueWarnsOnceAndMeansTrue) {
  EXPECT_TRUE(readWith("Maybe"));
  EXPECT_TRUE(readWith("Maybe"));
  EXPECT_EQ(count("[WARNING] [Synquo] synquo.properties: unrecognized value for "
                  "synquo_fix_legacy_id: \"Maybe\"; using default true."),
            1u);
  EXPECT_EQ(count("[INFO] [Synquo] synquo_fix_legacy_id is true (configured value: \"Maybe\")."),
            1u);
}

TEST_F(FixLegacyId, AnAbsentKeyMeansTrue) {
  addin_.writeProperties("synquo_nx_log_level=DEBUG\n");
  loadSettings();
  EXPECT_TRUE(fixLegacyIdEnabled());
}

}  // namespace
}  // namespace synquo

namespace synquo {
namespace {

TEST(PropertiesFileGarbage, TenMegabytesOfGarbageLeaveTheDefaultsAndTheLaterGoodLine) {
  AddinEnvironment addin;
  std::string garbage;
  garbage.reserve(10u << 20);
  unsigned state = 12345;
  while (garbage.size() < (10u << 20)) {
    state = state * 1103515245u + 12345u;
    const char c = static_cast<char>(state >> 16);
    garbage.push_back(c == '=' || c == '\n' || c == '\r' ? '\0' : c);  // no accidental keys
  }
  addin.writeProperties(garbage + "\nsynquo_nx_log_level=ERROR\n");
  EXPECT_TRUE(loadSettings());
  EXPECT_EQ(getProperty("synquo_nx_log_level"), "ERROR");
  EXPECT_EQ(logging::currentLogLevel(), logging::LogLevel::Error);
  EXPECT_TRUE(fixLegacyIdEnabled()) << "a default stays a default";
}

}  // namespace
}  // namespace synquo
