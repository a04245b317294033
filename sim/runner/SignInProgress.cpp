// Following the latest sign-in attempt through the Torvane journal.
#include "sim/runner/SignInProgress.h"

namespace simrunner {
namespace {

std::string field(const nlohmann::json& line, const char* key) {
  if (!line.is_object() || !line.contains(key) || !line.at(key).is_string()) return std::string();
  return line.at(key).get<std::string>();
}

bool isAuthorize(const std::string& fn) {
  return fn == "LocalAuthFlowAuthorize" || fn == "LocalAuthFlowAuthorizeWithTimeout";
}

}  // namespace

std::string sortableTime(const std::string& time) {
  // RFC 3339 with a trimmed fraction: pad the fraction so that text order is time order.
  if (time.size() < 20 || time[19] != '.') return time.substr(0, 19) + ".000000000";
  size_t end = 20;
  while (end < time.size() && time[end] >= '0' && time[end] <= '9') ++end;
  std::string fraction = time.substr(20, end - 20);
  fraction.resize(9, '0');
  return time.substr(0, 19) + "." + fraction;
}

SignInProgress signInProgress(const std::vector<nlohmann::json>& journal) {
  SignInProgress progress;
  std::string attemptTime;
  for (const auto& line : journal) {
    if (isAuthorize(field(line, "fn")) && field(line, "error").empty()) {
      const std::string t = sortableTime(field(line, "time"));
      if (attemptTime.empty() || t > attemptTime) attemptTime = t;
    }
  }
  if (attemptTime.empty()) return progress;
  progress.state = SignInProgress::State::Waiting;

  const nlohmann::json* completion = nullptr;
  std::string completionTime;
  for (const auto& line : journal) {
    if (field(line, "fn") != "LocalAuthFlowComplete") continue;
    const std::string t = sortableTime(field(line, "time"));
    if (t < attemptTime) continue;
    if (completion == nullptr || t < completionTime) {
      completion = &line;
      completionTime = t;
    }
  }
  if (completion == nullptr) return progress;
  if (!field(*completion, "error").empty()) {
    progress.state = SignInProgress::State::Failed;
    progress.error = "LocalAuthFlowComplete: " + field(*completion, "error");
    return progress;
  }
  const nlohmann::json* profile = nullptr;
  std::string profileTime;
  for (const auto& line : journal) {
    if (field(line, "fn") != "GetCurrentUser") continue;
    const std::string t = sortableTime(field(line, "time"));
    if (t < completionTime) continue;
    if (profile == nullptr || t < profileTime) {
      profile = &line;
      profileTime = t;
    }
  }
  if (profile == nullptr) return progress;
  if (!field(*profile, "error").empty()) {
    progress.state = SignInProgress::State::Failed;
    progress.error = "GetCurrentUser: " + field(*profile, "error");
    return progress;
  }
  progress.state = SignInProgress::State::SignedIn;
  return progress;
}

}  // namespace simrunner
