#include "projectdb/record_creation.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

std::array<std::string, 2> ComposeVarName(const UpdateState& update, int part,
                                          std::string_view templateName, std::string_view machine) {
  std::array<std::string, 2> names;
  for (int system = 0; system < 2; ++system) {
    names[system] = update.varNamePatterns[system][part];
    ReplaceFirstIgnoringCase(names[system], kVarNamePlaceholder, templateName);
    ReplaceFirstIgnoringCase(names[system], kMachinePlaceholder, machine);
    ReplaceFirstIgnoringCase(names[system], kMachinePlaceholder, machine);
  }
  return names;
}

namespace {

// What the new rows are made of: the rebuilt table's columns and the template's rows.
struct RowSource {
  std::vector<db::Column> columns;
  std::int16_t templateCount = 0;  // as the template table counts its rows
  std::vector<Row> templateRows;
};

// The new table's columns and the template rows; nothing when a failure was reported.
// A template too long to number cannot become the new table: an empty table would
// replace the previous generation.
std::optional<RowSource> ReadRowSource(Procedure& proc, db::Database& database) {
  RowSource source;
  std::optional<db::RecordSet> templateRecords;
  if (!proc.Step([&] { source.columns = database.Columns("PRESET_DEFS"); })) return std::nullopt;
  if (!proc.Step([&] {
        templateRecords.emplace(db::RecordSet::OverTable(database, "Source_PRESET_DEFS"));
      })) {
    return std::nullopt;
  }
  const bool counted = proc.Step([&] {
    if (templateRecords->RecordCount() > 32767) {
      Raise(failure_number::kOverflow,
            "Overflow: " + std::to_string(templateRecords->RecordCount()) + " template rows in " +
                database.Describe("table Source_PRESET_DEFS") + ", at most 32767 can be numbered");
    }
    source.templateCount = static_cast<std::int16_t>(templateRecords->RecordCount());
  });
  if (!counted) return std::nullopt;
  if (source.templateCount > 0 && !proc.Step([&] {
        source.templateRows = ReadTemplate(*templateRecords, source.templateCount);
      })) {
    return std::nullopt;
  }
  return source;
}

// Machine 1's name, which every text of the rows carries; without one no row can be
// composed, so the line's missing machine is reported once instead of per value.
std::string FirstMachine(const RunState& run, const db::Database& database) {
  if (MachineCount(run.machines) < 1) {
    Raise(failure_number::kSubscriptOutOfRange,
          "Subscript out of range: the line has no machine 1 to create the rows of " +
              database.Describe("table PRESET_DEFS") + " for: " + WhyNoFirstMachine(run));
  }
  return run.machines[1];
}

// Makes the new rows from the template rows, one at a time: the next ID, the machine's
// name in every text and a var_name composed by the row's part.
class RowComposer {
 public:
  RowComposer(const db::Database& database, const std::vector<db::Column>& columns,
              const UpdateState& update, std::string machine, NameConversion& conversion)
      : database_(database),
        columns_(columns),
        update_(update),
        machine_(std::move(machine)),
        conversion_(conversion),
        idColumn_(db::FindColumn(columns, "ID")),
        partColumn_(db::FindColumn(columns, "part")),
        isVarName_(columns.size()) {
    for (std::size_t j = 0; j < columns.size(); ++j) {
      isVarName_[j] = UpperCase(columns[j].name) == "VAR_NAME";
    }
  }

  // The rowNumber-th new row; each template value is used once: it is moved into the new
  // row. A value that fails is reported under proc and stays null.
  Row Compose(Procedure& proc, Row& templateRow, std::size_t rowNumber) {
    Row row(columns_.size());
    proc.Step([&] {
      const std::size_t idColumn = IdColumn();
      row[idColumn] = NextId();
    });
    for (std::size_t j = 1; j < columns_.size(); ++j) {
      LetWindowProcessMessages();
      proc.Step([&] {
        if (j >= templateRow.size()) {
          Raise(failure_number::kSubscriptOutOfRange,
                "Subscript out of range: the template has no column " + columns_[j].name);
        }
        row[j] = ValueOf(std::move(templateRow[j]), j, row, rowNumber);
      });
    }
    return row;
  }

 private:
  std::size_t IdColumn() const {
    if (!idColumn_) {
      Raise(failure_number::kItemNotFound,
            database_.Describe("writing the ID of a new row of table PRESET_DEFS") +
                ": no such column: ID");
    }
    return *idColumn_;
  }

  db::Value NextId() {
    if (nextId_ > kLargestId) Raise(failure_number::kOverflow, "Overflow: more than 32767 IDs");
    return db::Value(nextId_++);
  }

  db::Value ValueOf(db::Value value, std::size_t column, const Row& row, std::size_t rowNumber) {
    if (value.IsText() && isVarName_[column])
      return VarNameOf(value.text(), column, row, rowNumber);
    if (value.IsText()) ReplaceFirstIgnoringCase(value.text(), kMachinePlaceholder, machine_);
    return value;
  }

  // The var_name in the update's naming system; the previous generation's rows that
  // carry it in the other system are converted to it.
  db::Value VarNameOf(const std::string& templateName, std::size_t column, const Row& row,
                      std::size_t rowNumber) {
    std::array<std::string, 2> names =
        ComposeVarName(update_, PartOf(column, row, rowNumber), templateName, machine_);
    conversion_.Convert(names[0], names[1]);
    return db::Value(std::move(names[update_.nameSystem == kVisiWinStudioNaming ? 1 : 0]));
  }

  int PartOf(std::size_t varNameColumn, const Row& row, std::size_t rowNumber) const {
    if (!partColumn_) {
      Raise(failure_number::kItemNotFound,
            database_.Describe("composing the var_name of a new row of table PRESET_DEFS") +
                ": no such column: part");
    }
    if (*partColumn_ > varNameColumn) {
      // The row is filled in column order: a part that comes later is not known yet.
      Raise(failure_number::kTypeMismatch,
            database_.Describe("composing the var_name of row " + std::to_string(rowNumber) +
                               " of table PRESET_DEFS") +
                ": Invalid use of Null: column part follows column var_name, so the "
                "part is not known yet");
    }
    // The description of a failure is composed only when there is one.
    const db::Value& partValue = row[*partColumn_];
    if (partValue.kind() == db::ValueKind::Integer && partValue.integer() >= 1 &&
        partValue.integer() <= kPartCount) {
      return static_cast<int>(partValue.integer());
    }
    return PartNumberOf(
        partValue, database_.Describe("composing the var_name of row " + std::to_string(rowNumber) +
                                      " of table PRESET_DEFS"));
  }

  const db::Database& database_;
  const std::vector<db::Column>& columns_;
  const UpdateState& update_;
  const std::string machine_;
  NameConversion& conversion_;
  const std::optional<std::size_t> idColumn_;
  const std::optional<std::size_t> partColumn_;
  std::vector<bool> isVarName_;
  std::int64_t nextId_ = 1;
};

// Stores a new row for each template row in one transaction; false when a row or a
// converted name could not be stored.
bool StoreRows(Procedure& proc, db::Database& database, RowSource& source, RowComposer& composer,
               NameConversion& conversion) {
  std::optional<db::Transaction> transaction;
  std::optional<db::Statement> insert;
  if (!proc.Step([&] {
        transaction.emplace(database, "the rows of table PRESET_DEFS");
        insert.emplace(database, InsertSql(source.columns),
                       database.Describe("adding a row to table PRESET_DEFS"));
      })) {
    return false;
  }
  bool everyRowStored = true;
  std::size_t rowNumber = 0;
  for (Row& templateRow : source.templateRows) {
    LetWindowProcessMessages();
    const Row row = composer.Compose(proc, templateRow, ++rowNumber);
    everyRowStored = proc.Step([&] {
      insert->BindAll(row);
      insert->Run();
    }) && everyRowStored;
  }
  const bool namesStored = conversion.Finish();
  return proc.Step([&] { transaction->Commit(); }) && everyRowStored && namesStored;
}

}  // namespace

bool CreateRecordSets(db::Database& database, const RunState& run, const UpdateState& update,
                      PreviousGeneration& previous) {
  Procedure proc("CreateRecordSets");
  std::string validMachines;
  proc.Step([&] { validMachines = GetValidMachines(run); });

  std::optional<RowSource> source = ReadRowSource(proc, database);
  if (!source) return false;
  if (source->templateCount <= 0) return true;

  // A machine that could not be examined is no machine found unselected: rows may be
  // due, and an empty table must not take the previous generation's place.
  bool selected = false;
  if (!proc.Step([&] { selected = MachineSelected(run, validMachines); })) return false;
  if (!selected) return true;
  std::string machine;
  if (!proc.Step([&] { machine = FirstMachine(run, database); })) return false;

  NameConversion conversion(previous, update.nameSystem);
  RowComposer composer(database, source->columns, update, std::move(machine), conversion);
  return StoreRows(proc, database, *source, composer, conversion);
}

}  // namespace velnor
