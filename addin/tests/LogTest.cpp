// The add-in's log file: levels, announcements, line layout, directory and concurrency.
#include "addin/logging/Log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <regex>
#include <set>
#include <thread>

#include "addin/platform/Platform.h"
#include "addin/platform/PlatformWrapper.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/FailingPlatform.h"
#include "addin/tests/support/FakePlatform.h"
#include "addin/tests/support/LogCapture.h"
#include "addin/tests/support/TestFiles.h"

namespace logging {
namespace {

namespace fs = std::filesystem;
using testsupport::LogCapture;
using testsupport::TempDir;

const std::regex kLinePattern(
    R"(\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} [+-]\d{4}\] \[(DEBUG|INFO|WARNING|ERROR)\] .*)");

TEST(ParseLogLevel, AcceptsEverySpellingInAnyCaseAndTrimmed) {
  EXPECT_EQ(parseLogLevel("DEBUG"), LogLevel::Debug);
  EXPECT_EQ(parseLogLevel("debug"), LogLevel::Debug);
  EXPECT_EQ(parseLogLevel("Info"), LogLevel::Info);
  EXPECT_EQ(parseLogLevel("WARNING"), LogLevel::Warning);
  EXPECT_EQ(parseLogLevel("warn"), LogLevel::Warning);
  EXPECT_EQ(parseLogLevel(" Warn\t"), LogLevel::Warning);
  EXPECT_EQ(parseLogLevel("ERROR"), LogLevel::Error);
  EXPECT_EQ(parseLogLevel("error"), LogLevel::Error);
  EXPECT_EQ(parseLogLevel("off"), LogLevel::Off);
  EXPECT_EQ(parseLogLevel("NONE"), LogLevel::Off);
  EXPECT_EQ(parseLogLevel("DiSaBlEd"), LogLevel::Off);
  EXPECT_EQ(parseLogLevel("\r\ndisabled\n"), LogLevel::Off);
}

TEST(ParseLogLevel, RejectsEverythingElse) {
  for (const char* text :
       {"", "   ", "verbose", "WARNINGS", "deb ug", "0", "trace", "\vINFO", "err", "information"}) {
    EXPECT_EQ(parseLogLevel(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(LogLevelNames, AreTheFiveUpperCaseWords) {
  EXPECT_STREQ(logLevelName(LogLevel::Debug), "DEBUG");
  EXPECT_STREQ(logLevelName(LogLevel::Info), "INFO");
  EXPECT_STREQ(logLevelName(LogLevel::Warning), "WARNING");
  EXPECT_STREQ(logLevelName(LogLevel::Error), "ERROR");
  EXPECT_STREQ(logLevelName(LogLevel::Off), "OFF");
  EXPECT_EQ(static_cast<int>(LogLevel::Debug), 0);
  EXPECT_EQ(static_cast<int>(LogLevel::Off), 4);
}

TEST(FormatLogLine, LaysOutLocalTimeLevelTagAndMessage) {
  const std::time_t when = 1700000000;
  const std::string line = formatLogLine(LogLevel::Warning, "disk \"full\"", when);
  ASSERT_TRUE(std::regex_match(line, kLinePattern)) << line;

  std::tm local = *std::localtime(&when);
  char expected[32];
  std::strftime(expected, sizeof(expected), "%Y-%m-%d %H:%M:%S", &local);
  EXPECT_EQ(line.substr(0, 21), std::string("[") + expected + " ");

  // The offset, found independently: the UTC fields read back as local time.
  std::tm utc = *std::gmtime(&when);
  utc.tm_isdst = local.tm_isdst;
  const long offset = static_cast<long>(std::difftime(when, std::mktime(&utc))) / 60;
  const long magnitude = offset < 0 ? -offset : offset;
  char zone[8];
  std::snprintf(zone, sizeof(zone), "%c%02d%02d", offset < 0 ? '-' : '+',
                static_cast<int>(magnitude / 60 % 100), static_cast<int>(magnitude % 60));
  EXPECT_EQ(line.substr(21), std::string(zone) + "] [WARNING] [Synquo] disk \"full\"");
}

TEST(FormatLogLine, LeavesOutTheAddinTagOnlyForTheLibrarysExactTag) {
  const std::time_t when = 1700000000;
  const size_t stamp = formatLogLine(LogLevel::Info, "", when).find("] ") + 2;
  EXPECT_EQ(formatLogLine(LogLevel::Info, "[vantel] request sent", when).substr(stamp),
            "[INFO] [vantel] request sent");
  EXPECT_EQ(formatLogLine(LogLevel::Info, "[vantel]x", when).substr(stamp), "[INFO] [vantel]x");
  EXPECT_EQ(formatLogLine(LogLevel::Error, "[VANTEL] loud", when).substr(stamp),
            "[ERROR] [Synquo] [VANTEL] loud");
  EXPECT_EQ(formatLogLine(LogLevel::Debug, " [vantel] spaced", when).substr(stamp),
            "[DEBUG] [Synquo]  [vantel] spaced");
  EXPECT_EQ(formatLogLine(LogLevel::Info, "", when).substr(stamp), "[INFO] [Synquo] ");
  EXPECT_EQ(formatLogLine(LogLevel::Info, "line\nbreak", when).substr(stamp),
            "[INFO] [Synquo] line\nbreak");
}

TEST(FormatLogLine, UsesTheCurrentTime) {
  const std::time_t before = std::time(nullptr);
  const std::string line = formatLogLine(LogLevel::Info, "now");
  const std::time_t after = std::time(nullptr);
  EXPECT_TRUE(line == formatLogLine(LogLevel::Info, "now", before) ||
              line == formatLogLine(LogLevel::Info, "now", after))
      << line;
}

TEST(LogFile, EachMessageIsOneLineEndingInCrLf) {
  LogCapture log(LogLevel::Info);
  info("hello");
  warning(std::string("second"));
  const std::string content = log.content();
  ASSERT_GE(content.size(), 4u);
  EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
  const auto lines = testsupport::splitLines(content);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(std::regex_match(lines[0], kLinePattern)) << lines[0];
  EXPECT_EQ(log.entries(),
            (std::vector<std::string>{"[INFO] [Synquo] hello", "[WARNING] [Synquo] second"}));
}

TEST(LogFile, ANullOrEmptyMessageStillGivesACompleteLine) {
  LogCapture log;
  info(static_cast<const char*>(nullptr));
  error("");
  EXPECT_EQ(log.entries(), (std::vector<std::string>{"[INFO] [Synquo] ", "[ERROR] [Synquo] "}));
}

TEST(LogFile, TheThresholdFiltersLowerLevels) {
  LogCapture log(LogLevel::Warning);
  debug("d");
  info("i");
  warning("w");
  error("e");
  info("piece ", 1);
  error("piece ", 2);
  EXPECT_EQ(log.entries(), (std::vector<std::string>{"[WARNING] [Synquo] w", "[ERROR] [Synquo] e",
                                                     "[ERROR] [Synquo] piece 2"}));
  EXPECT_FALSE(isLogLevelEnabled(LogLevel::Info));
  EXPECT_TRUE(isLogLevelEnabled(LogLevel::Error));
}

TEST(LogFile, DebugLetsEverythingThroughAndOffNothing) {
  {
    LogCapture log(LogLevel::Debug);
    debug("d");
    EXPECT_TRUE(log.contains("[DEBUG] [Synquo] d"));
  }
  LogCapture log(LogLevel::Off);
  EXPECT_EQ(currentLogLevel(), LogLevel::Off);
  debug("d");
  info("i");
  warning("w");
  error("e");
  error("e", 2);
  EXPECT_FALSE(fs::exists(log.file()));
  EXPECT_FALSE(isLogLevelEnabled(LogLevel::Error));
}

TEST(LogFile, MultiPartMessagesJoinTheirPartsWithNothingBetween) {
  LogCapture log;
  const fs::path path = platform::fromUtf8("/data/J\xc3\xb6rg/part.prt");
  const std::uint8_t small = 7;
  info("text ", std::string("string "), std::string_view("view "), 42, ' ', -5L, ' ',
       123456789012LL, " size=", static_cast<size_t>(3), " flag=", true, "/", false, " path=\"",
       path, "\"", " null=", static_cast<const char*>(nullptr), " small=", small,
       " level=", LogLevel::Warning);
  EXPECT_EQ(log.entries(),
            std::vector<std::string>{"[INFO] [Synquo] text string view 42 -5 123456789012 size=3 "
                                     "flag=true/false path=\"" +
                                     platform::toUtf8(path) + "\" null= small=7 level=WARNING"});
  EXPECT_NE(log.content().find("J\xc3\xb6rg"), std::string::npos) << "paths are written as UTF-8";
}

// Numbers are written as a stream in the classic locale writes them; a type without a form of
// its own still goes through its stream operator.
TEST(LogFile, NumbersAndOtherPartsReadAsTheirStreamForm) {
  const auto streamed = [](const auto& value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
  };
  const double doubles[] = {12.5, 0.1, 0.30000000000000004, 1234567.0, 1e20, -2.5e-7, 0.0,
                            -0.0, 100.0, std::numeric_limits<double>::infinity()};
  for (const double value : doubles) {
    EXPECT_EQ(detail::joinParts(value), streamed(value)) << value;
  }
  EXPECT_EQ(detail::joinParts(2.75f, ' ', 1.0L / 3), streamed(2.75f) + " " + streamed(1.0L / 3));
  EXPECT_EQ(detail::joinParts(std::numeric_limits<std::int64_t>::min(), ' ',
                              std::numeric_limits<std::uint64_t>::max(), ' ',
                              static_cast<unsigned short>(65535), ' ',
                              static_cast<signed char>(-3)),
            "-9223372036854775808 18446744073709551615 65535 -3");
  const std::error_code code = std::make_error_code(std::errc::permission_denied);
  EXPECT_EQ(detail::joinParts(code), streamed(code));
}

TEST(LogFile, NothingIsWrittenWithoutADirectory) {
  LogCapture log;
  setLogDirectory({}, "");
  EXPECT_TRUE(logDirectory().empty());
  error("lost");
  EXPECT_FALSE(logFileExists());
  EXPECT_TRUE(logFilePath("other.log").empty());

  // A relative setting needs a base directory.
  setLogDirectory({}, "logs");
  EXPECT_TRUE(logDirectory().empty());
  error("lost too");
  EXPECT_FALSE(logFileExists());
  EXPECT_FALSE(fs::exists(log.file()));
}

TEST(LogDirectory, ResolvesTheSettingAgainstTheBase) {
  LogCapture log;
  TempDir base("brevin-base");
  setLogDirectory(base.path(), "  logs\r\n");
  EXPECT_EQ(logDirectory(), base.path() / "logs");
  EXPECT_TRUE(fs::is_directory(base.path() / "logs"));

  setLogDirectory(base.path(), "deep/er/logs");
  EXPECT_TRUE(fs::is_directory(base.path() / "deep" / "er" / "logs"));

  const fs::path absolute = base.path() / "absolute";
  setLogDirectory(fs::path("unused-base"), "\t" + platform::toUtf8(absolute) + " ");
  EXPECT_EQ(logDirectory(), absolute);
  EXPECT_TRUE(fs::is_directory(absolute));
  EXPECT_FALSE(fs::exists("unused-base"));

  setLogDirectory(base.path(), " ");
  EXPECT_EQ(logDirectory(), base.path());
}

TEST(LogDirectory, LaterLinesFollowANewDirectory) {
  LogCapture log;
  info("first");
  TempDir other("brevin-other");
  setLogDirectory(other.path(), "J\xc3\xb6rg");
  info("second");
  EXPECT_EQ(log.entries(), std::vector<std::string>{"[INFO] [Synquo] first"});
  const fs::path moved = other / "J\xc3\xb6rg" / kLogFileName;
  ASSERT_TRUE(fs::exists(moved));
  EXPECT_NE(testsupport::readFile(moved).find("[INFO] [Synquo] second\r\n"), std::string::npos);
}

TEST(LogDirectory, ADeletedDirectoryIsCreatedAgainForTheNextLine) {
  LogCapture log;
  TempDir base("brevin-base");
  setLogDirectory(base.path(), "logs");
  fs::remove_all(base.path() / "logs");
  info("again");
  EXPECT_TRUE(fs::exists(base.path() / "logs" / kLogFileName));
}

TEST(LogFilePath, JoinsRelativeNamesAndKeepsAbsoluteOnes) {
  LogCapture log;
  EXPECT_EQ(logFilePath("synquo-torvane-integration.log"),
            log.directory() / "synquo-torvane-integration.log");
  const fs::path absolute = log.directory() / "elsewhere.log";
  EXPECT_EQ(logFilePath(platform::toFileNameCodePage(absolute)), absolute);
}

TEST(LogFileExists, SeesAnyEntryOfThatName) {
  LogCapture log;
  EXPECT_FALSE(logFileExists());
  info("x");
  EXPECT_TRUE(logFileExists());
  log.clear();
  EXPECT_FALSE(logFileExists());
  fs::create_directory(log.file());
  EXPECT_TRUE(logFileExists());
  fs::remove(log.file());
}

TEST(ApplyLogLevel, AnnouncesANewLevelEvenWhenItFiltersInfo) {
  LogCapture log(LogLevel::Info);
  applyLogLevel("synquo_nx_log_level", "WARNING");
  EXPECT_EQ(currentLogLevel(), LogLevel::Warning);
  EXPECT_EQ(log.entries(),
            std::vector<std::string>{"[INFO] [Synquo] Log level set to WARNING (properties)"});

  applyLogLevel("synquo_nx_log_level", "error");
  EXPECT_EQ(currentLogLevel(), LogLevel::Error);
  EXPECT_TRUE(log.contains("[INFO] [Synquo] Log level set to ERROR (properties)"));
}

TEST(ApplyLogLevel, AnnouncesTheSameLevelAgainOnlyWhenTheFileWentMissing) {
  LogCapture log(LogLevel::Info);
  applyLogLevel("synquo_nx_log_level", " warn ");
  applyLogLevel("synquo_nx_log_level", "WARNING");
  EXPECT_EQ(log.entries().size(), 1u);
  log.clear();
  applyLogLevel("synquo_nx_log_level", "warning");
  EXPECT_EQ(log.entries(),
            std::vector<std::string>{"[INFO] [Synquo] Log level set to WARNING (properties)"});
}

TEST(ApplyLogLevel, EmptyTextMeansInfoFromTheDefault) {
  LogCapture log(LogLevel::Error);
  applyLogLevel("synquo_nx_log_level", "");
  EXPECT_EQ(currentLogLevel(), LogLevel::Info);
  EXPECT_EQ(log.entries(),
            std::vector<std::string>{"[INFO] [Synquo] Log level set to INFO (default)"});

  // Info already, and the file is there: nothing more to say.
  applyLogLevel("synquo_nx_log_level", "");
  EXPECT_EQ(log.entries().size(), 1u);

  log.clear();
  applyLogLevel("synquo_nx_log_level", "");
  EXPECT_TRUE(log.contains("[INFO] [Synquo] Log level set to INFO (default)"));
}

TEST(ApplyLogLevel, OffIsSetSilently) {
  LogCapture log(LogLevel::Info);
  applyLogLevel("synquo_nx_log_level", "DiSaBlEd");
  EXPECT_EQ(currentLogLevel(), LogLevel::Off);
  applyLogLevel("synquo_nx_log_level", "none");
  EXPECT_FALSE(fs::exists(log.file()));
}

TEST(ApplyLogLevel, AnUnrecognisedValueKeepsTheLevelAndWarnsPastTheFilter) {
  LogCapture log(LogLevel::Off);
  applyLogLevel("synquo_nx_log_level", " verbose ");
  EXPECT_EQ(currentLogLevel(), LogLevel::Off);
  applyLogLevel("ERROR", "ERROR");
  applyLogLevel("", "chatty");
  EXPECT_EQ(currentLogLevel(), LogLevel::Error);
  EXPECT_EQ(log.entries(),
            (std::vector<std::string>{
                "[WARNING] [Synquo] synquo.properties: unrecognized value for "
                "synquo_nx_log_level: \" verbose \"; ignoring.",
                "[INFO] [Synquo] Log level set to ERROR (properties)",
                "[WARNING] [Synquo] synquo.properties: unrecognized value for log_level: "
                "\"chatty\"; ignoring."}));
}

TEST(LogFile, TwoThreadsLoggingAtOnceLeaveOnlyWholeLines) {
  LogCapture log(LogLevel::Info);
  constexpr int kLines = 10000;
  auto writer = [](char name) {
    for (int i = 0; i < kLines; ++i) info("thread ", name, " line ", i, " end");
  };
  std::thread first(writer, 'a');
  std::thread second(writer, 'b');
  first.join();
  second.join();

  const std::vector<std::string> lines = testsupport::splitLines(log.content());
  ASSERT_EQ(lines.size(), 2u * kLines);
  std::set<std::string> seen;
  const std::regex message(R"(\[.{25}\] \[INFO\] \[Synquo\] thread [ab] line \d+ end)");
  for (const std::string& line : lines) {
    ASSERT_TRUE(std::regex_match(line, message)) << line;
    seen.insert(line.substr(line.find("thread")));
  }
  EXPECT_EQ(seen.size(), 2u * kLines);
}

TEST(LogFile, WritesGoThroughThePlatformAndALostWriteIsReportedByTheNextLine) {
  LogCapture log(LogLevel::Info);
  platform::FakePlatform fake;
  platform::ScopedPlatform scope(fake);
  info("kept");
  fake.fail(platform::FakePlatform::Call::AppendLine);
  EXPECT_NO_THROW(error("lost"));
  fake.heal(platform::FakePlatform::Call::AppendLine);
  info("kept again");

  EXPECT_EQ(log.entries(),
            (std::vector<std::string>{
                "[INFO] [Synquo] kept",
                "[WARNING] [Synquo] Failed to write log file." +
                    failureDetail(log.file(), platform::FakePlatform::kInjectedError),
                "[INFO] [Synquo] kept again"}));
  std::vector<platform::FakePlatform::Record> appends;
  for (const auto& record : fake.records()) {
    if (record.call == platform::FakePlatform::Call::AppendLine) appends.push_back(record);
  }
  ASSERT_EQ(appends.size(), 4u);
  EXPECT_EQ(appends[0].path, log.file());
  EXPECT_NE(appends[1].text.find("[ERROR] [Synquo] lost"), std::string::npos);
}

TEST(LogFaults, AFailedFileOperationIsReportedWithPathAndReasonAndLeavesNothing) {
  LogCapture log(LogLevel::Info);
  const fs::path nested = log.directory() / "nested";
  const fs::path file = nested / kLogFileName;
  const std::error_code reason = std::make_error_code(std::errc::permission_denied);
  const int failures = platform::failEachOperationInTurn(
      [&] {
        std::error_code ignored;
        fs::remove_all(nested, ignored);
        EXPECT_NO_THROW(setLogDirectory(nested, ""));
        EXPECT_NO_THROW(info("one"));
        EXPECT_NO_THROW(info("two"));
      },
      [&](const platform::FailingPlatform& failing) {
        info("healthy again");
        const std::string content = testsupport::readFile(file);
        EXPECT_NE(content.find("] [WARNING] [Synquo] Failed to "), std::string::npos) << content;
        EXPECT_NE(content.find(failureDetail(failing.failedPath(), reason)), std::string::npos)
            << content;
        // Nothing half-made: the file holds whole lines only.
        for (const std::string& line : testsupport::splitLines(content)) {
          EXPECT_TRUE(std::regex_match(line, kLinePattern)) << line;
        }
      },
      reason);
  EXPECT_GE(failures, 3);
}

TEST(LogFaults, ALogDirectoryThatIsAFileIsReportedOnceAndTheFileIsKept) {
  LogCapture log(LogLevel::Info);
  platform::FakePlatform fake;
  platform::ScopedPlatform scope(fake);
  const fs::path occupied = log.directory() / "occupied";
  testsupport::writeFile(occupied, "someone's file");
  setLogDirectory(occupied, "");
  EXPECT_NO_THROW(info("one"));
  EXPECT_NO_THROW(info("two"));

  EXPECT_EQ(testsupport::readFile(occupied), "someone's file");
  const std::string debug = fake.debugText();
  const std::string report = "Synquo log: Failed to create log directory.";
  ASSERT_NE(debug.find(report), std::string::npos) << debug;
  EXPECT_EQ(debug.find(report, debug.find(report) + 1), std::string::npos) << "once: " << debug;
  // Once the log can be written, it says what was lost.
  setLogDirectory(log.directory(), "");
  info("three");
  const std::string content = testsupport::readFile(log.file());
  EXPECT_NE(content.find("[WARNING] [Synquo] Failed to create log directory."), std::string::npos)
      << content;
}

TEST(LogFile, AnUnopenableFileLosesTheLineQuietly) {
  LogCapture log(LogLevel::Info);
  fs::create_directory(log.file());
  EXPECT_NO_THROW(error("nowhere to go"));
  EXPECT_TRUE(fs::is_directory(log.file()));
  fs::remove(log.file());
}

}  // namespace
}  // namespace logging
