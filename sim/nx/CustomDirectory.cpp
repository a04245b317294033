// Reading a custom directory's menu and ribbon files, as NX does at start-up.
#include "sim/nx/CustomDirectory.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

namespace nxsim {
namespace fs = std::filesystem;

namespace {

std::string trim(const std::string& text) {
  const char* space = " \t\r\n";
  const size_t first = text.find_first_not_of(space);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// An item whose statements follow it: a button of any kind, or a ribbon group.
bool startsItem(const std::string& keyword) {
  return keyword == "BUTTON" || endsWith(keyword, "_BUTTON") || keyword == "BEGIN_GROUP";
}

bool endsItem(const std::string& keyword) {
  return keyword.rfind("END_OF_", 0) == 0 || keyword == "END_GROUP";
}

std::string* field(MenuButton& button, const std::string& keyword) {
  if (keyword == "LABEL") return &button.label;
  if (keyword == "BITMAP") return &button.bitmap;
  if (keyword == "ACTIONS") return &button.actions;
  return nullptr;
}

std::string readText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot read " + file.u8string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

fs::path firstExisting(const std::vector<fs::path>& candidates) {
  for (const auto& c : candidates) {
    if (fs::is_regular_file(c)) return c;
  }
  return {};
}

}  // namespace

std::vector<MenuButton> parseMenuScript(const std::string& text, const std::string& fileName) {
  std::vector<MenuButton> buttons;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  bool versioned = false;
  bool inItem = false;
  bool inButton = false;
  MenuButton item;
  std::map<std::string, bool> given;
  auto fail = [&](const std::string& problem) {
    throw MenuScriptError(fileName + ": line " + std::to_string(number) + ": " + problem);
  };
  auto close = [&]() {
    if (inButton) buttons.push_back(item);
    inItem = inButton = false;
  };
  while (std::getline(in, line)) {
    ++number;
    const std::string trimmed = trim(line);
    if (trimmed.empty() || trimmed[0] == '!') continue;
    const size_t space = trimmed.find_first_of(" \t");
    const std::string keyword = trimmed.substr(0, space);
    const std::string value = space == std::string::npos ? "" : trim(trimmed.substr(space));
    if (keyword == "VERSION") {
      versioned = true;
    } else if (startsItem(keyword)) {
      close();
      if (value.empty()) fail(keyword + " without a name");
      inItem = true;
      inButton = keyword == "BUTTON";
      item = MenuButton{value, "", "", "", fileName};
      given.clear();
    } else if (endsItem(keyword)) {
      close();
    } else if (field(item, keyword) != nullptr) {
      if (!inItem) fail(keyword + " outside a button");
      if (given[keyword]) fail(keyword + " given twice for " + item.name);
      given[keyword] = true;
      *field(item, keyword) = value;
    }
  }
  close();
  if (!versioned) throw MenuScriptError(fileName + ": no VERSION line");
  return buttons;
}

CustomDirectory readCustomDirectory(const fs::path& root) {
  const fs::path startup = root / "startup";
  if (!fs::is_directory(startup)) {
    throw std::runtime_error("The custom directory " + root.u8string() + " has no startup folder");
  }
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(startup)) {
    const std::string extension = lower(entry.path().extension().u8string());
    if (entry.is_regular_file() && (extension == ".men" || extension == ".rtb"))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  CustomDirectory directory{root, {}};
  for (const auto& file : files) {
    for (const auto& button : parseMenuScript(readText(file), file.filename().u8string())) {
      auto known = std::find_if(directory.buttons.begin(), directory.buttons.end(),
                                [&](const MenuButton& b) { return b.name == button.name; });
      if (known == directory.buttons.end()) {
        directory.buttons.push_back(button);
        continue;
      }
      // A button defined in one file and placed by another: the first statement given wins.
      for (auto member : {&MenuButton::label, &MenuButton::bitmap, &MenuButton::actions}) {
        if ((*known).*member == "") (*known).*member = button.*member;
      }
    }
  }
  return directory;
}

LibraryButton findLibraryButton(const CustomDirectory& directory) {
  const fs::path root = directory.root;
  for (const auto& button : directory.buttons) {
    const std::string action = lower(button.actions);
    if (!endsWith(action, ".dll") && !endsWith(action, ".so")) continue;
    LibraryButton found{button, {}, {}};
    const fs::path name = fs::u8path(button.actions);
    found.library = firstExisting({root / "startup" / name, root / "application" / name});
    if (found.library.empty()) {
      throw std::runtime_error("The button " + button.name + " runs " + button.actions +
                               ", which is in neither startup nor application of " +
                               root.u8string());
    }
    if (button.bitmap.empty())
      throw std::runtime_error("The button " + button.name + " has no bitmap");
    const fs::path application = root / "application";
    const fs::path bitmap = fs::u8path(button.bitmap);
    found.bitmap = firstExisting({application / (button.bitmap + ".bmp"),
                                  application / (button.bitmap + ".png"), application / bitmap});
    if (found.bitmap.empty()) {
      throw std::runtime_error("The button " + button.name + " shows the bitmap " + button.bitmap +
                               ", which is not in " + application.u8string());
    }
    return found;
  }
  throw std::runtime_error("No menu or ribbon file of " + (root / "startup").u8string() +
                           " has a button that runs a library");
}

}  // namespace nxsim
