// Settings files saved by an editor on Windows in UTF-16 or UTF-8 ("Save as Unicode"),
// with and without a byte-order mark: a silent run reads them as it reads their
// Windows-1252 twins and leaves each in its encoding.
#include <string>
#include <vector>

#include "demo_fixture.h"
#include "expected_presets.h"

namespace velnor::e2e {
namespace {

struct Encoding {
  const char* name;
  bool utf16;
  bool bigEndian;
  bool mark;
};

// The demo's settings are Windows-1252 letters of the Latin-1 range, which are their
// own code points: a byte becomes one UTF-16 unit or one UTF-8 character.
std::string Encode(const Encoding& encoding, const std::string& latin1) {
  std::string out;
  if (encoding.mark)
    out = encoding.utf16 ? (encoding.bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "\xEF\xBB\xBF";
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (encoding.utf16) {
      out += encoding.bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    } else if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | byte >> 6);
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

class SilentRunOnUnicodeSettings : public ::testing::TestWithParam<Encoding> {};

INSTANTIATE_TEST_SUITE_P(Encodings, SilentRunOnUnicodeSettings,
                         ::testing::Values(Encoding{"Utf16LeWithMark", true, false, true},
                                           Encoding{"Utf16BeWithMark", true, true, true},
                                           Encoding{"Utf16LeWithoutMark", true, false, false},
                                           Encoding{"Utf16BeWithoutMark", true, true, false},
                                           Encoding{"Utf8WithMark", false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(SilentRunOnUnicodeSettings, GivesTheRowsValuesAndStampOfItsTwinAndKeepsTheEncoding) {
  const Encoding& encoding = GetParam();
  DemoProject twin;
  DemoProject project;
  ASSERT_TRUE(twin.ok() && project.ok());
  // Every kind of settings file; the language file exists, so that the run adds its
  // texts to it rather than creating it.
  const auto settingsFiles = [](const DemoProject& p) {
    return std::vector<fs::path>{p.programIni(), p.configIni(), p.savedProgramIni(), p.cfg(),
                                 p.languageFile()};
  };
  const std::string language = "[Language]\r\nLanguage=1031\r\n";
  WriteBytes(twin.languageFile(), language);
  WriteBytes(project.languageFile(), language);
  std::vector<std::string> before;
  for (const fs::path& file : settingsFiles(project)) {
    before.push_back(ReadBytes(file));
    WriteBytes(file, Encode(encoding, before.back()));
  }

  const RunResult twinRun = twin.RunSilent();
  const RunResult run = project.RunSilent();

  ASSERT_EQ(twinRun.exitStatus, 0) << twinRun.Describe();
  ASSERT_EQ(run.exitStatus, 0) << run.Describe() << ReadBytes(project.servicePackLog());
  EXPECT_FALSE(fs::exists(project.errorLog())) << ReadBytes(project.errorLog());
  ExpectSameTable(ReadTable(project.componentDb(), "PRESET_DEFS"),
                  ReadTable(twin.componentDb(), "PRESET_DEFS"));
  const std::vector<fs::path> twinFiles = settingsFiles(twin);
  const std::vector<fs::path> files = settingsFiles(project);
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i].filename().string());
    const std::string twinAfter = ReadBytes(twinFiles[i]);
    // The files the run does not write (the line's, the save-and-restore folder's) name
    // folders of their own project.
    const std::string expected =
        twinAfter == before[i] || files[i] == project.configIni() ? before[i] : twinAfter;
    EXPECT_TRUE(ReadBytes(files[i]) == Encode(encoding, expected))
        << "the file differs from its twin or left its encoding:\n"
        << ReadBytes(files[i]);
  }
}

}  // namespace
}  // namespace velnor::e2e
