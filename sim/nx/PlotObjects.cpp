// PDF printing: builders that write a PDF with a page for each sheet they were given.
#include "sim/nx/PlotObjects.h"

#include <NXOpen/Builder.hxx>
#include <NXOpen/PlotSourceBuilder.hxx>
#include <NXOpen/PrintPDFBuilder.hxx>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/nx/PdfDocument.h"
#include "sim/nx/State.h"

namespace nxsim {
namespace detail {
namespace {

class SimPrintPdfBuilder;

class SimPlotSourceBuilder : public NXOpen::PlotSourceBuilder {
 public:
  explicit SimPlotSourceBuilder(SimPrintPdfBuilder& owner) : owner_(owner) {}
  SimPrintPdfBuilder& owner() { return owner_; }

 private:
  SimPrintPdfBuilder& owner_;
};

// What a print is set up with, until Commit prints it.
class SimPrintPdfBuilder : public NXOpen::PrintPDFBuilder {
 public:
  explicit SimPrintPdfBuilder(int id) : id_(id), source_(*this) {}

  void checkAlive() const {
    if (destroyed_) {
      violation("PDF builder " + idText() + " used after Destroy");
      raise(kErrorBuilder, "The builder was destroyed already");
    }
  }

  void setSheets(const std::vector<NXOpen::NXObject*>& sheets) {
    checkAlive();
    sheets_.clear();
    for (NXOpen::NXObject* object : sheets) {
      auto found = object == nullptr ? state().sheets.end() : state().sheets.find(tagOf(*object));
      if (found == state().sheets.end() || found->second.object.get() != object) {
        raise(kErrorBadArgument, "Not a drawing sheet");
      }
      sheets_.push_back(found->second.name);
    }
  }

  void commit() {
    checkAlive();
    if (filename_.empty()) {
      raise(kErrorBuilder, "No PDF file name was given");
    }
    if (sheets_.empty()) {
      raise(kErrorBuilder, "No drawing sheets were selected");
    }
    if (!state().printWritesFile) {
      return;
    }
    const std::filesystem::path path = fileSystemPath(filename_);
    std::vector<std::string> pages;
    if (append_) {
      std::ifstream in(path, std::ios::binary);
      if (in) {
        std::ostringstream earlier;
        earlier << in.rdbuf();
        pages = pdfPageTexts(earlier.str());
      }
    }
    // The selected count picks the first sheets given; outside 1..given it picks them all.
    const size_t selected = selected_ > 0 && static_cast<size_t>(selected_) < sheets_.size()
                                ? static_cast<size_t>(selected_)
                                : sheets_.size();
    pages.insert(pages.end(), sheets_.begin(),
                 sheets_.begin() + static_cast<std::ptrdiff_t>(selected));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
      raise(kErrorFileNotFound, "Cannot write " + filename_);
    }
    out << pdfWithPages(pages);
  }

  std::string idText() const { return "builder" + std::to_string(id_); }

  int id_;
  SimPlotSourceBuilder source_;
  std::string filename_;
  bool append_ = false;
  int action_ = 0;
  int selected_ = 0;
  bool destroyed_ = false;
  std::vector<std::string> sheets_;
};

// Every builder and source builder of the simulated NX is one of these.
SimPrintPdfBuilder& sim(NXOpen::Builder* builder) {
  return *static_cast<SimPrintPdfBuilder*>(builder);
}
SimPrintPdfBuilder& sim(NXOpen::PlotSourceBuilder* source) {
  return static_cast<SimPlotSourceBuilder*>(source)->owner();
}

}  // namespace

std::unique_ptr<NXOpen::PlotManager> makePlotManager(NXOpen::BasePart* part) {
  return std::make_unique<NXOpen::PlotManager>(part);
}

}  // namespace detail

void setPrintWritesFile(bool writes) {
  detail::Lock lock(detail::state().mutex);
  detail::state().printWritesFile = writes;
}

}  // namespace nxsim

namespace NXOpen {

using nxsim::detail::Lock;
using nxsim::detail::openCall;
using nxsim::detail::state;
namespace d = nxsim::detail;

PlotManager::PlotManager(BasePart* owner) : m_owner(owner) {}
PlotManager::~PlotManager() {}

PrintPDFBuilder* PlotManager::CreatePrintPdfbuilder() {
  Lock lock(state().mutex);
  if (openCall("PlotManager::CreatePrintPdfbuilder", {d::tagText(d::tagOf(*m_owner))}, true)) {
    return nullptr;
  }
  d::State& s = state();
  auto builder = std::make_unique<d::SimPrintPdfBuilder>(static_cast<int>(s.builders.size()) + 1);
  PrintPDFBuilder* made = builder.get();
  s.builders.push_back(std::move(builder));
  return made;
}

Builder::Builder() {}
Builder::~Builder() {}
PrintPDFBuilder::PrintPDFBuilder() {}
PrintPDFBuilder::~PrintPDFBuilder() {}
PlotSourceBuilder::PlotSourceBuilder() {}
PlotSourceBuilder::~PlotSourceBuilder() {}

PlotSourceBuilder* PrintPDFBuilder::SourceBuilder() {
  Lock lock(state().mutex);
  d::SimPrintPdfBuilder& b = d::sim(this);
  if (openCall("PrintPDFBuilder::SourceBuilder", {b.idText()}, true)) {
    return nullptr;
  }
  b.checkAlive();
  return &b.source_;
}

void PrintPDFBuilder::SetFilename(const NXString& filename) {
  Lock lock(state().mutex);
  d::SimPrintPdfBuilder& b = d::sim(this);
  const std::string name = d::utf8Of(filename);
  openCall("PrintPDFBuilder::SetFilename", {b.idText(), name}, false);
  b.checkAlive();
  b.filename_ = name;
}

void PrintPDFBuilder::SetAppend(bool append) {
  Lock lock(state().mutex);
  d::SimPrintPdfBuilder& b = d::sim(this);
  openCall("PrintPDFBuilder::SetAppend", {b.idText(), append ? "true" : "false"}, false);
  b.checkAlive();
  b.append_ = append;
}

void PrintPDFBuilder::SetAction(PrintPDFBuilder::ActionOption action) {
  Lock lock(state().mutex);
  d::SimPrintPdfBuilder& b = d::sim(this);
  openCall("PrintPDFBuilder::SetAction", {b.idText(), std::to_string(static_cast<int>(action))},
           false);
  b.checkAlive();
  b.action_ = static_cast<int>(action);
}

NXObject* Builder::Commit() {
  Lock lock(state().mutex);
  d::SimPrintPdfBuilder& b = d::sim(this);
  // What NX would print: action, append, file, sheets given and sheets selected.
  if (openCall("Builder::Commit",
               {b.idText(), std::to_string(b.action_), b.append_ ? "append" : "replace",
                b.filename_, std::to_string(b.sheets_.size()), std::to_string(b.selected_)},
               true)) {
    return nullptr;
  }
  b.commit();
  return nullptr;
}

void Builder::Destroy() {
  Lock lock(state().mutex);
  d::SimPrintPdfBuilder& b = d::sim(this);
  openCall("Builder::Destroy", {b.idText()}, false);
  if (b.destroyed_) {
    d::violation("Builder::Destroy called twice on PDF builder " + b.idText());
    d::raise(nxsim::kErrorBuilder, "The builder was destroyed already");
  }
  b.destroyed_ = true;
}

void PlotSourceBuilder::SetSheets(const std::vector<NXObject*>& sheets) {
  Lock lock(state().mutex);
  d::SimPrintPdfBuilder& b = d::sim(this);
  openCall("PlotSourceBuilder::SetSheets", {b.idText(), std::to_string(sheets.size())}, false);
  b.setSheets(sheets);
}

void PlotSourceBuilder::SetSelectedSheets(int nSheets) {
  Lock lock(state().mutex);
  d::SimPrintPdfBuilder& b = d::sim(this);
  openCall("PlotSourceBuilder::SetSelectedSheets", {b.idText(), std::to_string(nSheets)}, false);
  b.checkAlive();
  b.selected_ = nSheets;
}

}  // namespace NXOpen
