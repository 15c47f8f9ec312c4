#pragma once
// The generations a run replaces, kept for one-command restore. Before a run first
// writes the project, it copies the five files it may write (the component and source
// databases, the Program.ini it writes, the ".cfg" file and the language file) as they
// are into a folder of their own beside the component's files,
// "<base>/<component>/<component>_Generations/<id>/", with a manifest of the run's time,
// its start mode and the program's version. The last ten are kept.
//
// Nothing else of the tool reads there: a kept generation is never project data.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/run_state.h"
#include "settings/profile.h"

namespace velnor {

inline constexpr std::size_t kKeptGenerations = 10;

// One of the five files, as a generation holds it.
struct KeptFile {
  std::string role;  // "ComponentDatabase", "SourceDatabase", "ProgramIni", "Cfg", "LanguageFile"
  std::string name;  // its name in the generation's folder and in the project
  bool present = false;  // false: the file did not exist, and a restore removes it
};

struct Generation {
  std::string id;             // the folder's name: "<yyyymmdd-hhmmss-mmm>-<sequence>", UTC
  std::string folder;         // its path
  std::int64_t sequence = 0;  // counts up from run to run: the higher, the newer
  std::string time;           // "2026-12-08 09:44:39.123 UTC"
  std::string mode;           // "Standalone", "Integrated", "Silent", "Restore", ...
  std::string version;        // the program's that kept it
  std::vector<KeptFile> files;
};

// "<base>/<component>/<component>_Generations".
std::string GenerationsFolder(const RunState& run);

// The kept generations, newest first. A folder that is no complete generation (its
// manifest missing: a run killed while keeping) is left out.
std::vector<Generation> ListGenerations(const RunState& run);

// Copies the five files as they are now into a new generation, then removes all but the
// newest kKeptGenerations and what killed runs left half kept. mode names the occasion.
// A failure raises, naming the folder and the reason, and leaves no part of the new
// generation behind.
Generation KeepGeneration(const RunState& run, const std::string& mode);

// Keeps the generation once per run, right before the run's first write to one of the
// five files: true when it is kept (now or earlier in the run) and the write may go on.
// A failure is reported once, through the run's failure report; from then on every
// write of the run is refused, so that nothing is replaced that was not kept.
bool KeepGenerationBeforeWriting(const RunState& run);
// The same, for the writers of INI files.
BeforeReplacing KeepingBeforeWriting(const RunState& run);

struct Restored {
  Generation restored;
  Generation keptBefore;  // the state the restore replaced, kept as a generation
};

// Puts a kept generation back: the newest when id is "", else the one of that id. Every
// file goes back byte for byte, one that was absent is removed, and all of them together
// (see ReplaceFilesTogether). The state before is kept first as a generation of its
// own, so that a second restore undoes the first. Raises, saying why, when there is
// nothing to restore or a file cannot be put back; nothing is changed then.
Restored RestoreGeneration(const RunState& run, const std::string& id);

}  // namespace velnor
