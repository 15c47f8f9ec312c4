#include "projectdb/record_creation.h"

#include <optional>
#include <string>
#include <vector>

#include "app/locations.h"
#include "app/machines.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "projectdb/database.h"
#include "projectdb/field_lists.h"
#include "projectdb/pending.h"
#include "projectdb/preset_defs.h"
#include "settings/ini_access.h"

namespace velnor {
namespace {

constexpr std::int64_t kLargestId = 32767;  // "ID" is a 16-bit number

using Row = std::vector<db::Value>;

// Whether the component applies to machine 1: integrated, by the ".cfg" file's
// "ValidMachines" ("ALL", or a text that contains the machine's name); standalone, by
// its key "ForMachine1".
bool MachineSelected(const RunState& run, const std::string& validMachines) {
  if (run.mode.integrated) {
    const std::string valid = UpperCase(validMachines);
    if (valid == "ALL") return true;
    if (MachineCount(run.machines) < 1) {
      Raise(failure_number::kSubscriptOutOfRange,
            "Subscript out of range: the line has no machine 1: " + WhyNoFirstMachine(run));
    }
    // An empty list names no machine, not even one without a name.
    return !valid.empty() && valid.find(UpperCase(run.machines[1])) != std::string::npos;
  }
  return LoadIniBoolean("Project", "ForMachine1", GetCFGPath(run), kAnyMode, kQuietIfMissing);
}

// The template rows, every value with its kind.
std::vector<Row> ReadTemplate(db::RecordSet& records, std::int64_t count) {
  std::vector<Row> rows;
  rows.reserve(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count && !records.Eof(); ++i) {
    Row& row = rows.emplace_back();
    row.reserve(records.FieldCount());
    for (std::size_t j = 0; j < records.FieldCount(); ++j) {
      LetWindowProcessMessages();
      row.push_back(records.Field(j));
    }
    records.MoveNext();
  }
  return rows;
}

std::string InsertSql(const std::vector<db::Column>& columns) {
  std::string names;
  std::string values;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) {
      names += ", ";
      values += ", ";
    }
    names += db::QuoteName(columns[i].name);
    values += "?" + std::to_string(i + 1);
  }
  return "INSERT INTO main.PRESET_DEFS (" + names + ") VALUES (" + values + ")";
}

}  // namespace

bool CreateRecordSets(db::Database& database, const RunState& run, const UpdateState& update,
                      PreviousGeneration& previous) {
  Procedure proc("CreateRecordSets");
  std::string validMachines;
  proc.Step([&] { validMachines = GetValidMachines(run); });

  std::vector<db::Column> columns;
  std::optional<db::RecordSet> templateRecords;
  if (!proc.Step([&] { columns = database.Columns("PRESET_DEFS"); })) return false;
  if (!proc.Step([&] {
        templateRecords.emplace(db::RecordSet::OverTable(database, "Source_PRESET_DEFS"));
      })) {
    return false;
  }

  std::int16_t rowCount = 0;
  // A template too long to number cannot become the new table: an empty table would
  // replace the previous generation.
  const bool counted = proc.Step([&] {
    if (templateRecords->RecordCount() > 32767) {
      Raise(failure_number::kOverflow,
            "Overflow: " + std::to_string(templateRecords->RecordCount()) + " template rows in " +
                database.Describe("table Source_PRESET_DEFS") + ", at most 32767 can be numbered");
    }
    rowCount = static_cast<std::int16_t>(templateRecords->RecordCount());
  });
  if (!counted) return false;
  if (rowCount <= 0) return true;

  std::vector<Row> templateRows;
  if (!proc.Step([&] { templateRows = ReadTemplate(*templateRecords, rowCount); })) return false;
  templateRecords.reset();

  // A machine that could not be examined is no machine found unselected: rows may be
  // due, and an empty table must not take the previous generation's place.
  bool selected = false;
  if (!proc.Step([&] { selected = MachineSelected(run, validMachines); })) return false;
  if (!selected) return true;
  // Every text of the rows carries the machine's name; without one no row can be
  // composed, so the line's missing machine is reported once instead of per value.
  std::string machine;
  if (!proc.Step([&] {
        if (MachineCount(run.machines) < 1) {
          Raise(failure_number::kSubscriptOutOfRange,
                "Subscript out of range: the line has no machine 1 to create the rows of " +
                    database.Describe("table PRESET_DEFS") + " for: " + WhyNoFirstMachine(run));
        }
        machine = run.machines[1];
      })) {
    return false;
  }

  const std::optional<std::size_t> idColumn = db::FindColumn(columns, "ID");
  const std::optional<std::size_t> partColumn = db::FindColumn(columns, "part");
  std::vector<bool> isVarName(columns.size());
  for (std::size_t j = 0; j < columns.size(); ++j) {
    isVarName[j] = UpperCase(columns[j].name) == "VAR_NAME";
  }

  std::optional<db::Transaction> transaction;
  std::optional<db::Statement> insert;
  if (!proc.Step([&] {
        transaction.emplace(database, "the rows of table PRESET_DEFS");
        insert.emplace(database, InsertSql(columns),
                       database.Describe("adding a row to table PRESET_DEFS"));
      })) {
    return false;
  }

  NameConversion conversion(previous, update.NameSystem);
  bool everyRowStored = true;
  std::int64_t nextId = 1;
  std::size_t rowNumber = 0;
  for (Row& templateRow : templateRows) {
    ++rowNumber;
    LetWindowProcessMessages();
    Row row(columns.size());
    proc.Step([&] {
      if (!idColumn) {
        Raise(failure_number::kItemNotFound,
              database.Describe("writing the ID of a new row of table PRESET_DEFS") +
                  ": no such column: ID");
      }
      if (nextId > kLargestId) Raise(failure_number::kOverflow, "Overflow: more than 32767 IDs");
      row[*idColumn] = db::Value(nextId);
      ++nextId;
    });
    for (std::size_t j = 1; j < columns.size(); ++j) {
      LetWindowProcessMessages();
      proc.Step([&] {
        if (j >= templateRow.size()) {
          Raise(failure_number::kSubscriptOutOfRange,
                "Subscript out of range: the template has no column " + columns[j].name);
        }
        // Each template value is used once: it is moved into the new row.
        db::Value& value = templateRow[j];
        if (value.IsText() && isVarName[j]) {
          if (!partColumn) {
            Raise(failure_number::kItemNotFound,
                  database.Describe("composing the var_name of a new row of table PRESET_DEFS") +
                      ": no such column: part");
          }
          if (*partColumn > j) {
            // The row is filled in column order: a part that comes later is not known yet.
            Raise(failure_number::kTypeMismatch,
                  database.Describe("composing the var_name of row " + std::to_string(rowNumber) +
                                    " of table PRESET_DEFS") +
                      ": Invalid use of Null: column part follows column var_name, so the "
                      "part is not known yet");
          }
          // The description of a failure is composed only when there is one.
          const db::Value& partValue = row[*partColumn];
          const int part =
              partValue.kind() == db::ValueKind::Integer && partValue.integer() >= 1 &&
                      partValue.integer() <= kPartCount
                  ? static_cast<int>(partValue.integer())
                  : PartNumberOf(partValue, database.Describe("composing the var_name of row " +
                                                              std::to_string(rowNumber) +
                                                              " of table PRESET_DEFS"));
          std::array<std::string, 2> names;
          for (int system = 0; system < 2; ++system) {
            names[system] = update.VarNamePatterns[system][part];
            ReplaceFirstIgnoringCase(names[system], kVarNamePlaceholder, value.text());
            ReplaceFirstIgnoringCase(names[system], kMachinePlaceholder, machine);
            ReplaceFirstIgnoringCase(names[system], kMachinePlaceholder, machine);
          }
          conversion.Convert(names[0], names[1]);
          row[j] = db::Value(std::move(names[update.NameSystem == kVisiWinStudioNaming ? 1 : 0]));
        } else if (value.IsText()) {
          row[j] = std::move(value);
          ReplaceFirstIgnoringCase(row[j].text(), kMachinePlaceholder, machine);
        } else {
          row[j] = std::move(value);
        }
      });
    }
    everyRowStored = proc.Step([&] {
      insert->BindAll(row);
      insert->Run();
    }) && everyRowStored;
  }
  const bool namesStored = conversion.Finish();
  return proc.Step([&] { transaction->Commit(); }) && everyRowStored && namesStored;
}

}  // namespace velnor
