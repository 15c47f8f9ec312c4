#include "platform/encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(Encoding, OverlongAndOutOfRangeSequencesKeepTheirBytes) {
  const std::string cases[] = {
      "\xE0\x80\x80x",      // NUL in three bytes
      "\xE0\x81\xA1x",      // "a" in three bytes
      "\xF0\x80\x80\x80x",  // NUL in four bytes
      "\xF4\x90\x80\x80x",  // just beyond U+10FFFF
      "\xF4\xBF\xBF\xBFx",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(::testing::PrintToString(text));
    std::string expected = text;
    expected.back() = 'X';
    EXPECT_EQ(UpperCase(text), expected);
    EXPECT_EQ(Utf8ToCp1252(text), text) << "bytes that were no UTF-8 are kept as they are";
  }
  EXPECT_EQ(FindIgnoringCase("\xE0\x80\x80/external=x", "EXTERNAL"), 4u);
}

// "é" is C3 A9 and upper-cases to "É", C3 89: a loose byte 0x89 is no part of "é", even
// though the upper-cased copy holds it.
TEST(Encoding, FindIgnoringCaseFindsNoLooseByteInsideACharacter) {
  EXPECT_EQ(FindIgnoringCase("\xC3\xA9", "\x89"), std::string::npos);
  EXPECT_EQ(FindIgnoringCase("\xC3\xA9 \x89", "\x89"), 3u);
  EXPECT_EQ(FindIgnoringCase("\xC3\xA9", "\xC3\x89"), 0u);
}

TEST(Encoding, JsonStringsEscapeWhatJsonMustAndReadAsTheText) {
  struct Case {
    std::string text, json;
  };
  const std::vector<Case> cases = {
      {"Widget", "\"Widget\""},
      {"C:\\Projekt \"A\"", "\"C:\\\\Projekt \\\"A\\\"\""},
      {"a\r\n\tb\x01", "\"a\\u000d\\u000a\\u0009b\\u0001\""},
      {"F\xC3\xBCller \xE2\x82\xAC", "\"F\xC3\xBCller \xE2\x82\xAC\""},
      {"a\xFC"
       "b",
       "\"a\xEF\xBF\xBD"
       "b\""},  // a Windows-1252 byte in a file name
  };
  for (const Case& c : cases) EXPECT_EQ(JsonString(c.text), c.json) << c.text;
}

}  // namespace
}  // namespace velnor
