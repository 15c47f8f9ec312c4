// The demo-project generator: its GIF writer (Qt decodes what it writes), its pictures
// and the project it lays out.
#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "demo_db.h"
#include "demo_project.h"
#include "gif_writer.h"
#include "ini_text.h"
#include "pictures.h"
#include "platform/fs_path.h"
#include "support/system.h"

namespace velnor::demo {
namespace {
namespace fs = std::filesystem;

QImage Decode(const std::string& gif) {
  return QImage::fromData(reinterpret_cast<const uchar*>(gif.data()), static_cast<int>(gif.size()),
                          "GIF");
}

// Largest difference of one colour channel between two images of one size.
int LargestChannelError(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32);
  int worst = 0;
  for (int row = 0; row < x.height(); ++row) {
    for (int col = 0; col < x.width(); ++col) {
      const QRgb p = x.pixel(col, row);
      const QRgb q = y.pixel(col, row);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  }
  return worst;
}

QImage Filled(int width, int height, const std::function<QRgb(int, int)>& colour) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, colour(x, y));
  }
  return image;
}

TEST(GifWriter, QtDecodesEveryPixelOfWhatItWrites) {
  QRandomGenerator random(7);
  std::vector<QRgb> palette;
  for (int i = 0; i < 256; ++i) palette.push_back(qRgb(i, 255 - i, (i * 37) % 256));
  const struct {
    const char* name;
    QImage image;
  } cases[] = {
      {"one pixel", Filled(1, 1, [](int, int) { return qRgb(10, 20, 30); })},
      {"one colour, long runs that widen the codes to 12 bits",
       Filled(500, 400, [](int, int) { return qRgb(200, 0, 0); })},
      {"two colours in stripes",
       Filled(33, 7, [](int x, int) { return x % 2 ? 0xFF000000u : 0xFFFFFFFFu; })},
      {"256 colours at random, so the code table fills and restarts many times",
       Filled(300, 200, [&](int, int) { return palette[random.bounded(256)]; })},
      {"an info button", DrawInfoButton(17)},
      {"a standard warning", DrawWarning(23, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string gif = EncodeGif(c.image);
    ASSERT_EQ(gif.substr(0, 6), "GIF89a");
    EXPECT_EQ(gif.back(), '\x3B');
    const QImage decoded = Decode(gif);
    ASSERT_FALSE(decoded.isNull());
    ASSERT_EQ(decoded.size(), c.image.size());
    EXPECT_EQ(LargestChannelError(decoded, ToIndexed8(c.image)), 0);
  }
}

TEST(GifWriter, KeepsUpTo256ColoursExactlyAndApproximatesMoreClosely) {
  const QImage exact = Filled(16, 16, [](int x, int y) { return qRgb(x * 16, y * 16, 0); });
  EXPECT_EQ(LargestChannelError(Decode(EncodeGif(exact)), exact), 0);

  const QImage many = Filled(64, 64, [](int x, int y) { return qRgb(x * 4, y * 4, 128); });
  const QImage reduced = ToIndexed8(many);
  EXPECT_LE(reduced.colorCount(), 256);
  EXPECT_LE(LargestChannelError(reduced, many), 12);
  EXPECT_LE(LargestChannelError(Decode(EncodeGif(many)), many), 12);
}

TEST(DemoPictures, EveryPictureHasItsSizeAndDiffersFromEveryOther) {
  std::set<QByteArray> seen;
  const auto distinct = [&](const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    return seen
        .insert(QByteArray(reinterpret_cast<const char*>(rgb.constBits()),
                           static_cast<qsizetype>(rgb.sizeInBytes())))
        .second;
  };
  for (int n = 1; n <= kInfoButtons; ++n) {
    SCOPED_TRACE("info button " + std::to_string(n));
    const QImage button = DrawInfoButton(n);
    EXPECT_EQ(button.size(), QSize(kInfoButtonWidth, kInfoButtonHeight));
    EXPECT_TRUE(distinct(button));
  }
  for (int machine = 0; machine <= 3; ++machine) {
    for (int n = 1; n <= (machine == 0 ? kStandardWarnings : 16); ++n) {
      SCOPED_TRACE("warning " + std::to_string(n) + " of machine " + std::to_string(machine));
      const QImage warning = DrawWarning(n, machine);
      EXPECT_EQ(warning.size(), QSize(kWarningSize, kWarningSize));
      EXPECT_TRUE(distinct(warning));
    }
  }
}

class GeneratedProject : public ::testing::Test {
 protected:
  void SetUp() override {
    root = test::NewTemporaryFolder("velnor-demo-test-");
    ASSERT_FALSE(root.empty());
    base = root / "project";
    // Named as a Windows program, so that its copy is one there too; its extension stays.
    fakeTool = root / "tool.exe";
    std::ofstream(fakeTool, std::ios::binary) << "#!/bin/sh\n";
  }
  void TearDown() override { fs::remove_all(root); }

  static std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  fs::path root, base, fakeTool;
};

TEST_F(GeneratedProject, HasEveryFileWhereTheToolLooksForIt) {
  const DemoContents contents = WriteDemoProject(base, fakeTool, {2, 40, {}});

  for (const char* file :
       {"parameter/zorconfiguration.ini", "parameter/Program.ini", "Widget/Widget.cfg",
        "Widget/Widget.mdb", "Widget/Widget_Source.mdb", "SaveRestore/Widget/Widget.mdb",
        "SaveRestore/parameter/program.ini", "Config/Info_Button_001_800.gif",
        "Config/Info_Button_020_800.gif", "Standard/Warn_01_1280.bmp", "Standard/Warn_30_1280.bmp",
        "Standard/Warn_03_Filler_1280.bmp", "Standard/Warn_04_Capper_1280.bmp"}) {
    EXPECT_TRUE(fs::is_regular_file(base / file)) << file;
  }
  EXPECT_FALSE(fs::exists(base / "Config/Info_Button_021_800.gif"));
  EXPECT_FALSE(fs::exists(base / "Standard/Warn_01_Labeler_1280.bmp")) << "only two machines";
  EXPECT_EQ(Bytes(base / "Config/Widget_Config.exe"), "#!/bin/sh\n");
  EXPECT_NE(fs::status(base / "Config/Widget_Config.exe").permissions() & fs::perms::owner_exec,
            fs::perms::none);
  EXPECT_EQ(contents.machines, (std::vector<std::string>{"Filler", "Capper"}));

  const QImage button(QString::fromStdString((base / "Config/Info_Button_007_800.gif").string()));
  EXPECT_EQ(button.size(), QSize(kInfoButtonWidth, kInfoButtonHeight));
  const QImage warning(
      QString::fromStdString((base / "Standard/Warn_03_Filler_1280.bmp").string()));
  EXPECT_EQ(warning.size(), QSize(kWarningSize, kWarningSize));
}

TEST_F(GeneratedProject, WritesItsIniFilesInWindows1252WithCrLf) {
  WriteDemoProject(base, fakeTool, {3, 10, "F\xC3\xBCller"});
  for (const char* file : {"parameter/zorconfiguration.ini", "parameter/Program.ini",
                           "Widget/Widget.cfg", "SaveRestore/parameter/program.ini"}) {
    SCOPED_TRACE(file);
    const std::string bytes = Bytes(base / file);
    EXPECT_EQ(bytes.find('\xC3'), std::string::npos) << "UTF-8 on disk";
    for (std::size_t at = bytes.find('\n'); at != std::string::npos;
         at = bytes.find('\n', at + 1)) {
      ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r');
    }
  }
  EXPECT_NE(Bytes(base / "parameter/Program.ini").find("Abf\xFClllinie"), std::string::npos);
  const auto line = ParseIni(Bytes(base / "parameter/zorconfiguration.ini"));
  EXPECT_EQ(IniValue(line, "Common", "SaveAndRestore"), (base / "SaveRestore").string());
  EXPECT_EQ(IniValue(line, "Common", "NameM1"), "F\xC3\xBCller");
  EXPECT_TRUE(fs::is_regular_file(base / "Standard" / FsPath("Warn_03_F\xC3\xBCller_1280.bmp")));
  EXPECT_EQ(IniValue(line, "Common", "NameM3"), "Labeler");
  EXPECT_EQ(IniValue(line, "Common", "NameM4"), "-");
}

TEST_F(GeneratedProject, HoldsATemplateAndAPreviousGenerationWhoseLimitsDiffer) {
  WriteDemoProject(base, fakeTool, {3, 40, {}});

  DemoDb source(base / "Widget/Widget_Source.mdb", false);
  std::vector<std::string> names;
  for (const PresetColumn& c : PresetColumns()) names.emplace_back(c.name);
  EXPECT_EQ(source.ColumnNames("Source_PRESET_DEFS"), names);
  const auto templateRows = source.Select("SELECT * FROM Source_PRESET_DEFS ORDER BY rowid");
  ASSERT_EQ(templateRows.size(), 40u);
  EXPECT_EQ(source.Select("SELECT * FROM Source_DEFS").size(), NamePatterns().size());

  DemoDb previous(base / "Widget/Widget.mdb", false);
  DemoDb machineCopy(base / "SaveRestore/Widget/Widget.mdb", false);
  const auto oldRows = previous.Select("SELECT * FROM PRESET_DEFS ORDER BY rowid");
  const auto copyRows = machineCopy.Select("SELECT * FROM PRESET_DEFS ORDER BY rowid");
  ASSERT_EQ(oldRows.size(), copyRows.size());
  std::size_t paired = 0;
  for (const Row& t : templateRows) {
    const auto part = std::get<std::int64_t>(t[ColumnIndex("part")]);
    std::string pattern;
    for (const NamePattern& p : NamePatterns()) {
      if (std::string(p.system) == "VISIWIN32" && p.part == part) pattern = p.pattern;
    }
    const std::string name =
        ComposeVarName(pattern, std::get<std::string>(t[ColumnIndex("var_name")]), "Filler");
    for (std::size_t r = 0; r < oldRows.size(); ++r) {
      if (ValueText(oldRows[r][ColumnIndex("var_name")]) != name) continue;
      ++paired;
      SCOPED_TRACE(name);
      EXPECT_EQ(ValueText(oldRows[r][ColumnIndex("machine_type")]), "Filler");
      EXPECT_TRUE(
          SameValue(oldRows[r][ColumnIndex("offset_or_bitno")], t[ColumnIndex("offset_or_bitno")]));
      for (const char* limit : {"abs_min", "abs_max", "min", "max", "pass"}) {
        EXPECT_FALSE(SameValue(oldRows[r][ColumnIndex(limit)], t[ColumnIndex(limit)])) << limit;
        EXPECT_FALSE(SameValue(copyRows[r][ColumnIndex(limit)], oldRows[r][ColumnIndex(limit)]))
            << limit;
      }
    }
  }
  EXPECT_GT(paired, 30u);
  EXPECT_LT(paired, templateRows.size()) << "the template should also hold new variables";
}

TEST_F(GeneratedProject, ReplacesAnEarlierDemoButNeverAFolderOfSomeoneElse) {
  WriteDemoProject(base, fakeTool, {3, 10, {}});
  std::ofstream(base / "left-over.txt") << "from the earlier demo";
  WriteDemoProject(base, fakeTool, {1, 10, {}});
  EXPECT_FALSE(fs::exists(base / "left-over.txt"));
  EXPECT_FALSE(fs::exists(base / "Standard/Warn_01_Capper_1280.bmp"));

  const fs::path foreign = root / "foreign";
  fs::create_directories(foreign);
  std::ofstream(foreign / "thesis.txt") << "precious";
  EXPECT_THROW(WriteDemoProject(foreign, fakeTool, {}), std::runtime_error);
  EXPECT_EQ(Bytes(foreign / "thesis.txt"), "precious");
  EXPECT_THROW(WriteDemoProject(root / "other", root / "no-such-tool", {}), std::runtime_error);
}

}  // namespace
}  // namespace velnor::demo
