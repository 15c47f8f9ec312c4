#include "projectdb/work_on_mdb.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "app/generations.h"
#include "app/locations.h"
#include "app/machines.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "projectdb/database.h"
#include "projectdb/field_lists.h"
#include "projectdb/jet/jet_conversion.h"
#include "projectdb/preset_defs.h"
#include "projectdb/previous_generation.h"
#include "projectdb/record_creation.h"
#include "projectdb/takeover.h"
#include "settings/ini_access.h"

namespace velnor {
namespace {

constexpr const char* kPresetDefs = "PRESET_DEFS";

std::string MissingMachineCopyMessage(const std::string& componentPath) {
  return "Konnte die Datei:\"" + GetFileNameOnly(componentPath) +
         "\" in der Vorlage nicht finden!\r\n\r\n"
         "Ist das Bild in der Vorlage noch nicht vorhanden (also neu)?\r\n"
         "Dann ist diese Meldung v\xC3\xB6llig normal und es wird eine neue Datei mit den "
         "Standardwerten erzeugt.";
}

void CopyOver(const std::string& source, const std::string& target) {
  const IoResult result = CopyFileAtomically(source, target);
  if (!result) Raise(failure_number::kFileCopyFailed, result.error);
}

// doing: what the failure's description starts with.
void WriteOver(const std::string& target, std::string_view bytes, const std::string& doing) {
  const IoResult result = WriteFileAtomically(target, bytes);
  if (!result) Raise(failure_number::kFileCopyFailed, doing + ": " + result.error);
}

// One row of "Source_DEFS": its pattern goes to each naming system whose name it
// carries. Throws on a row that cannot be read.
void ReadPatternRow(const db::RecordSet& records, UpdateState& update) {
  static constexpr std::array<const char*, 2> kSystems = {"VISIWIN32", "VISIWINSTUDIO"};
  for (std::size_t slot = 0; slot < kSystems.size(); ++slot) {
    const db::Value system = records.Field("System");
    if (system.IsNull() || UpperCase(system.ToDisplayText()) != kSystems[slot]) continue;
    const int part = PartNumberOf(records.Field("Part"), "reading Source_DEFS");
    const db::Value pattern = records.Field("Var_Name");
    if (pattern.IsNull()) Raise(failure_number::kTypeMismatch, "Invalid use of Null");
    if (pattern.kind() == db::ValueKind::Blob)
      Raise(failure_number::kTypeMismatch, "Type mismatch");
    update.varNamePatterns[slot][part] = pattern.ToDisplayText();
  }
}

// Fills the update's name patterns from "Source_DEFS" in stored order; the last row for
// a system and part wins. Returns false when the naming system in use has no pattern at
// all: every name the new rows carry would be empty, and no limit could be carried over.
bool ReadNamePatterns(Procedure& proc, db::Database& source, UpdateState& update) {
  std::optional<db::RecordSet> records;
  if (!proc.Step([&] { records.emplace(db::RecordSet::OverTable(source, "Source_DEFS")); })) {
    return false;
  }
  const bool read = proc.Step([&] {
    for (; !records->Eof(); records->MoveNext()) {
      // A row that cannot be read is not reported: it stands for the plain pattern of
      // part 1 in both systems, and reading goes on with the next row.
      try {
        ReadPatternRow(*records, update);
      } catch (const Failure&) {
        update.varNamePatterns[kVisiWin32Naming][1] = kVarNamePlaceholder;
        update.varNamePatterns[kVisiWinStudioNaming][1] = kVarNamePlaceholder;
      }
    }
  });
  if (!read) return false;
  // A part without a pattern is ordinary (templates carry parts that one naming system
  // alone names); a naming system without any is not.
  const auto& patterns = update.varNamePatterns[update.nameSystem];
  const bool any = std::any_of(patterns.begin() + 1, patterns.end(),
                               [](const std::string& pattern) { return !pattern.empty(); });
  return any || proc.Step([&] {
    Raise(failure_number::kDatabaseError,
          source.Describe("table Source_DEFS") + " holds no variable-name pattern for " +
              "the naming system in use (rows whose System is " +
              (update.nameSystem == kVisiWinStudioNaming ? "VISIWINSTUDIO" : "VISIWIN32") +
              "), so no variable name could be composed");
  });
}

// Replaces "PRESET_DEFS" by an empty table with the template's columns. Both happen or
// neither: a template that cannot be read leaves the previous table in place.
void RebuildPresetDefs(db::Database& source) {
  db::Transaction transaction(source, "the rebuild of table PRESET_DEFS");
  if (source.HasTableNamedExactly(kPresetDefs)) source.DropTable(kPresetDefs);
  source.CreateTable(kPresetDefs, source.Columns("Source_PRESET_DEFS"));
  transaction.Commit();
}

// A database that exists but cannot be read whole may hold what a person must look at
// before anything is thrown away: it is opened only when intact, and so never written
// to or replaced. The new generation is built in a copy in memory, so that a run that
// ends before it is complete leaves the file as it was, its times included.
db::Database OpenIntactCopy(const std::string& path) {
  db::Database database = db::Database::OpenCopy(path);
  database.CheckIntact();
  return database;
}

// Whether the previous generation, when there is one, can be read whole. One that
// cannot is reported once, naming the file, and keeps its place.
bool PreviousGenerationReadable(Procedure& proc, PreviousGeneration& previous) {
  if (!previous.exists()) return true;
  return proc.Step([&] {
    try {
      previous.Copy().CheckIntact();
    } catch (const Failure& failure) {
      throw Failure(failure.number(), failure.source(),
                    failure.description() +
                        "; the component database is kept as it is, and no new generation "
                        "takes its place");
    }
  });
}

// The previous generation's "PRESET_DEFS", when it has one. Returns false when its
// values could not be carried over.
bool TakeOverPreviousGeneration(Procedure& proc, db::Database& source, const RunState& run,
                                PreviousGeneration& previousGeneration) {
  if (!previousGeneration.exists()) return true;
  db::Database& component = previousGeneration.Copy();
  bool hasPresetDefs = false;
  if (!proc.Step([&] { hasPresetDefs = component.HasTableNamedExactly(kPresetDefs); })) {
    return false;
  }
  if (!hasPresetDefs) return true;
  std::optional<db::RecordSet> previous;
  if (!proc.Step([&] { previous.emplace(db::RecordSet::OverTable(component, kPresetDefs)); })) {
    return false;
  }
  return TakeoverMachineCopyMDBData(source, previous, run, GetAddFields(run));
}

// The new generation goes into the source database first, as the copy the component
// database is then made of: a component database that differs from its previous
// generation is so always the source's twin. The source keeps its last-write time.
void PutInPlace(Procedure& proc, std::string_view newGeneration, const std::string& sourcePath,
                const std::optional<FileTime>& sourceTime, const std::string& componentPath) {
  if (!proc.Step([&] {
        WriteOver(sourcePath, newGeneration,
                  "writing the new generation into '" + sourcePath + "'");
      })) {
    return;
  }
  if (sourceTime) {
    proc.Step([&] {
      const IoResult result = SetLastWriteTime(sourcePath, *sourceTime);
      if (!result) Raise(failure_number::kFileAccessError, result.error);
    });
  }
  proc.Step([&] {
    WriteOver(componentPath, newGeneration,
              "copying '" + sourcePath + "' over '" + componentPath + "'");
  });
}

}  // namespace

void WorkOnMDB(const RunState& run) {
  Procedure proc("WorkOnMDB");
  std::string sourcePath;
  std::string componentPath;
  std::string machineCopyPath;
  proc.Step([&] { sourcePath = GetPathSourceOCXMDB(run); });
  proc.Step([&] { componentPath = GetPathOCXMDB(run); });
  proc.Step([&] { machineCopyPath = GetPathMachineCopyMDB(run); });

  UpdateState update;
  proc.Step([&] {
    if (!run.mode.integrated && LoadIniBoolean("Project", "VWStudio", run.programIniForReading,
                                               kAnyMode, kQuietIfMissing)) {
      update.nameSystem = kVisiWinStudioNaming;
    }
  });
  if (sourcePath.empty()) return;

  // The source database takes the new generation too, but keeps its last-write time.
  std::optional<FileTime> sourceTime;
  proc.Step([&] { sourceTime = LastWriteTime(sourcePath); });

  // The databases may be written from here on (the machine copy, the conversion, the new
  // generation): what they replace is kept first, or nothing is replaced.
  if (!KeepGenerationBeforeWriting(run)) return;

  if (run.mode.integrated) {
    proc.Step([&] {
      if (machineCopyPath.empty() || !FileExists(machineCopyPath)) {
        ShowMessageBox(MissingMachineCopyMessage(componentPath), kStyleInformation,
                       run.process.executableBaseName);
      } else {
        CopyOver(machineCopyPath, componentPath);
      }
    });
  }

  // Databases brought over from Windows as Access files become SQLite databases first.
  ConvertJetDatabases(run);

  std::optional<db::Database> source;
  proc.Step([&] { source.emplace(OpenIntactCopy(sourcePath)); });
  PreviousGeneration previous(FileExists(componentPath) ? componentPath : "");
  // Neither database changes unless the new generation is complete: a source database
  // that cannot be opened, patterns that name nothing, rows that were due but could not
  // be made, or values of the previous generation that could not be carried over would
  // all leave a table without the user's limits. The component database is then left as
  // it is, and so is one that cannot be read.
  bool rebuilt = false;
  bool complete = false;
  if (source && PreviousGenerationReadable(proc, previous) &&
      ReadNamePatterns(proc, *source, update)) {
    proc.Step([&] {
      RebuildPresetDefs(*source);
      rebuilt = true;
    });
    if (rebuilt) {
      CategorieNachCategoryID(previous);
      complete = CreateRecordSets(*source, run, update, previous);
      complete = TakeOverPreviousGeneration(proc, *source, run, previous) && complete;
    }
  }
  if (rebuilt && !complete) {
    proc.Step([&] {
      Raise(failure_number::kDatabaseError,
            "The component database '" + componentPath + "' is not replaced, nor is the " +
                "source database '" + sourcePath + "', since rows or values of the new table " +
                "PRESET_DEFS could not be made; both keep their previous generation");
    });
  }
  if (!complete) return;

  std::string newGeneration;
  if (!proc.Step([&] { newGeneration = source->FileImage(); })) return;
  source.reset();
  PutInPlace(proc, newGeneration, sourcePath, sourceTime, componentPath);
}

}  // namespace velnor
