// Block Styler dialogs: a dialog made from a dialog file, its blocks, their property lists
// and the handlers NX calls while the dialog is shown.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace host {
namespace BlockStyler {

// A block's properties by name ("Label", "Show", "Value", ...). Unknown names and values
// that do not fit the property raise NxException. The caller owns the list.
class PropertyList {
 public:
  virtual ~PropertyList() = default;
  virtual std::vector<std::string> GetPropertyNames() = 0;
  // Any property read as text: numbers in decimal, logicals as "true"/"false".
  virtual std::string GetString(const std::string& name) = 0;
  virtual void SetString(const std::string& name, const std::string& value) = 0;
  virtual bool GetLogical(const std::string& name) = 0;
  virtual void SetLogical(const std::string& name, bool value) = 0;
  virtual int GetInteger(const std::string& name) = 0;
  virtual void SetInteger(const std::string& name, int value) = 0;
  virtual double GetDouble(const std::string& name) = 0;
  virtual void SetDouble(const std::string& name, double value) = 0;
  virtual std::vector<std::string> GetEnumMembers(const std::string& name) = 0;
  virtual void SetEnumMembers(const std::string& name, const std::vector<std::string>& members) = 0;
};

class UIBlock {
 public:
  virtual ~UIBlock() = default;
  // The block's id in the dialog file.
  virtual std::string Name() = 0;
  // "Button", "Label", "Group", "Enumeration", "String", "Toggle".
  virtual std::string Type() = 0;
  virtual std::unique_ptr<PropertyList> GetProperties() = 0;
};

class Button : public UIBlock {};
class Group : public UIBlock {};

class Label : public UIBlock {
 public:
  virtual std::string LabelText() = 0;
  virtual void SetLabel(const std::string& text) = 0;
};

class Enumeration : public UIBlock {
 public:
  virtual std::vector<std::string> GetEnumMembers() = 0;
  // The selection moves to the first member when it no longer fits.
  virtual void SetEnumMembers(const std::vector<std::string>& members) = 0;
  // The selected member's text; empty when nothing is selected.
  virtual std::string ValueAsString() = 0;
  virtual void SetValueAsString(const std::string& member) = 0;
};

class StringBlock : public UIBlock {
 public:
  virtual std::string Value() = 0;
  virtual void SetValue(const std::string& value) = 0;
};

class Toggle : public UIBlock {
 public:
  virtual bool Value() = 0;
  virtual void SetValue(bool value) = 0;
};

class CompositeBlock {
 public:
  virtual ~CompositeBlock() = default;
  // The block with this id, owned by the dialog; null when the dialog has none.
  virtual UIBlock* FindBlock(const std::string& blockId) = 0;
};

class BlockDialog {
 public:
  enum class DialogMode { Create = 0, Edit = 1 };
  enum class DialogResponse { Ok, Apply, Back, Cancel };

  using Callback0 = std::function<void()>;
  using UpdateCallback = std::function<int(UIBlock*)>;
  using ActionCallback = std::function<int()>;

  virtual ~BlockDialog() = default;
  // Called before the dialog appears, once per Show.
  virtual void AddInitializeHandler(Callback0 handler) = 0;
  // Called once the dialog's window is up and active.
  virtual void AddDialogShownHandler(Callback0 handler) = 0;
  // Called with the block the user changed; returns 0.
  virtual void AddUpdateHandler(UpdateCallback handler) = 0;
  // Returns 0.
  virtual void AddApplyHandler(ActionCallback handler) = 0;
  // 0 lets the dialog close; anything else keeps it open.
  virtual void AddOkHandler(ActionCallback handler) = 0;
  virtual void AddCancelHandler(ActionCallback handler) = 0;

  // Modal: returns when the dialog is closed. The dialog can be shown again afterwards.
  virtual DialogResponse Show() = 0;
  virtual DialogResponse Show(DialogMode mode) = 0;

  // Owned by the dialog.
  virtual CompositeBlock* TopBlock() = 0;
  // Properties of a block by id; null when the dialog has no such block.
  virtual std::unique_ptr<PropertyList> GetBlockProperties(const std::string& blockId) = 0;
};

}  // namespace BlockStyler
}  // namespace host
