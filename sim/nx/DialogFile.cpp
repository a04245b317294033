// Reading Block UI Styler dialog files: a minimal XML reader (elements, attributes, text,
// comments, the five entities and character references) and the dialog's blocks on top of it.
#include "sim/nx/DialogFile.h"

#include <cctype>
#include <cstdlib>
#include <memory>
#include <set>
#include <stdexcept>

namespace nxsim {
namespace detail {
namespace {

struct Element {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::vector<std::unique_ptr<Element>> children;
  std::string text;
  int line = 0;
};

void appendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class XmlReader {
 public:
  explicit XmlReader(const std::string& content) : s_(content) {}

  std::unique_ptr<Element> document() {
    if (s_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
      pos_ = 3;
    }
    skipMisc();
    if (!at("<")) {
      fail("expected the root element");
    }
    auto root = element();
    skipMisc();
    if (pos_ != s_.size()) {
      fail("content after the root element");
    }
    return root;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw std::runtime_error("line " + std::to_string(line()) + ": " + what);
  }

  int line() const {
    int n = 1;
    for (std::size_t i = 0; i < pos_ && i < s_.size(); ++i) {
      n += s_[i] == '\n' ? 1 : 0;
    }
    return n;
  }

  bool at(const char* token) const {
    return s_.compare(pos_, std::string(token).size(), token) == 0;
  }

  void skipSpace() {
    while (pos_ < s_.size() &&
           (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n')) {
      ++pos_;
    }
  }

  void skipPast(const char* end) {
    auto found = s_.find(end, pos_);
    if (found == std::string::npos) {
      fail(std::string("missing ") + end);
    }
    pos_ = found + std::string(end).size();
  }

  // Declarations, comments and white space between elements.
  void skipMisc() {
    for (;;) {
      skipSpace();
      if (at("<?")) {
        skipPast("?>");
      } else if (at("<!--")) {
        skipPast("-->");
      } else {
        return;
      }
    }
  }

  std::string name() {
    std::size_t start = pos_;
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' ||
          c == ':') {
        ++pos_;
      } else {
        break;
      }
    }
    if (start == pos_) {
      fail("expected a name");
    }
    return s_.substr(start, pos_ - start);
  }

  std::string decode(const std::string& raw) const {
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        out += raw[i];
        continue;
      }
      auto end = raw.find(';', i);
      if (end == std::string::npos) {
        fail("unterminated entity");
      }
      std::string entity = raw.substr(i + 1, end - i - 1);
      if (entity == "amp") {
        out += '&';
      } else if (entity == "lt") {
        out += '<';
      } else if (entity == "gt") {
        out += '>';
      } else if (entity == "quot") {
        out += '"';
      } else if (entity == "apos") {
        out += '\'';
      } else if (entity.size() > 1 && entity[0] == '#') {
        const bool hex = entity[1] == 'x' || entity[1] == 'X';
        const std::string digits = entity.substr(hex ? 2 : 1);
        char* stop = nullptr;
        unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
        if (digits.empty() || *stop != '\0' || code == 0 || code > 0x10FFFF) {
          fail("bad character reference &" + entity + ";");
        }
        appendUtf8(out, code);
      } else {
        fail("unknown entity &" + entity + ";");
      }
      i = end;
    }
    return out;
  }

  std::unique_ptr<Element> element() {
    auto e = std::make_unique<Element>();
    e->line = line();
    ++pos_;  // '<'
    e->name = name();
    for (;;) {
      skipSpace();
      if (at("/>")) {
        pos_ += 2;
        return e;
      }
      if (at(">")) {
        ++pos_;
        break;
      }
      std::string attribute = name();
      skipSpace();
      if (!at("=")) {
        fail("expected = after " + attribute);
      }
      ++pos_;
      skipSpace();
      if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) {
        fail("expected a quoted value for " + attribute);
      }
      char quote = s_[pos_++];
      auto end = s_.find(quote, pos_);
      if (end == std::string::npos) {
        fail("unterminated value of " + attribute);
      }
      if (!e->attributes.emplace(attribute, decode(s_.substr(pos_, end - pos_))).second) {
        fail("attribute " + attribute + " given twice");
      }
      pos_ = end + 1;
    }
    for (;;) {
      if (pos_ >= s_.size()) {
        fail("element " + e->name + " is not closed");
      }
      if (at("<!--")) {
        skipPast("-->");
      } else if (at("</")) {
        pos_ += 2;
        if (name() != e->name) {
          fail("mismatched end tag of " + e->name);
        }
        skipSpace();
        if (!at(">")) {
          fail("expected >");
        }
        ++pos_;
        return e;
      } else if (at("<")) {
        e->children.push_back(element());
      } else {
        auto next = s_.find('<', pos_);
        if (next == std::string::npos) {
          next = s_.size();
        }
        e->text += decode(s_.substr(pos_, next - pos_));
        pos_ = next;
      }
    }
  }

  const std::string& s_;
  std::size_t pos_ = 0;
};

[[noreturn]] void failAt(const Element& e, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(e.line) + ": " + what);
}

const std::string* attribute(const Element& e, const char* name) {
  auto found = e.attributes.find(name);
  return found == e.attributes.end() ? nullptr : &found->second;
}

// The Block UI Styler classes the simulated NX models, and the block type each becomes.
const char* blockTypeOf(const std::string& uiClass) {
  static const std::map<std::string, const char*> kClasses = {
      {"UICOMP_button", "Button"}, {"UICOMP_label", "Label"},   {"UICOMP_enum", "Enumeration"},
      {"UICOMP_string", "String"}, {"UICOMP_toggle", "Toggle"}, {"UGS::UICOMP_group", "Group"}};
  auto found = kClasses.find(uiClass);
  return found == kClasses.end() ? nullptr : found->second;
}

// How a declared Block UI Styler property type is held; false for the types that carry only
// layout or selection settings, which the simulated NX reads past.
bool valueTypeOf(const Element& e, const std::string& declared, PropertyValue::Type& type) {
  static const std::map<std::string, PropertyValue::Type> kValueTypes = {
      {"string", PropertyValue::Type::String},   {"utfstring", PropertyValue::Type::String},
      {"logical", PropertyValue::Type::Logical}, {"integer", PropertyValue::Type::Integer},
      {"enum", PropertyValue::Type::Enum},       {"double", PropertyValue::Type::Double},
      {"strings", PropertyValue::Type::Strings}, {"utfstrings", PropertyValue::Type::Strings}};
  static const std::set<std::string> kLayoutTypes = {"attachment", "bits",      "stlvector",
                                                     "point",      "selfilter", "dir"};
  auto found = kValueTypes.find(declared);
  if (found != kValueTypes.end()) {
    type = found->second;
    return true;
  }
  if (kLayoutTypes.count(declared) == 0) {
    failAt(e, "unknown property type " + declared);
  }
  return false;
}

int integerFrom(const Element& e, const std::string& text, const std::string& what) {
  char* stop = nullptr;
  long n = std::strtol(text.c_str(), &stop, 10);
  if (text.empty() || *stop != '\0' || n < -2147483647L || n > 2147483647L) {
    failAt(e, what + " must be an integer");
  }
  return static_cast<int>(n);
}

// One Property element: its value in the declared type. An enumeration's "Value" also gives
// the block its members, the enum's options.
PropertyValue readValue(const Element& e, const std::string& sname, PropertyValue value,
                        Properties& block) {
  const std::string* given = attribute(e, "value");
  const std::string text = given ? *given : std::string();
  switch (value.type) {
    case PropertyValue::Type::String:
      value.text = text;
      break;
    case PropertyValue::Type::Logical:
      if (text != "True" && text != "False") {
        failAt(e, "logical " + sname + " must be True or False");
      }
      value.logical = text == "True";
      break;
    case PropertyValue::Type::Integer:
      value.integer = integerFrom(e, text, sname);
      break;
    case PropertyValue::Type::Enum: {
      const std::string* selected = attribute(e, "selected");
      value.integer = selected ? integerFrom(e, *selected, "selected of " + sname) : -1;
      std::vector<std::string> options;
      for (const auto& option : e.children) {
        // Some Styler versions repeat the members' texts as Strings beside the options.
        if (option->name == "Strings") {
          continue;
        }
        const std::string* name = option->name == "Option" ? attribute(*option, "name") : nullptr;
        if (name == nullptr) {
          failAt(*option, "an enum holds only Option elements with a name");
        }
        options.push_back(*name);
      }
      auto members = block.find("EnumMembers");
      if (sname == "Value" && members != block.end()) {
        members->second.list = options;
      }
    } break;
    case PropertyValue::Type::Double: {
      char* stop = nullptr;
      value.real = std::strtod(text.c_str(), &stop);
      if (text.empty() || *stop != '\0') {
        failAt(e, sname + " must be a number");
      }
      break;
    }
    case PropertyValue::Type::Strings:
      value.list.clear();
      for (const auto& item : e.children) {
        const std::string* member = item->name == "Strings" ? attribute(*item, "value") : nullptr;
        if (member == nullptr) {
          failAt(*item, "a list holds only Strings elements with a value");
        }
        value.list.push_back(*member);
      }
      break;
  }
  return value;
}

void readItem(const Element& item, DialogDefinition& dialog, std::set<std::string>& ids);

// A group's "Members": a PropertyList of uicomp Properties, each wrapping the member's item.
void collectMembers(const Element& members, std::vector<const Element*>& items) {
  for (const auto& list : members.children) {
    if (list->name != "PropertyList") {
      failAt(*list, "Members holds a PropertyList, not " + list->name);
    }
    for (const auto& wrapper : list->children) {
      if (wrapper->name == "item") {  // as some Styler versions write a member
        items.push_back(wrapper.get());
        continue;
      }
      if (wrapper->name != "Property" || wrapper->children.size() != 1 ||
          wrapper->children.front()->name != "item") {
        failAt(*wrapper, "each member of a group is a Property holding one item");
      }
      items.push_back(wrapper->children.front().get());
    }
  }
}

void readItem(const Element& item, DialogDefinition& dialog, std::set<std::string>& ids) {
  if (item.name != "item") {
    failAt(item, "unexpected element " + item.name);
  }
  const std::string* uiClass = attribute(item, "class");
  if (uiClass == nullptr || uiClass->empty()) {
    failAt(item, "item without a class");
  }
  const char* type = blockTypeOf(*uiClass);
  if (type == nullptr) {
    failAt(item, "unknown block class " + *uiClass);
  }
  const Element* list = nullptr;
  for (const auto& child : item.children) {
    if (child->name != "PropertyList" || list != nullptr) {
      failAt(*child, "an item holds one PropertyList, not " + child->name);
    }
    list = child.get();
  }
  if (list == nullptr) {
    failAt(item, "item without a PropertyList");
  }
  BlockDefinition block;
  block.type = type;
  block.properties = defaultProperties(block.type);
  std::vector<const Element*> members;
  for (const auto& property : list->children) {
    if (property->name != "Property") {
      failAt(*property, "unexpected element " + property->name + " in a PropertyList");
    }
    const std::string* sname = attribute(*property, "sname");
    const std::string* declared = attribute(*property, "type");
    if (sname == nullptr || sname->empty()) {
      failAt(*property, "property without an sname");
    }
    if (declared == nullptr) {
      failAt(*property, "property " + *sname + " without a type");
    }
    if (*sname == "Members" && *declared == "array") {
      if (block.type != "Group") {
        failAt(*property, "only a group holds blocks");
      }
      collectMembers(*property, members);
      continue;
    }
    PropertyValue value;
    if (!valueTypeOf(*property, *declared, value.type)) {
      continue;
    }
    auto known = block.properties.find(*sname);
    if (known != block.properties.end()) {
      if (known->second.type != value.type) {
        failAt(*property, "property " + *sname + " is " + propertyTypeName(known->second.type) +
                              ", not " + *declared);
      }
      value = known->second;
    }
    block.properties[*sname] = readValue(*property, *sname, value, block.properties);
  }
  // Older Styler versions name the block id APIName.
  auto blockId = block.properties.find("BlockID");
  if (blockId == block.properties.end()) {
    blockId = block.properties.find("APIName");
  }
  if (blockId == block.properties.end() || blockId->second.text.empty()) {
    failAt(item, "item without a BlockID");
  }
  block.id = blockId->second.text;
  const std::string* id = attribute(item, "id");
  if (id != nullptr && *id != block.id) {
    failAt(item, "item " + *id + " has the BlockID " + block.id);
  }
  if (!ids.insert(block.id).second) {
    failAt(item, "block id " + block.id + " used twice");
  }
  dialog.blocks.push_back(std::move(block));
  for (const Element* member : members) {
    readItem(*member, dialog, ids);
  }
}

// The dialog's own properties: its title is the "Label".
void readDialogProperties(const Element& list, DialogDefinition& dialog) {
  for (const auto& property : list.children) {
    const std::string* sname = attribute(*property, "sname");
    if (property->name == "Property" && sname != nullptr && *sname == "Label") {
      const std::string* title = attribute(*property, "value");
      dialog.title = title ? *title : std::string();
    }
  }
}

}  // namespace

Properties defaultProperties(const std::string& type) {
  auto text = [](std::string v) {
    PropertyValue p;
    p.type = PropertyValue::Type::String;
    p.text = std::move(v);
    return p;
  };
  auto logical = [](bool v) {
    PropertyValue p;
    p.type = PropertyValue::Type::Logical;
    p.logical = v;
    return p;
  };
  Properties p{{"Label", text("")}, {"Show", logical(true)}, {"Enable", logical(true)}};
  if (type == "Label" || type == "Button") {
    p["Bitmap"] = text("");
    p["BalloonTooltipText"] = text("");
  } else if (type == "Group") {
    p["Expanded"] = logical(true);
  } else if (type == "Enumeration") {
    PropertyValue value;
    value.type = PropertyValue::Type::Enum;
    value.integer = -1;
    p["Value"] = value;
    PropertyValue members;
    members.type = PropertyValue::Type::Strings;
    p["EnumMembers"] = members;
    p["BalloonTooltipText"] = text("");
  } else if (type == "String") {
    p["Value"] = text("");
  } else if (type == "Toggle") {
    p["Value"] = logical(false);
  } else {
    throw std::runtime_error("unknown block type " + type);
  }
  return p;
}

std::string propertyTypeName(PropertyValue::Type type) {
  switch (type) {
    case PropertyValue::Type::String:
      return "string";
    case PropertyValue::Type::Logical:
      return "logical";
    case PropertyValue::Type::Integer:
      return "integer";
    case PropertyValue::Type::Double:
      return "double";
    case PropertyValue::Type::Strings:
      return "strings";
    case PropertyValue::Type::Enum:
      return "enum";
  }
  return "unknown";
}

DialogDefinition parseDialogFile(const std::string& content) {
  auto root = XmlReader(content).document();
  if (root->name == "dialog") {
    failAt(*root, "not a Block UI Styler file: the root element is dialog, not Dialog");
  }
  if (root->name != "Dialog") {
    failAt(*root, "the root element must be Dialog");
  }
  DialogDefinition dialog;
  std::set<std::string> ids;
  for (const auto& child : root->children) {
    if (child->name == "item") {
      readItem(*child, dialog, ids);
    } else if (child->name == "PropertyList") {
      readDialogProperties(*child, dialog);
    } else if (child->name != "AutoGenData" && child->name != "GenData") {
      failAt(*child, "unexpected element " + child->name + " in Dialog");
    }
  }
  return dialog;
}

}  // namespace detail
}  // namespace nxsim
