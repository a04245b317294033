// Runs every benchmark with repetitions, then prints one table of medians beside their
// floors with the ratio and the goal, and writes the same figures as JSON.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"

namespace {

struct Figures {
  double seconds = 0;  // median CPU time per iteration
  std::map<std::string, double> counters;
};

// Keeps the median of each benchmark (or its only run, without repetitions).
class MedianCollector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (!median && !single) continue;
      const std::string& args = run.run_name.args;
      Figures& f = figures[run.run_name.function_name + (args.empty() ? "" : "/" + args)];
      f.seconds = run.GetAdjustedCPUTime() * timeUnitSeconds(run.time_unit);
      for (const auto& [name, counter] : run.counters) f.counters[name] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  std::map<std::string, Figures> figures;

 private:
  static double timeUnitSeconds(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kNanosecond:
        return 1e-9;
      case benchmark::kMicrosecond:
        return 1e-6;
      case benchmark::kMillisecond:
        return 1e-3;
      case benchmark::kSecond:
        return 1.0;
    }
    return 1.0;
  }
};

std::string duration(double seconds) {
  char text[32];
  if (seconds < 1e-6) {
    std::snprintf(text, sizeof(text), "%.2f ns", seconds * 1e9);
  } else if (seconds < 1e-3) {
    std::snprintf(text, sizeof(text), "%.2f us", seconds * 1e6);
  } else {
    std::snprintf(text, sizeof(text), "%.2f ms", seconds * 1e3);
  }
  return text;
}

std::string number(double value, const char* format) {
  char text[48];
  std::snprintf(text, sizeof(text), format, value);
  return text;
}

// One line per row; false when a goal is missed or a figure is absent.
bool report(const std::map<std::string, Figures>& figures, const std::string& jsonPath) {
  nlohmann::json rows = nlohmann::json::array();
  bool allMet = true;
  std::printf(
      "\nMedians of %d interleaved repetitions (%d for the upload share and its floor on the "
      "build tree's disk)\n",
      bench::kRepetitions, bench::kSlowRepetitions);
  std::printf("%-70s %14s %14s %9s %9s  %s\n", "measurement", "ours", "floor", "ratio", "goal",
              "met");
  for (const bench::Row& row : bench::rows()) {
    const auto measure = figures.find(row.measure);
    const auto floor = figures.find(row.floor);
    if (measure == figures.end() || floor == figures.end()) continue;
    std::string ours;
    std::string base;
    std::string ratioText;
    std::string goalText;
    double value = 0;
    bool met = false;
    nlohmann::json entry = {{"measurement", row.label}};
    switch (row.kind) {
      case bench::Row::Kind::Ratio:
      case bench::Row::Kind::Reference: {
        const double a = measure->second.seconds;
        const double b = floor->second.seconds;
        value = b > 0 ? a / b : 0;
        ours = duration(a);
        base = duration(b);
        ratioText = number(value, "%.2fx");
        entry["ours_seconds"] = a;
        entry["floor_seconds"] = b;
        entry["ratio"] = value;
        if (row.kind == bench::Row::Kind::Reference) {
          std::printf("%-70s %14s %14s %9s %9s  %s\n", row.label.c_str(), ours.c_str(),
                      base.c_str(), ratioText.c_str(), "-", "-");
          entry["reference"] = true;
          rows.push_back(entry);
          continue;
        }
        met = value > 0 && value <= row.goal;
        goalText = number(row.goal, "<= %.1fx");
        entry["goal_max_ratio"] = row.goal;
        break;
      }
      case bench::Row::Kind::RelativeGrowth: {
        const auto baseMeasure = figures.find(row.baseMeasure);
        const auto baseFloor = figures.find(row.baseFloor);
        if (baseMeasure == figures.end() || baseFloor == figures.end()) continue;
        const double b = baseFloor->second.seconds;
        const double f = floor->second.seconds;
        const double ourGrowth = f > 0 ? measure->second.seconds / f : 0;
        const double baseGrowth = b > 0 ? baseMeasure->second.seconds / b : 0;
        value = baseGrowth > 0 ? ourGrowth / baseGrowth : 0;
        ours = number(ourGrowth, "%.2fx");
        base = number(baseGrowth, "%.2fx");
        ratioText = number(value, "%.2fx");
        entry["ours_growth"] = ourGrowth;
        entry["floor_growth"] = baseGrowth;
        entry["ratio"] = value;
        met = value > 0 && value <= row.goal;
        goalText = number(row.goal, "<= %.1fx");
        entry["goal_max_ratio"] = row.goal;
        break;
      }
      case bench::Row::Kind::Counter: {
        const auto counter = measure->second.counters.find(row.counter);
        if (counter == measure->second.counters.end()) continue;
        value = counter->second;
        if (!row.equalTo.empty()) {
          const auto expected = floor->second.counters.find(row.equalTo);
          const double other = expected == floor->second.counters.end() ? -1 : expected->second;
          met = value == other;
          ours = number(value, "%.0f B");
          base = number(other, "%.0f B");
          ratioText = other > 0 ? number(value / other, "%.2fx") : "-";
          goalText = "equal";
          entry["ours"] = value;
          entry["floor"] = other;
          entry["goal"] = "equal";
        } else {
          met = value <= row.goal;
          ours = number(value, "%.0f B");
          base = "-";
          ratioText = "-";
          goalText = number(row.goal, "< %.0f B");
          entry["ours"] = value;
          entry["goal_max"] = row.goal;
        }
        break;
      }
    }
    allMet = allMet && met;
    entry["met"] = met;
    rows.push_back(entry);
    std::printf("%-70s %14s %14s %9s %9s  %s\n", row.label.c_str(), ours.c_str(), base.c_str(),
                ratioText.c_str(), goalText.c_str(), met ? "yes" : "NO");
  }
  if (!jsonPath.empty()) {
    char date[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof(date), "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
    std::ofstream out(jsonPath, std::ios::binary);
    out << nlohmann::json{{"date", date},
                          {"repetitions", bench::kRepetitions},
                          {"slow_repetitions", bench::kSlowRepetitions},
                          {"all_met", allMet},
                          {"rows", rows}}
               .dump(2)
        << "\n";
  }
  return allMet;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args;
  std::string jsonPath;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0) {
      bench::setSmoke(true);
    } else if (std::strncmp(argv[i], "--json=", 7) == 0) {
      jsonPath = argv[i] + 7;
    } else {
      args.push_back(argv[i]);
    }
  }
  // Ours and floors take turns, so a neighbour's load falls on both alike.
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  if (!bench::smoke()) args.push_back(interleave);
  bench::registerLogBenchmarks();
  bench::registerClientBenchmarks();
  bench::registerCollectionBenchmarks();
  bench::registerMachineBenchmarks();
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  MedianCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  bool met = true;
  if (!bench::smoke()) met = report(collector.figures, jsonPath);
  benchmark::Shutdown();
  bench::releaseInstallation();
  return met || bench::smoke() ? 0 : 1;
}
