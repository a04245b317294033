#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "sim/nx/CustomDirectory.h"

namespace nxsim {
namespace {

namespace fs = std::filesystem;

TEST(CustomDirectory, MenuScriptsYieldTheirButtonsOrTheLineAtFault) {
  struct Case {
    std::string text;
    std::vector<std::string> buttons;  // name|label|bitmap|actions
    std::string error;
  };
  const std::vector<Case> cases = {
      {"VERSION 139\nEDIT UG_GATEWAY_MAIN_MENUBAR\nTOP_MENU\n  CASCADE_BUTTON M\n  LABEL Menu\n"
       "END_OF_TOP_MENU\nMENU M\n  BUTTON B\n  LABEL Synquo\n  BITMAP icon\n  ACTIONS brevin.dll\n"
       "END_OF_MENU\n",
       {"B|Synquo|icon|brevin.dll"},
       ""},
      {"! a tab\nTITLE Tab\nVERSION 170\nBEGIN_GROUP G\nLABEL Group\nBUTTON B\nBUTTON C\n"
       "ACTIONS x.so\nEND_GROUP\n",
       {"B|||", "C|||x.so"},
       ""},
      {"MENU M\nBUTTON B\nEND_OF_MENU\n", {}, "f.men: no VERSION line"},
      {"VERSION 1\nLABEL Loose\n", {}, "f.men: line 2: LABEL outside a button"},
      {"VERSION 1\nBUTTON B\nLABEL a\nLABEL b\n", {}, "f.men: line 4: LABEL given twice for B"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> got;
    std::string error;
    try {
      for (const auto& b : parseMenuScript(c.text, "f.men"))
        got.push_back(b.name + "|" + b.label + "|" + b.bitmap + "|" + b.actions);
    } catch (const MenuScriptError& e) {
      error = e.what();
    }
    EXPECT_EQ(got, c.buttons) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

TEST(CustomDirectory, TheLibraryButtonIsResolvedInTheFoldersNxSearches) {
  struct Case {
    std::vector<std::string> files;  // relative paths created empty
    std::string library;             // expected, relative; empty: the error
    std::string error;
  };
  const std::string menu = "VERSION 1\nBUTTON B\nBITMAP icon\nACTIONS brevin.dll\n";
  const std::string ribbon = "VERSION 170\nBUTTON B\nLABEL Synquo\n";
  const std::vector<Case> cases = {
      {{"startup/brevin.dll", "application/icon.bmp"}, "startup/brevin.dll", ""},
      {{"application/brevin.dll", "application/icon.bmp"}, "application/brevin.dll", ""},
      {{"application/icon.bmp"}, "", "The button B runs brevin.dll, which is in neither"},
      {{"startup/brevin.dll", "startup/icon.bmp"}, "", "The button B shows the bitmap icon"},
  };
  for (const auto& c : cases) {
    const fs::path root =
        fs::temp_directory_path() / ("nxsim-custom-" + std::to_string(std::random_device{}()));
    fs::create_directories(root / "startup");
    fs::create_directories(root / "application");
    std::ofstream(root / "startup" / "synquo.men") << menu;
    std::ofstream(root / "startup" / "synquo.rtb") << ribbon;
    for (const auto& f : c.files) std::ofstream(root / f) << "x";
    std::string library;
    std::string error;
    try {
      const LibraryButton found = findLibraryButton(readCustomDirectory(root));
      library = found.library.lexically_relative(root).generic_u8string();
      EXPECT_EQ(found.button.label, "Synquo");
    } catch (const std::runtime_error& e) {
      error = e.what();
    }
    EXPECT_EQ(library, c.library);
    EXPECT_EQ(error.substr(0, c.error.size()), c.error);
    fs::remove_all(root);
  }
}

}  // namespace
}  // namespace nxsim
