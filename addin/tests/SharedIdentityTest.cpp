// Copies of one part in an assembly: which collected records share an identity, the warning
// that names them and the log line for every pair.
#include "addin/export/SharedIdentity.h"

#include <gtest/gtest.h>

#include "addin/tests/support/LogCapture.h"
#include "addin/ui/IdentityWarning.h"

namespace synquo {
namespace {

vantel::VantelUploadPayloadFile record(const std::string& id, const std::string& path) {
  vantel::VantelUploadPayloadFile file;
  file.sourceFileId = id;
  file.sourceFilePath = path;
  file.filename = path.substr(path.find_last_of('/') + 1);
  return file;
}

std::string pairLine(const std::string& id, const std::string& first, const std::string& second) {
  return "[WARNING] [Synquo] Assembly parts share one source file id and will upload as one "
         "model: source_file_id=\"" +
         id + "\" first=\"" + first + "\" second=\"" + second + "\".";
}

std::string warning(const std::string& names) {
  return "Some parts in this assembly are copies that share an identity with another part: " +
         names + ". Synquo will treat them as one model.";
}

TEST(SharedIdentity, CopiesWithOneIdentityAreNamedAndEveryPairIsLogged) {
  struct Case {
    const char* name;
    std::vector<vantel::VantelUploadPayloadFile> files;
    std::string warning;
    std::vector<std::string> log;
  };
  const std::vector<Case> cases = {
      {"same id, same path", {record("A", "/m/a.prt"), record("A", "/m/a.prt")}, "", {}},
      {"empty ids", {record("", "/m/a.prt"), record("", "/m/b.prt")}, "", {}},
      {"same id, two paths",
       {record("R", "/m/asm.prt"), record("A", "/m/a.prt"), record("A", "/m/a - Copy.prt")},
       warning("a.prt, a - Copy.prt"),
       {pairLine("A", "/m/a.prt", "/m/a - Copy.prt")}},
      {"three files",
       {record("A", "/m/a.prt"), record("A", "/m/b.prt"), record("A", "/n/a.prt")},
       warning("a.prt, b.prt, a.prt"),
       {pairLine("A", "/m/a.prt", "/m/b.prt"), pairLine("A", "/m/a.prt", "/n/a.prt"),
        pairLine("A", "/m/b.prt", "/n/a.prt")}},
      {"names capped at three, in list order",
       {record("B", "/m/b1.prt"), record("A", "/m/a1.prt"), record("B", "/m/b2.prt"),
        record("A", "/m/a2.prt")},
       warning("b1.prt, a1.prt, b2.prt"),
       {pairLine("A", "/m/a1.prt", "/m/a2.prt"), pairLine("B", "/m/b1.prt", "/m/b2.prt")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::LogCapture log;
    EXPECT_EQ(ui::sharedIdentityWarning(findSharedIdentities(c.files)), c.warning);
    EXPECT_EQ(log.entries(), c.log);
  }
}

}  // namespace
}  // namespace synquo
