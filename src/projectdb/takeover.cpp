#include "projectdb/takeover.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/json_text.h"
#include "app/locations.h"
#include "app/run_observer.h"
#include "errors/error_report.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "platform/message_box.h"
#include "projectdb/comparison_keys.h"
#include "projectdb/field_lists.h"
#include "projectdb/pending.h"
#include "projectdb/preset_defs.h"
#include "settings/ini_access.h"

namespace velnor {
namespace {

// The values that survive an update.
constexpr std::array<const char*, 5> kTakenOver = {"abs_min", "abs_max", "min", "max", "pass"};
// "ID" to "pass" and "part": a previous table with more columns holds further ones.
constexpr std::size_t kStandardColumnCount = 15;
constexpr const char* kQuote = "\"";
constexpr const char* kDatabaseError = "Database-Error - Contact Administrator!";

struct PreviousRows {
  struct Row {
    std::array<db::Value, 3> key;  // machine_type, var_name, offset_or_bitno
    std::array<db::Value, kTakenOver.size()> values;
  };
  std::vector<Row> rows;
  // Which of the taken-over values the previous table holds at all: a value it lacks
  // is not taken over, so the new row keeps its template value instead of an empty one.
  std::array<bool, kTakenOver.size()> present{};
  // False when reading stopped at a failure: the rows read are then not all there are.
  bool complete = true;
};

std::string ComponentForMessages(const RunState& run) {
  return UpperCase(GetOCXName(run));
}

// Read whole, as the field list itself is: a list longer than a setting read may be is
// still a list, and its cut would be logged as a fault of the run.
bool AdditionalFieldsConfigured(const RunState& run) {
  return !LoadIniWholeString("Project", "DataBaseAdditionalFields", GetCFGPath(run)).empty();
}

[[noreturn]] void EndWithDatabaseError(const Procedure& proc) {
  proc.Report(Failure(failure_number::kAbort, ProgramSource(), kDatabaseError),
              /*fatal=*/true);
  // Silent mode lets even a fatal report continue; these aborts end the program in
  // every mode.
  EndProgram(1);
}

// The user declines to lose the extra columns' contents.
[[noreturn]] void AbortAfterWarning(const Procedure& proc, const RunState& run) {
  const std::string exe = run.process.executableBaseName;
  const std::string component = ComponentForMessages(run);
  WriteErrorLog(exe + " :" + kDatabaseError + " Configurationprogram " + kQuote + component +
                kQuote + " terminated." + " Please check Configuration in " + kQuote + component +
                ".CFG" + kQuote + " Restart " + UpperCase(ExecutablePathForMessages(run)) + "!");
  EndWithDatabaseError(proc);
}

[[noreturn]] void AbortForMissingColumn(const Procedure& proc, const RunState& run,
                                        const std::string& column) {
  const std::string component = ComponentForMessages(run);
  WriteErrorLog(std::string("Conflict while attempting to extend database!") +
                "Configurationsfile " + kQuote + component + ".CFG" + kQuote + ", demanded field " +
                kQuote + UpperCase(column) + kQuote + "missing in machinecopy-database" + kLfCr +
                "Configuration of " + kQuote + component + kQuote + " aborted.");
  EndWithDatabaseError(proc);
}

void WarnAboutExtraColumns(const Procedure& proc, const RunState& run) {
  const std::string component = ComponentForMessages(run);
  const std::array<std::string, 5> lines = {
      "WARNING!", "Machinecopy contains data in fields that won't be taken over!",
      std::string("Configurationfile ") + kQuote + component + ".CFG" + kQuote +
          ", missing entry " + kQuote + "DataBaseAdditionalFields " + kQuote,
      "If you continue now this data will be lost.", "Continue?"};
  if (run.mode.silent) {
    std::string text;
    for (const std::string& line : lines) text += line;
    WriteServicePackLog(text);
    return;
  }
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : kLfCr) + line;
  const int answer =
      ShowMessageBox(text, kStyleYesNo + kStyleExclamation + kStyleSecondButtonDefault,
                     run.process.executableBaseName);
  if (answer != kAnswerYes) AbortAfterWarning(proc, run);
}

// Every row of the previous table in stored order. A column the copy reads but the
// table lacks is reported once, not once per row.
PreviousRows ReadPreviousRows(Procedure& proc, db::RecordSet& records) {
  PreviousRows previous;
  if (records.Eof()) return previous;
  const auto column = [&](std::string_view name) {
    const std::optional<std::size_t> index = records.FieldIndex(name);
    if (!index) proc.Step([&] { records.Field(name); });
    return index;
  };
  const bool hasCategorie = records.FieldIndex("categorie").has_value();
  column("ID");
  const auto machineType = column("machine_type");
  column("type");
  const auto varName = column("var_name");
  column(hasCategorie ? "categorie" : "category_id");
  column("isBitArray");
  const auto offset = column("offset_or_bitno");
  column("text");
  column("page_name");
  std::array<std::optional<std::size_t>, kTakenOver.size()> values;
  for (std::size_t k = 0; k < kTakenOver.size(); ++k) {
    values[k] = column(kTakenOver[k]);
    previous.present[k] = values[k].has_value();
  }

  previous.complete = proc.Step([&] {
    while (!records.Eof()) {
      LetWindowProcessMessages();
      PreviousRows::Row& row = previous.rows.emplace_back();
      if (machineType) row.key[0] = records.Field(*machineType);
      if (varName) row.key[1] = records.Field(*varName);
      if (offset) row.key[2] = records.Field(*offset);
      for (std::size_t k = 0; k < kTakenOver.size(); ++k) {
        if (values[k]) row.values[k] = records.Field(*values[k]);
      }
      records.MoveNext();
    }
  });
  return previous;
}

std::string JsonLiteral(const db::Value& value) {
  switch (value.kind()) {
    case db::ValueKind::Null:
      return "null";
    case db::ValueKind::Integer:
      return JsonNumber(value.integer());
    case db::ValueKind::Real:
      return JsonNumber(value.real());
    case db::ValueKind::Text:
      return JsonString(value.text());
    case db::ValueKind::Blob:
      return JsonString(value.ToDisplayText());
  }
  return "null";
}

DroppedLimits DroppedLimitsOf(const PreviousRows::Row& row) {
  DroppedLimits dropped{
      JsonLiteral(row.key[0]), JsonLiteral(row.key[1]), JsonLiteral(row.key[2]), {}};
  for (std::size_t k = 0; k < kTakenOver.size(); ++k)
    dropped.limits[k] = JsonLiteral(row.values[k]);
  return dropped;
}

std::string DeclaredTypeOf(const std::vector<db::Column>& columns, std::string_view name) {
  const auto column = db::FindColumn(columns, name);
  return column ? columns[*column].declaredType : "";
}

// Writes the previous values into the rebuilt table, in one transaction. Each previous
// row is matched in memory, under the key by which the lookup query would find it, to
// the first rebuilt row in stored order; a later previous row overwrites what an earlier
// one gave the same row. Every rebuilt row is then written once.
void WriteTakenOverValues(db::Database& target, const std::vector<db::Column>& targetColumns,
                          const PreviousRows& previous, const std::string& addFieldsSql,
                          RunObserver* observer) {
  const std::string doing = target.Describe("taking the values over into table PRESET_DEFS");
  // The lookup that the configuration asks for: a column it names that the rebuilt
  // table lacks makes it invalid for every row, and then nothing can be taken over.
  db::Statement(target, TakeoverLookupSql(addFieldsSql), doing);

  std::vector<std::string> columns;
  for (std::size_t k = 0; k < kTakenOver.size(); ++k) {
    if (previous.present[k]) columns.emplace_back(kTakenOver[k]);
  }
  if (columns.empty()) return;

  db::ComparisonKeys keys(target, {{DeclaredTypeOf(targetColumns, "machine_type"), true},
                                   {DeclaredTypeOf(targetColumns, "var_name"), true},
                                   {DeclaredTypeOf(targetColumns, "offset_or_bitno"), false}});
  std::unordered_map<std::string, std::int64_t> firstRowByKey;
  firstRowByKey.reserve(previous.rows.size());
  {
    db::Statement rows(
        target,
        "SELECT _rowid_, machine_type, var_name, offset_or_bitno FROM main.PRESET_DEFS "
        "ORDER BY _rowid_",
        doing);
    while (rows.Step()) {
      const std::array<db::Value, 3> stored = {rows.Column(1), rows.Column(2), rows.Column(3)};
      if (const auto key = keys.OfStored(stored)) {
        firstRowByKey.emplace(*key, rows.Column(0).integer());  // keeps the first
      }
    }
  }

  std::map<std::int64_t, const PreviousRows::Row*> valuesByRow;
  std::vector<DroppedLimits> dropped;
  for (const PreviousRows::Row& row : previous.rows) {
    const auto key = keys.OfCompared(row.key);
    const auto found = key ? firstRowByKey.find(*key) : firstRowByKey.end();
    if (found != firstRowByKey.end()) {
      valuesByRow[found->second] = &row;
    } else if (observer != nullptr) {
      dropped.push_back(DroppedLimitsOf(row));
    }
  }

  std::vector<std::int64_t> rowIds;
  std::vector<const db::Value*> values;
  rowIds.reserve(valuesByRow.size());
  values.reserve(valuesByRow.size() * columns.size());
  for (const auto& [rowId, row] : valuesByRow) {
    rowIds.push_back(rowId);
    for (std::size_t k = 0; k < kTakenOver.size(); ++k) {
      if (previous.present[k]) values.push_back(&row->values[k]);
    }
  }

  db::Transaction transaction(target, "the values taken over into table PRESET_DEFS");
  target.UpdateRows("PRESET_DEFS", columns, rowIds, values, doing);
  transaction.Commit();
  if (observer != nullptr) observer->LimitsTakenOver(valuesByRow.size(), std::move(dropped));
}

}  // namespace

bool TakeoverMachineCopyMDBData(db::Database& targetDb, std::optional<db::RecordSet>& previousTable,
                                const RunState& run, const std::optional<AddFields>& addFields) {
  Procedure proc("TakeoverMachineCopyMDBData");
  // The warning is meant for extra columns that no configuration names; "part" alone,
  // which every field list starts with, does not count as naming them.
  bool warn = false;
  proc.Step([&] {
    warn = previousTable && previousTable->FieldCount() > kStandardColumnCount &&
           !AdditionalFieldsConfigured(run);
  });
  if (warn) WarnAboutExtraColumns(proc, run);
  if (!previousTable) return true;

  const PreviousRows previous = ReadPreviousRows(proc, *previousTable);
  previousTable.reset();
  if (!previous.complete) return false;
  if (previous.rows.empty()) return true;

  std::vector<db::Column> targetColumns;
  if (!proc.Step([&] { targetColumns = targetDb.Columns("PRESET_DEFS"); })) return false;
  if (addFields) {
    for (std::size_t i = 1; i < addFields->AddFieldNames.size(); ++i) {
      const std::string& demanded = addFields->AddFieldNames[i];
      // Column names are compared exactly; the first column ("ID") is not searched.
      const bool found = std::any_of(targetColumns.begin() + 1, targetColumns.end(),
                                     [&](const db::Column& c) { return c.name == demanded; });
      if (!found) AbortForMissingColumn(proc, run, demanded);
    }
  }
  return proc.Step([&] {
    WriteTakenOverValues(targetDb, targetColumns, previous,
                         addFields ? addFields->AddFieldsSql : std::string(), run.observer);
  });
}

}  // namespace velnor
