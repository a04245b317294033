// Export collection over simulated assemblies and real files: managed lookups and the display
// pass at three sizes, each beside the simulated NX's own walk of the same model, and local
// copies of repeated members and the add-in's share of an upload, each beside copy_file.
#include <cstdio>
#include <cstring>
#include <memory>

#include <uf.h>
#include <uf_assem.h>
#include <uf_part.h>
#include <uf_text.h>
#include <uf_ugmgr.h>
#include <NXOpen/Assemblies_Component.hxx>
#include <NXOpen/Assemblies_ComponentAssembly.hxx>
#include <NXOpen/Part.hxx>

#include "addin/export/AssemblyCollection.h"
#include "addin/export/DisplayMetadata.h"
#include "addin/platform/TextEncoding.h"
#include "addin/traceability/TraceableIdAttribute.h"
#include "addin/ui/UploadWorkflow.h"
#include "bench/BenchClient.h"
#include "bench/BenchSupport.h"
#include "sim/nx/NxSim.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileBytes = 16 * 1024;

std::string uuid(int i) {
  char text[40];
  std::snprintf(text, sizeof(text), "00000000-0000-4000-8000-%012d", i);
  return text;
}

std::string memberName(int i) {
  char text[32];
  std::snprintf(text, sizeof(text), "P%06d", i);
  return text;
}

nxsim::PartDefinition managedPart(int i) {
  nxsim::PartDefinition part;
  part.leaf = memberName(i);
  part.uniqueIdentifier = uuid(i);
  nxsim::ManagedName name;
  name.partNumber = memberName(i);
  name.revision = "B";
  name.revisionId = "B.2";
  part.managed = name;
  return part;
}

nxsim::PartDefinition nativePart(const fs::path& file, int i) {
  nxsim::PartDefinition part;
  part.fullPath = platform::toUtf8(file);
  part.uniqueIdentifier = uuid(i);
  return part;
}

// Subassemblies of ten under the root: every tenth use is a subassembly holding the next nine.
void addUses(tag_t root, int uses, const std::function<tag_t(int)>& prototypeOf) {
  tag_t group = root;
  for (int i = 0; i < uses; ++i) {
    if (i % 10 == 0) {
      group = nxsim::addComponent(root, prototypeOf(i));
    } else {
      nxsim::addComponent(group, prototypeOf(i));
    }
  }
}

tag_t display(const nxsim::PartDefinition& definition) {
  const tag_t part = nxsim::addPart(definition);
  nxsim::setDisplayedPart(part);
  return part;
}

void managedCollection(benchmark::State& state) {
  Installation& installation = Installation::get();
  const int members = static_cast<int>(state.range(0));
  const fs::path shared = installation.scratch() / ("managed-export-" + std::to_string(members));
  writeFiles(shared, members + 1, 64, [](int i) { return memberName(i) + ".prt"; });
  nxsim::reset();
  nxsim::setJournaling(false);
  const tag_t root = display(managedPart(0));
  addUses(root, members, [](int i) { return nxsim::addPart(managedPart(i + 1)); });
  NXOpen::BasePart* rootPart = nxsim::partObject(root);
  std::size_t files = 0;
  for (auto _ : state) {
    const synquo::CollectedFiles collected =
        synquo::collectManagedUploadFiles(rootPart, shared, synquo::ExportMode::Display);
    files = collected.files.size();
  }
  state.counters["files"] = static_cast<double>(files);
  installation.clearSessions();
  nxsim::reset();
}

// Most of what the managed collection asks the simulated NX for each member, and nothing of
// the add-in's own: the stand-in's share, whose growth on a small cache is the machine's.
void simulatedWalk(NXOpen::Assemblies::Component* component, std::size_t& seen) {
  if (auto* part = dynamic_cast<NXOpen::Part*>(component->Prototype())) {
    char encoded[MAX_FSPEC_BUFSIZE] = {};
    char number[UF_UGMGR_PARTNO_BUFSIZE] = {};
    char revision[UF_UGMGR_PARTREV_BUFSIZE] = {};
    char type[UF_UGMGR_FTYPE_BUFSIZE] = {};
    char name[UF_UGMGR_FNAME_BUFSIZE] = {};
    UF_PART_ask_part_name(part->Tag(), encoded);
    UF_UGMGR_decode_part_file_name(encoded, number, revision, type, name);
    UF_UGMGR_tag_t databasePart = NULL_TAG;
    UF_UGMGR_ask_part_tag(number, &databasePart);
    seen += std::strlen(part->FullPath().GetUTF8Text()) + std::strlen(part->Leaf().GetUTF8Text()) +
            std::strlen(part->UniqueIdentifier().GetUTF8Text()) +
            static_cast<std::size_t>(databasePart);
  }
  for (NXOpen::Assemblies::Component* child : component->GetChildren()) simulatedWalk(child, seen);
}

void simulatedNxWalk(benchmark::State& state) {
  const int members = static_cast<int>(state.range(0));
  nxsim::reset();
  nxsim::setJournaling(false);
  const tag_t root = display(managedPart(0));
  addUses(root, members, [](int i) { return nxsim::addPart(managedPart(i + 1)); });
  auto* rootPart = dynamic_cast<NXOpen::Part*>(nxsim::partObject(root));
  UF_initialize();
  UF_TEXT_set_text_mode(UF_TEXT_ALL_UTF8);
  for (auto _ : state) {
    std::size_t seen = 0;
    simulatedWalk(rootPart->ComponentAssembly()->RootComponent(), seen);
    benchmark::DoNotOptimize(seen);
  }
  UF_terminate();
  nxsim::reset();
}

// What the display pass asks the simulated NX for each member of a native model, every call
// once, and nothing of the add-in's own.
void displayWalk(NXOpen::Assemblies::Component* component, std::size_t& seen) {
  if (auto* part = dynamic_cast<NXOpen::Part*>(component->Prototype())) {
    const tag_t tag = part->Tag();
    char encoded[MAX_FSPEC_BUFSIZE] = {};
    char number[UF_UGMGR_PARTNO_BUFSIZE] = {};
    char revision[UF_UGMGR_PARTREV_BUFSIZE] = {};
    char type[UF_UGMGR_FTYPE_BUFSIZE] = {};
    char name[UF_UGMGR_FNAME_BUFSIZE] = {};
    UF_PART_ask_part_name(tag, encoded);
    UF_UGMGR_decode_part_file_name(encoded, number, revision, type, name);
    logical instance = false;
    logical templatePart = false;
    tag_t familyInstance = NULL_TAG;
    UF_PART_is_family_instance(tag, &instance);
    UF_PART_is_family_template(tag, &templatePart);
    UF_PART_ask_family_instance(tag, &familyInstance);
    char partName[MAX_FSPEC_BUFSIZE] = {};
    char refsetName[UF_OBJ_NAME_BUFSIZE] = {};
    char instanceName[UF_CFI_MAX_FILE_NAME_BUFSIZE] = {};
    double origin[3] = {};
    double csysMatrix[9] = {};
    double transform[4][4] = {};
    UF_ASSEM_ask_component_data(component->Tag(), partName, refsetName, instanceName, origin,
                                csysMatrix, transform);
    const bool attribute = part->HasUserAttribute(synquo::kTraceableIdAttribute,
                                                  NXOpen::NXObject::AttributeTypeString, -1);
    seen += std::strlen(part->FullPath().GetUTF8Text()) + std::strlen(part->Leaf().GetUTF8Text()) +
            std::strlen(part->UniqueIdentifier().GetUTF8Text()) + std::strlen(partName) +
            static_cast<std::size_t>(UF_PART_is_modified(tag)) + (attribute ? 1u : 0u) +
            static_cast<std::size_t>(instance + templatePart) + (familyInstance ? 1u : 0u);
  }
  for (NXOpen::Assemblies::Component* child : component->GetChildren()) displayWalk(child, seen);
}

// A native model of `members` uses, each of its own part; only the root's file is saved.
tag_t displayModel(int members) {
  const fs::path models = Installation::get().scratch() / "display-models";
  writeFiles(models, 1, kFileBytes, [](int i) { return memberName(i) + ".prt"; });
  nxsim::reset();
  nxsim::setJournaling(false);
  const tag_t root = display(nativePart(models / (memberName(0) + ".prt"), 0));
  addUses(root, members, [&](int i) {
    return nxsim::addPart(nativePart(models / (memberName(i + 1) + ".prt"), i + 1));
  });
  return root;
}

void displayNxWalk(benchmark::State& state) {
  const tag_t root = displayModel(static_cast<int>(state.range(0)));
  auto* rootPart = dynamic_cast<NXOpen::Part*>(nxsim::partObject(root));
  UF_initialize();
  UF_TEXT_set_text_mode(UF_TEXT_ALL_UTF8);
  for (auto _ : state) {
    std::size_t seen = 0;
    displayWalk(rootPart->ComponentAssembly()->RootComponent(), seen);
    benchmark::DoNotOptimize(seen);
  }
  UF_terminate();
  nxsim::reset();
}

// 200 distinct part files used by 2,000 components.
struct RepeatedAssembly {
  tag_t root = NULL_TAG;
  std::vector<fs::path> files;
  std::uintmax_t distinctBytes = 0;
};

RepeatedAssembly repeatedAssembly(const fs::path& directory, int distinct, int uses) {
  RepeatedAssembly assembly;
  assembly.files = writeFiles(directory / ("models-" + std::to_string(distinct)), distinct,
                              kFileBytes, [](int i) { return memberName(i) + ".prt"; });
  assembly.distinctBytes = static_cast<std::uintmax_t>(distinct) * kFileBytes;
  nxsim::reset();
  nxsim::setJournaling(false);
  assembly.root = display(nativePart(assembly.files[0], 0));
  std::vector<tag_t> parts;
  for (int i = 1; i < distinct; ++i)
    parts.push_back(nxsim::addPart(nativePart(assembly.files[static_cast<std::size_t>(i)], i)));
  addUses(assembly.root, uses,
          [&](int i) { return parts[static_cast<std::size_t>(i) % parts.size()]; });
  return assembly;
}

void localCollection(benchmark::State& state, Place place) {
  Installation& installation = Installation::get();
  const RepeatedAssembly assembly = repeatedAssembly(
      installation.use(place), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  NXOpen::BasePart* root = nxsim::partObject(assembly.root);
  installation.clearSessions();
  installation.countCopies(true);
  synquo::collectLocalUploadFiles(root);
  const std::uintmax_t copied = installation.copiedBytes();
  installation.countCopies(false);
  for (auto _ : state) {
    state.PauseTiming();
    installation.clearSessions();
    state.ResumeTiming();
    benchmark::DoNotOptimize(synquo::collectLocalUploadFiles(root));
  }
  state.counters["copied_bytes"] = static_cast<double>(copied);
  state.counters["distinct_bytes"] = static_cast<double>(assembly.distinctBytes);
  installation.clearSessions();
  nxsim::reset();
}

// Into a new directory where session directories go, made as the add-in makes its own, so
// both meet the file system in the same state.
void copyAll(benchmark::State& state, const std::vector<fs::path>& files) {
  Installation& installation = Installation::get();
  const fs::path target = installation.sessionBase() / "brevin-floor";
  for (auto _ : state) {
    state.PauseTiming();
    installation.clearSessions();
    state.ResumeTiming();
    fs::create_directories(target);
    for (const fs::path& file : files) fs::copy_file(file, target / file.filename());
  }
}

void localCollectionFloor(benchmark::State& state, Place place) {
  const std::vector<fs::path> files =
      writeFiles(Installation::get().use(place) / "local-floor", static_cast<int>(state.range(0)),
                 kFileBytes, [](int i) { return memberName(i) + ".prt"; });
  copyAll(state, files);
  state.counters["copied_bytes"] =
      static_cast<double>(static_cast<std::uintmax_t>(files.size()) * kFileBytes);
}

void displayMetadata(benchmark::State& state) {
  Installation& installation = Installation::get();
  const int members = static_cast<int>(state.range(0));
  displayModel(members);
  startPeak();
  benchmark::DoNotOptimize(synquo::readDisplayMetadata());
  const std::int64_t peak = stopPeak();
  for (auto _ : state) {
    benchmark::DoNotOptimize(synquo::readDisplayMetadata());
  }
  state.counters["peak_bytes_per_member"] = static_cast<double>(peak) / members;
  installation.clearSessions();
  nxsim::reset();
}

void uploadShare(benchmark::State& state, Place place) {
  Installation& installation = Installation::get();
  const int members = static_cast<int>(state.range(0));
  const RepeatedAssembly assembly = repeatedAssembly(installation.use(place), members, members - 1);
  auto torvane = std::make_shared<InstantTorvane>();
  torvane->uploadResult = uploadResultText(members);
  const vantel::VantelClient client(torvane, nullptr);
  const synquo::ModelMetadata shown = synquo::readDisplayMetadata();
  std::size_t sent = 0;
  for (auto _ : state) {
    state.PauseTiming();
    installation.clearSessions();
    synquo::ModelMetadata metadata = shown;
    state.ResumeTiming();
    synquo::prepareUpload(metadata);
    const vantel::VantelUploadPayload payload = ui::buildUploadPayload(metadata, 1001, 2002);
    benchmark::DoNotOptimize(client.upload("token", payload, false));
    sent = payload.files.size();
  }
  state.counters["files"] = static_cast<double>(sent);
  installation.clearSessions();
  nxsim::reset();
}

void uploadShareFloor(benchmark::State& state, Place place) {
  const std::vector<fs::path> files =
      writeFiles(Installation::get().use(place) / "upload-floor", static_cast<int>(state.range(0)),
                 kFileBytes, [](int i) { return memberName(i) + ".prt"; });
  copyAll(state, files);
}

// Registers `body` in both places: the memory-backed one under `name`, the disk under
// `name` with "_disk".
template <typename Body>
void addInBothPlaces(const std::string& name, Body body, const std::vector<int64_t>& args,
                     int diskRepetitions = kRepetitions) {
  add(name, [body](benchmark::State& state) { body(state, Place::Memory); })->Args(args);
  add(
      name + "_disk", [body](benchmark::State& state) { body(state, Place::Disk); },
      diskRepetitions)
      ->Args(args);
}

std::string growthLabel(const std::string& what, const char* sizes) {
  return what + " " + sizes + " vs the simulated NX's walk's";
}

}  // namespace

void registerCollectionBenchmarks() {
  const std::vector<int64_t> managed = sizes({200, 2000, 20000});
  for (int64_t n : managed) add("managed_collection", managedCollection)->Arg(n);
  for (int64_t n : managed) add("simulated_nx_walk", simulatedNxWalk)->Arg(n);
  const int64_t distinct = smoke() ? 20 : 200;
  const int64_t uses = smoke() ? 200 : 2000;
  addInBothPlaces("local_collection", localCollection, {distinct, uses});
  addInBothPlaces("local_collection_floor", localCollectionFloor, {distinct});
  for (int64_t n : managed) add("display_metadata", displayMetadata)->Arg(n);
  for (int64_t n : managed) add("display_nx_walk", displayNxWalk)->Arg(n);
  const int64_t files = smoke() ? 20 : 2000;
  addInBothPlaces("upload_share", uploadShare, {files}, kSlowRepetitions);
  addInBothPlaces("upload_share_floor", uploadShareFloor, {files}, kSlowRepetitions);

  // Without /dev/shm the memory rows are on the build tree's disk, and say so.
  const std::string inMemory =
      memoryBacked() ? ", in memory" : ", on the build tree's disk: no /dev/shm";
  const std::string onDisk = "   the same on the build tree's disk";

  addRow(relativeGrowth(growthLabel("4. managed collection", "t(2,000)/t(200)"),
                        "managed_collection/2000", "managed_collection/200",
                        "simulated_nx_walk/2000", "simulated_nx_walk/200", 1.2));
  addRow(relativeGrowth(growthLabel("4. managed collection", "t(20,000)/t(2,000)"),
                        "managed_collection/20000", "managed_collection/2000",
                        "simulated_nx_walk/20000", "simulated_nx_walk/2000", 1.2));
  addRow({Row::Kind::Ratio, "4. managed collection vs the simulated NX's walk, 20,000 members",
          "managed_collection/20000", "simulated_nx_walk/20000", 5});
  addRow({Row::Kind::Reference, "   the simulated NX's own walk t(2,000)/t(200)",
          "simulated_nx_walk/2000", "simulated_nx_walk/200", 0});
  addRow({Row::Kind::Reference, "   the simulated NX's own walk t(20,000)/t(2,000)",
          "simulated_nx_walk/20000", "simulated_nx_walk/2000", 0});
  addRow({Row::Kind::Ratio, "5. local collection 2,000 uses of 200 files vs copy_file" + inMemory,
          "local_collection/200/2000", "local_collection_floor/200", 1.2});
  addRow({Row::Kind::Reference, onDisk, "local_collection_disk/200/2000",
          "local_collection_floor_disk/200", 0});
  addRow({Row::Kind::Counter, "5. bytes copied vs bytes of the 200 distinct files",
          "local_collection/200/2000", "local_collection/200/2000", 0, "copied_bytes",
          "distinct_bytes"});
  addRow(relativeGrowth(growthLabel("6. display metadata", "t(2,000)/t(200)"),
                        "display_metadata/2000", "display_metadata/200", "display_nx_walk/2000",
                        "display_nx_walk/200", 1.2));
  addRow(relativeGrowth(growthLabel("6. display metadata", "t(20,000)/t(2,000)"),
                        "display_metadata/20000", "display_metadata/2000", "display_nx_walk/20000",
                        "display_nx_walk/2000", 1.2));
  addRow({Row::Kind::Ratio, "6. display metadata vs the simulated NX's walk, 20,000 members",
          "display_metadata/20000", "display_nx_walk/20000", 5});
  addRow({Row::Kind::Reference, "   the simulated NX's own walk t(2,000)/t(200)",
          "display_nx_walk/2000", "display_nx_walk/200", 0});
  addRow({Row::Kind::Reference, "   the simulated NX's own walk t(20,000)/t(2,000)",
          "display_nx_walk/20000", "display_nx_walk/2000", 0});
  addRow({Row::Kind::Counter, "6. display metadata peak heap per member (20,000)",
          "display_metadata/20000", "display_metadata/20000", 4096, "peak_bytes_per_member"});
  addRow({Row::Kind::Ratio, "7. upload share of 2,000 files vs copying them" + inMemory,
          "upload_share/2000", "upload_share_floor/2000", 1.1});
  addRow(
      {Row::Kind::Reference, onDisk, "upload_share_disk/2000", "upload_share_floor_disk/2000", 0});
}

}  // namespace bench
