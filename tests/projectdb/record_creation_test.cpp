#include "projectdb/record_creation.h"

#include <gtest/gtest.h>

namespace velnor {
namespace {

TEST(ComposeVarName, PutsTheTemplateNameAndTheMachineIntoThePatternsOfBothSystems) {
  const struct {
    const char* visiWin32Pattern;
    const char* visiWinStudioPattern;
    const char* templateName;
    const char* machine;
    const char* visiWin32Name;
    const char* visiWinStudioName;
  } cases[] = {
      {"###machine.###Var_Name", "Ch1.###machine.###Var_Name", "Speed", "Filler", "Filler.Speed",
       "Ch1.Filler.Speed"},
      {"###MACHINE_###var_name", "###Machine", "Speed", "F\u00fcller", "F\u00fcller_Speed",
       "F\u00fcller"},
      // The first two machine placeholders are replaced, a third one stays.
      {"###machine/###machine/###machine", "", "x", "M", "M/M/###machine", ""},
      {"###Var_Name###Var_Name", "###Var_Name", "V", "M", "V###Var_Name", "V"},
      // The machine's name is put in after the template's name: a placeholder the
      // template's name brings along counts among the two.
      {"###Var_Name.###machine", "plain", "A###machine", "M", "AM.M", "plain"},
      {"###Var_Name.###machine.###machine", "", "A###machine", "M", "AM.M.###machine", ""},
      {"", "", "Speed", "Filler", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.visiWin32Pattern);
    UpdateState update;
    update.varNamePatterns[kVisiWin32Naming][7] = c.visiWin32Pattern;
    update.varNamePatterns[kVisiWinStudioNaming][7] = c.visiWinStudioPattern;
    const std::array<std::string, 2> names = ComposeVarName(update, 7, c.templateName, c.machine);
    EXPECT_EQ(names[kVisiWin32Naming], c.visiWin32Name);
    EXPECT_EQ(names[kVisiWinStudioNaming], c.visiWinStudioName);
  }
}

TEST(ComposeVarName, TakesThePatternOfTheRowsPart) {
  UpdateState update;
  update.varNamePatterns[kVisiWin32Naming][1] = "one.###Var_Name";
  update.varNamePatterns[kVisiWin32Naming][50] = "fifty.###Var_Name";
  EXPECT_EQ(ComposeVarName(update, 1, "v", "m")[kVisiWin32Naming], "one.v");
  EXPECT_EQ(ComposeVarName(update, 50, "v", "m")[kVisiWin32Naming], "fifty.v");
}

}  // namespace
}  // namespace velnor
