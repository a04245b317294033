// The state, journal, fault decisions and memory accounting of the simulated NX.
#include "sim/nx/State.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include <uf_defs.h>
#include <NXOpen/NXException.hxx>
#include <NXOpen/UI.hxx>

#include "sim/nx/CodePage.h"

namespace nxsim {
namespace detail {

State& state() {
  static State* instance = new State();  // used by handlers until the process ends
  return *instance;
}

Entry enter(std::string_view name, std::vector<std::string> args, int kinds) {
  State& s = state();
  Entry entry;
  entry.index = s.journaling ? s.journal.size() : static_cast<std::size_t>(-1);
  if (s.journaling) s.journal.push_back(Call{std::string(name), std::move(args), ""});
  for (FaultState& f : s.faults) {
    if (f.fault.call != name && f.fault.call != "*") {
      continue;
    }
    const int needed = f.fault.kind == FaultKind::Status ? kCanFailStatus
                       : f.fault.kind == FaultKind::Throw || f.fault.kind == FaultKind::Foreign
                           ? kCanThrow
                           : kCanReturnNull;
    if ((kinds & needed) == 0) {
      continue;
    }
    ++f.seen;
    const bool hit = f.seen == f.fault.nth || (f.fault.persistent && f.seen > f.fault.nth);
    if (hit && !entry.fault) {
      entry.fault = f.fault;
      ++s.faultsFired;
    }
  }
  return entry;
}

void setOutcome(std::size_t index, const std::string& outcome) {
  State& s = state();
  if (index < s.journal.size()) {
    s.journal[index].outcome = outcome;
  }
}

void violation(const std::string& text) { state().violations.push_back(text); }

bool openCall(std::string_view name, std::vector<std::string> args, bool returnsObject) {
  Entry entry = enter(name, std::move(args), kCanThrow | (returnsObject ? kCanReturnNull : 0));
  if (!entry.fault) {
    return false;
  }
  if (entry.fault->kind == FaultKind::Throw) {
    setOutcome(entry.index, "throw");
    raise(entry.fault->errorCode, entry.fault->message);
  }
  if (entry.fault->kind == FaultKind::Foreign) {
    setOutcome(entry.index, "foreign");
    throw ForeignException{entry.fault->errorCode};
  }
  setOutcome(entry.index, "null");
  return true;
}

void raiseAfterRelease(const Entry& entry) {
  if (!entry.fault) {
    return;
  }
  if (entry.fault->kind == FaultKind::Foreign) {
    setOutcome(entry.index, "foreign");
    throw ForeignException{entry.fault->errorCode};
  }
  setOutcome(entry.index, "throw");
  raise(entry.fault->errorCode, entry.fault->message);
}

UfCall::UfCall(std::string_view name, std::vector<std::string> args, bool needsInitialize) {
  Entry entry = enter(name, std::move(args), kCanFailStatus);
  index_ = entry.index;
  if (entry.fault) {
    early_ = finish(entry.fault->status);
    return;
  }
  if (needsInitialize && state().ufDepth == 0) {
    violation(std::string(name) + " called without a successful UF_initialize");
    early_ = finish(kErrorNotInitialized);
  }
}

int UfCall::finish(int status) {
  setOutcome(index_, std::to_string(status));
  return status;
}

char* allocateString(const std::string& text) {
  auto* copy = static_cast<char*>(allocateBytes(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

void* allocateBytes(std::size_t size) {
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  state().allocations.insert(memory);
  return memory;
}

bool release(void* pointer) {
  State& s = state();
  auto found = s.allocations.find(pointer);
  if (found == s.allocations.end()) {
    return false;
  }
  s.allocations.erase(found);
  std::free(pointer);
  return true;
}

std::string trimText(const std::string& text) {
  const char* spaces = " \t\r\n";
  const auto first = text.find_first_not_of(spaces);
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(spaces) - first + 1);
}

std::string upperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return text;
}

std::string tagText(tag_t tag) { return std::to_string(tag); }

PartData* findPart(tag_t tag) {
  auto& parts = state().parts;
  auto found = parts.find(tag);
  return found == parts.end() ? nullptr : &found->second;
}

Attributes* attributesOf(tag_t tag) {
  State& s = state();
  if (auto part = s.parts.find(tag); part != s.parts.end()) {
    return &part->second.attributes;
  }
  if (auto component = s.components.find(tag); component != s.components.end()) {
    return &component->second.attributes;
  }
  if (auto sheet = s.sheets.find(tag); sheet != s.sheets.end()) {
    return &sheet->second.attributes;
  }
  return nullptr;
}

std::string encodedName(const PartData& part) {
  if (!part.definition.managed) {
    return {};
  }
  const ManagedName& m = *part.definition.managed;
  return m.encodedName.empty() ? "@DB/" + m.partNumber + "/" + m.revision : m.encodedName;
}

PartData* findPartByName(const std::string& name) {
  const auto found = state().partsByName.find(name);
  return found == state().partsByName.end() ? nullptr : findPart(found->second);
}

PartData* findManagedPartByName(const std::string& name) {
  const auto found = state().managedPartsByName.find(name);
  return found == state().managedPartsByName.end() ? nullptr : findPart(found->second);
}

void raise(int errorCode, const std::string& message) {
  throw NXOpen::NXException::Create(errorCode, message.c_str());
}

NXOpen::NXString nxText(const std::string& utf8) {
  return NXOpen::NXString(utf8, NXOpen::NXString::UTF8);
}

std::string ufIn(const char* text) {
  if (text == nullptr) {
    return {};
  }
  return state().textMode == UF_TEXT_LOCALE ? localeToUtf8(text) : std::string(text);
}

std::string ufOut(const std::string& utf8) {
  return state().textMode == UF_TEXT_LOCALE ? utf8ToLocale(utf8) : utf8;
}

int fillBuffer(const std::string& utf8, char* buffer, int nchars) {
  if (buffer == nullptr) {
    return kErrorBadArgument;
  }
  const auto size = static_cast<std::size_t>(NX_BUFSIZE(nchars));
  const std::string text = ufOut(utf8);
  const std::size_t characters =
      state().textMode == UF_TEXT_LOCALE ? text.size() : utf8Length(text);
  // NX owns all of the buffer it declares, so a smaller one is overrun even by a short text.
  std::memset(buffer, 0, size);
  if (characters > static_cast<std::size_t>(nchars) || text.size() >= size) {
    return kErrorBufferTooSmall;
  }
  std::memcpy(buffer, text.data(), text.size());
  return 0;
}

}  // namespace detail

using namespace detail;

void injectFault(const Fault& fault) {
  Lock lock(state().mutex);
  state().faults.push_back(FaultState{fault, 0});
}

void clearFaults() {
  Lock lock(state().mutex);
  state().faults.clear();
  state().faultsFired = 0;
}

int faultsFired() {
  Lock lock(state().mutex);
  return state().faultsFired;
}

std::vector<Call> journal() {
  Lock lock(state().mutex);
  return {state().journal.begin(), state().journal.end()};
}

std::vector<std::string> journalNames() {
  Lock lock(state().mutex);
  std::vector<std::string> names;
  for (const Call& call : state().journal) {
    names.push_back(call.name);
  }
  return names;
}

void clearJournal() {
  Lock lock(state().mutex);
  state().journal.clear();
}

void setJournaling(bool on) {
  Lock lock(state().mutex);
  state().journaling = on;
}

std::vector<std::string> violations() {
  Lock lock(state().mutex);
  return state().violations;
}

int ufInitializeDepth() {
  Lock lock(state().mutex);
  return state().ufDepth;
}

int outstandingAllocations() {
  Lock lock(state().mutex);
  return static_cast<int>(state().allocations.size());
}

}  // namespace nxsim
