// What NX does with a custom directory: the menu (.men) and ribbon (.rtb) files of its
// startup folder define buttons, a button's action may name a user-function library, and
// bitmaps and dialog files are looked up in its application folder.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/nx/NxSimExport.h"

namespace nxsim {

struct MenuButton {
  std::string name;     // BUTTON <name>
  std::string label;    // LABEL
  std::string bitmap;   // BITMAP, without extension
  std::string actions;  // ACTIONS: a library file name, or NX's own action
  std::string file;     // the file that defined it
};

// A menu file that NX would refuse, with the file and line.
class MenuScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The buttons a menu or ribbon file defines, in order. A button's statements follow its
// BUTTON line until the next BUTTON or an END_OF_... / END_GROUP line; a BUTTON line alone
// refers to a button defined elsewhere. "!" starts a comment line. Raises MenuScriptError for
// a file without VERSION, a button statement outside a button, or a statement given twice.
NXSIM_EXPORT std::vector<MenuButton> parseMenuScript(const std::string& text,
                                                     const std::string& fileName);

struct CustomDirectory {
  std::filesystem::path root;
  std::vector<MenuButton> buttons;  // every file's, merged by name, in file-name order
};

// Reads every .men and .rtb file of DIR/startup. Raises std::runtime_error (or
// MenuScriptError) naming what is missing or wrong.
NXSIM_EXPORT CustomDirectory readCustomDirectory(const std::filesystem::path& root);

// The button whose action names a user-function library (a .dll or .so): the library
// resolved in startup/, then application/, and the bitmap in application/. Raises
// std::runtime_error when there is no such button, or its library or bitmap is missing.
struct LibraryButton {
  MenuButton button;
  std::filesystem::path library;
  std::filesystem::path bitmap;
};
NXSIM_EXPORT LibraryButton findLibraryButton(const CustomDirectory& directory);

}  // namespace nxsim
