// Anomaly runs over the exports: every NX call of an export fails in turn, once per way NX
// can fail, and each run must end cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

#include <uf.h>

#include "addin/export/ExportPath.h"
#include "addin/export/ManagedCloneExport.h"
#include "addin/nx/NxText.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/ExportFixture.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using testsupport::readFile;

class ExportAnomaly : public testsupport::ExportFixture {
 public:
  // Every file under the folder with its content, leaving out the session directories.
  std::map<fs::path, std::string> filesOutsideSessions(const fs::path& folder) const {
    std::map<fs::path, std::string> files;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::end(it); ++it) {
      const std::string name = platform::toUtf8(it->path().filename());
      if (it.depth() == 0 && name.rfind(kSessionTempPrefix, 0) == 0) {
        it.disable_recursion_pending();
      } else if (it->is_regular_file()) {
        files[it->path()] = readFile(it->path());
      }
    }
    return files;
  }
  std::map<fs::path, std::string> watchedFiles() const {
    std::map<fs::path, std::string> files = filesOutsideSessions(models());
    files.merge(filesOutsideSessions(base_));
    return files;
  }
};

// Sets up NX, then returns the export to run.
using ExportRun = std::function<std::function<fs::path()>(ExportAnomaly&)>;

TEST_F(ExportAnomaly, EveryNxFailureEndsCleanly) {
  struct Row {
    const char* name;
    ExportRun setup;
  };
  const auto managedAssembly = [](ExportAnomaly& t) {
    const tag_t root = nxsim::addPart(t.managedPart("123-A"));
    nxsim::addComponent(root, nxsim::addPart(t.managedPart("456-B")));
    nxsim::setDisplayedPart(root);
    return nxsim::partObject(root);
  };
  const std::vector<Row> rows = {
      {"native copy",
       [](ExportAnomaly& t) {
         NXOpen::BasePart* part = t.display(t.nativePart("bracket.prt"));
         const std::string source = nx::utf8(part->FullPath());
         return [part, source] { return exportModelFile(part, source); };
       }},
      {"managed clone",
       [managedAssembly](ExportAnomaly& t) {
         NXOpen::BasePart* part = managedAssembly(t);
         const std::string source = nx::utf8(part->FullPath());
         return [part, source] { return exportModelFile(part, source); };
       }},
      {"managed clone for display",
       [managedAssembly](ExportAnomaly& t) {
         NXOpen::BasePart* part = managedAssembly(t);
         return [part] { return exportManagedClone(part, ExportMode::Display); };
       }},
      {"drawing PDF",
       [](ExportAnomaly& t) {
         nxsim::PartDefinition definition = t.nativePart("bracket.prt");
         definition.drawingSheets = {"SHT1", "SHT2"};
         NXOpen::BasePart* part = t.display(definition);
         nxsim::setApplicationModule(UF_APP_DRAFTING);
         const std::string source = nx::utf8(part->FullPath());
         return [part, source] { return exportModelFile(part, source); };
       }},
  };
  const std::vector<std::pair<const char*, nxsim::FaultKind>> kinds = {
      {"status", nxsim::FaultKind::Status},
      {"throw", nxsim::FaultKind::Throw},
      {"null", nxsim::FaultKind::Null},
      {"foreign", nxsim::FaultKind::Foreign},
  };
  constexpr int kMostCalls = 1000;
  for (const Row& row : rows) {
    for (const auto& [kindName, kind] : kinds) {
      int fired = 1;
      for (int nth = 1; fired != 0 && nth <= kMostCalls; ++nth) {
        SCOPED_TRACE(std::string(row.name) + ", " + kindName + " at call " + std::to_string(nth));
        nxsim::reset();
        removeSessionTempDirectory();
        emptySessionBase();
        const std::function<fs::path()> run = row.setup(*this);
        const std::map<fs::path, std::string> before = watchedFiles();
        nxsim::injectFault({"*", kind, nth});
        fs::path exported;
        try {
          exported = run();
        } catch (const fs::filesystem_error&) {
          // The local copy's and the directory walk's documented failures.
        } catch (const std::runtime_error& e) {
          // The session temporary directory's, and nothing derived from it.
          EXPECT_EQ(typeid(e), typeid(std::runtime_error)) << e.what();
        } catch (const std::exception& e) {
          ADD_FAILURE() << typeid(e).name() << " escaped: " << e.what();
        } catch (...) {
          ADD_FAILURE() << "an exception of no standard type escaped";
        }
        fired = nxsim::faultsFired();
        if (fired == 0) {
          EXPECT_FALSE(exported.empty()) << "the export without a fault";
        }
        nxsim::clearFaults();
        expectNxClean();
        EXPECT_EQ(watchedFiles(), before);
        if (::testing::Test::HasFailure()) return;  // one failing run tells enough
      }
      EXPECT_EQ(fired, 0) << row.name << ", " << kindName << ": still failing after " << kMostCalls
                          << " calls";
    }
  }
}

}  // namespace
}  // namespace synquo
