#pragma once
// SQLite files written and read directly through the engine, beside the project's own
// database interface, and a project laid out for the database update.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "projectdb/database.h"
#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_run.h"
#include "support/throwing_program_end.h"

namespace velnor::test {

namespace fs = std::filesystem;

// The fifteen columns of a preset table, "part" before "var_name".
inline constexpr const char* kPresetColumns =
    "ID INTEGER, machine_type VARCHAR(50), type INTEGER, part INTEGER, var_name VARCHAR(100), "
    "category_id INTEGER, isBitArray INTEGER, offset_or_bitno INTEGER, text VARCHAR(255), "
    "page_name VARCHAR(50), abs_min REAL, abs_max REAL, min REAL, max REAL, pass VARCHAR(20)";

// Runs an SQL script on the database file, creating the file when missing.
void ExecSql(const fs::path& database, const std::string& sql);

// The rows of a query, each value written with its kind: "i:5", "r:2.5", "t:text",
// "b:<hex>", "null".
using Rows = std::vector<std::vector<std::string>>;
Rows QueryRows(const fs::path& database, const std::string& sql);

// The rows of a query through the project's own database interface, written as
// QueryRows writes them.
Rows RowsOf(db::Database& database, const std::string& sql);

// A text as an SQL literal in single quotes.
std::string Lit(const std::string& text);

// A project with source and component databases, ".cfg" file and machine list, and
// the message box and program end under the test's control.
class ProjectDbTest : public ::testing::Test {
 protected:
  ProjectDbTest();

  // Starts the run afresh with this command line; the line has the one machine "Filler".
  void SetCommandLine(const std::string& commandLine);

  fs::path SourceDb() const { return project.componentFolder() / "Widget_Source.mdb"; }
  fs::path ComponentDb() const { return project.componentFolder() / "Widget.mdb"; }

  // "[Project]" with the given lines (each "key=value") as the component's ".cfg".
  void WriteCfg(const std::vector<std::string>& projectLines);
  // A source database with these "Source_DEFS" rows (System, Part, Var_Name as SQL
  // values) and a template of the given columns and rows (SQL value lists).
  void WriteSource(const std::vector<std::string>& patternRows, const std::string& columns,
                   const std::vector<std::string>& templateRows);
  // A component database whose "PRESET_DEFS" has these columns and rows.
  void WriteComponent(const std::string& columns, const std::vector<std::string>& rows);

  // The rows of the component database's "PRESET_DEFS" in stored order.
  Rows ComponentRows(const std::string& columns = "*") const;
  std::string ErrorLog() const;

  TestProject project;
  TestRun run{project};
  ScriptedMessageBox boxes;
  ThrowingProgramEnd programEnd;
};

}  // namespace velnor::test
