// Anomaly runs over the two passes of an upload (reading the displayed model, then preparing
// it) for each kind of model: every NX call fails in turn, with a status and with an
// exception, until a run meets no failure. Each run must end cleanly, and a part file holds
// either its old SYNQUO_ID or a new saved one, never an empty one.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <regex>
#include <string>
#include <typeinfo>
#include <vector>

#include <NXOpen/NXException.hxx>

#include <uf.h>

#include "addin/export/DisplayMetadata.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/ExportFixture.h"
#include "addin/tests/support/FailingPlatform.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;

using PreparationAnomaly = testsupport::ExportFixture;

TEST_F(PreparationAnomaly, EveryNxFailureOfAPreparationEndsCleanly) {
  struct Row {
    const char* name;
    // Sets up NX; returns the part whose file's SYNQUO_ID is watched.
    std::function<tag_t(PreparationAnomaly&)> setup;
  };
  const std::vector<Row> rows = {
      {"native part",
       [](PreparationAnomaly& t) { return t.display(t.nativePart("bracket.prt"))->Tag(); }},
      {"native assembly",
       [](PreparationAnomaly& t) {
         const tag_t root = nxsim::addPart(t.nativePart("gearbox.prt"));
         const tag_t bolt = nxsim::addPart(t.nativePart("bolt.prt"));
         nxsim::addComponent(root, bolt);
         nxsim::addComponent(root, bolt);
         nxsim::addComponent(root, nxsim::addPart(t.nativePart("cover.prt")));
         nxsim::setDisplayedPart(root);
         return root;
       }},
      {"managed assembly",
       [](PreparationAnomaly& t) {
         const tag_t root = nxsim::addPart(t.managedPart("123-A"));
         nxsim::addComponent(root, nxsim::addPart(t.managedPart("456-B")));
         nxsim::setDisplayedPart(root);
         return root;
       }},
      {"drawing",
       [](PreparationAnomaly& t) {
         nxsim::PartDefinition definition = t.nativePart("frame.prt");
         definition.drawingSheets = {"SHT1", "SHT2", "SHT3"};
         const tag_t part = t.display(definition)->Tag();
         nxsim::setApplicationModule(UF_APP_DRAFTING);
         return part;
       }},
      {"legacy part",
       [](PreparationAnomaly& t) {
         nxsim::PartDefinition definition = t.nativePart("clamp.prt");
         definition.uniqueIdentifier = "PQ4711-LEGACY";
         return t.display(definition)->Tag();
       }},
  };
  const std::regex newId("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  constexpr int kMostCalls = 2000;
  for (const Row& row : rows) {
    for (const auto& [kindName, kind] :
         {std::pair{"status", nxsim::FaultKind::Status}, {"throw", nxsim::FaultKind::Throw}}) {
      int fired = 1;
      int runs = 0;
      for (int nth = 1; fired != 0 && nth <= kMostCalls; ++nth, ++runs) {
        SCOPED_TRACE(std::string(row.name) + ", " + kindName + " at call " + std::to_string(nth));
        nxsim::reset();
        removeSessionTempDirectory();
        emptySessionBase();
        const tag_t watched = row.setup(*this);
        nxsim::injectFault({"*", kind, nth});
        try {
          ModelMetadata m = readDisplayMetadata();
          prepareUpload(m);
        } catch (const fs::filesystem_error&) {
          // A file that cannot be examined, as documented.
        } catch (const std::runtime_error& e) {
          // The traceability error and the session directory's failures only.
          EXPECT_EQ(typeid(e), typeid(std::runtime_error)) << e.what();
          EXPECT_NE(std::string(e.what()), "");
        } catch (const NXOpen::NXException& e) {
          // NX's own, passed on to the dialog that shows it.
          EXPECT_NE(std::string(e.what()), "");
        } catch (const std::exception& e) {
          const auto calls = nxsim::journal();
          ADD_FAILURE() << typeid(e).name() << " escaped: " << e.what() << " after "
                        << (calls.empty() ? std::string() : calls.back().name);
        } catch (...) {
          ADD_FAILURE() << "an exception of no standard type escaped";
        }
        fired = nxsim::faultsFired();
        nxsim::clearFaults();
        expectNxClean();
        const auto saved = nxsim::partState(watched).savedAttributes;
        const auto id = saved.find("SYNQUO_ID");
        if (id != saved.end()) {
          EXPECT_TRUE(std::regex_match(id->second, newId)) << "saved: \"" << id->second << "\"";
        }
        if (::testing::Test::HasFailure()) return;  // one failing run tells enough
      }
      EXPECT_EQ(fired, 0) << "still failing after " << kMostCalls << " calls";
      std::cout << "[ anomaly  ] " << row.name << ", NX " << kindName << ": " << runs << " runs\n";
    }
  }
}

TEST_F(PreparationAnomaly, EveryFailedFileOperationOfAnAssemblyPreparationEndsCleanly) {
  const auto modelFiles = [this] {
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(models())) {
      if (entry.is_regular_file()) files[entry.path()] = testsupport::readFile(entry.path());
    }
    return files;
  };
  std::map<fs::path, std::string> before;
  std::string error;
  const int runs = platform::failEachOperationInTurn(
      [&] {
        nxsim::reset();
        removeSessionTempDirectory();
        const tag_t root = nxsim::addPart(nativePart("gearbox.prt"));
        nxsim::addComponent(root, nxsim::addPart(nativePart("bolt.prt")));
        nxsim::addComponent(root, nxsim::addPart(nativePart("cover.prt")));
        nxsim::setDisplayedPart(root);
        before = modelFiles();
        error.clear();
        try {
          ModelMetadata m = readDisplayMetadata();
          prepareUpload(m);
          error = m.preparationError;
        } catch (const std::exception& e) {
          error = e.what();
          EXPECT_NE(error, "");
        }
        removeSessionTempDirectory();
      },
      [&](const platform::FailingPlatform&) {
        expectNxClean();
        EXPECT_EQ(modelFiles(), before) << "the models are never written";
      },
      std::make_error_code(std::errc::no_space_on_device), 500);
  EXPECT_GT(runs, 0);
  std::cout << "[ anomaly  ] native assembly, file operations: " << runs << " runs\n";
}

}  // namespace
}  // namespace synquo
