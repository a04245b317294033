// Collection of an assembly's upload files: one walk over the component tree, root first,
// whose records come from exporting members, from the shared clone export directory, or
// from NX alone.
#include "addin/export/AssemblyCollection.h"

#include <exception>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include <NXOpen/Assemblies_ComponentAssembly.hxx>
#include <NXOpen/Part.hxx>

#include "addin/export/DisplayMetadata.h"
#include "addin/export/ExportPath.h"
#include "addin/export/ExportSupport.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"
#include "addin/nx/NxText.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/traceability/TraceableId.h"

namespace fs = std::filesystem;

namespace synquo {

using Record = vantel::VantelUploadPayloadFile;
using NXOpen::Assemblies::Component;

namespace {

enum class Variant { Local, Managed, Listing };

// The shared export directory, walked at the first lookup that needs it and then only read,
// so a large assembly walks it once; a failed walk fails every later lookup the same way.
class MemberFiles {
 public:
  explicit MemberFiles(fs::path directory) : directory_(std::move(directory)) {}

  const fs::path& directory() const { return directory_; }

  // Asked once per collection, like the walk: a large assembly asks for every member.
  std::error_code directoryStatus(platform::FileType& type) {
    if (!status_) {
      platform::FileType found = platform::FileType::NotFound;
      const std::error_code error =
          platform::os().status(directory_, platform::Links::Follow, found);
      status_.emplace(error, found);
    }
    type = status_->second;
    return status_->first;
  }

  fs::path find(const std::string& partNumber) {
    if (partNumber.empty()) return {};
    if (!index_ && !failure_) {
      try {
        index_.emplace(directory_);
      } catch (...) {
        failure_ = std::current_exception();
      }
    }
    if (failure_) std::rethrow_exception(failure_);
    return index_->find(partNumber);
  }

 private:
  const fs::path directory_;
  std::optional<std::pair<std::error_code, platform::FileType>> status_;
  std::optional<ExportDirectoryIndex> index_;
  std::exception_ptr failure_;
};

std::optional<fs::path> findMemberFile(NXOpen::BasePart* part, MemberFiles& files);

// The record of a part with its file (empty in a listing). The identifiers are resolved the
// way the pass needs: an upload may repair the displayed part, a display never writes.
Record fillRecord(NXOpen::BasePart* part, const std::string& source, const fs::path& localFile,
                  bool forUpload) {
  Record record;
  record.localFilePath = platform::toUtf8(localFile);
  if (localFile.empty()) {
    record.filename = nx::utf8(part->Leaf());
  } else {
    record.filename = uploadFileName(part, source, localFile).value_or(std::string());
    if (record.filename.empty()) record.filename = nx::utf8(part->Leaf());
  }
  record.sourceFilePath = source;
  const std::string traceableId = forUpload ? uploadTraceableId(part) : displayTraceableId(part);
  record.sourceFileId =
      sourceFileId(traceableId, isDraftingApplication(), isFamilyInstance(part), record.filename);
  record.sourceRevisionId = revisionId(part);
  record.sourceVersionId = "1";
  return record;
}

Record exportRecord(NXOpen::BasePart* part) {
  try {
    const std::string source = nx::utf8(part->FullPath());
    const fs::path exported = exportModelFile(part, source);
    if (exported.empty()) {
      logging::warning("Assembly member export produced no local upload file: part=\"",
                       partLogLabel(part), "\" source=\"", source, "\".");
      return Record();
    }
    return fillRecord(part, source, exported, true);
  } catch (...) {
    logging::error("Assembly member export failed: part=\"", partLogLabel(part), "\" error=\"",
                   exportExceptionText(), "\".");
    return Record();
  }
}

Record lookupRecord(NXOpen::BasePart* part, MemberFiles& files, ExportMode mode) {
  const fs::path& directory = files.directory();
  try {
    const std::string source = nx::utf8(part->FullPath());
    const std::optional<fs::path> found = findMemberFile(part, files);
    if (!found) {
      logging::warning(
          "Managed assembly member omitted because no exported file was resolved: part=\"",
          partLogLabel(part), "\" shared_export_directory=\"", directory, "\".");
      return Record();
    }
    return fillRecord(part, source, *found, mode == ExportMode::Upload);
  } catch (...) {
    logging::error("Managed assembly member file collection failed: part=\"", partLogLabel(part),
                   "\" shared_export_directory=\"", directory, "\" error=\"", exportExceptionText(),
                   "\".");
    return Record();
  }
}

Record readRecord(NXOpen::BasePart* part) {
  try {
    return fillRecord(part, nx::utf8(part->FullPath()), fs::path(), false);
  } catch (...) {
    logging::error("Assembly member metadata could not be read: part=\"", partLogLabel(part),
                   "\" error=\"", exportExceptionText(), "\".");
    return Record();
  }
}

// The Part a component instantiates; none when it is not a Part or NX cannot say.
NXOpen::Part* componentPart(Component* component) {
  try {
    return dynamic_cast<NXOpen::Part*>(component->Prototype());
  } catch (...) {
    return nullptr;
  }
}

std::vector<Component*> childrenOf(Component* component) {
  try {
    return component->GetChildren();
  } catch (...) {
    return {};
  }
}

size_t uploadedCount(const std::vector<Record>& files) {
  size_t count = 0;
  for (const Record& record : files) {
    if (!record.localFilePath.empty()) ++count;
  }
  return count;
}

class Collection {
 public:
  Collection(Variant variant, NXOpen::BasePart* root, fs::path directory, ExportMode mode)
      : variant_(variant),
        root_(root),
        directory_(directory),
        mode_(mode),
        memberFiles_(directory) {}

  // Once per collection: the result is handed over, not copied.
  CollectedFiles run() {
    if (root_ == nullptr) return std::move(result_);
    const Record rootRecord = build(root_);
    const bool usable = !rootRecord.sourceFileId.empty() &&
                        (variant_ == Variant::Listing || !rootRecord.localFilePath.empty());
    try {
      auto* part = dynamic_cast<NXOpen::Part*>(root_);
      NXOpen::Assemblies::ComponentAssembly* assembly =
          part == nullptr ? nullptr : part->ComponentAssembly();
      Component* rootComponent = assembly == nullptr ? nullptr : assembly->RootComponent();
      if (rootComponent == nullptr) {
        if (usable) append(rootRecord);
        result_.isAssembly = false;
      } else {
        const std::vector<Component*> children = childrenOf(rootComponent);
        result_.isAssembly = !children.empty();
        if (!usable && !children.empty()) {
          abort();
          return std::move(result_);
        }
        if (usable) append(rootRecord);
        for (Component* child : children) walk(child);
      }
    } catch (...) {
      walkFailed(exportExceptionText());
      result_.isAssembly = false;
    }
    summary();
    return std::move(result_);
  }

 private:
  Record build(NXOpen::BasePart* part) {
    switch (variant_) {
      case Variant::Local: {
        Record fresh;
        return exportOnce(part, fresh);
      }
      case Variant::Managed:
        return lookupRecord(part, memberFiles_, mode_);
      case Variant::Listing:
        break;
    }
    return readRecord(part);
  }

  // A part used many times is copied once; an unsaved part or a failed export is tried
  // again, so each use still logs why it has no file. A repeated part's record is handed out
  // from the cache, not copied; a new one is made in `fresh`.
  const Record& exportOnce(NXOpen::BasePart* part, Record& fresh) {
    std::string source;
    try {
      source = nx::utf8(part->FullPath());
    } catch (...) {
      return fresh = exportRecord(part);
    }
    if (source.empty()) return fresh = exportRecord(part);
    const auto found = exported_.find(source);
    if (found != exported_.end()) return found->second;
    fresh = exportRecord(part);
    if (fresh.localFilePath.empty()) return fresh;
    return exported_.emplace(std::move(source), std::move(fresh)).first->second;
  }

  void append(const Record& record) {
    keys_.insert(memberKey(record));
    result_.files.push_back(record);
  }

  // Depth first, the component before its children; a skipped component's children still
  // count.
  void walk(Component* component) {
    if (NXOpen::Part* part = componentPart(component)) {
      if (variant_ == Variant::Local) {
        Record fresh;
        collect(part, exportOnce(part, fresh));
      } else {
        collect(part, build(part));
      }
    }
    for (Component* child : childrenOf(component)) walk(child);
  }

  // Takes a record to keep (moved) or one the cache keeps (copied only when collected).
  template <typename R>
  void collect(NXOpen::BasePart* part, R&& record) {
    const std::string& key = memberKey(record);
    if (record.sourceFileId.empty() || key.empty()) {
      unresolved(part);
    } else if (!keys_.insert(key).second) {
      duplicate(part, key);
    } else {
      result_.files.push_back(std::forward<R>(record));
    }
  }

  void unresolved(NXOpen::BasePart* part) {
    if (variant_ == Variant::Local) {
      logging::warning(
          "Assembly member skipped because upload identifiers could not be resolved: part=\"",
          partLogLabel(part), "\".");
    } else if (variant_ == Variant::Managed) {
      logging::warning(
          "Managed assembly member skipped because upload identifiers could not be resolved: "
          "part=\"",
          partLogLabel(part), "\" shared_export_directory=\"", directory_, "\".");
    }
  }

  void duplicate(NXOpen::BasePart* part, const std::string& key) {
    // Most uses of a large assembly repeat a part: no label is made for a line not written.
    if (!logging::isLogLevelEnabled(logging::LogLevel::Debug)) return;
    if (variant_ == Variant::Local) {
      logging::debug("Assembly member skipped because it was already collected: part=\"",
                     partLogLabel(part), "\" key=\"", key, "\".");
    } else if (variant_ == Variant::Managed) {
      logging::debug("Managed assembly member skipped because it was already collected: part=\"",
                     partLogLabel(part), "\" key=\"", key, "\".");
    }
  }

  void abort() {
    if (variant_ == Variant::Local) {
      logging::error(
          "Local assembly export aborted because the root file was not exportable: part=\"",
          partLogLabel(root_), "\".");
    } else if (variant_ == Variant::Managed) {
      logging::error(
          "Managed assembly file collection aborted because the root file was not resolved: "
          "part=\"",
          partLogLabel(root_), "\" shared_export_directory=\"", directory_, "\".");
    }
  }

  void walkFailed(const std::string& text) {
    if (variant_ == Variant::Local) {
      logging::error("Local assembly export failed while walking components: part=\"",
                     partLogLabel(root_), "\" error=\"", text, "\".");
    } else if (variant_ == Variant::Managed) {
      logging::error("Managed assembly file collection failed while walking components: part=\"",
                     partLogLabel(root_), "\" shared_export_directory=\"", directory_,
                     "\" error=\"", text, "\".");
    }
  }

  void summary() {
    if (variant_ == Variant::Local) {
      logging::info("Collected local NX upload files: part=\"", partLogLabel(root_),
                    "\" is_assembly=", result_.isAssembly, " files=", result_.files.size(),
                    " uploaded_files=", uploadedCount(result_.files), ".");
    } else if (variant_ == Variant::Managed) {
      logging::info("Collected managed NX upload files: part=\"", partLogLabel(root_),
                    "\" is_assembly=", result_.isAssembly, " files=", result_.files.size(),
                    " uploaded_files=", uploadedCount(result_.files), " shared_export_directory=\"",
                    directory_, "\".");
    }
  }

  const Variant variant_;
  NXOpen::BasePart* const root_;
  const fs::path directory_;
  const ExportMode mode_;
  MemberFiles memberFiles_;
  std::unordered_set<std::string> keys_;
  std::unordered_map<std::string, Record> exported_;
  CollectedFiles result_;
};

}  // namespace

CollectedFiles collectLocalUploadFiles(NXOpen::BasePart* root) {
  return Collection(Variant::Local, root, fs::path(), ExportMode::Upload).run();
}

CollectedFiles collectManagedUploadFiles(NXOpen::BasePart* root,
                                         const fs::path& sharedExportDirectory, ExportMode mode) {
  return Collection(Variant::Managed, root, sharedExportDirectory, mode).run();
}

CollectedFiles listAssemblyFiles(NXOpen::BasePart* root) {
  return Collection(Variant::Listing, root, fs::path(), ExportMode::Display).run();
}

Record exportMemberRecord(NXOpen::Part* part) { return exportRecord(part); }

Record lookupManagedMemberRecord(NXOpen::Part* part, const fs::path& sharedExportDirectory,
                                 ExportMode mode) {
  MemberFiles files(sharedExportDirectory);
  return lookupRecord(part, files, mode);
}

Record readMemberRecord(NXOpen::Part* part) { return readRecord(part); }

std::optional<fs::path> findManagedMemberFile(NXOpen::Part* part,
                                              const fs::path& sharedExportDirectory) {
  MemberFiles files(sharedExportDirectory);
  return findMemberFile(part, files);
}

namespace {

std::optional<fs::path> findMemberFile(NXOpen::BasePart* part, MemberFiles& files) {
  const fs::path& sharedExportDirectory = files.directory();
  // Named only when a line is written: a large assembly matches most members silently.
  const auto label = [part] { return partLogLabel(part); };
  if (sharedExportDirectory.empty()) {
    logging::warning("Managed assembly member lookup skipped: part=\"", label(),
                     "\" shared_export_directory=\"", sharedExportDirectory, "\".");
    return std::nullopt;
  }
  platform::FileType type = platform::FileType::NotFound;
  const std::error_code error = files.directoryStatus(type);
  if (error || type != platform::FileType::Directory) {
    logging::warning(
        "Managed assembly member lookup failed because the shared export directory is "
        "unavailable: part=\"",
        label(), "\" directory=\"", sharedExportDirectory, "\" error=\"", osErrorText(error),
        "\".");
    return std::nullopt;
  }
  const std::optional<ManagedPartName> name = decodeManagedPartName(part);
  if (!name) {
    logging::warning(
        "Managed assembly member lookup failed because the Teamcenter part number could not be "
        "read: part=\"",
        label(), "\" directory=\"", sharedExportDirectory, "\".");
    return std::nullopt;
  }
  const fs::path found = files.find(name->partNumber);
  if (found.empty()) {
    logging::warning("Managed assembly member lookup found no exported file: part=\"", label(),
                     "\" part_number=\"", name->partNumber, "\" directory=\"",
                     sharedExportDirectory, "\".");
    return std::nullopt;
  }
  if (logging::isLogLevelEnabled(logging::LogLevel::Debug)) {
    logging::debug("Managed assembly member lookup matched exported file: part=\"", label(),
                   "\" part_number=\"", name->partNumber, "\" file=\"", found, "\".");
  }
  return found;
}

}  // namespace

const std::string& memberKey(const Record& record) {
  return record.sourceFilePath.empty() ? record.sourceFileId : record.sourceFilePath;
}

}  // namespace synquo
