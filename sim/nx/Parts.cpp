// The part model as NX Open objects: parts, their attributes, saving, component assemblies,
// drawing sheets, and the session's part collection.
#include <filesystem>
#include <utility>

#include "sim/nx/PlotObjects.h"
#include "sim/nx/State.h"

namespace nxsim {
namespace detail {
namespace {

using AttributeType = host::NXObject::AttributeType;
using UpdateOption = host::NXObject::UpdateOption;

bool isStringType(AttributeType type) {
  return type == AttributeType::String || type == AttributeType::Any;
}

void touch(tag_t tag) {
  if (PartData* part = findPart(tag)) {
    part->modified = true;
  }
}

// Tag and attributes, shared by every simulated NX object.
template <class Base>
class SimObject : public Base {
 public:
  explicit SimObject(tag_t tag) : tag_(tag) {}

  host::tag_t Tag() override {
    Lock lock(state().mutex);
    openCall("TaggedObject::Tag", {tagText(tag_)}, false);
    return tag_;
  }

  bool HasUserAttribute(const std::string& title, AttributeType type, int index) override {
    Lock lock(state().mutex);
    openCall("NXObject::HasUserAttribute", {tagText(tag_), title, std::to_string(index)}, false);
    Attributes& a = attributes();
    return isStringType(type) && a.count(title) != 0;
  }

  std::string GetUserAttributeAsString(const std::string& title, AttributeType type,
                                       int index) override {
    Lock lock(state().mutex);
    openCall("NXObject::GetUserAttributeAsString", {tagText(tag_), title, std::to_string(index)},
             false);
    Attributes& a = attributes();
    auto found = a.find(title);
    if (found == a.end() || !isStringType(type)) {
      throw host::NxException(kErrorNoAttribute, "Attribute " + title + " not found");
    }
    return found->second;
  }

  void SetUserAttribute(const std::string& title, int index, const std::string& value,
                        UpdateOption option) override {
    Lock lock(state().mutex);
    openCall("NXObject::SetUserAttribute",
             {tagText(tag_), title, std::to_string(index), value,
              option == UpdateOption::Now ? "Now" : "Later"},
             false);
    if (title.empty()) {
      throw host::NxException(kErrorBadArgument, "Attribute title is empty");
    }
    attributes()[title] = value;
    touch(tag_);
  }

  void DeleteUserAttribute(AttributeType type, const std::string& title, bool deleteEntireArray,
                           UpdateOption option) override {
    Lock lock(state().mutex);
    openCall("NXObject::DeleteUserAttribute",
             {tagText(tag_), title, deleteEntireArray ? "true" : "false",
              option == UpdateOption::Now ? "Now" : "Later"},
             false);
    Attributes& a = attributes();
    auto found = a.find(title);
    if (found == a.end() || !isStringType(type)) {
      throw host::NxException(kErrorNoAttribute, "Attribute " + title + " not found");
    }
    a.erase(found);
    touch(tag_);
  }

 protected:
  tag_t tag_;

 private:
  Attributes& attributes() {
    Attributes* a = attributesOf(tag_);
    if (a == nullptr) {
      throw host::NxException(kErrorBadTag, "Object " + tagText(tag_) + " no longer exists");
    }
    return *a;
  }
};

class SimSaveStatus : public host::PartSaveStatus {
 public:
  SimSaveStatus(int parts, int objects) : parts_(parts), objects_(objects) {}
  int NumberUnsavedParts() override { return parts_; }
  int NumberUnsavedObjects() override { return objects_; }

 private:
  int parts_;
  int objects_;
};

PartData& partOrThrow(tag_t tag) {
  PartData* part = findPart(tag);
  if (part == nullptr) {
    throw host::NxException(kErrorBadTag, "Part " + tagText(tag) + " no longer exists");
  }
  return *part;
}

template <class Base>
class PartObject : public SimObject<Base> {
 public:
  using SimObject<Base>::SimObject;

  std::string FullPath() override {
    Lock lock(state().mutex);
    openCall("BasePart::FullPath", {tagText(this->tag_)}, false);
    return partOrThrow(this->tag_).definition.fullPath;
  }

  std::string Leaf() override {
    Lock lock(state().mutex);
    openCall("BasePart::Leaf", {tagText(this->tag_)}, false);
    return partOrThrow(this->tag_).definition.leaf;
  }

  std::string UniqueIdentifier() override {
    Lock lock(state().mutex);
    openCall("BasePart::UniqueIdentifier", {tagText(this->tag_)}, false);
    return partOrThrow(this->tag_).definition.uniqueIdentifier;
  }

  std::unique_ptr<host::PartSaveStatus> Save(host::BasePart::SaveComponents components,
                                             host::BasePart::CloseAfterSave close) override {
    Lock lock(state().mutex);
    if (openCall("BasePart::Save",
                 {tagText(this->tag_),
                  components == host::BasePart::SaveComponents::True ? "components" : "part",
                  close == host::BasePart::CloseAfterSave::True ? "close" : "keep"},
                 true)) {
      return nullptr;
    }
    PartData& part = partOrThrow(this->tag_);
    if (part.unsavedParts != 0 || part.unsavedObjects != 0) {
      return std::make_unique<SimSaveStatus>(part.unsavedParts, part.unsavedObjects);
    }
    part.savedAttributes = part.attributes;
    part.modified = false;
    ++part.saveCount;
    return std::make_unique<SimSaveStatus>(0, 0);
  }

  host::Assemblies::ComponentAssembly* ComponentAssembly() override {
    Lock lock(state().mutex);
    if (openCall("BasePart::ComponentAssembly", {tagText(this->tag_)}, true)) {
      return nullptr;
    }
    return partOrThrow(this->tag_).assembly.get();
  }

  host::PlotManager* PlotManager() override {
    Lock lock(state().mutex);
    if (openCall("BasePart::PlotManager", {tagText(this->tag_)}, true)) {
      return nullptr;
    }
    return partOrThrow(this->tag_).plotManager.get();
  }
};

class SimPart : public PartObject<host::Part> {
 public:
  using PartObject<host::Part>::PartObject;

  host::Drawings::DrawingSheetCollection* DrawingSheets() override {
    Lock lock(state().mutex);
    if (openCall("Part::DrawingSheets", {tagText(tag_)}, true)) {
      return nullptr;
    }
    return partOrThrow(tag_).sheetCollection.get();
  }
};

using SimBasePartOnly = PartObject<host::BasePart>;

class SimComponent : public SimObject<host::Assemblies::Component> {
 public:
  using SimObject::SimObject;

  std::vector<host::Assemblies::Component*> GetChildren() override {
    Lock lock(state().mutex);
    openCall("Component::GetChildren", {tagText(tag_)}, false);
    std::vector<host::Assemblies::Component*> children;
    for (tag_t child : data().children) {
      children.push_back(state().components.at(child).object.get());
    }
    return children;
  }

  host::NXObject* Prototype() override {
    Lock lock(state().mutex);
    if (openCall("Component::Prototype", {tagText(tag_)}, true)) {
      return nullptr;
    }
    PartData* part = findPart(data().prototype);
    return part == nullptr ? nullptr : part->object.get();
  }

  std::string DisplayName() override {
    Lock lock(state().mutex);
    openCall("Component::DisplayName", {tagText(tag_)}, false);
    PartData* part = findPart(data().prototype);
    if (part != nullptr) {
      return part->definition.leaf;
    }
    return std::filesystem::path(data().backingName).stem().string();
  }

 private:
  ComponentData& data() {
    auto found = state().components.find(tag_);
    if (found == state().components.end()) {
      throw host::NxException(kErrorBadTag, "Component " + tagText(tag_) + " no longer exists");
    }
    return found->second;
  }
};

class SimComponentAssembly : public host::Assemblies::ComponentAssembly {
 public:
  explicit SimComponentAssembly(tag_t part) : part_(part) {}

  host::tag_t Tag() override {
    Lock lock(state().mutex);
    openCall("TaggedObject::Tag", {tagText(part_)}, false);
    return part_;
  }
  bool HasUserAttribute(const std::string&, AttributeType, int) override { return false; }
  std::string GetUserAttributeAsString(const std::string& title, AttributeType, int) override {
    throw host::NxException(kErrorNoAttribute, "Attribute " + title + " not found");
  }
  void SetUserAttribute(const std::string&, int, const std::string&, UpdateOption) override {
    throw host::NxException(kErrorBadArgument, "A component assembly carries no attributes");
  }
  void DeleteUserAttribute(AttributeType, const std::string& title, bool, UpdateOption) override {
    throw host::NxException(kErrorNoAttribute, "Attribute " + title + " not found");
  }

  host::Assemblies::Component* RootComponent() override {
    Lock lock(state().mutex);
    if (openCall("ComponentAssembly::RootComponent", {tagText(part_)}, true)) {
      return nullptr;
    }
    PartData& part = partOrThrow(part_);
    if (part.rootComponent == NULL_TAG) {
      return nullptr;
    }
    return state().components.at(part.rootComponent).object.get();
  }

 private:
  tag_t part_;
};

class SimDrawingSheet : public SimObject<host::Drawings::DrawingSheet> {
 public:
  using SimObject::SimObject;

  std::string Name() override {
    Lock lock(state().mutex);
    openCall("DrawingSheet::Name", {tagText(tag_)}, false);
    return state().sheets.at(tag_).name;
  }
};

class SimDrawingSheetCollection : public host::Drawings::DrawingSheetCollection {
 public:
  explicit SimDrawingSheetCollection(tag_t part) : part_(part) {}

  std::size_t Count() override {
    Lock lock(state().mutex);
    openCall("DrawingSheetCollection::Count", {tagText(part_)}, false);
    return partOrThrow(part_).sheets.size();
  }

  host::Drawings::DrawingSheet* Item(std::size_t index) override {
    Lock lock(state().mutex);
    if (openCall("DrawingSheetCollection::Item", {tagText(part_), std::to_string(index)}, true)) {
      return nullptr;
    }
    const auto& sheets = partOrThrow(part_).sheets;
    if (index >= sheets.size()) {
      throw host::NxException(kErrorBadArgument, "Sheet index out of range");
    }
    return state().sheets.at(sheets[index]).object.get();
  }

 private:
  tag_t part_;
};

class SimPartCollection : public host::PartCollection {
 public:
  host::BasePart* BaseDisplay() override {
    Lock lock(state().mutex);
    if (openCall("PartCollection::BaseDisplay", {}, true)) {
      return nullptr;
    }
    PartData* part = findPart(state().displayed);
    return part == nullptr ? nullptr : part->object.get();
  }
};

class SimSession : public host::Session {
 public:
  host::PartCollection* Parts() override {
    Lock lock(state().mutex);
    if (openCall("Session::Parts", {}, true)) {
      return nullptr;
    }
    State& s = state();
    if (!s.partCollection) {
      s.partCollection = std::make_unique<SimPartCollection>();
    }
    return s.partCollection.get();
  }
};

ComponentData& newComponent(tag_t prototype, const std::string& backingName) {
  State& s = state();
  tag_t tag = s.nextTag++;
  ComponentData& c = s.components[tag];
  c.tag = tag;
  c.prototype = prototype;
  c.backingName = backingName;
  c.object = std::make_unique<SimComponent>(tag);
  return c;
}

}  // namespace

host::Session* sessionObject() {
  State& s = state();
  if (!s.session) {
    s.session = std::make_unique<SimSession>();
  }
  return s.session.get();
}

}  // namespace detail

using namespace detail;

tag_t addPart(const PartDefinition& definition) {
  Lock lock(state().mutex);
  State& s = state();
  tag_t tag = s.nextTag++;
  PartData& part = s.parts[tag];
  part.tag = tag;
  part.definition = definition;
  if (part.definition.leaf.empty() && !definition.fullPath.empty()) {
    // Texts with NX are UTF-8; the narrow path forms are not on Windows.
    part.definition.leaf = std::filesystem::u8path(definition.fullPath).stem().u8string();
  }
  // Tags only grow, so keeping the first entry keeps the lowest tag.
  const auto addName = [&](const std::string& name) {
    if (s.partsByName.emplace(name, tag).second && part.definition.managed) {
      s.managedPartsByName.emplace(name, tag);
    }
  };
  if (part.definition.managed) {
    addName(encodedName(part));
    s.partsByNumber.emplace(part.definition.managed->partNumber, tag);
  }
  if (!part.definition.fullPath.empty()) addName(part.definition.fullPath);
  part.attributes = definition.attributes;
  part.savedAttributes = definition.attributes;
  part.modified = definition.modified;
  if (definition.isPart) {
    part.object = std::make_unique<SimPart>(tag);
  } else {
    part.object = std::make_unique<SimBasePartOnly>(tag);
  }
  part.assembly = std::make_unique<SimComponentAssembly>(tag);
  part.sheetCollection = std::make_unique<SimDrawingSheetCollection>(tag);
  part.plotManager = makePlotManager(tag);
  for (const std::string& name : definition.drawingSheets) {
    tag_t sheetTag = s.nextTag++;
    SheetData& sheet = s.sheets[sheetTag];
    sheet.tag = sheetTag;
    sheet.part = tag;
    sheet.name = name;
    sheet.object = std::make_unique<SimDrawingSheet>(sheetTag);
    s.parts[tag].sheets.push_back(sheetTag);
  }
  return tag;
}

tag_t addComponent(tag_t parent, tag_t prototype, const std::string& backingName) {
  Lock lock(state().mutex);
  State& s = state();
  if (prototype != NULL_TAG && findPart(prototype) == nullptr) {
    throw std::invalid_argument("addComponent: prototype " + tagText(prototype) + " is no part");
  }
  std::string backing = backingName;
  if (backing.empty() && prototype != NULL_TAG) {
    backing = findPart(prototype)->definition.fullPath;
  }
  std::vector<tag_t>* siblings = nullptr;
  if (PartData* part = findPart(parent)) {
    if (part->rootComponent == NULL_TAG) {
      part->rootComponent = newComponent(parent, part->definition.fullPath).tag;
    }
    siblings = &s.components.at(part->rootComponent).children;
  } else if (auto component = s.components.find(parent); component != s.components.end()) {
    siblings = &component->second.children;
  } else {
    throw std::invalid_argument("addComponent: parent " + tagText(parent) +
                                " is neither part nor component");
  }
  tag_t tag = newComponent(prototype, backing).tag;
  siblings->push_back(tag);
  return tag;
}

void setDisplayedPart(tag_t part) {
  Lock lock(state().mutex);
  if (part != NULL_TAG && findPart(part) == nullptr) {
    throw std::invalid_argument("setDisplayedPart: " + tagText(part) + " is no part");
  }
  state().displayed = part;
}

void setApplicationModule(int moduleId) {
  Lock lock(state().mutex);
  state().applicationModule = moduleId;
}

namespace {
PartData& controlPart(tag_t tag, const char* operation) {
  PartData* part = findPart(tag);
  if (part == nullptr) {
    throw std::invalid_argument(std::string(operation) + ": " + tagText(tag) + " is no part");
  }
  return *part;
}
}  // namespace

void setModified(tag_t part, bool modified) {
  Lock lock(state().mutex);
  controlPart(part, "setModified").modified = modified;
}

void setAttribute(tag_t part, const std::string& title, const std::string& value) {
  Lock lock(state().mutex);
  controlPart(part, "setAttribute").attributes[title] = value;
}

host::BasePart* partObject(tag_t part) {
  Lock lock(state().mutex);
  return controlPart(part, "partObject").object.get();
}

void setSaveOutcome(tag_t part, int unsavedParts, int unsavedObjects) {
  Lock lock(state().mutex);
  PartData& p = controlPart(part, "setSaveOutcome");
  p.unsavedParts = unsavedParts;
  p.unsavedObjects = unsavedObjects;
}

PartState partState(tag_t part) {
  Lock lock(state().mutex);
  PartData& p = controlPart(part, "partState");
  return PartState{p.attributes, p.savedAttributes, p.modified, p.saveCount};
}

}  // namespace nxsim
