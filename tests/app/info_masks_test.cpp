#include "app/info_masks.h"

#include <gtest/gtest.h>

#include "errors/failure.h"

namespace velnor {
namespace {

TEST(MaskFromText, ReadsTheLeadingNumberAsTheSettingsAlwaysWereRead) {
  struct Case {
    const char* text;
    std::int32_t mask;
  };
  for (const Case& row : std::vector<Case>{{"", 0},
                                           {"5", 5},
                                           {"0005", 5},
                                           {" 1 2", 12},
                                           {"65537", 65537},
                                           {"abc", 0},
                                           {"12abc", 12},
                                           {"-1", -1},
                                           {"+7", 7},
                                           {"2.5", 2},
                                           {"3.5", 4},
                                           {"1e3", 1000},
                                           {"1D2", 100},
                                           {"1e", 1},
                                           {".5", 0},
                                           {"1e-400", 0},
                                           {"2147483647", 2147483647},
                                           {"-2147483648", -2147483647 - 1}}) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(MaskFromText(row.text), row.mask);
  }
}

TEST(MaskFromText, ANumberBeyondThirtyTwoBitsIsAnOverflow) {
  for (const char* text : {"2147483648", "-2147483649", "1e400", "99999999999"}) {
    SCOPED_TRACE(text);
    try {
      MaskFromText(text);
      ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), failure_number::kOverflow);
    }
  }
}

TEST(MaskBit, OnlyTheLowSixteenBitsAreLookedAtByCallers) {
  EXPECT_TRUE(MaskBit(65537, 0));
  EXPECT_FALSE(MaskBit(65537, 1));
  EXPECT_TRUE(MaskBit(-1, 15));
}

TEST(StorableChoices, TheKeysHoldNinetySixButtonsAndTheWarningsOfFiveMachines) {
  struct Case {
    int number;
    bool button;
    bool warning;
  };
  for (const Case& row : std::vector<Case>{{1, true, true},
                                           {48, true, true},
                                           {49, true, false},
                                           {96, true, false},
                                           {97, false, false},
                                           {150, false, false},
                                           {101, false, true},
                                           {516, false, true},
                                           {601, false, false}}) {
    SCOPED_TRACE(row.number);
    EXPECT_EQ(ButtonChoiceStorable(row.number), row.button);
    EXPECT_EQ(WarningChoiceStorable(row.number), row.warning);
  }
}

}  // namespace
}  // namespace velnor
