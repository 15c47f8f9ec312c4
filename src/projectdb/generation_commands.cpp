#include "projectdb/generation_commands.h"

#include <ostream>
#include <string>
#include <vector>

#include "app/generations.h"
#include "app/run_lock.h"
#include "app/run_state.h"
#include "errors/error_report.h"
#include "errors/failure.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "projectdb/database.h"

namespace velnor {
namespace {

// The rows of "PRESET_DEFS" in the generation's component database, counted in a copy
// in memory, so that the kept file is never opened for writing; nothing when the
// generation holds none or it cannot be read.
std::optional<std::int64_t> PresetRows(const Generation& generation) {
  const KeptFile& component = generation.files.front();
  if (!component.present) return std::nullopt;
  try {
    return db::Database::OpenCopy(JoinPath(generation.folder, component.name))
        .RowCount("PRESET_DEFS");
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::vector<std::string> Names(const Generation& generation, bool present) {
  std::vector<std::string> names;
  for (const KeptFile& file : generation.files) {
    if (file.present == present) names.push_back(file.name);
  }
  return names;
}

std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::string Json(const std::string& text) {
  return JsonString(text);
}

std::string Json(const std::vector<std::string>& texts) {
  std::string list;
  for (const std::string& text : texts) list += (list.empty() ? "" : ", ") + Json(text);
  return "[" + list + "]";
}

void ListAsText(const RunState& run, const std::vector<Generation>& generations,
                std::ostream& out) {
  if (generations.empty()) {
    out << "No generation of \"" << run.component << "\" is kept yet (they are kept in "
        << GenerationsFolder(run) << ").\n";
    return;
  }
  out << "Kept generations of \"" << run.component << "\" in " << GenerationsFolder(run)
      << ", newest first:\n";
  for (const Generation& generation : generations) {
    const std::optional<std::int64_t> rows = PresetRows(generation);
    const std::vector<std::string> absent = Names(generation, false);
    out << '\n'
        << generation.id << "  " << generation.time << "  " << generation.mode << "  version "
        << generation.version << '\n'
        << "    PRESET_DEFS rows: " << (rows ? std::to_string(*rows) : "-") << '\n'
        << "    files: " << Listed(Names(generation, true))
        << (absent.empty() ? "" : " (absent: " + Listed(absent) + ")") << '\n';
  }
}

void ListAsJson(const std::vector<Generation>& generations, std::ostream& out) {
  out << "{\"generations\": [";
  for (std::size_t i = 0; i < generations.size(); ++i) {
    const Generation& generation = generations[i];
    const std::optional<std::int64_t> rows = PresetRows(generation);
    out << (i == 0 ? "" : ", ") << "{\"id\": " << Json(generation.id)
        << ", \"time\": " << Json(generation.time) << ", \"mode\": " << Json(generation.mode)
        << ", \"version\": " << Json(generation.version)
        << ", \"preset_defs_rows\": " << (rows ? std::to_string(*rows) : "null")
        << ", \"files\": " << Json(Names(generation, true))
        << ", \"absent\": " << Json(Names(generation, false))
        << ", \"folder\": " << Json(generation.folder) << "}";
  }
  out << "]}\n";
}

int Restore(const RunState& run, const std::string& id, std::ostream& out, std::ostream& err) {
  // Never beside a run that writes the same files.
  const FolderLock lock = LockTheRun(run, std::chrono::milliseconds::zero());
  try {
    const Restored restored = RestoreGeneration(run, id);
    const std::vector<std::string> removed = Names(restored.restored, false);
    out << "Restored generation " << restored.restored.id << " (" << restored.restored.time << ", "
        << restored.restored.mode << "): " << Listed(Names(restored.restored, true))
        << (removed.empty() ? "" : "; removed: " + Listed(removed)) << ".\n"
        << "The files as they were are kept as generation " << restored.keptBefore.id
        << "; --restore again puts them back.\n";
    return 0;
  } catch (const Failure& failure) {
    err << failure.description() << '\n';
    return 1;
  }
}

}  // namespace

bool IsGenerationCommand(const std::string& line) {
  return line == "--history" || line == "--history --json" || line == "--restore" ||
         line.starts_with("--restore ");
}

int RunGenerationCommand(const RunState& run, std::ostream& out, std::ostream& err) {
  const std::string& line = run.process.commandLine;
  if (line.starts_with("--restore"))
    return Restore(run, line == "--restore" ? "" : line.substr(10), out, err);
  const std::vector<Generation> generations = ListGenerations(run);
  if (line.ends_with("--json")) {
    ListAsJson(generations, out);
  } else {
    ListAsText(run, generations, out);
  }
  return 0;
}

}  // namespace velnor
