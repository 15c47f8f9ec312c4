#include "projectdb/jet/jet_conversion.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <vector>

#include "app/generations.h"
#include "app/locations.h"
#include "app/run_lock.h"
#include "errors/error_report.h"
#include "errors/procedure.h"
#include "platform/files.h"
#include "platform/fs_path.h"
#include "platform/kept_original.h"
#include "platform/paths.h"
#include "projectdb/database.h"
#include "projectdb/jet/jet_copy.h"

namespace velnor {
namespace {

// A new file in a temporary folder of its own for the converted database, removed with
// what SQLite may leave beside it.
class ScratchFile {
 public:
  ScratchFile() : folder_("velnor-jet-") {
    if (folder_.path().empty()) {
      Raise(failure_number::kFileAccessError, "no temporary folder for the converted database");
    }
    path_ = JoinPath(folder_.path(), "converted.sqlite");
  }
  const std::string& path() const { return path_; }

 private:
  TemporaryFolder folder_;
  std::string path_;
};

[[noreturn]] void Refuse(const std::string& path, const std::string& reason) {
  Raise(failure_number::kDatabaseError,
        "The Access database '" + path + "' is not converted and stays as it is: " + reason);
}

// The converted file must hold every table with as many rows as the Jet file's table
// headers count, and pass the engine's own check.
void Check(const std::string& jetPath, const std::string& converted,
           const std::vector<jet::CopiedTable>& tables) {
  db::Database result = db::Database::Open(converted);
  db::Statement integrity(result, "PRAGMA integrity_check", result.Describe("checking"));
  if (!integrity.Step() || integrity.Column(0) != db::Value("ok")) {
    Refuse(jetPath, "the converted database fails its integrity check");
  }
  for (const jet::CopiedTable& table : tables) {
    const std::int64_t found = result.RowCount(table.name);
    if (found != table.headerRows) {
      Refuse(jetPath, "table " + table.name + " holds " + std::to_string(found) +
                          " rows after conversion, its Jet header counts " +
                          std::to_string(table.headerRows));
    }
  }
  if (tables.size() != result.TableNames().size()) {
    Refuse(jetPath, "the converted database holds other tables than the Jet file");
  }
}

}  // namespace

std::string ConvertIfJet(const std::string& path, const JetConversionSettings& settings) {
  if (path.empty() || !FileExists(path) || !IsJetFile(path)) return "";
  const std::string original = ResolvePath(path);

  const std::optional<std::string> bytes = ReadFileBytes(original);
  if (!bytes) Refuse(original, "it cannot be read");
  const ScratchFile converted;
  try {
    const jet::Deadline deadline(settings.timeLimit);
    Check(original, converted.path(), jet::CopyJetToSqlite(*bytes, converted.path(), deadline));
  } catch (const Failure& failure) {
    if (failure.description().starts_with("The Access database")) throw;
    Refuse(original, failure.description());
  } catch (const std::bad_alloc&) {
    Refuse(original, "not memory enough to convert it");
  }

  const KeptOriginal kept = KeepOriginalBeside(original, ".jet");
  if (!kept.ok) Refuse(original, kept.error);
  const IoResult replaced = CopyFileAtomically(converted.path(), original);
  if (!replaced) {
    std::error_code ignored;  // the original is still in its place
    std::filesystem::remove(FsPath(kept.path), ignored);
    Refuse(original, replaced.error);
  }
  WriteErrorLog("Access database '" + original +
                "' converted to SQLite; the original is kept as '" + kept.path + "'");
  return kept.path;
}

void ConvertJetDatabases(const RunState& run, const JetConversionSettings& settings) {
  Procedure proc("ConvertJetDatabases");
  for (const std::string& path : {GetPathSourceOCXMDB(run), GetPathOCXMDB(run)}) {
    proc.Step([&] {
      if (IsJetFile(path) && KeepGenerationBeforeWriting(run)) ConvertIfJet(path, settings);
    });
  }
}

int ImportJetDatabases(const RunState& run, std::ostream& out, std::ostream& err) {
  // Never beside a run that updates the same databases.
  const FolderLock lock = LockTheRun(run, std::chrono::milliseconds::zero());
  const std::vector<std::string> paths = {GetPathSourceOCXMDB(run), GetPathOCXMDB(run)};
  // What a conversion replaces is kept first, as by any run that writes the project.
  if (std::any_of(paths.begin(), paths.end(), [](const std::string& p) { return IsJetFile(p); })) {
    try {
      KeepGeneration(run, "Import of Access databases");
    } catch (const Failure& failure) {
      err << failure.description() << '\n';
      return 1;
    }
  }
  bool failed = false;
  for (const std::string& path : paths) {
    try {
      const std::string kept = ConvertIfJet(path);
      if (!kept.empty())
        out << "Converted " << path << " (the original is kept as " << kept << ")\n";
    } catch (const Failure& failure) {
      err << failure.description() << '\n';
      failed = true;
    }
  }
  return failed ? 1 : 0;
}

}  // namespace velnor
