#include "projectdb/field_lists.h"

#include <unordered_map>

#include "app/locations.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "projectdb/comparison_keys.h"
#include "projectdb/database.h"
#include "projectdb/pending.h"
#include "projectdb/preset_defs.h"
#include "settings/ini_access.h"

namespace velnor {

namespace {

constexpr const char* kPresetDefs = "PRESET_DEFS";

}  // namespace

bool ReplaceFirstIgnoringCase(std::string& text, std::string_view placeholder,
                              std::string_view replacement) {
  const std::size_t pos = FindIgnoringCase(text, placeholder);
  if (pos == std::string::npos) return false;
  text.replace(pos, placeholder.size(), replacement);
  return true;
}

std::string ReplaceSearchItem(const std::string& text, const std::string& placeholder,
                              const std::string& replacement) {
  Procedure proc("ReplaceSearchItem");
  std::string result = text;
  // Only the search ignores case; the rest of the text keeps its own.
  proc.Step([&] { ReplaceFirstIgnoringCase(result, placeholder, replacement); });
  return result;
}

// --- name conversion --------------------------------------------------------------

// The open component database and its rows' names in memory, found by the key under
// which the conversion query would find them. The conversions change the names in
// memory, in the order they are asked for; Finish writes the rows whose name changed.
struct NameConversion::Session {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  struct Entry {
    std::int64_t row = 0;
    db::Value stored;
    std::optional<db::Value> renamed;  // always a text
    std::size_t next = kNone;          // the next entry of the same name
  };

  explicit Session(db::Database& previous) : database(previous) {
    const std::vector<db::Column> columns = database.Columns(kPresetDefs);
    // The query itself says best what is missing (a table or a column).
    db::Statement(database, NameConversionSql(),
                  database.Describe("converting the names of table PRESET_DEFS"));
    const auto varName = db::FindColumn(columns, "var_name");
    keys.emplace(database,
                 std::vector<db::KeyColumn>{{varName ? columns[*varName].declaredType : "", true}});
    db::Statement rows(database, "SELECT _rowid_, Var_Name FROM main.PRESET_DEFS ORDER BY _rowid_",
                       database.Describe("reading the names of table PRESET_DEFS"));
    while (rows.Step()) {
      Entry& entry = entries.emplace_back();
      entry.row = rows.Column(0).integer();
      entry.stored = rows.Column(1);
      if (const auto key = keys->OfStored({&entry.stored, 1})) Link(*key, entries.size() - 1);
    }
  }

  void Link(const std::string& key, std::size_t entry) {
    const auto [first, inserted] = firstByName.try_emplace(key, entry);
    if (inserted) {
      entries[entry].next = kNone;
    } else {
      entries[entry].next = first->second;
      first->second = entry;
    }
  }

  void Convert(const std::string& searched, const std::string& replacement) {
    const db::Value searchedValue(searched);
    const auto searchedKey = keys->OfCompared({&searchedValue, 1});
    if (!searchedKey) return;
    const auto found = firstByName.find(*searchedKey);
    if (found == firstByName.end()) return;
    std::size_t entry = found->second;
    firstByName.erase(found);
    // The rows now carry the new name as the column stores it.
    const db::Value replacementValue(replacement);
    const auto newKey = keys->OfCompared({&replacementValue, 1});
    while (entry != kNone) {
      const std::size_t next = entries[entry].next;
      entries[entry].renamed = replacementValue;
      if (newKey) Link(*newKey, entry);
      entry = next;
    }
  }

  void Finish() {
    std::vector<std::int64_t> rowIds;
    std::vector<const db::Value*> names;
    for (const Entry& entry : entries) {
      // A row that already holds exactly the new name is left as it is, so that the
      // file stays untouched when nothing needs converting.
      if (!entry.renamed ||
          (entry.stored.IsText() && entry.stored.text() == entry.renamed->text())) {
        continue;
      }
      rowIds.push_back(entry.row);
      names.push_back(&*entry.renamed);
    }
    if (rowIds.empty()) return;
    db::Transaction transaction(database, "the name conversion in table PRESET_DEFS");
    database.UpdateRows(kPresetDefs, {"Var_Name"}, rowIds, names,
                        database.Describe("converting the names of table PRESET_DEFS"));
    transaction.Commit();
  }

  db::Database& database;
  std::optional<db::ComparisonKeys> keys;
  std::vector<Entry> entries;
  std::unordered_map<std::string, std::size_t> firstByName;
};

NameConversion::NameConversion(PreviousGeneration& previous, std::int16_t nameSystem)
    : previous_(previous), nameSystem_(nameSystem) {}
NameConversion::~NameConversion() = default;

void NameConversion::Convert(const std::string& visiWin32Name,
                             const std::string& visiWinStudioName) {
  Procedure proc("VarNameInQuelleErsetzen");
  if (!started_) {
    started_ = true;
    proc.Step([&] {
      if (previous_.exists()) session_ = std::make_unique<Session>(previous_.Copy());
    });
  }
  if (!session_) return;
  proc.Step([&] {
    const bool studio = nameSystem_ == kVisiWinStudioNaming;
    session_->Convert(studio ? visiWin32Name : visiWinStudioName,
                      studio ? visiWinStudioName : visiWin32Name);
  });
}

bool NameConversion::Finish() {
  Procedure proc("VarNameInQuelleErsetzen");
  const bool stored = !session_ || proc.Step([&] { session_->Finish(); });
  session_.reset();
  return stored;
}

void VarNameInQuelleErsetzen(PreviousGeneration& previous, std::int16_t nameSystem,
                             const std::string& visiWin32Name,
                             const std::string& visiWinStudioName) {
  NameConversion conversion(previous, nameSystem);
  conversion.Convert(visiWin32Name, visiWinStudioName);
  conversion.Finish();
}

// --- legacy column ----------------------------------------------------------------

void CategorieNachCategoryID(PreviousGeneration& previous) {
  Procedure proc("CategorieNachCategoryID");
  if (!previous.exists()) return;
  db::Database* database = nullptr;
  std::vector<db::Column> columns;
  if (!proc.Step([&] {
        database = &previous.Copy();
        columns = database->Columns(kPresetDefs);
      })) {
    return;
  }
  for (const db::Column& column : columns) {
    if (UpperCase(column.name) != "CATEGORIE") continue;
    proc.Step([&] { database->RenameColumn(kPresetDefs, column.name, "category_id"); });
  }
}

// --- additional fields ------------------------------------------------------------

std::vector<std::string> GetAdditionalFieldsMDB(const RunState& run) {
  Procedure proc("GetAdditionalFieldsMDB");
  std::vector<std::string> fields(1);
  std::string list;
  proc.Step([&] {
    // The whole list: a buffer of 254 characters would cut names off the end of it.
    list = LoadIniWholeString("Project", "DataBaseAdditionalFields", GetCFGPath(run));
  });
  for (std::string& name : SplitFieldList(list.empty() ? "part" : "part," + list)) {
    fields.push_back(std::move(name));
  }
  return fields;
}

std::vector<std::string> SplitFieldList(std::string_view list) {
  std::vector<std::string> names;
  for (;;) {
    LetWindowProcessMessages();
    const std::size_t comma = list.find(',');
    names.emplace_back(list.substr(0, comma));
    if (comma == std::string_view::npos) return names;
    list.remove_prefix(comma + 1);
  }
}

std::optional<AddFields> GetAddFields(const RunState& run) {
  Procedure proc("GetAddFields");
  std::optional<AddFields> fields;
  proc.Step([&] {
    AddFields read;
    read.AddFieldNames = GetAdditionalFieldsMDB(run);
    fields = std::move(read);
  });
  if (!fields) return fields;
  const std::size_t count = fields->AddFieldNames.size() - 1;
  for (std::size_t i = 1; i <= count; ++i) {
    // A name is quoted, so that every name that exists in the table is found, blanks
    // and double quotes included.
    fields->AddFieldsSql += ", PRESET_DEFS." + db::QuoteName(fields->AddFieldNames[i]);
  }
  proc.Step([&] {
    if (count > 32767) Raise(failure_number::kOverflow, "Overflow");
    fields->AddFieldsCount = static_cast<std::int16_t>(count);
  });
  return fields;
}

}  // namespace velnor
