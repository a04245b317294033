// PDF printing: builders that write a PDF with a page for each sheet they were given.
#include "sim/nx/PlotObjects.h"

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

class SimPlotSourceBuilder : public host::PlotSourceBuilder {
 public:
  explicit SimPlotSourceBuilder(SimPrintPdfBuilder& owner) : owner_(owner) {}
  void SetSheets(const std::vector<host::NXObject*>& sheets) override;
  void SetSelectedSheets(int count) override;

 private:
  SimPrintPdfBuilder& owner_;
};

class SimPrintPdfBuilder : public host::PrintPDFBuilder {
 public:
  explicit SimPrintPdfBuilder(int id) : id_(id), source_(*this) {}

  host::PlotSourceBuilder* SourceBuilder() override {
    Lock lock(state().mutex);
    if (openCall("PrintPDFBuilder::SourceBuilder", {idText()}, true)) {
      return nullptr;
    }
    checkAlive();
    return &source_;
  }

  void SetFilename(const std::string& filename) override {
    Lock lock(state().mutex);
    openCall("PrintPDFBuilder::SetFilename", {idText(), filename}, false);
    checkAlive();
    filename_ = filename;
  }

  void SetAppend(bool append) override {
    Lock lock(state().mutex);
    openCall("PrintPDFBuilder::SetAppend", {idText(), append ? "true" : "false"}, false);
    checkAlive();
    append_ = append;
  }

  void SetAction(int action) override {
    Lock lock(state().mutex);
    openCall("PrintPDFBuilder::SetAction", {idText(), std::to_string(action)}, false);
    checkAlive();
    action_ = action;
  }

  host::NXObject* Commit() override {
    Lock lock(state().mutex);
    // What NX would print: action, append, file, sheets given and sheets selected.
    if (openCall("Builder::Commit",
                 {idText(), std::to_string(action_), append_ ? "append" : "replace", filename_,
                  std::to_string(sheets_.size()), std::to_string(selected_)},
                 true)) {
      return nullptr;
    }
    checkAlive();
    if (filename_.empty()) {
      throw host::NxException(kErrorBuilder, "No PDF file name was given");
    }
    if (sheets_.empty()) {
      throw host::NxException(kErrorBuilder, "No drawing sheets were selected");
    }
    if (state().printWritesFile) {
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
        throw host::NxException(kErrorFileNotFound, "Cannot write " + filename_);
      }
      out << pdfWithPages(pages);
    }
    return nullptr;
  }

  void Destroy() override {
    Lock lock(state().mutex);
    openCall("Builder::Destroy", {idText()}, false);
    if (destroyed_) {
      violation("Builder::Destroy called twice on PDF builder " + idText());
      throw host::NxException(kErrorBuilder, "The builder was destroyed already");
    }
    destroyed_ = true;
  }

  void setSheets(const std::vector<host::NXObject*>& sheets) {
    checkAlive();
    sheets_.clear();
    for (host::NXObject* object : sheets) {
      const SheetData* found = nullptr;
      for (const auto& [tag, sheet] : state().sheets) {
        if (sheet.object.get() == object) {
          found = &sheet;
        }
      }
      if (found == nullptr) {
        throw host::NxException(kErrorBadArgument, "Not a drawing sheet");
      }
      sheets_.push_back(found->name);
    }
  }

  void setSelected(int count) {
    checkAlive();
    selected_ = count;
  }

  std::string idText() const { return "builder" + std::to_string(id_); }

 private:
  void checkAlive() const {
    if (destroyed_) {
      violation("PDF builder " + idText() + " used after Destroy");
      throw host::NxException(kErrorBuilder, "The builder was destroyed already");
    }
  }

  int id_;
  SimPlotSourceBuilder source_;
  std::string filename_;
  bool append_ = false;
  int action_ = 0;
  int selected_ = 0;
  bool destroyed_ = false;
  std::vector<std::string> sheets_;
};

void SimPlotSourceBuilder::SetSheets(const std::vector<host::NXObject*>& sheets) {
  Lock lock(state().mutex);
  openCall("PlotSourceBuilder::SetSheets", {owner_.idText(), std::to_string(sheets.size())}, false);
  owner_.setSheets(sheets);
}

void SimPlotSourceBuilder::SetSelectedSheets(int count) {
  Lock lock(state().mutex);
  openCall("PlotSourceBuilder::SetSelectedSheets", {owner_.idText(), std::to_string(count)}, false);
  owner_.setSelected(count);
}

class SimPlotManager : public host::PlotManager {
 public:
  explicit SimPlotManager(tag_t part) : part_(part) {}

  host::PrintPDFBuilder* CreatePrintPdfbuilder() override {
    Lock lock(state().mutex);
    if (openCall("PlotManager::CreatePrintPdfbuilder", {tagText(part_)}, true)) {
      return nullptr;
    }
    State& s = state();
    s.builders.push_back(
        std::make_unique<SimPrintPdfBuilder>(static_cast<int>(s.builders.size()) + 1));
    return s.builders.back().get();
  }

 private:
  tag_t part_;
};

}  // namespace

std::unique_ptr<host::PlotManager> makePlotManager(tag_t part) {
  return std::make_unique<SimPlotManager>(part);
}

}  // namespace detail

void setPrintWritesFile(bool writes) {
  detail::Lock lock(detail::state().mutex);
  detail::state().printWritesFile = writes;
}

}  // namespace nxsim
