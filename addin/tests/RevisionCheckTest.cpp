// The target-revision lookup against a recording find-revision callable: the id it sends,
// the arguments in their order, and every way it ends without a match.
#include "addin/ui/RevisionCheck.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ui {
namespace {

TEST(RevisionCheck, FamilyInstanceIdCarriesItsStemOnce) {
  struct Case {
    bool family;
    const char* id;
    const char* fileName;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {true, "uuid", "bolt.prt", "uuid_bolt"},
      {true, "uuid", "parts/bolt.v2.prt", "uuid_bolt.v2"},
      {true, "uuid_bolt", "bolt.prt", "uuid_bolt"},
      {true, "uuid", "", "uuid"},
      {true, "", "bolt.prt", ""},
      {false, "uuid", "bolt.prt", "uuid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.id) + " " + c.fileName);
    synquo::ModelMetadata m;
    m.familyInstance = c.family;
    m.sourceFileId = c.id;
    m.fileName = c.fileName;
    EXPECT_EQ(revisionLookupSourceFileId(m), c.expected);
  }
}

// A signed-in session, a managed family-instance assembly and a service that knows one
// revision; each case breaks one thing and keeps the call it made.
struct Lookup {
  auth::SessionManager session;
  synquo::ModelMetadata metadata;
  int64_t workspaceId = 7;
  std::vector<vantel::VantelFindRevisionResult> revisions{1};
  std::function<void()> raise = [] {};
  std::string call;
  synquo::ServiceOperations operations;

  Lookup() {
    setToken("token");
    metadata.sourceFileId = "uuid";
    metadata.familyInstance = true;
    metadata.fileName = "bolt.prt";
    metadata.revisionId = "B";
    metadata.isAssembly = true;
    operations.findRevision = [this](const std::string& token, int64_t id, const std::string& a,
                                     const std::string& b, const std::string& c,
                                     const std::string& d, bool f1, bool f2, bool f3, bool f4) {
      call = token + "|" + std::to_string(id) + "|" + a + "|" + b + "|" + c + "|" + d + "|" +
             std::to_string(f1) + std::to_string(f2) + std::to_string(f3) + std::to_string(f4);
      raise();
      return revisions;
    };
  }
  void setToken(const std::string& token) {
    const auto state = session.sharedState();
    std::lock_guard<std::mutex> lock(state->mutex);
    state->tokens.accessToken = token;
  }
};

TEST(RevisionCheck, AsksTheServiceOnlyWithAWorkspaceATokenAndALookup) {
  using Break = std::function<void(Lookup&)>;
  struct Case {
    const char* name;
    Break breakIt;
    bool ran;
    bool matches;
    const char* error;
    std::string call;
  };
  const std::string asked = "token|7|uuid_bolt|1|B||0111";
  const Break part = [](Lookup& l) { l.metadata.isAssembly = false; };
  const Break down = [](Lookup& l) { l.raise = [] { throw std::runtime_error("down"); }; };
  const Break odd = [](Lookup& l) { l.raise = [] { throw 42; }; };
  const std::vector<Case> cases = {
      {"matches latest", [](Lookup&) {}, true, true, "", asked},
      {"single part", part, true, true, "", "token|7|uuid_bolt|1|B||0101"},
      {"never uploaded", [](Lookup& l) { l.revisions.clear(); }, true, false, "", asked},
      {"unknown workspace", [](Lookup& l) { l.workspaceId = 8; }, false, false, "", ""},
      {"no token", [](Lookup& l) { l.setToken(""); }, true, false, "", ""},
      {"no lookup", [](Lookup& l) { l.operations.findRevision = nullptr; }, true, false, "", ""},
      {"standard exception", down, true, false, "down", asked},
      {"other exception", odd, true, false, "Revision lookup failed.", asked},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lookup l;
    c.breakIt(l);
    std::vector<vantel::VantelWorkspace> workspaces(2);
    workspaces[1].id = 7;
    const RevisionCheckResult result =
        checkTargetRevision(l.workspaceId, workspaces, l.session, l.metadata, l.operations);
    EXPECT_EQ(result.lookupRan, c.ran);
    EXPECT_EQ(result.matchesLatest, c.matches);
    EXPECT_EQ(result.sourceFileId, c.call.empty() ? "" : "uuid_bolt");
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(l.call, c.call);
  }
}

}  // namespace
}  // namespace ui
