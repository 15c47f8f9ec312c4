#include "app/generations.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "app/locations.h"
#include "errors/failure.h"
#include "errors/procedure.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "settings/ini_access.h"
#include "settings/language.h"

namespace velnor {
namespace {

constexpr const char* kManifest = "Generation.ini";
constexpr const char* kKept = "kept";
constexpr const char* kAbsent = "absent";

// A file the run may write, by its role.
struct ProjectFile {
  const char* role;
  std::string path;
};

// The five files, in one order for keeping, listing and restoring. The Program.ini is
// the one the run writes, which a run creates when it is missing.
std::vector<ProjectFile> ProjectFiles(const RunState& run) {
  return {
      {"ComponentDatabase", GetPathOCXMDB(run)},
      {"SourceDatabase", GetPathSourceOCXMDB(run)},
      {"ProgramIni", ProgramIniWritePath(run)},
      {"Cfg", JoinPath(JoinPath(run.baseFolder, run.component), run.component + ".cfg")},
      {"LanguageFile",
       LanguageFilePath(run.process.executableFolder, run.process.executableBaseName)},
  };
}

// The sequence number of a generation's folder name "yyyymmdd-hhmmss-mmm-<sequence>";
// nothing for any other name.
std::optional<std::int64_t> SequenceOf(const std::string& name) {
  constexpr std::string_view kShape = "99999999-999999-999-";
  if (name.size() <= kShape.size() || name.size() > kShape.size() + 18) return std::nullopt;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const bool digit = name[i] >= '0' && name[i] <= '9';
    const bool dash = i < kShape.size() && kShape[i] == '-';
    if (dash ? name[i] != '-' : !digit) return std::nullopt;
  }
  return std::stoll(name.substr(kShape.size()));
}

// In UTC, which knows no summer time: the names read in the order the runs came.
std::string TimeText(std::chrono::system_clock::time_point when, const char* format) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()) % 1000;
  char text[40];
  std::strftime(text, sizeof text, format, std::gmtime(&seconds));
  char withMillis[48];
  std::snprintf(withMillis, sizeof withMillis, "%s%03d", text, static_cast<int>(millis.count()));
  return withMillis;
}

std::string ModeOf(const StartMode& mode) {
  if (mode.silent) return "Silent";
  return mode.integrated ? "Integrated" : "Standalone";
}

// The generation in folder as its manifest describes it; nothing when the manifest is
// missing or lacks a file's entry.
std::optional<Generation> ReadGeneration(const RunState& run, const std::string& folder,
                                         const std::string& id, std::int64_t sequence) {
  const std::string manifest = JoinPath(folder, kManifest);
  if (!FileExists(manifest)) return std::nullopt;
  Generation generation{id,
                        folder,
                        sequence,
                        LoadIniWholeString("Generation", "Time", manifest),
                        LoadIniWholeString("Generation", "Mode", manifest),
                        LoadIniWholeString("Generation", "Version", manifest),
                        {}};
  for (const ProjectFile& file : ProjectFiles(run)) {
    const std::string state = LoadIniWholeString("Files", file.role, manifest);
    if (state != kKept && state != kAbsent) return std::nullopt;
    generation.files.push_back({file.role, FileNameOf(file.path), state == kKept});
  }
  return generation;
}

// Removes what killed runs left half kept and every generation beyond the newest
// kKeptGenerations. One that cannot be removed now goes with a later run.
void Prune(const RunState& run) {
  const std::string folder = GenerationsFolder(run);
  for (const std::string& name : SubfolderNames(folder)) {
    const std::string path = JoinPath(folder, name);
    if (SequenceOf(name) && !FileExists(JoinPath(path, kManifest))) RemoveFolder(path);
  }
  const std::vector<Generation> kept = ListGenerations(run);
  for (std::size_t i = kKeptGenerations; i < kept.size(); ++i) RemoveFolder(kept[i].folder);
}

std::int64_t LastSequence(const std::string& folder) {
  std::int64_t last = 0;
  for (const std::string& name : SubfolderNames(folder)) {
    last = std::max(last, SequenceOf(name).value_or(0));
  }
  return last;
}

}  // namespace

std::string GenerationsFolder(const RunState& run) {
  return JoinPath(JoinPath(run.baseFolder, run.component), run.component + "_Generations");
}

std::vector<Generation> ListGenerations(const RunState& run) {
  const std::string folder = GenerationsFolder(run);
  std::vector<Generation> generations;
  for (const std::string& name : SubfolderNames(folder)) {
    const std::optional<std::int64_t> sequence = SequenceOf(name);
    if (!sequence) continue;
    if (auto generation = ReadGeneration(run, JoinPath(folder, name), name, *sequence)) {
      generations.push_back(std::move(*generation));
    }
  }
  std::sort(generations.begin(), generations.end(),
            [](const Generation& a, const Generation& b) { return a.sequence > b.sequence; });
  return generations;
}

Generation KeepGeneration(const RunState& run, const std::string& mode) {
  const std::string folder = GenerationsFolder(run);
  const auto now = std::chrono::system_clock::now();
  Generation generation;
  generation.sequence = LastSequence(folder) + 1;
  generation.id = TimeText(now, "%Y%m%d-%H%M%S-") + "-" + std::to_string(generation.sequence);
  generation.folder = JoinPath(folder, generation.id);
  generation.time = TimeText(now, "%Y-%m-%d %H:%M:%S.") + " UTC";
  generation.mode = mode;
  generation.version = VersionText(run.process.version);

  const auto fail = [&](const std::string& reason) {
    RemoveFolder(generation.folder);
    Raise(failure_number::kFileAccessError, "The project's files could not be kept in '" +
                                                generation.folder + "' before they are changed (" +
                                                reason + "); none of them is changed");
  };
  // The component's folder is never made here: a project without one is no project.
  const std::string componentFolder = JoinPath(run.baseFolder, run.component);
  if (!FolderExists(componentFolder)) fail("the folder '" + componentFolder + "' does not exist");
  if (const IoResult made = MakeFolder(generation.folder); !made) fail(made.error);
  std::vector<ProfileEntry> manifest = {{"Generation", "Time", generation.time},
                                        {"Generation", "Mode", generation.mode},
                                        {"Generation", "Version", generation.version}};
  for (const ProjectFile& file : ProjectFiles(run)) {
    const KeptFile kept{file.role, FileNameOf(file.path), FileExists(file.path)};
    if (kept.present) {
      const IoResult copied = CopyFileAtomically(file.path, JoinPath(generation.folder, kept.name));
      if (!copied) fail(copied.error);
    }
    manifest.push_back({"Files", kept.role, kept.present ? kKept : kAbsent});
    generation.files.push_back(kept);
  }
  // The manifest comes last: a generation without one is a run's that was killed.
  std::vector<ProfileRefusal> refused;
  const IoResult written =
      WriteProfileEntries(manifest, JoinPath(generation.folder, kManifest), refused);
  if (!written) fail(written.error);
  if (!refused.empty()) fail(refused.front().why);
  Prune(run);
  return generation;
}

bool KeepGenerationBeforeWriting(const RunState& run) {
  if (run.generationKept == GenerationKept::kNotYet) {
    Procedure proc("KeepGeneration");
    const bool kept = proc.Step([&] { KeepGeneration(run, ModeOf(run.mode)); });
    run.generationKept = kept ? GenerationKept::kKept : GenerationKept::kFailed;
  }
  return run.generationKept == GenerationKept::kKept;
}

BeforeReplacing KeepingBeforeWriting(const RunState& run) {
  return [&run] { return KeepGenerationBeforeWriting(run); };
}

Restored RestoreGeneration(const RunState& run, const std::string& id) {
  const std::string folder = GenerationsFolder(run);
  const std::vector<Generation> kept = ListGenerations(run);
  if (kept.empty()) {
    Raise(failure_number::kFileNotFound, "No generation of the component \"" + run.component +
                                             "\" is kept in '" + folder +
                                             "', so there is nothing to restore.");
  }
  const auto chosen = id.empty() ? kept.begin()
                                 : std::find_if(kept.begin(), kept.end(),
                                                [&](const Generation& g) { return g.id == id; });
  if (chosen == kept.end()) {
    Raise(failure_number::kFileNotFound, "No generation '" + id + "' is kept in '" + folder +
                                             "'; --history lists those that are.");
  }

  // Read whole before anything changes: keeping the state before may prune the oldest.
  std::vector<FileReplacement> replacements;
  const std::vector<ProjectFile> files = ProjectFiles(run);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const KeptFile& file = chosen->files[i];
    FileReplacement replacement{files[i].path, std::nullopt};
    if (file.present) {
      replacement.bytes = ReadFileBytes(JoinPath(chosen->folder, file.name));
      if (!replacement.bytes) {
        Raise(failure_number::kFileAccessError,
              "The generation '" + chosen->id + "' cannot be restored: its file '" +
                  JoinPath(chosen->folder, file.name) + "' cannot be read. Nothing is changed.");
      }
    }
    replacements.push_back(std::move(replacement));
  }
  Restored restored{*chosen, KeepGeneration(run, "Restore of " + chosen->id)};
  if (const IoResult put = ReplaceFilesTogether(replacements); !put) {
    Raise(failure_number::kFileAccessError,
          "The generation '" + chosen->id + "' could not be put back (" + put.error +
              "); the files as they were are kept as generation '" + restored.keptBefore.id + "'");
  }
  return restored;
}

}  // namespace velnor
