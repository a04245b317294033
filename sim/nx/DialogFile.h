// Block UI Styler dialog files (.dlx) as the simulated NX reads them: the dialog's blocks, the
// type each block's class gives, and their initial properties by script name.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace nxsim {
namespace detail {

struct PropertyValue {
  // Enum: the index of the selected member in integer (-1: none).
  enum class Type { String, Logical, Integer, Double, Strings, Enum };
  Type type = Type::String;
  std::string text;
  bool logical = false;
  int integer = 0;
  double real = 0.0;
  std::vector<std::string> list;
};

using Properties = std::map<std::string, PropertyValue>;

struct BlockDefinition {
  std::string id;
  std::string type;
  Properties properties;
};

struct DialogDefinition {
  std::string title;
  std::vector<BlockDefinition> blocks;  // nested blocks flattened, in file order
};

// Throws std::runtime_error naming the line of the first problem and the reason.
DialogDefinition parseDialogFile(const std::string& content);
// The properties every block of the type has before the file sets any; throws
// std::runtime_error for a type the dialogs do not know.
Properties defaultProperties(const std::string& type);
std::string propertyTypeName(PropertyValue::Type type);

}  // namespace detail
}  // namespace nxsim
