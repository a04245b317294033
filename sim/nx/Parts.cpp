// The part model as NX Open objects: tagged objects and their attributes, parts and saving,
// component assemblies, drawing sheets, and the session's part collection. Every member looks
// its object up by tag in the model, so an object outlived by its model data raises.
#include <NXOpen/Assemblies_Component.hxx>
#include <NXOpen/Assemblies_ComponentAssembly.hxx>
#include <NXOpen/BasePart.hxx>
#include <NXOpen/DisplayableObject.hxx>
#include <NXOpen/Drawings_DrawingSheet.hxx>
#include <NXOpen/Drawings_DrawingSheetCollection.hxx>
#include <NXOpen/Part.hxx>
#include <NXOpen/PartCollection.hxx>
#include <NXOpen/PartSaveStatus.hxx>
#include <NXOpen/Session.hxx>

#include <filesystem>
#include <stdexcept>
#include <utility>

#include "sim/nx/PlotObjects.h"
#include "sim/nx/State.h"

namespace nxsim {
namespace detail {
namespace {

using AttributeType = NXOpen::NXObject::AttributeType;

bool isStringType(AttributeType type) {
  return type == NXOpen::NXObject::AttributeTypeString ||
         type == NXOpen::NXObject::AttributeTypeAny;
}

const char* optionText(NXOpen::Update::Option option) {
  return option == NXOpen::Update::OptionNow ? "Now" : "Later";
}

void touch(tag_t tag) {
  if (PartData* part = findPart(tag)) {
    part->modified = true;
  }
}

Attributes& attributesOrThrow(tag_t tag) {
  Attributes* a = attributesOf(tag);
  if (a == nullptr) {
    raise(kErrorBadTag, "Object " + tagText(tag) + " no longer exists");
  }
  return *a;
}

PartData& partOrThrow(tag_t tag) {
  PartData* part = findPart(tag);
  if (part == nullptr) {
    raise(kErrorBadTag, "Part " + tagText(tag) + " no longer exists");
  }
  return *part;
}

ComponentData& componentOrThrow(tag_t tag) {
  auto found = state().components.find(tag);
  if (found == state().components.end()) {
    raise(kErrorBadTag, "Component " + tagText(tag) + " no longer exists");
  }
  return found->second;
}

// A component assembly answers to its part's tag but carries no attributes of its own.
bool isAssembly(NXOpen::NXObject* object) {
  return dynamic_cast<NXOpen::Assemblies::ComponentAssembly*>(object) != nullptr;
}

struct SaveCounts {
  int parts = 0;
  int objects = 0;
};

class SimPart : public NXOpen::Part {
 public:
  explicit SimPart(tag_t tag) { NXOpen::NXObjectManager::Assign(*this, tag); }
};

class SimBasePartOnly : public NXOpen::BasePart {
 public:
  explicit SimBasePartOnly(tag_t tag) { NXOpen::NXObjectManager::Assign(*this, tag); }
};

class SimComponent : public NXOpen::Assemblies::Component {
 public:
  explicit SimComponent(tag_t tag) { NXOpen::NXObjectManager::Assign(*this, tag); }
};

class SimComponentAssembly : public NXOpen::Assemblies::ComponentAssembly {
 public:
  explicit SimComponentAssembly(tag_t part) { NXOpen::NXObjectManager::Assign(*this, part); }
};

class SimDrawingSheet : public NXOpen::Drawings::DrawingSheet {
 public:
  explicit SimDrawingSheet(tag_t tag) { NXOpen::NXObjectManager::Assign(*this, tag); }
};

}  // namespace

// The collection knows its part's tag, which the iterator walks.
class SimDrawingSheetCollection : public NXOpen::Drawings::DrawingSheetCollection {
 public:
  SimDrawingSheetCollection(NXOpen::Part* owner, tag_t part)
      : NXOpen::Drawings::DrawingSheetCollection(owner), part_(part) {}
  tag_t part() const { return part_; }

 private:
  tag_t part_;
};

namespace {

class SimSession : public NXOpen::Session {};

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

// begin() steps its iterator onto the first sheet; that step is begin's, not a next call.
thread_local bool beginning = false;

}  // namespace

NXOpen::Session* sessionObject() {
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
  NXOpen::Part* asPart = nullptr;
  if (definition.isPart) {
    auto object = std::make_unique<SimPart>(tag);
    asPart = object.get();
    part.object = std::move(object);
  } else {
    part.object = std::make_unique<SimBasePartOnly>(tag);
  }
  part.assembly = std::make_unique<SimComponentAssembly>(tag);
  part.sheetCollection = std::make_unique<SimDrawingSheetCollection>(asPart, tag);
  part.plotManager = makePlotManager(part.object.get());
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

NXOpen::BasePart* partObject(tag_t part) {
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

namespace NXOpen {

using nxsim::detail::Lock;
using nxsim::detail::openCall;
using nxsim::detail::state;
using nxsim::detail::tagText;
namespace d = nxsim::detail;

TaggedObject::TaggedObject() : m_tag(NULL_TAG) {}
TaggedObject::~TaggedObject() {}

tag_t TaggedObject::Tag() const {
  Lock lock(state().mutex);
  openCall("TaggedObject::Tag", {tagText(m_tag)}, false);
  return m_tag;
}

NXObject::NXObject() {}
NXObject::~NXObject() {}
DisplayableObject::DisplayableObject() {}
DisplayableObject::~DisplayableObject() {}

bool NXObject::HasUserAttribute(const NXString& title, NXObject::AttributeType type, int index) {
  if (d::isAssembly(this)) {
    return false;
  }
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  const std::string name = d::utf8Of(title);
  openCall("NXObject::HasUserAttribute", {tagText(tag), name, std::to_string(index)}, false);
  return d::isStringType(type) && d::attributesOrThrow(tag).count(name) != 0;
}

NXString NXObject::GetUserAttributeAsString(const NXString& title, NXObject::AttributeType type,
                                            int index) {
  const std::string name = d::utf8Of(title);
  if (d::isAssembly(this)) {
    d::raise(nxsim::kErrorNoAttribute, "Attribute " + name + " not found");
  }
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  openCall("NXObject::GetUserAttributeAsString", {tagText(tag), name, std::to_string(index)},
           false);
  d::Attributes& a = d::attributesOrThrow(tag);
  auto found = a.find(name);
  if (found == a.end() || !d::isStringType(type)) {
    d::raise(nxsim::kErrorNoAttribute, "Attribute " + name + " not found");
  }
  return d::nxText(found->second);
}

void NXObject::SetUserAttribute(const NXString& title, int index, const NXString& value,
                                Update::Option option) {
  if (d::isAssembly(this)) {
    d::raise(nxsim::kErrorBadArgument, "A component assembly carries no attributes");
  }
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  const std::string name = d::utf8Of(title);
  const std::string text = d::utf8Of(value);
  openCall("NXObject::SetUserAttribute",
           {tagText(tag), name, std::to_string(index), text, d::optionText(option)}, false);
  if (name.empty()) {
    d::raise(nxsim::kErrorBadArgument, "Attribute title is empty");
  }
  d::attributesOrThrow(tag)[name] = text;
  d::touch(tag);
}

void NXObject::DeleteUserAttribute(NXObject::AttributeType type, const NXString& title,
                                   bool deleteEntireArray, Update::Option option) {
  const std::string name = d::utf8Of(title);
  if (d::isAssembly(this)) {
    d::raise(nxsim::kErrorNoAttribute, "Attribute " + name + " not found");
  }
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  openCall("NXObject::DeleteUserAttribute",
           {tagText(tag), name, deleteEntireArray ? "true" : "false", d::optionText(option)},
           false);
  d::Attributes& a = d::attributesOrThrow(tag);
  auto found = a.find(name);
  if (found == a.end() || !d::isStringType(type)) {
    d::raise(nxsim::kErrorNoAttribute, "Attribute " + name + " not found");
  }
  a.erase(found);
  d::touch(tag);
}

// A component's prototype is its part, null when that is not loaded; any other object is its
// own prototype.
INXObject* NXObject::Prototype() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  if (dynamic_cast<Assemblies::Component*>(this) == nullptr) {
    openCall("NXObject::Prototype", {tagText(tag)}, false);
    return this;
  }
  if (openCall("Component::Prototype", {tagText(tag)}, true)) {
    return nullptr;
  }
  d::PartData* part = d::findPart(d::componentOrThrow(tag).prototype);
  return part == nullptr ? nullptr : part->object.get();
}

// A sheet's name is the sheet's; other objects of the model have none.
NXString NXObject::Name() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  if (dynamic_cast<Drawings::DrawingSheet*>(this) == nullptr) {
    openCall("NXObject::Name", {tagText(tag)}, false);
    return d::nxText("");
  }
  openCall("DrawingSheet::Name", {tagText(tag)}, false);
  auto found = state().sheets.find(tag);
  if (found == state().sheets.end()) {
    d::raise(nxsim::kErrorBadTag, "Sheet " + tagText(tag) + " no longer exists");
  }
  return d::nxText(found->second.name);
}

BasePart::BasePart() {}
BasePart::~BasePart() {}
Part::Part() {}
Part::~Part() {}

NXString BasePart::FullPath() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  openCall("BasePart::FullPath", {tagText(tag)}, false);
  return d::nxText(d::partOrThrow(tag).definition.fullPath);
}

NXString BasePart::Leaf() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  openCall("BasePart::Leaf", {tagText(tag)}, false);
  return d::nxText(d::partOrThrow(tag).definition.leaf);
}

NXString BasePart::UniqueIdentifier() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  openCall("BasePart::UniqueIdentifier", {tagText(tag)}, false);
  return d::nxText(d::partOrThrow(tag).definition.uniqueIdentifier);
}

PartSaveStatus* BasePart::Save(BasePart::SaveComponents saveComponentParts,
                               BasePart::CloseAfterSave close) {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  if (openCall("BasePart::Save",
               {tagText(tag), saveComponentParts == SaveComponentsTrue ? "components" : "part",
                close == CloseAfterSaveTrue ? "close" : "keep"},
               true)) {
    return nullptr;
  }
  d::PartData& part = d::partOrThrow(tag);
  if (part.unsavedParts != 0 || part.unsavedObjects != 0) {
    return new PartSaveStatus(new d::SaveCounts{part.unsavedParts, part.unsavedObjects});
  }
  part.savedAttributes = part.attributes;
  part.modified = false;
  ++part.saveCount;
  return new PartSaveStatus(new d::SaveCounts{0, 0});
}

Assemblies::ComponentAssembly* BasePart::ComponentAssembly() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  if (openCall("BasePart::ComponentAssembly", {tagText(tag)}, true)) {
    return nullptr;
  }
  return d::partOrThrow(tag).assembly.get();
}

PlotManager* BasePart::PlotManager() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  if (openCall("BasePart::PlotManager", {tagText(tag)}, true)) {
    return nullptr;
  }
  return d::partOrThrow(tag).plotManager.get();
}

Drawings::DrawingSheetCollection* Part::DrawingSheets() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  if (openCall("Part::DrawingSheets", {tagText(tag)}, true)) {
    return nullptr;
  }
  return d::partOrThrow(tag).sheetCollection.get();
}

PartSaveStatus::PartSaveStatus(void* ptr) : TransientObject(ptr) {}
PartSaveStatus::~PartSaveStatus() { delete static_cast<d::SaveCounts*>(m_pointer); }
int PartSaveStatus::NumberUnsavedParts() { return static_cast<d::SaveCounts*>(m_pointer)->parts; }
int PartSaveStatus::NumberUnsavedObjects() {
  return static_cast<d::SaveCounts*>(m_pointer)->objects;
}

namespace Assemblies {

Component::Component() {}
Component::~Component() {}
ComponentAssembly::ComponentAssembly() {}
ComponentAssembly::~ComponentAssembly() {}

std::vector<Component*> Component::GetChildren() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  openCall("Component::GetChildren", {tagText(tag)}, false);
  std::vector<Component*> children;
  for (tag_t child : d::componentOrThrow(tag).children) {
    children.push_back(state().components.at(child).object.get());
  }
  return children;
}

NXString Component::DisplayName() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  openCall("Component::DisplayName", {tagText(tag)}, false);
  const d::ComponentData& c = d::componentOrThrow(tag);
  if (d::PartData* part = d::findPart(c.prototype)) {
    return d::nxText(part->definition.leaf);
  }
  return d::nxText(d::fileSystemPath(c.backingName).stem().u8string());
}

Component* ComponentAssembly::RootComponent() {
  Lock lock(state().mutex);
  const tag_t tag = d::tagOf(*this);
  if (openCall("ComponentAssembly::RootComponent", {tagText(tag)}, true)) {
    return nullptr;
  }
  d::PartData& part = d::partOrThrow(tag);
  if (part.rootComponent == NULL_TAG) {
    return nullptr;
  }
  return state().components.at(part.rootComponent).object.get();
}

}  // namespace Assemblies

namespace Drawings {

DrawingSheet::DrawingSheet() {}
DrawingSheet::~DrawingSheet() {}
DrawingSheetCollection::DrawingSheetCollection(Part* owner) : m_owner(owner) {}
DrawingSheetCollection::~DrawingSheetCollection() {}

DrawingSheetCollection::iterator DrawingSheetCollection::begin() {
  Lock lock(state().mutex);
  const tag_t part = static_cast<d::SimDrawingSheetCollection*>(this)->part();
  openCall("DrawingSheetCollection::begin", {tagText(part)}, false);
  iterator first(this);
  d::beginning = true;
  try {
    ++first;
  } catch (...) {
    d::beginning = false;
    throw;
  }
  d::beginning = false;
  return first;
}

// m_state[0] counts the steps taken: 0 is an iterator not yet started, one more than the
// sheets is the end.
void DrawingSheetCollection::iterator::next() {
  Lock lock(state().mutex);
  if (m_context == nullptr) {
    d::raise(nxsim::kErrorBadArgument, "The iterator belongs to no collection");
  }
  const tag_t part = static_cast<d::SimDrawingSheetCollection*>(m_context)->part();
  if (!d::beginning) {
    openCall("DrawingSheetCollection::iterator::next", {tagText(part), std::to_string(m_state[0])},
             false);
  }
  const auto& sheets = d::partOrThrow(part).sheets;
  const std::size_t at = m_state[0];
  if (at > sheets.size()) {
    d::raise(nxsim::kErrorBadArgument, "The iterator is past the last sheet");
  }
  m_current = at < sheets.size() ? sheets[at] : NULL_TAG;
  m_state[0] = static_cast<unsigned int>(at + 1);
}

DrawingSheetCollection::iterator::value_type DrawingSheetCollection::iterator::operator*() const {
  Lock lock(state().mutex);
  auto found = state().sheets.find(m_current);
  if (found == state().sheets.end()) {
    d::raise(nxsim::kErrorBadArgument, "The iterator is at no sheet");
  }
  return found->second.object.get();
}

}  // namespace Drawings

PartCollection::PartCollection(Session* owner) : m_owner(owner) {}
PartCollection::~PartCollection() {}

BasePart* PartCollection::BaseDisplay() {
  Lock lock(state().mutex);
  if (openCall("PartCollection::BaseDisplay", {}, true)) {
    return nullptr;
  }
  d::PartData* part = d::findPart(state().displayed);
  return part == nullptr ? nullptr : part->object.get();
}

Session::Session() {}
Session::~Session() {}

Session* Session::GetSession() {
  Lock lock(state().mutex);
  if (openCall("Session::GetSession", {}, true)) {
    return nullptr;
  }
  return d::sessionObject();
}

PartCollection* Session::Parts() {
  Lock lock(state().mutex);
  if (openCall("Session::Parts", {}, true)) {
    return nullptr;
  }
  d::State& s = state();
  if (!s.partCollection) {
    s.partCollection = std::make_unique<PartCollection>(this);
  }
  return s.partCollection.get();
}

}  // namespace NXOpen
