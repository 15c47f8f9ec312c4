#include <gtest/gtest.h>

#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <map>

#include "editor/window_controls.h"
#include "editor_fixture.h"

namespace velnor::test {
namespace {

using WindowLayout = EditorTest;

struct Expected {
  const char* name;
  int index;  // 0 for a single control
  const char* container;
  QRect pixels;  // the designed twips / 15
};

TEST_F(WindowLayout, ControlsComeInCreationOrderWithTheirKindsAndIndexes) {
  EditorWindow window(run);
  const ControlList controls = window.Controls();
  ASSERT_EQ(controls.size(), 3u + 1u + 56u + 1u + 7u + 5u);

  std::vector<std::string> order;
  for (const Control* control : controls) {
    const std::string entry = control->Name() + (control->Index() ? "()" : "");
    if (order.empty() || order.back() != entry) order.push_back(entry);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"PicZwischen", "PicZiel", "PicQuelle", "MainFrame",
                                             "Bild()", "VScroll", "Maschine()", "CommandQuest",
                                             "CommandCancel", "CommandOK", "TabStrip", "Header"}));
  EXPECT_EQ(controls[4]->Index(), 1);
  EXPECT_EQ(controls[59]->Index(), 56);
  EXPECT_EQ(controls[61]->Index(), 1);
  EXPECT_EQ(controls[67]->Index(), 7);

  std::map<std::string, std::string> types;
  for (const Control* control : controls) types[control->Name()] = control->TypeName();
  EXPECT_EQ(types["Header"], "LABEL");
  EXPECT_EQ(types["Maschine"], "LABEL");
  EXPECT_EQ(types["CommandOK"], "COMMANDBUTTON");
  EXPECT_EQ(types["CommandQuest"], "COMMANDBUTTON");
  for (const char* other : {"Bild", "PicZiel", "MainFrame", "VScroll", "TabStrip"}) {
    SCOPED_TRACE(other);
    EXPECT_NE(types[other], "LABEL");
    EXPECT_NE(types[other], "COMMANDBUTTON");
    EXPECT_NE(types[other], "CHECKBOX");
  }
}

TEST_F(WindowLayout, EveryControlLiesWhereTheDesignPutItInPixels) {
  EditorWindow window(run);
  EXPECT_EQ(window.objectName(), "frm_Velnor_Config_Exe");
  EXPECT_EQ(window.size(), QSize(792, 573));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());

  const std::vector<Expected> expected = {
      {"PicZwischen", 0, "frm_Velnor_Config_Exe", {310, 517, 24, 23}},
      {"PicZiel", 0, "frm_Velnor_Config_Exe", {219, 516, 60, 45}},
      {"PicQuelle", 0, "frm_Velnor_Config_Exe", {85, 515, 121, 49}},
      {"MainFrame", 0, "frm_Velnor_Config_Exe", {6, 54, 661, 402}},
      {"Bild", 1, "MainFrame", {1, 7, 80, 56}},
      {"Bild", 8, "MainFrame", {561, 7, 80, 56}},
      {"Bild", 9, "MainFrame", {1, 63, 80, 56}},
      {"Bild", 56, "MainFrame", {561, 343, 80, 56}},
      {"VScroll", 0, "MainFrame", {641, 7, 18, 391}},
      {"Maschine", 1, "MainFrame", {4, 30, 224, 26}},
      {"Maschine", 7, "MainFrame", {4, 366, 224, 26}},
      {"CommandQuest", 0, "frm_Velnor_Config_Exe", {490, 514, 65, 57}},
      {"CommandCancel", 0, "frm_Velnor_Config_Exe", {678, 514, 113, 57}},
      {"CommandOK", 0, "frm_Velnor_Config_Exe", {560, 514, 113, 57}},
      {"TabStrip", 0, "frm_Velnor_Config_Exe", {0, 26, 792, 484}},
      {"Header", 0, "frm_Velnor_Config_Exe", {2, 2, 785, 24}},
  };
  for (const Expected& row : expected) {
    SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index));
    const QWidget* widget = nullptr;
    for (const auto& control : window.ControlModel()) {
      if (control->Name() == row.name && control->Index().value_or(0) == row.index) {
        widget = control->widget();
      }
    }
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->objectName().toStdString(), row.name);
    EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), row.container);
    EXPECT_EQ(widget->geometry(), row.pixels);
  }
}

TEST_F(WindowLayout, DesignPropertiesHoldBeforeTheLoad) {
  EditorWindow window(run);
  EXPECT_EQ(window.windowTitle(), "Base ZORCFG-Erweiterung");
  for (int index = 1; index <= 56; ++index) EXPECT_TRUE(window.Bild(index)->isHidden());
  for (int row = 1; row <= 7; ++row) {
    EXPECT_TRUE(window.Maschine(row)->isHidden());
    EXPECT_EQ(window.Maschine(row)->text(), "Label1");
    EXPECT_EQ(window.Maschine(row)->font().family(), "Lucida Sans Unicode");
    EXPECT_DOUBLE_EQ(window.Maschine(row)->font().pointSizeF(), 15.75);
    EXPECT_TRUE(window.Maschine(row)->font().bold());
  }
  EXPECT_TRUE(window.PicZwischen()->isHidden());
  EXPECT_EQ(window.Header()->text(), "Info");
  EXPECT_EQ(window.Header()->font().family(), "MS Sans Serif");
  EXPECT_DOUBLE_EQ(window.Header()->font().pointSizeF(), 13.5);
  EXPECT_DOUBLE_EQ(window.TabStrip()->font().pointSizeF(), 12);
  EXPECT_TRUE(window.TabStrip()->font().bold());
  ASSERT_EQ(window.TabStrip()->count(), 2);
  EXPECT_EQ(window.TabStrip()->tabText(0), "Schalter");
  EXPECT_EQ(window.TabStrip()->tabText(1), "Symbole");
  EXPECT_EQ(window.SelectedTab(), 1);

  EXPECT_EQ(window.VScroll()->minimum(), 1);
  EXPECT_EQ(window.VScroll()->maximum(), 1);
  EXPECT_EQ(window.VScroll()->value(), 1);
  EXPECT_EQ(window.VScroll()->singleStep(), 1);
  EXPECT_EQ(window.VScroll()->pageStep(), 6);

  EXPECT_FALSE(window.CommandOK()->isEnabled());
  EXPECT_EQ(window.CommandOK()->text(), "");
  EXPECT_EQ(window.CommandOK()->iconSize(), QSize(44, 36));
  EXPECT_EQ(window.CommandCancel()->iconSize(), QSize(37, 39));
  EXPECT_EQ(window.CommandQuest()->iconSize(), QSize(41, 45));
  for (const QPushButton* button :
       {window.CommandOK(), window.CommandCancel(), window.CommandQuest()}) {
    EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
  }

  std::map<std::string, int> helpIds;
  std::map<std::string, std::string> tags;
  for (const Control* control : window.Controls()) {
    helpIds[control->Name()] += control->WhatsThisHelpID();
    tags[control->Name()] += control->Tag();
  }
  EXPECT_EQ(helpIds["CommandOK"], 1);
  EXPECT_EQ(helpIds["CommandCancel"], 2);
  EXPECT_EQ(helpIds["CommandQuest"] + helpIds["Bild"] + helpIds["Header"], 0);
  EXPECT_EQ(tags["TabStrip"], "NoTTT");
  EXPECT_EQ(tags["Bild"] + tags["Header"] + tags["CommandOK"], "");
}

TEST_F(WindowLayout, TheButtonPicturesHaveTheirDesignedSizes) {
  EXPECT_EQ(QImage(":/buttons/ok.png").size(), QSize(44, 36));
  EXPECT_EQ(QImage(":/buttons/cancel.png").size(), QSize(37, 39));
  EXPECT_EQ(QImage(":/buttons/quest.png").size(), QSize(41, 45));
  // Transparent around the motif.
  EXPECT_EQ(QImage(":/buttons/ok.png").pixelColor(0, 0).alpha(), 0);
}

TEST_F(WindowLayout, PicturesAreDrawnFromTheirSourceAtTheScreensPixelDensity) {
  QImage source(64, 64, QImage::Format_RGB32);
  source.fill(kPictureColor);
  struct Case {
    qreal ratio;
    QSize pixels;
  };
  for (const Case& row : std::vector<Case>{{1, {53, 37}}, {1.5, {80, 56}}, {2, {106, 74}}}) {
    SCOPED_TRACE(row.ratio);
    const QImage drawn = PictureAtRatio(source, {53, 37}, Qt::black, row.ratio);
    EXPECT_EQ(drawn.size(), row.pixels);
    EXPECT_EQ(drawn.deviceIndependentSize().toSize(), QSize(53, 37));
  }
  EditorWindow window(run);
  EXPECT_FALSE(window.windowIcon().isNull()) << "the program's own icon";
  EXPECT_TRUE(window.CommandOK()->icon().availableSizes().contains(QSize(88, 72)))
      << "the button art drawn at twice its size as well";
}

TEST_F(WindowLayout, AChangeOfSizeMovesNothing) {
  EditorWindow& shown = LoadAndShow();
  const QRect frame = shown.findChild<QGroupBox*>("MainFrame")->geometry();
  const QRect ok = shown.CommandOK()->geometry();
  shown.resize(1000, 800);
  EXPECT_EQ(shown.size(), QSize(792, 573));
  EXPECT_EQ(shown.findChild<QGroupBox*>("MainFrame")->geometry(), frame);
  EXPECT_EQ(shown.CommandOK()->geometry(), ok);
}

}  // namespace
}  // namespace velnor::test
