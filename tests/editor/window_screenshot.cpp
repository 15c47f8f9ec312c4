// Draws the window of the program on the offscreen platform over a generated demo
// project and saves it as a PNG file: the screenshot of the documentation.
//
//   editor_window_screenshot docs/editor_window.png
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTabWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "editor/editor_window.h"
#include "editor/window_controls.h"
#include "platform/message_box.h"
#include "support/test_project.h"

namespace {

using velnor::test::TestProject;

// A warning symbol as the panel project keeps them: a yellow triangle with a sign.
void WriteWarning(const std::filesystem::path& path, const QString& sign, const QColor& back) {
  std::filesystem::create_directories(path.parent_path());
  QImage image(96, 67, QImage::Format_RGB32);
  image.fill(back);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath triangle;
  triangle.moveTo(48, 4);
  triangle.lineTo(90, 63);
  triangle.lineTo(6, 63);
  triangle.closeSubpath();
  painter.fillPath(triangle, QColor(255, 204, 0));
  painter.strokePath(triangle, QPen(Qt::black, 4));
  QFont font = painter.font();
  font.setPixelSize(30);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRect(28, 22, 40, 40), Qt::AlignCenter, sign);
  painter.end();
  image.save(QString::fromStdString(path.string()), "BMP");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: editor_window_screenshot <file.png>\n");
    return 2;
  }
  const std::string output = std::filesystem::absolute(argv[1]).string();
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);

  TestProject project;
  velnor::ScriptedMessageBox noQuestions;
  TestProject::Write(project.cfgPath(), "[Project]\r\nValidMachines=ALL\r\n");
  TestProject::Write(project.parameterFolder() / "Program.ini",
                     "[Project]\r\nNumberOfMachines=2\r\n[Machine1]\r\nMachineName=Packer\r\n"
                     "[Machine2]\r\nMachineName=Wrapper\r\n[Info]\r\nStandardWarning1=21\r\n"
                     "MachineWarning_Packer_1=2\r\n");
  const auto standard = project.base() / "Standard";
  const QString signs[] = {"!", "?", "i", "%", "#", "&", "+", "*", "="};
  for (int number = 1; number <= 9; ++number) {
    char name[32];
    std::snprintf(name, sizeof name, "Warn_%02d_1280.bmp", number);
    WriteWarning(standard / name, signs[number - 1], QColor(235, 235, 235));
  }
  for (const char* machine : {"Packer", "Wrapper"}) {
    for (int number = 1; number <= 3; ++number) {
      const std::string name = "Warn_0" + std::to_string(number) + "_" + machine + "_1280.bmp";
      WriteWarning(standard / name, QString::number(number), QColor(210, 225, 245));
    }
  }

  velnor::EditorWindow window;
  window.Form_Load();
  window.show();
  window.TabStrip()->setCurrentIndex(1);
  QApplication::processEvents();

  const QImage shot = window.grab().toImage();
  if (!shot.save(QString::fromStdString(output), "PNG")) {
    std::fprintf(stderr, "editor_window_screenshot: cannot write %s\n", output.c_str());
    return 1;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}
