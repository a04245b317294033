// Reading dialog files: a minimal XML reader (elements, attributes, text, comments, the five
// entities and character references) and the dialog description on top of it.
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

PropertyValue::Type typeNamed(const Element& e, const std::string& name) {
  if (name == "string") return PropertyValue::Type::String;
  if (name == "logical") return PropertyValue::Type::Logical;
  if (name == "integer") return PropertyValue::Type::Integer;
  if (name == "double") return PropertyValue::Type::Double;
  if (name == "strings") return PropertyValue::Type::Strings;
  failAt(e, "unknown property type " + name);
}

PropertyValue readProperty(const Element& e, PropertyValue value) {
  auto attribute = e.attributes.find("value");
  const bool hasValue = attribute != e.attributes.end();
  const std::string text = hasValue ? attribute->second : e.text;
  switch (value.type) {
    case PropertyValue::Type::String:
      value.text = text;
      break;
    case PropertyValue::Type::Logical:
      if (text != "true" && text != "false") {
        failAt(e, "logical value must be true or false");
      }
      value.logical = text == "true";
      break;
    case PropertyValue::Type::Integer:
    case PropertyValue::Type::Enum: {  // an enumerated value is written as its index
      char* stop = nullptr;
      long n = std::strtol(text.c_str(), &stop, 10);
      if (text.empty() || *stop != '\0' || n < -2147483647L || n > 2147483647L) {
        failAt(e, "integer value expected");
      }
      value.integer = static_cast<int>(n);
      break;
    }
    case PropertyValue::Type::Double: {
      char* stop = nullptr;
      value.real = std::strtod(text.c_str(), &stop);
      if (text.empty() || *stop != '\0') {
        failAt(e, "number expected");
      }
      break;
    }
    case PropertyValue::Type::Strings:
      value.list.clear();
      for (const auto& member : e.children) {
        if (member->name != "member") {
          failAt(*member, "only member elements belong in a list");
        }
        value.list.push_back(member->text);
      }
      break;
  }
  return value;
}

void readBlock(const Element& element, DialogDefinition& dialog, std::set<std::string>& ids) {
  if (element.name != "block") {
    failAt(element, "unexpected element " + element.name);
  }
  BlockDefinition block;
  auto id = element.attributes.find("id");
  auto type = element.attributes.find("type");
  if (id == element.attributes.end() || id->second.empty()) {
    failAt(element, "block without id");
  }
  if (type == element.attributes.end()) {
    failAt(element, "block " + id->second + " without type");
  }
  if (!ids.insert(id->second).second) {
    failAt(element, "block id " + id->second + " used twice");
  }
  block.id = id->second;
  block.type = type->second;
  try {
    block.properties = defaultProperties(block.type);
  } catch (const std::runtime_error& e) {
    failAt(element, e.what());
  }
  for (const auto& item : element.children) {
    if (item->name == "block") {
      continue;
    }
    if (item->name != "property") {
      failAt(*item, "unexpected element " + item->name);
    }
    auto name = item->attributes.find("name");
    if (name == item->attributes.end() || name->second.empty()) {
      failAt(*item, "property without name");
    }
    auto known = block.properties.find(name->second);
    auto declared = item->attributes.find("type");
    PropertyValue value;
    if (declared != item->attributes.end()) {
      value.type = typeNamed(*item, declared->second);
      if (known != block.properties.end() && known->second.type != value.type) {
        failAt(*item,
               "property " + name->second + " is of type " + propertyTypeName(known->second.type));
      }
    } else if (known != block.properties.end()) {
      value = known->second;
    } else {
      failAt(*item, "property " + name->second + " needs a type");
    }
    block.properties[name->second] = readProperty(*item, value);
  }
  const bool isGroup = block.type == "Group";
  dialog.blocks.push_back(std::move(block));
  for (const auto& item : element.children) {
    if (item->name != "block") {
      continue;
    }
    if (!isGroup) {
      failAt(*item, "only a Group holds blocks");
    }
    readBlock(*item, dialog, ids);
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
  if (root->name != "dialog") {
    failAt(*root, "the root element must be dialog");
  }
  DialogDefinition dialog;
  auto title = root->attributes.find("title");
  dialog.title = title == root->attributes.end() ? std::string() : title->second;
  std::set<std::string> ids;
  for (const auto& child : root->children) {
    readBlock(*child, dialog, ids);
  }
  return dialog;
}

}  // namespace detail
}  // namespace nxsim
