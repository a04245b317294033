// Block Styler dialogs: blocks with typed properties, handlers called in NX's order, and a
// modal Show() whose loop hands the open dialog to the test's or scenario's driver.
#include "sim/nx/BlockDialogs.h"

#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_Enumeration.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/BlockStyler_UIBlock.hxx>

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

namespace bs = NXOpen::BlockStyler;
using Type = PropertyValue::Type;

struct BlockState {
  std::string id;
  std::string type;
  Properties properties;
};
using BlockPtr = std::shared_ptr<BlockState>;

[[noreturn]] void nxError(const std::string& message) { raise(kErrorBadArgument, message); }

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
    case Type::Enum:
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

void setEnum(BlockState& block, const std::string& name, int value) {
  PropertyValue& p = typedProperty(block, name, Type::Enum);
  const auto count = static_cast<int>(block.properties["EnumMembers"].list.size());
  if (value < 0 || value >= count) {
    nxError("Enumeration " + block.id + " has no member " + std::to_string(value));
  }
  p.integer = value;
}

// The members of an enumerated property, or a list property itself.
PropertyValue& membersProperty(BlockState& block, const std::string& name) {
  PropertyValue& p = property(block, name);
  if (p.type == Type::Enum) {
    return block.properties["EnumMembers"];
  }
  return typedProperty(block, name, Type::Strings);
}

void setMembers(BlockState& block, const std::string& name, const std::vector<std::string>& list) {
  membersProperty(block, name).list = list;
  normalizeSelection(block);
}

std::vector<std::string> utf8List(const std::vector<NXOpen::NXString>& list) {
  std::vector<std::string> out;
  for (const NXOpen::NXString& item : list) {
    out.push_back(utf8Of(item));
  }
  return out;
}

std::vector<NXOpen::NXString> nxList(const std::vector<std::string>& list) {
  std::vector<NXOpen::NXString> out;
  for (const std::string& item : list) {
    out.push_back(nxText(item));
  }
  return out;
}

bs::PropertyList::PropertyType nxType(Type type) {
  switch (type) {
    case Type::String:
      return bs::PropertyList::PropertyTypeString;
    case Type::Logical:
      return bs::PropertyList::PropertyTypeLogical;
    case Type::Integer:
      return bs::PropertyList::PropertyTypeInteger;
    case Type::Double:
      return bs::PropertyList::PropertyTypeDouble;
    case Type::Strings:
      return bs::PropertyList::PropertyTypeStrings;
    case Type::Enum:
      return bs::PropertyList::PropertyTypeEnum;
  }
  return bs::PropertyList::PropertyTypeUndefined;
}

// What a property list (handed to the caller) holds: the block it reads and writes.
struct PropertyHandle {
  BlockPtr block;
};

// What every block object of a dialog is besides its NX Open class.
class BlockHolder {
 public:
  explicit BlockHolder(BlockPtr block) : block_(std::move(block)) {}
  virtual ~BlockHolder() = default;
  const BlockPtr& block() const { return block_; }

 private:
  BlockPtr block_;
};

class SimUIBlock : public bs::UIBlock, public BlockHolder {
 public:
  using BlockHolder::BlockHolder;
};

class SimEnumeration : public bs::Enumeration, public BlockHolder {
 public:
  using BlockHolder::BlockHolder;
};

std::unique_ptr<bs::UIBlock> makeBlockObject(const BlockPtr& block) {
  if (block->type == "Enumeration") return std::make_unique<SimEnumeration>(block);
  return std::make_unique<SimUIBlock>(block);
}

// The block behind a block object; the dialog's top block has none.
BlockState& blockOf(bs::UIBlock* object) {
  auto* holder = dynamic_cast<BlockHolder*>(object);
  if (holder == nullptr || !holder->block()) {
    nxError("The dialog's top block has no properties");
  }
  return *holder->block();
}

std::string selectedMember(BlockState& block) {
  const auto& members = block.properties["EnumMembers"].list;
  const int value = block.properties["Value"].integer;
  return value >= 0 && value < static_cast<int>(members.size())
             ? members[static_cast<std::size_t>(value)]
             : std::string();
}

class SimBlockDialog;

class SimCompositeBlock : public bs::CompositeBlock {
 public:
  explicit SimCompositeBlock(SimBlockDialog& dialog) : dialog_(dialog) {}
  SimBlockDialog& dialog() { return dialog_; }

 private:
  SimBlockDialog& dialog_;
};

class SimBlockDialog {
 public:
  friend class NXOpen::BlockStyler::BlockDialog;

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

  ~SimBlockDialog() {
    if (showing_) {
      Lock lock(state().mutex);
      violation("dialog " + file_ + " deleted while it was shown");
    }
  }

  template <class Handler, class Callback>
  void addHandler(const std::string& call, std::unique_ptr<Handler>& slot, const Callback& cb) {
    registerHandler(call);
    // NX keeps its own copy: the caller's callback may be a temporary.
    slot.reset(static_cast<Handler*>(cb.Clone()));
  }

  NXOpen::Selection::Response show(const std::string& mode) {
    return show("BlockDialog::Show", mode);
  }

  SimCompositeBlock* top() { return &top_; }

  bs::PropertyList* blockProperties(const std::string& blockId) {
    auto found = blocks_.find(blockId);
    if (found == blocks_.end()) {
      return nullptr;
    }
    return new bs::PropertyList(new PropertyHandle{found->second});
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
      if (p.type != Type::Integer && p.type != Type::Enum) {
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
          "apply", "", [this] { return d_.apply_ ? (*d_.apply_)() : 0; }, 0);
    }
    int ok() override {
      requireOpen();
      int result = d_.runHandler(
          "ok", "", [this] { return d_.ok_ ? (*d_.ok_)() : 0; }, 1);
      if (result == 0) {
        d_.closeWith("ok", NXOpen::Selection::ResponseOk);
      }
      return result;
    }
    void cancel() override {
      requireOpen();
      d_.runHandler(
          "cancel", "", [this] { return d_.cancel_ ? (*d_.cancel_)() : 0; }, 0);
      d_.closeWith("cancel", NXOpen::Selection::ResponseCancel);
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
        "update:" + id, id, [&] { return update_ ? (*update_)(block) : 0; }, 0);
  }

  void closeWith(const std::string& reason, NXOpen::Selection::Response response) {
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
      closeWith("timeout", NXOpen::Selection::ResponseCancel);
    } else if (driver) {
      try {
        driver(view_);
      } catch (const std::exception& e) {
        {
          Lock lock(state().mutex);
          violation("dialog driver failed on " + file_ + ": " + e.what());
        }
        closeWith("driver error", NXOpen::Selection::ResponseCancel);
      }
    }
    ticking_ = false;
  }

  NXOpen::Selection::Response show(const std::string& call, const std::string& mode) {
    {
      Lock lock(state().mutex);
      openCall(call, {file_, mode}, false);
      if (showing_) {
        raise(kErrorDialog, "Dialog " + file_ + " is shown already");
      }
      showing_ = true;
      closedBy_.clear();
      response_ = NXOpen::Selection::ResponseCancel;
      ticks_ = 0;
      started_ = std::chrono::steady_clock::now();
      state().dialogs.push_back(DialogRecord{file_, {}, ""});
      record_ = state().dialogs.size() - 1;
    }
    try {
      runHandler(
          "initialize", "",
          [this] {
            if (initialize_) (*initialize_)();
            return 0;
          },
          0);
      try {
        window_ = openDialogWindow(title_.empty() ? file_ : title_, [this] {
          if (closedBy_.empty()) {
            closedBy_ = "close command";
            response_ = NXOpen::Selection::ResponseCancel;
          }
        });
      } catch (const std::runtime_error& e) {
        raise(kErrorDialog, "Unable to show the dialog " + file_ + ": " + e.what());
      }
      runHandler(
          "dialogShown", "",
          [this] {
            if (shown_) (*shown_)();
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

  std::unique_ptr<bs::BlockDialog::Initialize> initialize_;
  std::unique_ptr<bs::BlockDialog::DialogShown> shown_;
  std::unique_ptr<bs::BlockDialog::Update> update_;
  std::unique_ptr<bs::BlockDialog::Apply> apply_;
  std::unique_ptr<bs::BlockDialog::Ok> ok_;
  std::unique_ptr<bs::BlockDialog::Cancel> cancel_;

  std::unique_ptr<DialogWindow> window_;
  bool showing_ = false;
  bool ticking_ = false;
  std::string closedBy_;
  NXOpen::Selection::Response response_ = NXOpen::Selection::ResponseCancel;
  std::size_t record_ = 0;
  int ticks_ = 0;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace

NXOpen::BlockStyler::BlockDialog* makeBlockDialog(const std::string& file,
                                                  const DialogDefinition& definition) {
  return new bs::BlockDialog(new SimBlockDialog(file, definition));
}

}  // namespace detail
}  // namespace nxsim

namespace NXOpen {
namespace BlockStyler {

using nxsim::detail::Lock;
using nxsim::detail::openCall;
using nxsim::detail::state;
namespace d = nxsim::detail;
using PropertyKind = nxsim::detail::PropertyValue::Type;

namespace {

d::SimBlockDialog& impl(void* pointer) { return *static_cast<d::SimBlockDialog*>(pointer); }

d::BlockState& listBlock(void* pointer) { return *static_cast<d::PropertyHandle*>(pointer)->block; }

}  // namespace

BlockDialog::BlockDialog(void* ptr) : TransientObject(ptr) {}
BlockDialog::~BlockDialog() { delete &impl(m_pointer); }

void BlockDialog::AddInitializeHandler(const BlockDialog::Initialize& cb) {
  d::SimBlockDialog& dialog = impl(m_pointer);
  dialog.addHandler("BlockDialog::AddInitializeHandler", dialog.initialize_, cb);
}
void BlockDialog::AddDialogShownHandler(const BlockDialog::DialogShown& cb) {
  d::SimBlockDialog& dialog = impl(m_pointer);
  dialog.addHandler("BlockDialog::AddDialogShownHandler", dialog.shown_, cb);
}
void BlockDialog::AddUpdateHandler(const BlockDialog::Update& cb) {
  d::SimBlockDialog& dialog = impl(m_pointer);
  dialog.addHandler("BlockDialog::AddUpdateHandler", dialog.update_, cb);
}
void BlockDialog::AddApplyHandler(const BlockDialog::Apply& applyCb) {
  d::SimBlockDialog& dialog = impl(m_pointer);
  dialog.addHandler("BlockDialog::AddApplyHandler", dialog.apply_, applyCb);
}
void BlockDialog::AddOkHandler(const BlockDialog::Ok& okCb) {
  d::SimBlockDialog& dialog = impl(m_pointer);
  dialog.addHandler("BlockDialog::AddOkHandler", dialog.ok_, okCb);
}
void BlockDialog::AddCancelHandler(const BlockDialog::Cancel& cancelCb) {
  d::SimBlockDialog& dialog = impl(m_pointer);
  dialog.addHandler("BlockDialog::AddCancelHandler", dialog.cancel_, cancelCb);
}

Selection::Response BlockDialog::Show() { return impl(m_pointer).show(""); }
Selection::Response BlockDialog::Show(BlockDialog::DialogMode dialogMode) {
  return impl(m_pointer).show(std::to_string(static_cast<int>(dialogMode)));
}

CompositeBlock* BlockDialog::TopBlock() {
  Lock lock(state().mutex);
  d::SimBlockDialog& dialog = impl(m_pointer);
  if (openCall("BlockDialog::TopBlock", {dialog.file()}, true)) {
    return nullptr;
  }
  return dialog.top();
}

PropertyList* BlockDialog::GetBlockProperties(const NXString& blockName) {
  Lock lock(state().mutex);
  d::SimBlockDialog& dialog = impl(m_pointer);
  const std::string id = d::utf8Of(blockName);
  if (openCall("BlockDialog::GetBlockProperties", {dialog.file(), id}, true)) {
    return nullptr;
  }
  return dialog.blockProperties(id);
}

CompositeBlock::CompositeBlock() {}
CompositeBlock::~CompositeBlock() {}

UIBlock* CompositeBlock::FindBlock(const NXString& blockName) {
  Lock lock(state().mutex);
  d::SimBlockDialog& dialog = static_cast<d::SimCompositeBlock*>(this)->dialog();
  const std::string id = d::utf8Of(blockName);
  if (openCall("CompositeBlock::FindBlock", {dialog.file(), id}, true)) {
    return nullptr;
  }
  return dialog.findBlock(id);
}

UIBlock::UIBlock() {}
UIBlock::~UIBlock() {}

PropertyList* UIBlock::GetProperties() {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  if (openCall("UIBlock::GetProperties", {block.id}, true)) {
    return nullptr;
  }
  return new PropertyList(new d::PropertyHandle{dynamic_cast<d::BlockHolder*>(this)->block()});
}

NXString UIBlock::Name() {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("UIBlock::Name", {block.id}, false);
  return d::nxText(block.id);
}

NXString UIBlock::Type() {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("UIBlock::Type", {block.id}, false);
  return d::nxText(block.type);
}

NXString UIBlock::Label() {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("UIBlock::Label", {block.id}, false);
  return d::nxText(d::typedProperty(block, "Label", PropertyKind::String).text);
}

void UIBlock::SetLabel(const NXString& label) {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  const std::string text = d::utf8Of(label);
  openCall("UIBlock::SetLabel", {block.id, text}, false);
  d::typedProperty(block, "Label", PropertyKind::String).text = text;
}

bool UIBlock::Show() {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("UIBlock::Show", {block.id}, false);
  return d::typedProperty(block, "Show", PropertyKind::Logical).logical;
}

void UIBlock::SetShow(bool show) {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("UIBlock::SetShow", {block.id, show ? "true" : "false"}, false);
  d::typedProperty(block, "Show", PropertyKind::Logical).logical = show;
}

bool UIBlock::Enable() {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("UIBlock::Enable", {block.id}, false);
  return d::typedProperty(block, "Enable", PropertyKind::Logical).logical;
}

void UIBlock::SetEnable(bool enable) {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("UIBlock::SetEnable", {block.id, enable ? "true" : "false"}, false);
  d::typedProperty(block, "Enable", PropertyKind::Logical).logical = enable;
}

Enumeration::Enumeration() {}
Enumeration::~Enumeration() {}

std::vector<NXString> Enumeration::GetEnumMembers() {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("Enumeration::GetEnumMembers", {block.id}, false);
  return d::nxList(d::typedProperty(block, "EnumMembers", PropertyKind::Strings).list);
}

void Enumeration::SetEnumMembers(std::vector<NXString>& memberStrings) {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("Enumeration::SetEnumMembers", {block.id, std::to_string(memberStrings.size())}, false);
  d::setMembers(block, "EnumMembers", d::utf8List(memberStrings));
}

NXString Enumeration::ValueAsString() {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  openCall("Enumeration::ValueAsString", {block.id}, false);
  return d::nxText(d::selectedMember(block));
}

void Enumeration::SetValueAsString(const NXString& enumString) {
  Lock lock(state().mutex);
  d::BlockState& block = d::blockOf(this);
  const std::string member = d::utf8Of(enumString);
  openCall("Enumeration::SetValueAsString", {block.id, member}, false);
  const auto& members = block.properties["EnumMembers"].list;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (members[i] == member) {
      block.properties["Value"].integer = static_cast<int>(i);
      return;
    }
  }
  d::nxError("Enumeration " + block.id + " has no member " + member);
}

PropertyList::PropertyList(void* ptr) : TransientObject(ptr) {}
PropertyList::~PropertyList() { delete static_cast<d::PropertyHandle*>(m_pointer); }

std::vector<NXString> PropertyList::GetPropertyNames() {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  openCall("PropertyList::GetPropertyNames", {block.id}, false);
  std::vector<NXString> names;
  for (const auto& entry : block.properties) {
    names.push_back(d::nxText(entry.first));
  }
  return names;
}

PropertyList::PropertyType PropertyList::GetPropertyType(const NXString& propertyName) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::GetPropertyType", {block.id, name}, false);
  return d::nxType(d::property(block, name).type);
}

NXString PropertyList::GetString(const NXString& propertyName) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::GetString", {block.id, name}, false);
  return d::nxText(d::typedProperty(block, name, PropertyKind::String).text);
}

void PropertyList::SetString(const NXString& propertyName, const NXString& value) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  const std::string text = d::utf8Of(value);
  openCall("PropertyList::SetString", {block.id, name, text}, false);
  d::typedProperty(block, name, PropertyKind::String).text = text;
}

bool PropertyList::GetLogical(const NXString& propertyName) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::GetLogical", {block.id, name}, false);
  return d::typedProperty(block, name, PropertyKind::Logical).logical;
}

void PropertyList::SetLogical(const NXString& propertyName, bool value) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::SetLogical", {block.id, name, value ? "true" : "false"}, false);
  d::typedProperty(block, name, PropertyKind::Logical).logical = value;
}

int PropertyList::GetInteger(const NXString& propertyName) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::GetInteger", {block.id, name}, false);
  return d::typedProperty(block, name, PropertyKind::Integer).integer;
}

void PropertyList::SetInteger(const NXString& propertyName, int value) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::SetInteger", {block.id, name, std::to_string(value)}, false);
  d::typedProperty(block, name, PropertyKind::Integer).integer = value;
}

double PropertyList::GetDouble(const NXString& propertyName) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::GetDouble", {block.id, name}, false);
  return d::typedProperty(block, name, PropertyKind::Double).real;
}

void PropertyList::SetDouble(const NXString& propertyName, double value) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::SetDouble", {block.id, name, std::to_string(value)}, false);
  d::typedProperty(block, name, PropertyKind::Double).real = value;
}

int PropertyList::GetEnum(const NXString& propertyName) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::GetEnum", {block.id, name}, false);
  return d::typedProperty(block, name, PropertyKind::Enum).integer;
}

void PropertyList::SetEnum(const NXString& propertyName, int value) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::SetEnum", {block.id, name, std::to_string(value)}, false);
  d::setEnum(block, name, value);
}

NXString PropertyList::GetEnumAsString(const NXString& propertyName) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::GetEnumAsString", {block.id, name}, false);
  d::typedProperty(block, name, PropertyKind::Enum);
  return d::nxText(d::selectedMember(block));
}

void PropertyList::SetEnumAsString(const NXString& propertyName, const NXString& value) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  const std::string member = d::utf8Of(value);
  openCall("PropertyList::SetEnumAsString", {block.id, name, member}, false);
  d::typedProperty(block, name, PropertyKind::Enum);
  const auto& members = block.properties["EnumMembers"].list;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (members[i] == member) {
      d::setEnum(block, name, static_cast<int>(i));
      return;
    }
  }
  d::nxError("Enumeration " + block.id + " has no member " + member);
}

std::vector<NXString> PropertyList::GetEnumMembers(const NXString& propertyName) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::GetEnumMembers", {block.id, name}, false);
  return d::nxList(d::membersProperty(block, name).list);
}

void PropertyList::SetEnumMembers(const NXString& propertyName,
                                  std::vector<NXString>& stringArray) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::SetEnumMembers", {block.id, name, std::to_string(stringArray.size())},
           false);
  d::setMembers(block, name, d::utf8List(stringArray));
}

std::vector<NXString> PropertyList::GetStrings(const NXString& propertyName) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::GetStrings", {block.id, name}, false);
  return d::nxList(d::typedProperty(block, name, PropertyKind::Strings).list);
}

void PropertyList::SetStrings(const NXString& propertyName, std::vector<NXString>& stringArray) {
  Lock lock(state().mutex);
  d::BlockState& block = listBlock(m_pointer);
  const std::string name = d::utf8Of(propertyName);
  openCall("PropertyList::SetStrings", {block.id, name, std::to_string(stringArray.size())}, false);
  d::typedProperty(block, name, PropertyKind::Strings).list = d::utf8List(stringArray);
  d::normalizeSelection(block);
}

}  // namespace BlockStyler
}  // namespace NXOpen
