// The log: one enabled line with fields against opening, appending and closing the file
// with the same bytes; a line below the threshold against an empty function call.
#include <fcntl.h>
#include <unistd.h>

#include "addin/logging/Log.h"
#include "bench/BenchSupport.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

const fs::path kPart = fs::u8path("/models/J\xc3\xb6rg/frame-assembly.prt");

void logLine(benchmark::State& state) {
  Installation::get();
  const fs::path before = logging::logDirectory();
  logging::setLogDirectory(freshDirectory("log-line"), "");
  for (auto _ : state) {
    logging::info("Uploaded NX file: part=\"", kPart, "\" files=", 2000, " size_mb=", 12.5,
                  " assembly=", true, ".");
  }
  logging::setLogDirectory(before, "");
}

void logLineFloor(benchmark::State& state) {
  Installation::get();
  const fs::path file = freshDirectory("log-floor") / logging::kLogFileName;
  const std::string line = logging::formatLogLine(logging::LogLevel::Info,
                                                  "Uploaded NX file: part=\"" + kPart.u8string() +
                                                      "\" files=2000 size_mb=12.5 assembly=true.") +
                           "\r\n";
  for (auto _ : state) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    benchmark::DoNotOptimize(::write(fd, line.data(), line.size()));
    ::close(fd);
  }
}

void logDisabled(benchmark::State& state) {
  Installation::get();
  for (auto _ : state) {
    logging::debug("Managed assembly member lookup matched exported file: part=\"", kPart,
                   "\" files=", 2000, " assembly=", true, ".");
  }
}

__attribute__((noinline)) void emptyFunction(const fs::path& part) {
  benchmark::DoNotOptimize(&part);
}

void emptyCall(benchmark::State& state) {
  for (auto _ : state) emptyFunction(kPart);
}

}  // namespace

void registerLogBenchmarks() {
  add("log_line", logLine);
  add("log_line_floor", logLineFloor);
  add("log_disabled", logDisabled);
  add("log_disabled_floor", emptyCall);
  addRow({Row::Kind::Ratio, "1. enabled log line vs open+append+close", "log_line",
          "log_line_floor", 1.3});
  addRow({Row::Kind::Ratio, "1. disabled log line vs empty call", "log_disabled",
          "log_disabled_floor", 2.0});
}

}  // namespace bench
