// The dialogs' blocks: every block the code addresses is in its shipped dialog file with the
// type the code expects, and every id the code names is on the list.
#include "addin/ui/DialogBlocks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/UI.hxx>

#include "addin/nx/NxText.h"
#include "sim/nx/NxSim.h"

namespace ui {
namespace {

namespace fs = std::filesystem;

TEST(DialogBlocks, EveryListedBlockIsInItsDialogFileWithItsType) {
  nxsim::reset();
  std::map<std::string, std::unique_ptr<NXOpen::BlockStyler::BlockDialog>> dialogs;
  for (const DialogBlock& expected : kDialogBlocks) {
    auto& dialog = dialogs[expected.dialogFile];
    if (!dialog) dialog.reset(NXOpen::UI::GetUI()->CreateDialog(nx::nxText(expected.dialogFile)));
    ASSERT_NE(dialog, nullptr) << expected.dialogFile;
    NXOpen::BlockStyler::UIBlock* block = dialog->TopBlock()->FindBlock(nx::nxText(expected.id));
    ASSERT_NE(block, nullptr) << expected.dialogFile << " has no block " << expected.id;
    EXPECT_EQ(nx::utf8(block->Type()), expected.type) << expected.dialogFile << ": " << expected.id;
  }
  dialogs.clear();
  nxsim::reset();
}

// The ids one source of addin/ui names: literal arguments of the block calls and helpers,
// the initialise handler's list, and constants passed to FindBlock.
std::set<std::string> idsNamedIn(const std::string& code) {
  std::set<std::string> ids;
  auto each = [&](const std::regex& pattern, auto take) {
    for (std::sregex_iterator m(code.begin(), code.end(), pattern), end; m != end; ++m) take(*m);
  };
  each(
      std::regex(
          R"re((?:FindBlock|GetBlockProperties|setLabel|setProperty|setShown)\(\s*(?:nx::nxText\()?"(\w+)")re"),
      [&](const std::smatch& m) { ids.insert(m[1]); });
  each(std::regex(R"re(blockProperties\([^,()]+,\s*"(\w+)")re"),
       [&](const std::smatch& m) { ids.insert(m[1]); });
  each(std::regex(R"re((?:showWarning|pad)\(\s*"(\w+)",\s*"(\w+)")re"), [&](const std::smatch& m) {
    ids.insert(m[1]);
    ids.insert(m[2]);
  });
  each(std::regex(R"re(for \(const char\* id :\s*\{([^}]*)\})re"), [&](const std::smatch& list) {
    const std::string names = list[1];
    std::regex literal(R"re("(\w+)")re");
    for (std::sregex_iterator m(names.begin(), names.end(), literal), end; m != end; ++m) {
      ids.insert((*m)[1]);
    }
  });
  each(std::regex(R"re(FindBlock\((?:nx::nxText\()?(k\w+)\))re"), [&](const std::smatch& m) {
    std::smatch value;
    const std::regex constant(m[1].str() + R"re(\s*=\s*"(\w+)")re");
    if (std::regex_search(code, value, constant)) ids.insert(value[1]);
  });
  return ids;
}

TEST(DialogBlocks, EveryIdTheCodeNamesIsListed) {
  std::map<std::string, std::set<std::string>> listed;  // dialog file -> ids
  std::set<std::string> anywhere;
  for (const DialogBlock& block : kDialogBlocks) {
    listed[block.dialogFile].insert(block.id);
    anywhere.insert(block.id);
  }
  std::size_t named = 0;
  for (const auto& entry : fs::directory_iterator(fs::u8path(SYNQUO_SOURCE_DIR "/addin/ui"))) {
    if (entry.path().extension() != ".cpp") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream code;
    code << in.rdbuf();
    const std::string text = code.str();
    std::smatch file;
    const bool own = std::regex_search(text, file, std::regex(R"re(kDialogFile = "([\w.]+)")re"));
    for (const std::string& id : idsNamedIn(text)) {
      ++named;
      const std::set<std::string>& allowed = own ? listed[file[1]] : anywhere;
      EXPECT_EQ(allowed.count(id), 1u)
          << entry.path().filename().string() << " names " << id << ", which is not listed for "
          << (own ? file[1].str() : "any dialog");
    }
  }
  EXPECT_GT(named, 40u);  // the scan found the code's ids at all
}

}  // namespace
}  // namespace ui
