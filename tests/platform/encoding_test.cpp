#include "platform/encoding.h"

#include <gtest/gtest.h>

namespace velnor {
namespace {

TEST(Encoding, Windows1252RoundTripsThroughUtf8) {
  std::string every;
  for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(every)), every);
}

TEST(Encoding, SpecialLettersOfWindows1252MapToTheirUnicodeCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
  EXPECT_EQ(Cp1252ToUtf8("F\xFCller"), "Füller");
  EXPECT_EQ(Utf8ToCp1252("Füller €"), "F\xFCller \x80");
}

TEST(Encoding, CharactersWindows1252CannotHoldBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("a\u4E2Db"), "a?b");
}

TEST(Encoding, UpperCaseFollowsTheLettersOfWindows1252) {
  EXPECT_EQ(UpperCase("Füller ÿ šœž àé ß"), "FÜLLER Ÿ ŠŒŽ ÀÉ ß");
  EXPECT_EQ(UpperCase("abc-123"), "ABC-123");
  EXPECT_TRUE(EqualsIgnoringCase("Füller", "FÜLLER"));
  EXPECT_FALSE(EqualsIgnoringCase("Füller", "FULLER"));
}

TEST(Encoding, UpperCaseKeepsByteLengthsSoPositionsHold) {
  const std::string text = "ßäöü x ###Machine ÿ";
  EXPECT_EQ(UpperCase(text).size(), text.size());
  EXPECT_EQ(FindIgnoringCase(text, "###MACHINE"), text.find("###Machine"));
}

TEST(Encoding, MalformedUtf8PassesThroughUnchanged) {
  const std::string broken = "a\xC3";
  EXPECT_EQ(UpperCase(broken), "A\xC3");
}

}  // namespace
}  // namespace velnor
