// Block Styler dialogs: blocks with typed properties, handlers called in NX's order, and a
// modal Show() whose loop hands the open dialog to the test's or scenario's driver.
#include "sim/nx/BlockDialogs.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

#include "sim/nx/DialogWindow.h"
#include "sim/nx/State.h"

namespace nxsim {
namespace detail {
namespace {

namespace bs = host::BlockStyler;
using Type = PropertyValue::Type;

struct BlockState {
  std::string id;
  std::string type;
  Properties properties;
};
using BlockPtr = std::shared_ptr<BlockState>;

[[noreturn]] void nxError(const std::string& message) {
  throw host::NxException(kErrorBadArgument, message);
}

PropertyValue& property(BlockState& block, const std::string& name) {
  auto found = block.properties.find(name);
  if (found == block.properties.end()) {
    nxError("Block " + block.id + " has no property " + name);
  }
  return found->second;
}

PropertyValue& typedProperty(BlockState& block, const std::string& name, Type type) {
  PropertyValue& value = property(block, name);
  if (value.type != type) {
    nxError("Property " + name + " of block " + block.id + " is of type " +
            propertyTypeName(value.type) + ", not " + propertyTypeName(type));
  }
  return value;
}

std::string asText(const PropertyValue& value) {
  switch (value.type) {
    case Type::String:
      return value.text;
    case Type::Logical:
      return value.logical ? "true" : "false";
    case Type::Integer:
      return std::to_string(value.integer);
    case Type::Double: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.17g", value.real);
      return buffer;
    }
    case Type::Strings: {
      std::string joined;
      for (const std::string& item : value.list) {
        joined += (joined.empty() ? "" : "\n") + item;
      }
      return joined;
    }
  }
  return {};
}

bool isEnumeration(const BlockState& block) { return block.type == "Enumeration"; }

// An enumeration's selection follows its members: a selection that no longer fits moves to
// the first member, or to none when there are no members.
void normalizeSelection(BlockState& block) {
  if (!isEnumeration(block)) {
    return;
  }
  const auto count = static_cast<int>(block.properties["EnumMembers"].list.size());
  int& value = block.properties["Value"].integer;
  if (value < 0 || value >= count) {
    value = count > 0 ? 0 : -1;
  }
}

void setInteger(BlockState& block, const std::string& name, int value) {
  PropertyValue& p = typedProperty(block, name, Type::Integer);
  if (isEnumeration(block) && name == "Value") {
    const auto count = static_cast<int>(block.properties["EnumMembers"].list.size());
    if (value < 0 || value >= count) {
      nxError("Enumeration " + block.id + " has no member " + std::to_string(value));
    }
  }
  p.integer = value;
}

void setMembers(BlockState& block, const std::string& name, const std::vector<std::string>& list) {
  typedProperty(block, name, Type::Strings).list = list;
  normalizeSelection(block);
}

std::string selectedMember(BlockState& block) {
  const auto& members = block.properties["EnumMembers"].list;
  const int value = block.properties["Value"].integer;
  return value >= 0 && value < static_cast<int>(members.size())
             ? members[static_cast<std::size_t>(value)]
             : std::string();
}

class SimPropertyList : public bs::PropertyList {
 public:
  explicit SimPropertyList(BlockPtr block) : block_(std::move(block)) {}

  std::vector<std::string> GetPropertyNames() override {
    Lock lock(state().mutex);
    openCall("PropertyList::GetPropertyNames", {block_->id}, false);
    std::vector<std::string> names;
    for (const auto& entry : block_->properties) {
      names.push_back(entry.first);
    }
    return names;
  }

  std::string GetString(const std::string& name) override {
    Lock lock(state().mutex);
    openCall("PropertyList::GetString", {block_->id, name}, false);
    return asText(property(*block_, name));
  }

  void SetString(const std::string& name, const std::string& value) override {
    Lock lock(state().mutex);
    openCall("PropertyList::SetString", {block_->id, name, value}, false);
    typedProperty(*block_, name, Type::String).text = value;
  }

  bool GetLogical(const std::string& name) override {
    Lock lock(state().mutex);
    openCall("PropertyList::GetLogical", {block_->id, name}, false);
    return typedProperty(*block_, name, Type::Logical).logical;
  }

  void SetLogical(const std::string& name, bool value) override {
    Lock lock(state().mutex);
    openCall("PropertyList::SetLogical", {block_->id, name, value ? "true" : "false"}, false);
    typedProperty(*block_, name, Type::Logical).logical = value;
  }

  int GetInteger(const std::string& name) override {
    Lock lock(state().mutex);
    openCall("PropertyList::GetInteger", {block_->id, name}, false);
    return typedProperty(*block_, name, Type::Integer).integer;
  }

  void SetInteger(const std::string& name, int value) override {
    Lock lock(state().mutex);
    openCall("PropertyList::SetInteger", {block_->id, name, std::to_string(value)}, false);
    setInteger(*block_, name, value);
  }

  double GetDouble(const std::string& name) override {
    Lock lock(state().mutex);
    openCall("PropertyList::GetDouble", {block_->id, name}, false);
    return typedProperty(*block_, name, Type::Double).real;
  }

  void SetDouble(const std::string& name, double value) override {
    Lock lock(state().mutex);
    openCall("PropertyList::SetDouble", {block_->id, name, std::to_string(value)}, false);
    typedProperty(*block_, name, Type::Double).real = value;
  }

  std::vector<std::string> GetEnumMembers(const std::string& name) override {
    Lock lock(state().mutex);
    openCall("PropertyList::GetEnumMembers", {block_->id, name}, false);
    return typedProperty(*block_, name, Type::Strings).list;
  }

  void SetEnumMembers(const std::string& name, const std::vector<std::string>& members) override {
    Lock lock(state().mutex);
    openCall("PropertyList::SetEnumMembers", {block_->id, name, std::to_string(members.size())},
             false);
    setMembers(*block_, name, members);
  }

 private:
  BlockPtr block_;
};

template <class Base>
class SimBlock : public Base {
 public:
  explicit SimBlock(BlockPtr block) : block_(std::move(block)) {}

  std::string Name() override {
    Lock lock(state().mutex);
    openCall("UIBlock::Name", {block_->id}, false);
    return block_->id;
  }

  std::string Type() override {
    Lock lock(state().mutex);
    openCall("UIBlock::Type", {block_->id}, false);
    return block_->type;
  }

  std::unique_ptr<bs::PropertyList> GetProperties() override {
    Lock lock(state().mutex);
    if (openCall("UIBlock::GetProperties", {block_->id}, true)) {
      return nullptr;
    }
    return std::make_unique<SimPropertyList>(block_);
  }

 protected:
  BlockPtr block_;
};

class SimLabel : public SimBlock<bs::Label> {
 public:
  using SimBlock::SimBlock;
  std::string LabelText() override {
    Lock lock(state().mutex);
    openCall("Label::Label", {block_->id}, false);
    return typedProperty(*block_, "Label", Type::String).text;
  }
  void SetLabel(const std::string& text) override {
    Lock lock(state().mutex);
    openCall("Label::SetLabel", {block_->id, text}, false);
    typedProperty(*block_, "Label", Type::String).text = text;
  }
};

class SimEnumeration : public SimBlock<bs::Enumeration> {
 public:
  using SimBlock::SimBlock;
  std::vector<std::string> GetEnumMembers() override {
    Lock lock(state().mutex);
    openCall("Enumeration::GetEnumMembers", {block_->id}, false);
    return typedProperty(*block_, "EnumMembers", Type::Strings).list;
  }
  void SetEnumMembers(const std::vector<std::string>& members) override {
    Lock lock(state().mutex);
    openCall("Enumeration::SetEnumMembers", {block_->id, std::to_string(members.size())}, false);
    setMembers(*block_, "EnumMembers", members);
  }
  std::string ValueAsString() override {
    Lock lock(state().mutex);
    openCall("Enumeration::ValueAsString", {block_->id}, false);
    return selectedMember(*block_);
  }
  void SetValueAsString(const std::string& member) override {
    Lock lock(state().mutex);
    openCall("Enumeration::SetValueAsString", {block_->id, member}, false);
    const auto& members = block_->properties["EnumMembers"].list;
    for (std::size_t i = 0; i < members.size(); ++i) {
      if (members[i] == member) {
        block_->properties["Value"].integer = static_cast<int>(i);
        return;
      }
    }
    nxError("Enumeration " + block_->id + " has no member " + member);
  }
};

class SimStringBlock : public SimBlock<bs::StringBlock> {
 public:
  using SimBlock::SimBlock;
  std::string Value() override {
    Lock lock(state().mutex);
    openCall("StringBlock::Value", {block_->id}, false);
    return typedProperty(*block_, "Value", Type::String).text;
  }
  void SetValue(const std::string& value) override {
    Lock lock(state().mutex);
    openCall("StringBlock::SetValue", {block_->id, value}, false);
    typedProperty(*block_, "Value", Type::String).text = value;
  }
};

class SimToggle : public SimBlock<bs::Toggle> {
 public:
  using SimBlock::SimBlock;
  bool Value() override {
    Lock lock(state().mutex);
    openCall("Toggle::Value", {block_->id}, false);
    return typedProperty(*block_, "Value", Type::Logical).logical;
  }
  void SetValue(bool value) override {
    Lock lock(state().mutex);
    openCall("Toggle::SetValue", {block_->id, value ? "true" : "false"}, false);
    typedProperty(*block_, "Value", Type::Logical).logical = value;
  }
};

std::unique_ptr<bs::UIBlock> makeBlockObject(const BlockPtr& block) {
  if (block->type == "Label") return std::make_unique<SimLabel>(block);
  if (block->type == "Enumeration") return std::make_unique<SimEnumeration>(block);
  if (block->type == "String") return std::make_unique<SimStringBlock>(block);
  if (block->type == "Toggle") return std::make_unique<SimToggle>(block);
  if (block->type == "Group") return std::make_unique<SimBlock<bs::Group>>(block);
  return std::make_unique<SimBlock<bs::Button>>(block);
}

class SimBlockDialog;

class SimCompositeBlock : public bs::CompositeBlock {
 public:
  explicit SimCompositeBlock(SimBlockDialog& dialog) : dialog_(dialog) {}
  bs::UIBlock* FindBlock(const std::string& blockId) override;

 private:
  SimBlockDialog& dialog_;
};

class SimBlockDialog : public bs::BlockDialog {
 public:
  SimBlockDialog(std::string file, const DialogDefinition& definition)
      : file_(std::move(file)), title_(definition.title), top_(*this), view_(*this) {
    for (const BlockDefinition& b : definition.blocks) {
      auto block = std::make_shared<BlockState>(BlockState{b.id, b.type, b.properties});
      normalizeSelection(*block);
      order_.push_back(b.id);
      blocks_[b.id] = block;
      objects_[b.id] = makeBlockObject(block);
    }
  }

  ~SimBlockDialog() override {
    if (showing_) {
      Lock lock(state().mutex);
      violation("dialog " + file_ + " deleted while it was shown");
    }
  }

  void AddInitializeHandler(Callback0 handler) override {
    registerHandler("BlockDialog::AddInitializeHandler");
    initialize_ = std::move(handler);
  }
  void AddDialogShownHandler(Callback0 handler) override {
    registerHandler("BlockDialog::AddDialogShownHandler");
    shown_ = std::move(handler);
  }
  void AddUpdateHandler(UpdateCallback handler) override {
    registerHandler("BlockDialog::AddUpdateHandler");
    update_ = std::move(handler);
  }
  void AddApplyHandler(ActionCallback handler) override {
    registerHandler("BlockDialog::AddApplyHandler");
    apply_ = std::move(handler);
  }
  void AddOkHandler(ActionCallback handler) override {
    registerHandler("BlockDialog::AddOkHandler");
    ok_ = std::move(handler);
  }
  void AddCancelHandler(ActionCallback handler) override {
    registerHandler("BlockDialog::AddCancelHandler");
    cancel_ = std::move(handler);
  }

  DialogResponse Show() override { return show("BlockDialog::Show", ""); }
  DialogResponse Show(DialogMode mode) override {
    return show("BlockDialog::Show", std::to_string(static_cast<int>(mode)));
  }

  bs::CompositeBlock* TopBlock() override {
    Lock lock(state().mutex);
    if (openCall("BlockDialog::TopBlock", {file_}, true)) {
      return nullptr;
    }
    return &top_;
  }

  std::unique_ptr<bs::PropertyList> GetBlockProperties(const std::string& blockId) override {
    Lock lock(state().mutex);
    if (openCall("BlockDialog::GetBlockProperties", {file_, blockId}, true)) {
      return nullptr;
    }
    auto found = blocks_.find(blockId);
    if (found == blocks_.end()) {
      return nullptr;
    }
    return std::make_unique<SimPropertyList>(found->second);
  }

  bs::UIBlock* findBlock(const std::string& id) {
    auto found = objects_.find(id);
    return found == objects_.end() ? nullptr : found->second.get();
  }

  const std::string& file() const { return file_; }

 private:
  class DriverView : public OpenDialog {
   public:
    explicit DriverView(SimBlockDialog& dialog) : d_(dialog) {}

    std::string file() const override { return d_.file_; }
    bool isOpen() const override { return d_.window_ && d_.window_->isOpen(); }
    void* window() const override { return d_.window_ ? d_.window_->handle() : nullptr; }
    std::chrono::milliseconds elapsed() const override {
      return std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::steady_clock::now() - d_.started_);
    }
    int ticks() const override { return d_.ticks_; }

    std::vector<std::string> blockIds() const override { return d_.order_; }
    bool hasBlock(const std::string& id) const override { return d_.blocks_.count(id) != 0; }
    std::string blockType(const std::string& id) const override { return block(id).type; }

    std::string getString(const std::string& id, const std::string& name) const override {
      Lock lock(state().mutex);
      return asText(driverProperty(id, name));
    }
    bool getLogical(const std::string& id, const std::string& name) const override {
      Lock lock(state().mutex);
      const PropertyValue& p = driverProperty(id, name);
      if (p.type != Type::Logical) {
        throw std::invalid_argument(name + " of " + id + " is not logical");
      }
      return p.logical;
    }
    int getInteger(const std::string& id, const std::string& name) const override {
      Lock lock(state().mutex);
      const PropertyValue& p = driverProperty(id, name);
      if (p.type != Type::Integer) {
        throw std::invalid_argument(name + " of " + id + " is not an integer");
      }
      return p.integer;
    }
    std::vector<std::string> enumMembers(const std::string& id) const override {
      Lock lock(state().mutex);
      return enumeration(id).properties["EnumMembers"].list;
    }
    std::string enumValue(const std::string& id) const override {
      Lock lock(state().mutex);
      return selectedMember(enumeration(id));
    }

    int press(const std::string& id) override {
      block(id);
      return d_.update(id);
    }
    int selectEnum(const std::string& id, int index) override {
      {
        Lock lock(state().mutex);
        BlockState& b = enumeration(id);
        if (index < 0 || index >= static_cast<int>(b.properties["EnumMembers"].list.size())) {
          throw std::invalid_argument(id + " has no member " + std::to_string(index));
        }
        b.properties["Value"].integer = index;
      }
      return d_.update(id);
    }
    int selectEnum(const std::string& id, const std::string& member) override {
      int index = -1;
      {
        Lock lock(state().mutex);
        const auto& members = enumeration(id).properties["EnumMembers"].list;
        for (std::size_t i = 0; i < members.size() && index < 0; ++i) {
          if (members[i] == member) {
            index = static_cast<int>(i);
          }
        }
      }
      if (index < 0) {
        throw std::invalid_argument(id + " has no member " + member);
      }
      return selectEnum(id, index);
    }
    int setString(const std::string& id, const std::string& value) override {
      {
        Lock lock(state().mutex);
        BlockState& b = block(id);
        if (b.type != "String") {
          throw std::invalid_argument(id + " is no String block");
        }
        b.properties["Value"].text = value;
      }
      return d_.update(id);
    }
    int setToggle(const std::string& id, bool value) override {
      {
        Lock lock(state().mutex);
        BlockState& b = block(id);
        if (b.type != "Toggle") {
          throw std::invalid_argument(id + " is no Toggle block");
        }
        b.properties["Value"].logical = value;
      }
      return d_.update(id);
    }
    int apply() override {
      requireOpen();
      return d_.runHandler(
          "apply", "", [this] { return d_.apply_ ? d_.apply_() : 0; }, 0);
    }
    int ok() override {
      requireOpen();
      int result = d_.runHandler(
          "ok", "", [this] { return d_.ok_ ? d_.ok_() : 0; }, 1);
      if (result == 0) {
        d_.closeWith("ok", DialogResponse::Ok);
      }
      return result;
    }
    void cancel() override {
      requireOpen();
      d_.runHandler(
          "cancel", "", [this] { return d_.cancel_ ? d_.cancel_() : 0; }, 0);
      d_.closeWith("cancel", DialogResponse::Cancel);
    }
    void postClose() override {
      requireOpen();
      d_.window_->postClose();
    }

   private:
    void requireOpen() const {
      if (!isOpen()) {
        throw std::logic_error("dialog " + d_.file_ + " is not open");
      }
    }
    BlockState& block(const std::string& id) const {
      auto found = d_.blocks_.find(id);
      if (found == d_.blocks_.end()) {
        throw std::invalid_argument(d_.file_ + " has no block " + id);
      }
      return *found->second;
    }
    BlockState& enumeration(const std::string& id) const {
      BlockState& b = block(id);
      if (!isEnumeration(b)) {
        throw std::invalid_argument(id + " is no Enumeration block");
      }
      return b;
    }
    const PropertyValue& driverProperty(const std::string& id, const std::string& name) const {
      BlockState& b = block(id);
      auto found = b.properties.find(name);
      if (found == b.properties.end()) {
        throw std::invalid_argument(id + " has no property " + name);
      }
      return found->second;
    }

    SimBlockDialog& d_;
  };

  void registerHandler(const std::string& call) {
    Lock lock(state().mutex);
    openCall(call, {file_}, false);
  }

  void recordEvent(const std::string& event) {
    auto& dialogs = state().dialogs;
    if (record_ < dialogs.size() && dialogs[record_].file == file_) {
      dialogs[record_].events.push_back(event);
    }
  }

  template <class Handler>
  int runHandler(const std::string& event, const std::string& blockId, Handler handler,
                 int fallback) {
    {
      Lock lock(state().mutex);
      const auto colon = event.find(':');
      enter("handler:" + event.substr(0, colon), {file_, blockId}, 0);
      recordEvent(event);
    }
    try {
      return handler();
    } catch (const std::exception& e) {
      Lock lock(state().mutex);
      violation("exception escaped the " + event + " handler of " + file_ + ": " + e.what());
    } catch (...) {
      Lock lock(state().mutex);
      violation("unknown exception escaped the " + event + " handler of " + file_);
    }
    return fallback;
  }

  int update(const std::string& id) {
    if (!view_.isOpen()) {
      throw std::logic_error("dialog " + file_ + " is not open");
    }
    bs::UIBlock* block = findBlock(id);
    // A click in the dialog makes it the active window again, whatever took focus meanwhile.
    if (window_) {
      window_->activate();
    }
    return runHandler(
        "update:" + id, id, [&] { return update_ ? update_(block) : 0; }, 0);
  }

  void closeWith(const std::string& reason, DialogResponse response) {
    if (closedBy_.empty()) {
      closedBy_ = reason;
      response_ = response;
    }
    if (window_) {
      window_->close();
    }
  }

  void tick() {
    if (ticking_ || !window_ || !window_->isOpen()) {
      return;  // a nested loop inside a driver action turns the outer loop too
    }
    ticking_ = true;
    ++ticks_;
    DialogDriver driver;
    std::chrono::milliseconds timeout{};
    {
      Lock lock(state().mutex);
      driver = state().dialogDriver;
      timeout = state().dialogTimeout;
    }
    if (view_.elapsed() > timeout) {
      {
        Lock lock(state().mutex);
        violation("dialog " + file_ + " was still open after " + std::to_string(timeout.count()) +
                  " ms and was closed");
      }
      closeWith("timeout", DialogResponse::Cancel);
    } else if (driver) {
      try {
        driver(view_);
      } catch (const std::exception& e) {
        {
          Lock lock(state().mutex);
          violation("dialog driver failed on " + file_ + ": " + e.what());
        }
        closeWith("driver error", DialogResponse::Cancel);
      }
    }
    ticking_ = false;
  }

  DialogResponse show(const std::string& call, const std::string& mode) {
    {
      Lock lock(state().mutex);
      openCall(call, {file_, mode}, false);
      if (showing_) {
        throw host::NxException(kErrorDialog, "Dialog " + file_ + " is shown already");
      }
      showing_ = true;
      closedBy_.clear();
      response_ = DialogResponse::Cancel;
      ticks_ = 0;
      started_ = std::chrono::steady_clock::now();
      state().dialogs.push_back(DialogRecord{file_, {}, ""});
      record_ = state().dialogs.size() - 1;
    }
    try {
      runHandler(
          "initialize", "",
          [this] {
            if (initialize_) initialize_();
            return 0;
          },
          0);
      try {
        window_ = openDialogWindow(title_.empty() ? file_ : title_, [this] {
          if (closedBy_.empty()) {
            closedBy_ = "close command";
            response_ = DialogResponse::Cancel;
          }
        });
      } catch (const std::runtime_error& e) {
        throw host::NxException(kErrorDialog,
                                "Unable to show the dialog " + file_ + ": " + e.what());
      }
      runHandler(
          "dialogShown", "",
          [this] {
            if (shown_) shown_();
            return 0;
          },
          0);
      if (window_->isOpen()) {
        window_->runModal([this] { tick(); });
      }
    } catch (...) {
      window_.reset();
      showing_ = false;
      throw;
    }
    window_.reset();
    showing_ = false;
    Lock lock(state().mutex);
    auto& dialogs = state().dialogs;
    if (record_ < dialogs.size() && dialogs[record_].file == file_) {
      dialogs[record_].closedBy = closedBy_;
    }
    return response_;
  }

  std::string file_;
  std::string title_;
  std::vector<std::string> order_;
  std::map<std::string, BlockPtr> blocks_;
  std::map<std::string, std::unique_ptr<bs::UIBlock>> objects_;
  SimCompositeBlock top_;
  DriverView view_;

  Callback0 initialize_;
  Callback0 shown_;
  UpdateCallback update_;
  ActionCallback apply_;
  ActionCallback ok_;
  ActionCallback cancel_;

  std::unique_ptr<DialogWindow> window_;
  bool showing_ = false;
  bool ticking_ = false;
  std::string closedBy_;
  DialogResponse response_ = DialogResponse::Cancel;
  std::size_t record_ = 0;
  int ticks_ = 0;
  std::chrono::steady_clock::time_point started_;
};

bs::UIBlock* SimCompositeBlock::FindBlock(const std::string& blockId) {
  Lock lock(state().mutex);
  if (openCall("CompositeBlock::FindBlock", {dialog_.file(), blockId}, true)) {
    return nullptr;
  }
  return dialog_.findBlock(blockId);
}

}  // namespace

std::unique_ptr<bs::BlockDialog> makeBlockDialog(const std::string& file,
                                                 const DialogDefinition& definition) {
  return std::make_unique<SimBlockDialog>(file, definition);
}

}  // namespace detail
}  // namespace nxsim
