#include "app/check_report.h"

#include <gtest/gtest.h>

#include "app/json_text.h"

namespace velnor {
namespace {

TEST(CheckReport, NamesTheFileAMessageConcernsFirst) {
  const std::vector<std::string> known = {"/p/Widget/Widget.mdb", "/p/Widget/Widget.cfg",
                                          "/p/Widget/Widget.mdb.jet"};
  struct Case {
    const char* message;
    const char* file;
  } const cases[] = {
      {"opening /p/Widget/Widget.mdb: damaged; /p/Widget/Widget.cfg", "/p/Widget/Widget.mdb"},
      {"File not found: \n\r/P/WIDGET/WIDGET.CFG", "/p/Widget/Widget.cfg"},
      {"converted, the original kept as /p/Widget/Widget.mdb.jet", "/p/Widget/Widget.mdb.jet"},
      {"cannot load '/p/Standard/Warn_07_1280.bmp': no picture", "/p/Standard/Warn_07_1280.bmp"},
      {"reading /p/Config/a b.ini: cut", "/p/Config/a b.ini"},
      {"Overflow: more than 32767 IDs", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(FileNamedIn(c.message, known, "/p"), c.file);
  }
}

TEST(CheckReport, TellsTheScratchCopysFoldersAsTheProjects) {
  EXPECT_EQ(ReplaceFolder("at /tmp/s/project/W.mdb and /TMP/S/PROJECT/W.CFG", "/tmp/s/project",
                          "/home/Line"),
            "at /home/Line/W.mdb and /HOME/LINE/W.CFG");
}

TEST(CheckReport, JsonEscapesTextsAndKeepsNumbersExact) {
  EXPECT_EQ(JsonString("a\"b\\c\n\r\x01\xC3\xBC"), "\"a\\\"b\\\\c\\n\\r\\u0001\xC3\xBC\"");
  EXPECT_EQ(JsonNumber(0.1), "0.1");
  EXPECT_EQ(JsonNumber(-2.5e-7), "-2.5e-07");
  EXPECT_EQ(JsonNumber(std::int64_t{-32768}), "-32768");

  CheckReport report;
  report.status = 2;
  report.problems = {{"/p/x.ini", "cut \"here\""}};
  report.rowsAfter = 3;
  report.limitsDropped = {{"\"M\"", "null", "7", {"1", "2", "3", "4", "\"p\""}}};
  report.programIni = {{"Info", "Button1", std::nullopt, "5"}};
  EXPECT_EQ(CheckReportJson(report),
            "{\"status\": 2, \"problems\": [{\"file\": \"/p/x.ini\", \"message\": \"cut "
            "\\\"here\\\"\"}], \"changes\": {\"preset_defs\": {\"rows_before\": null, "
            "\"rows_after\": 3, \"limits_carried\": 0, \"limits_dropped\": [{\"machine_type\": "
            "\"M\", \"var_name\": null, \"offset_or_bitno\": 7, \"abs_min\": 1, \"abs_max\": 2, "
            "\"min\": 3, \"max\": 4, \"pass\": \"p\"}]}, \"program_ini\": [{\"section\": \"Info\", "
            "\"key\": \"Button1\", \"old\": null, \"new\": \"5\"}], \"converted\": []}}\n");
}

}  // namespace
}  // namespace velnor
