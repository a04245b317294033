// The Go stand-in of Torvane for one test executable: its library placed beside a
// simulated add-in, its own store, journal and fault file.
#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "addin/tests/support/TestFiles.h"

namespace testsupport {

class TorvaneStandIn {
 public:
  // Copies the stand-in's library from the test executable's directory into the add-in
  // directory (unless told not to) and points the stand-in's environment at fresh files.
  // Sign-ins are approved at once, as if the user finished in the browser.
  explicit TorvaneStandIn(const std::filesystem::path& addinDirectory, bool placeLibrary = true);

  // Every journal line of the named function, in call order.
  std::vector<nlohmann::json> calls(const std::string& function) const;
  // The names of all functions called so far, in call order.
  std::vector<std::string> functions() const;
  // The JSON that Initialize received.
  nlohmann::json initializeRequest() const;

  // Answers from now on as the fault file says, e.g. {"GetCurrentUser": {"error": "boom"}}.
  void setFaults(const nlohmann::json& faults) const;

  // Whether sign-ins are approved without a browser.
  static void setAutoApprove(bool approve);

 private:
  TempDir home_{"torvane-home"};
  std::filesystem::path journal_;
  std::filesystem::path faults_;
};

}  // namespace testsupport
