#include "settings/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/files.h"
#include "support/system.h"
#include "support/test_project.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::TestProject;

const std::string kUtf8Mark = "\xEF\xBB\xBF";
const std::string kUtf16LeMark = "\xFF\xFE";
const std::string kUtf16BeMark = "\xFE\xFF";
std::string Le(const std::string& utf8) {
  return Utf8ToUtf16(utf8, false);
}
std::string Be(const std::string& utf8) {
  return Utf8ToUtf16(utf8, true);
}

class ProfileFile : public ::testing::Test {
 protected:
  fs::path Ini() const { return project_.parameterFolder() / "Program.ini"; }
  std::string IniPath() const { return Ini().string(); }
  void Store(const std::string& bytes) const { TestProject::Write(Ini(), bytes); }
  std::string Stored() const { return TestProject::Read(Ini()); }

  TestProject project_;
};

// ---------------------------------------------------------------------------------------
// Reading

struct ReadCase {
  const char* what;
  std::string file;
  std::string section;
  std::string key;
  std::string expected;  // "<default>" when the default comes back
};

TEST_F(ProfileFile, ReadsValuesOutOfOddlyFormattedFiles) {
  const std::vector<ReadCase> cases = {
      {"plain entry", "[S]\r\nK=V\r\n", "S", "K", "V"},
      {"section and key in another case", "[Info]\r\nButton1=5\r\n", "INFO", "button1", "5"},
      {"Windows-1252 letters in another case", "[F\xFCller]\r\nT\xE4nk=blau\r\n", "FÜLLER", "TÄNK",
       "blau"},
      {"blanks around names and value", "  [ S ] \t\r\n\t K \t=  V V \t\r\n", "S", "K", "V V"},
      {"double quotes around the value", "[S]\r\nK=\"quoted\"\r\n", "S", "K", "quoted"},
      {"single quotes around the value", "[S]\r\nK='single'\r\n", "S", "K", "single"},
      {"quotes keep inner blanks", "[S]\r\nK= \" a \" \r\n", "S", "K", " a "},
      {"only one pair of quotes goes", "[S]\r\nK=\"\"x\"\"\r\n", "S", "K", "\"x\""},
      {"quotes that do not match stay", "[S]\r\nK=\"mixed'\r\n", "S", "K", "\"mixed'"},
      {"a lone quote stays", "[S]\r\nK=\"\r\n", "S", "K", "\""},
      {"comment line is skipped", "[S]\r\n;K=commented\r\nK=real\r\n", "S", "K", "real"},
      {"indented comment line is skipped", "[S]\r\n  ; K=commented\r\n", "S", "K", "<default>"},
      {"semicolon after a value belongs to it", "[S]\r\nK=a ; b\r\n", "S", "K", "a ; b"},
      {"equals sign inside the value", "[S]\r\nK=a=b\r\n", "S", "K", "a=b"},
      {"line without equals sign is no key", "[S]\r\nK\r\n", "S", "K", "<default>"},
      {"key after a line without equals sign", "[S]\r\nK\r\nK=later\r\n", "S", "K", "later"},
      {"keys before the first section belong to none", "K=top\r\n[S]\r\nX=1\r\n", "S", "K",
       "<default>"},
      {"key of another section", "[T]\r\nK=V\r\n[S]\r\n", "S", "K", "<default>"},
      {"first of two sections counts", "[S]\r\nA=1\r\n[S]\r\nA=2\r\n", "S", "A", "1"},
      {"second section of a name is never merged", "[S]\r\nA=1\r\n[s]\r\nB=3\r\n", "S", "B",
       "<default>"},
      {"first of two keys wins", "[S]\r\nA=first\r\na=second\r\n", "S", "A", "first"},
      {"section name ends at the first bracket", "[a]b]\r\nK=v\r\n", "a", "K", "v"},
      {"unclosed bracket opens a section", "[S]\r\n[T\r\nK=V\r\n", "S", "K", "<default>"},
      {"unclosed bracket names its section by the rest of the line", "[S]\r\n[ T \t\r\nK=V\r\n",
       "T", "K", "V"},
      {"line feeds only", "[S]\nK=V\n", "S", "K", "V"},
      {"carriage returns only", "[S]\rK=V\r", "S", "K", "V"},
      {"lone carriage return ends a value", "[S]\r\nK=3\r[T]\nL=4\r\n", "S", "K", "3"},
      {"section after a lone carriage return", "[S]\r\nK=3\r[T]\nL=4\r\n", "T", "L", "4"},
      {"no final line break", "[S]\r\nK=V", "S", "K", "V"},
      {"trailing carriage returns", "[S]\r\r\nK=V\r\r\n", "S", "K", "V"},
      {"Windows-1252 value",
       "[S]\r\nK=Gr\xFC\xDF"
       "e\r\n",
       "S", "K", "Grüße"},
      {"blank names asked for are trimmed", "[S]\r\nK=V\r\n", " S ", " K ", "V"},
      {"empty file", "", "S", "K", "<default>"},
      {"UTF-16 LE with mark", kUtf16LeMark + Le("[S]\r\nK=V\r\n"), "S", "K", "V"},
      {"UTF-16 BE without mark", Be("[S]\r\nK=V\r\n"), "S", "K", "V"},
      {"UTF-16 LE without mark, blank lines first", Le("\r\n\r\n[S]\r\nK=V\r\n"), "S", "K", "V"},
      {"UTF-16 holds what Windows-1252 cannot", kUtf16BeMark + Be("[\u03A9]\r\nK=\u4E2D\r\n"),
       "\u03A9", "K", "\u4E2D"},
      {"UTF-16 without mark whose first line goes past U+00FF is Windows-1252",
       Le("[\u03A9]\r\nK=V\r\n"), "\u03A9", "K", "<default>"},
      {"a NUL that is not in every second byte makes no UTF-16",
       std::string("[S]\r\nK=V\0\0\r\n", 12), "S", "K", std::string("V\0\0", 3)},
      {"UTF-16 with a surrogate without partner reads what decodes",
       kUtf16LeMark + Le("[S]\r\nA=") + "\x3D\xD8" + Le("\r\nK=V\r\n"), "S", "K", "V"},
      {"UTF-16 with a last odd byte reads what decodes", Le("[S]\r\nK=V\r\n") + "x", "S", "K", "V"},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.what);
    Store(c.file);
    const ProfileText read = ReadProfileText(c.section, c.key, "dflt", 255, IniPath());
    const std::string expected = c.expected == "<default>" ? "dflt" : c.expected;
    EXPECT_EQ(read.text, expected);
  }
}

TEST_F(ProfileFile, EmptyValueReadsEmptyRatherThanTheDefault) {
  Store("[S]\r\nK=\r\nQ=\"\"\r\n");
  const ProfileText empty = ReadProfileText("S", "K", "dflt", 255, IniPath());
  EXPECT_EQ(empty.text, "");
  EXPECT_EQ(empty.count, 0u);
  EXPECT_EQ(ReadProfileText("S", "Q", "dflt", 255, IniPath()).text, "");
}

TEST_F(ProfileFile, DefaultLosesTrailingBlanksOnly) {
  const std::string missing = (project_.parameterFolder() / "none.ini").string();
  const ProfileText blanks = ReadProfileText("S", "K", std::string(255, ' '), 255, missing);
  EXPECT_EQ(blanks.text, "");
  EXPECT_EQ(blanks.count, 0u);
  const ProfileText padded = ReadProfileText("S", "K", " ab  ", 255, missing);
  EXPECT_EQ(padded.text, " ab");
  EXPECT_EQ(padded.count, 3u);
  EXPECT_EQ(ReadProfileText("S", "K", "x", 255, "").text, "x");
}

TEST_F(ProfileFile, BufferHoldsOneCharacterLessThanItsSize) {
  Store("[S]\r\nK=" + std::string(300, 'x') + "\r\nU=" + std::string(300, '\xE4') + "\r\n");
  const ProfileText read = ReadProfileText("S", "K", "", 255, IniPath());
  EXPECT_EQ(read.text, std::string(254, 'x'));
  EXPECT_EQ(read.count, 254u);
  // The count is in characters as stored, not in bytes of the program's text.
  const ProfileText umlauts = ReadProfileText("S", "U", "", 255, IniPath());
  EXPECT_EQ(umlauts.count, 254u);
  std::string expected;
  for (int i = 0; i < 254; ++i) expected += "ä";
  EXPECT_EQ(umlauts.text, expected);
  EXPECT_EQ(ReadProfileText("S", "K", "", 0, IniPath()).count, 0u);
  EXPECT_EQ(ReadProfileText("S", "K", "", 1, IniPath()).text, "");
}

TEST_F(ProfileFile, FindsFileWhoseNameDiffersInCase) {
  Store("[S]\r\nK=V\r\n");
  const std::string otherCase = (project_.parameterFolder() / "PROGRAM.INI").string();
  EXPECT_EQ(ReadProfileText("S", "K", "", 255, otherCase).text, "V");
  ASSERT_TRUE(WriteProfileText("S", "K", "W", otherCase));
  EXPECT_EQ(Stored(), "[S]\r\nK=W\r\n");
  EXPECT_EQ(
      std::distance(fs::directory_iterator(project_.parameterFolder()), fs::directory_iterator()),
      1);
}

struct IntegerCase {
  std::string stored;
  std::int32_t expected;
};

TEST_F(ProfileFile, IntegerIsTheLeadingNumberModulo2To32) {
  const std::vector<IntegerCase> cases = {
      {"12", 12},
      {"12abc", 12},
      {"abc", 0},
      {"+1", 1},
      {"-1", -1},
      {"-0", 0},
      {"  42  ", 42},
      {"\" 7\"", 7},
      {"0x10", 16},
      {"0X1a", 26},
      {"0xFFFFFFFF", -1},
      {"0x100000001", 1},
      {"0x1Ag", 26},
      {"-0x10", -16},
      {"0b101", 5},
      {"0B102", 2},
      {"0o17", 15},
      {"0O8", 0},
      {"012", 12},
      {"0x", 0},
      {"0xg", 0},
      {"40000", 40000},
      {"2147483647", 2147483647},
      {"2147483648", -2147483647 - 1},
      {"4294967295", -1},
      {"4294967296", 0},
      {"4294967297", 1},
      {"-4294967297", -1},
      {"42A94967297", 42},
      {"- 5", 0},
  };
  for (const IntegerCase& c : cases) {
    SCOPED_TRACE(c.stored);
    Store("[S]\r\nK=" + c.stored + "\r\n");
    EXPECT_EQ(ReadProfileInteger("S", "K", 99, IniPath()), c.expected);
  }
}

TEST_F(ProfileFile, IntegerDefaultOnlyForMissingOrEmptyValue) {
  Store("[S]\r\nEmpty=\r\nQuoted=\"\"\r\n");
  EXPECT_EQ(ReadProfileInteger("S", "Empty", -1, IniPath()), -1);
  EXPECT_EQ(ReadProfileInteger("S", "Quoted", -1, IniPath()), -1);
  EXPECT_EQ(ReadProfileInteger("S", "Absent", -1, IniPath()), -1);
  EXPECT_EQ(ReadProfileInteger("Other", "Empty", 5, IniPath()), 5);
  EXPECT_EQ(ReadProfileInteger("S", "K", 5, (project_.base() / "none.ini").string()), 5);
}

// ---------------------------------------------------------------------------------------
// Writing

struct WriteCase {
  const char* what;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

TEST_F(ProfileFile, WriteChangesOnlyTheLinesItConcerns) {
  const std::vector<WriteCase> cases = {
      {"replaces in place, keeping the file's spelling and indentation",
       "; head\r\n[Info]\r\n  Button1 = 5 \r\nother line\r\n", "INFO", "BUTTON1", "7",
       "; head\r\n[Info]\r\n  Button1=7\r\nother line\r\n"},
      {"new key goes after the section's last key, before closing comments and blanks",
       "[A]\r\nX=1\r\n; about B\r\n\r\n[B]\r\nY=2\r\n", "A", "Z", "3",
       "[A]\r\nX=1\r\nZ=3\r\n; about B\r\n\r\n[B]\r\nY=2\r\n"},
      {"new key in a section without keys goes after its header", "[A]\r\n\r\n[B]\r\n", "a", "K",
       "V", "[A]\r\nK=V\r\n\r\n[B]\r\n"},
      {"commented-out key is no key", "[S]\r\n;K=old\r\n", "S", "K", "new",
       "[S]\r\nK=new\r\n;K=old\r\n"},
      {"new section is appended without a blank line", "[A]\r\nX=1\r\n", "S", "K", "V",
       "[A]\r\nX=1\r\n[S]\r\nK=V\r\n"},
      {"missing final line break is written before a new section", "[A]\r\nX=1", "S", "K", "V",
       "[A]\r\nX=1\r\n[S]\r\nK=V\r\n"},
      {"missing final line break is written before a new key", "[A]\r\nX=1", "A", "K", "V",
       "[A]\r\nX=1\r\nK=V\r\n"},
      {"replacing the last line gives it a line break", "[A]\nX=1", "A", "X", "2", "[A]\nX=2\r\n"},
      {"blank lines at the end stay", "[A]\r\nX=1\r\n\r\n", "S", "K", "V",
       "[A]\r\nX=1\r\n\r\n[S]\r\nK=V\r\n"},
      {"line feed lines stay as they are", "[A]\nX=1\n[B]\nY=2\n", "A", "K", "V",
       "[A]\nX=1\nK=V\r\n[B]\nY=2\n"},
      {"replaced line keeps its line feed", "[A]\nX=1\n[B]\nY=2\n", "B", "Y", "3",
       "[A]\nX=1\n[B]\nY=3\n"},
      {"section with an unclosed bracket is written into", "[A]\r\nX=1\r\n[B  \r\nY=2\r\n", "B",
       "Y", "3", "[A]\r\nX=1\r\n[B  \r\nY=3\r\n"},
      {"carriage return lines stay as they are", "[A]\rX=1\r[B]\rY=2\r", "A", "K", "V",
       "[A]\rX=1\rK=V\r\n[B]\rY=2\r"},
      {"section after a lone carriage return is written into", "[S]\r\nK=3\r[T]\nL=4\r\n", "T", "L",
       "5", "[S]\r\nK=3\r[T]\nL=5\r\n"},
      {"replaced line keeps its doubled carriage return", "[S]\r\r\nK=1\r\r\n", "S", "K", "2",
       "[S]\r\r\nK=2\r\r\n"},
      {"first of two sections is written", "[S]\r\nA=1\r\n[S]\r\nA=2\r\n", "S", "B", "9",
       "[S]\r\nA=1\r\nB=9\r\n[S]\r\nA=2\r\n"},
      {"first of two keys is replaced", "[S]\r\nA=1\r\nA=2\r\n", "S", "A", "3",
       "[S]\r\nA=3\r\nA=2\r\n"},
      {"keys before the first section stay apart", "K=top\r\n", "S", "K", "V",
       "K=top\r\n[S]\r\nK=V\r\n"},
      {"value is written exactly as given", "[S]\r\n", "S", "K", " spaced ;x ",
       "[S]\r\nK= spaced ;x \r\n"},
      {"value is written in Windows-1252", "", "Sprache", "Grüße", "Füller",
       "[Sprache]\r\nGr\xFC\xDF"
       "e=F\xFCller\r\n"},
      {"Windows-1252 names match in another case", "[F\xDCLLER]\r\nK=1\r\n", "Füller", "k", "2",
       "[F\xDCLLER]\r\nK=2\r\n"},
      {"empty value", "[S]\r\nK=1\r\n", "S", "K", "", "[S]\r\nK=\r\n"},
      {"UTF-16 keeps what Windows-1252 cannot hold", kUtf16LeMark + Le("[S]\r\n"), "S", "K",
       "\u03A9", kUtf16LeMark + Le("[S]\r\nK=\u03A9\r\n")},
      {"odd bytes elsewhere survive", "\xEF\xBB\xBF;x\x01\r\n[S]\r\n\t\r\nK=1\r\n\x80\xFF\r\n", "S",
       "K", "2", "\xEF\xBB\xBF;x\x01\r\n[S]\r\n\t\r\nK=2\r\n\x80\xFF\r\n"},
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(c.what);
    Store(c.before);
    const IoResult written = WriteProfileText(c.section, c.key, c.value, IniPath());
    EXPECT_TRUE(written) << written.error;
    EXPECT_EQ(Stored(), c.after);
  }
}

TEST_F(ProfileFile, FileWithUtf8MarkIsReadAndWrittenAsUtf8) {
  Store(
      "\xEF\xBB\xBF[Gr\xC3\xBC\xC3\x9F"
      "e]\r\nK=K\xC3\xB6ln\r\n");
  const ProfileText read = ReadProfileText("GRÜSSE", "k", "", 255, IniPath());
  EXPECT_EQ(ReadProfileText("GRÜßE", "k", "", 255, IniPath()).text, "Köln");
  EXPECT_EQ(ReadProfileText("GRÜßE", "k", "", 255, IniPath()).count, 4u);
  EXPECT_EQ(read.text, "");  // "ß" is no "SS"
  ASSERT_TRUE(WriteProfileText("grüße", "T", "ä", IniPath()));
  EXPECT_EQ(Stored(),
            "\xEF\xBB\xBF[Gr\xC3\xBC\xC3\x9F"
            "e]\r\nK=K\xC3\xB6ln\r\nT=\xC3\xA4\r\n");
}

// Windows-1252 with a byte-order mark: the same settings that editors on Windows save
// in each of these forms read alike, and a write keeps the form.
TEST_F(ProfileFile, FileIsReadAndWrittenInItsOwnEncoding) {
  struct Form {
    const char* what;
    std::string (*bytes)(const std::string& utf8);
  };
  const std::vector<Form> forms = {
      {"Windows-1252", [](const std::string& text) { return Utf8ToCp1252(text); }},
      {"UTF-8 with mark", [](const std::string& text) { return kUtf8Mark + text; }},
      {"UTF-16 LE with mark", [](const std::string& text) { return kUtf16LeMark + Le(text); }},
      {"UTF-16 BE with mark", [](const std::string& text) { return kUtf16BeMark + Be(text); }},
      {"UTF-16 LE without mark", [](const std::string& text) { return Le(text); }},
      {"UTF-16 BE without mark", [](const std::string& text) { return Be(text); }},
  };
  const std::string before =
      "; Linie 3\r\n[Project]\r\nNumberOfMachines=2\r\n[Machine1]\r\nMachineName=F\u00fcller\n"
      "[F\u00fcller]\r\nT\u00e4nk = \"blau\"\r\n[Machine1]\r\nMachineName=zweiter\r\n";
  const std::string after =
      "; Linie "
      "3\r\n[Project]\r\nNumberOfMachines=2\r\n[Machine1]\r\nMachineName=Verschlie\u00dfer\n"
      "[F\u00fcller]\r\nT\u00e4nk = \"blau\"\r\n[Machine1]\r\nMachineName=zweiter\r\n"
      "[Info]\r\nButton1=5\r\n";
  for (const Form& form : forms) {
    SCOPED_TRACE(form.what);
    Store(form.bytes(before));
    EXPECT_EQ(ReadProfileInteger("project", "NUMBEROFMACHINES", -1, IniPath()), 2);
    EXPECT_EQ(ReadProfileText("MACHINE1", "machinename", "", 255, IniPath()).text, "F\u00fcller");
    EXPECT_EQ(ReadProfileText("F\u00dcLLER", "T\u00c4NK", "", 255, IniPath()).text, "blau");
    std::vector<ProfileRefusal> refused;
    const IoResult written = WriteProfileEntries(
        {{"Machine1", "MachineName", "Verschlie\u00dfer"}, {"Info", "Button1", "5"}}, IniPath(),
        refused);
    ASSERT_TRUE(written) << written.error;
    EXPECT_TRUE(refused.empty());
    EXPECT_TRUE(Stored() == form.bytes(after)) << "the file is no longer in its encoding";
  }
}

TEST_F(ProfileFile, WriteIntoUtf16WithBytesThatAreNoUtf16FailsAndKeepsTheFile) {
  const std::vector<std::string> files = {
      kUtf16LeMark + Le("[S]\r\nK=1\r\n") + "x",
      kUtf16BeMark + Be("[S]\r\nA=") + "\xDC\x00" + Be("\r\nK=1\r\n"),
  };
  for (const std::string& file : files) {
    Store(file);
    const IoResult written = WriteProfileText("S", "K", "2", IniPath());
    EXPECT_FALSE(written);
    EXPECT_NE(written.error.find("'" + IniPath() + "'"), std::string::npos) << written.error;
    EXPECT_NE(written.error.find("UTF-16"), std::string::npos) << written.error;
    EXPECT_TRUE(Stored() == file);
  }
}

TEST_F(ProfileFile, WriteCreatesMissingFile) {
  ASSERT_TRUE(WriteProfileText("S", "K", "V", IniPath()));
  EXPECT_EQ(Stored(), "[S]\r\nK=V\r\n");
}

TEST_F(ProfileFile, WrittenValuesReadBack) {
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"Button1", "5"},
      {"Title", "Grüße aus Köln"},
      {"Empty", ""},
      {"Long", std::string(200, 'z')}};
  for (const auto& [key, value] : entries) {
    ASSERT_TRUE(WriteProfileText("Info", key, value, IniPath()));
  }
  ASSERT_TRUE(WriteProfileText("Info", "Button1", "6", IniPath()));
  for (const auto& [key, value] : entries) {
    SCOPED_TRACE(key);
    EXPECT_EQ(ReadProfileText("info", key, "dflt", 255, IniPath()).text,
              key == "Button1" ? "6" : value);
  }
  EXPECT_EQ(Stored(),
            "[Info]\r\nButton1=6\r\nTitle=Gr\xFC\xDF"
            "e aus K\xF6ln\r\nEmpty=\r\nLong=" +
                std::string(200, 'z') + "\r\n");
}

TEST_F(ProfileFile, WriteLeavesNoTemporaryFilesBehind) {
  Store("[S]\r\nK=1\r\n");
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(WriteProfileText("S", "K" + std::to_string(i), "v", IniPath()));
  }
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(project_.parameterFolder())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"Program.ini"});
}

TEST_F(ProfileFile, WriteReplacesTheFileRatherThanOverwritingIt) {
  Store("[S]\r\nK=1\r\n");
  // A second name for the old file keeps its bytes: it was never truncated, a new file
  // was moved over it.
  const fs::path second = project_.parameterFolder() / "second-name.ini";
  fs::create_hard_link(Ini(), second);
  ASSERT_TRUE(WriteProfileText("S", "K", "2", IniPath()));
  EXPECT_EQ(TestProject::Read(second), "[S]\r\nK=1\r\n");
  EXPECT_EQ(fs::hard_link_count(Ini()), 1u);
}

TEST_F(ProfileFile, WriteOfTheStoredValueLeavesTheFileAlone) {
  Store("[S]\nK = 1\n");
  ASSERT_TRUE(WriteProfileText("S", "K", "2", IniPath()));
  const FileTime longAgo{std::chrono::seconds(1'000'000'000)};
  ASSERT_TRUE(SetLastWriteTime(IniPath(), longAgo));
  ASSERT_TRUE(WriteProfileText("S", "K", "2", IniPath()));
  EXPECT_EQ(LastWriteTime(IniPath()), longAgo);
  EXPECT_EQ(Stored(), "[S]\nK=2\n");
}

TEST_F(ProfileFile, WriteThroughALinkReplacesTheFileItLeadsTo) {
  Store("[S]\r\nK=1\r\n");
  const fs::path link = project_.programFolder() / "Program.ini";
  const fs::path destination = fs::path("..") / "parameter" / "Program.ini";
  std::error_code linkError;
  fs::create_symlink(destination, link, linkError);
  if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
  const IoResult written = WriteProfileText("S", "K", "2", link.string());
  ASSERT_TRUE(written) << written.error;
  EXPECT_EQ(Stored(), "[S]\r\nK=2\r\n");
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), destination);
}

TEST_F(ProfileFile, WriteIntoMissingFolderFailsAndCreatesNothing) {
  const fs::path missing = project_.base() / "missing" / "deeper" / "x.ini";
  const IoResult written = WriteProfileText("S", "K", "V", missing.string());
  EXPECT_FALSE(written);
  EXPECT_FALSE(written.error.empty());
  EXPECT_FALSE(fs::exists(project_.base() / "missing"));
}

TEST_F(ProfileFile, WriteBelowAFileOrOntoAFolderFails) {
  TestProject::Write(project_.base() / "plain", "data");
  EXPECT_FALSE(WriteProfileText("S", "K", "V", (project_.base() / "plain" / "x.ini").string()));
  EXPECT_EQ(TestProject::Read(project_.base() / "plain"), "data");
  EXPECT_FALSE(WriteProfileText("S", "K", "V", project_.componentFolder().string()));
  EXPECT_TRUE(fs::is_directory(project_.componentFolder()));
  EXPECT_FALSE(WriteProfileText("S", "K", "V", ""));
}

TEST_F(ProfileFile, WriteIntoReadOnlyFolderFailsAndKeepsTheFile) {
  if (!test::PermissionBitsBind()) GTEST_SKIP() << "permission bits do not bind here";
  Store("[S]\r\nK=1\r\n");
  fs::permissions(project_.parameterFolder(), fs::perms::owner_read | fs::perms::owner_exec);
  const IoResult written = WriteProfileText("S", "K", "2", IniPath());
  fs::permissions(project_.parameterFolder(), fs::perms::owner_all);
  EXPECT_FALSE(written);
  EXPECT_EQ(Stored(), "[S]\r\nK=1\r\n");
}

TEST_F(ProfileFile, WriteOfReadOnlyFileFailsAndKeepsTheFile) {
  Store("[S]\r\nK=1\r\n");
  fs::permissions(Ini(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const IoResult written = WriteProfileText("S", "K", "2", IniPath());
  EXPECT_FALSE(written);
  EXPECT_NE(written.error.find("'" + IniPath() + "'"), std::string::npos) << written.error;
  EXPECT_NE(written.error.find("read-only"), std::string::npos) << written.error;
  EXPECT_EQ(Stored(), "[S]\r\nK=1\r\n");
}

TEST_F(ProfileFile, WriteOfUnreadableFileFailsRatherThanLosingIt) {
  if (!test::PermissionBitsBind()) GTEST_SKIP() << "permission bits do not bind here";
  Store("[S]\r\nK=1\r\n");
  fs::permissions(Ini(), fs::perms::owner_write);
  const IoResult written = WriteProfileText("S", "Other", "2", IniPath());
  fs::permissions(Ini(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(written);
  EXPECT_EQ(Stored(), "[S]\r\nK=1\r\n");
}

TEST_F(ProfileFile, EntryThatWouldNotReadBackIsRefused) {
  const std::string before = "[S]\r\nK=1\r\n";
  const std::vector<std::vector<std::string>> cases = {
      {"S", "K", "two\r\nlines"}, {"S", "K", "line\nfeed"}, {"S", "", "v"},    {"S", "a=b", "v"},
      {"S", ";K", "v"},           {"S", "[K]", "v"},        {"S]x", "K", "v"}, {"S\n", "K", "v"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0] + "|" + c[1] + "|" + c[2]);
    Store(before);
    const IoResult written = WriteProfileText(c[0], c[1], c[2], IniPath());
    EXPECT_FALSE(written);
    EXPECT_NE(written.error.find(IniPath()), std::string::npos) << written.error;
    EXPECT_EQ(Stored(), before);
  }
}

}  // namespace
}  // namespace velnor
