// Building the page: the info buttons and warning pictures that exist, in their fixed
// order and blocks per machine, marked with the choices stored in "program.ini".
#include <QImageReader>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/generations.h"
#include "app/info_masks.h"
#include "app/machines.h"
#include "editor/editor_window.h"
#include "editor/help_mode.h"
#include "editor/window_controls.h"
#include "errors/failure.h"
#include "errors/procedure.h"
#include "platform/paths.h"
#include "platform/pending_messages.h"
#include "settings/ini_access.h"
#include "settings/language.h"

namespace velnor {
namespace {

constexpr int kStandardWarnings = 48;
constexpr int kMachineWarnings = 16;
// Pictures must be wider than this, in hundredths of a millimetre (0.9 mm).
constexpr double kMinimumWidthHimetric = 90;
constexpr double kScreenDpi = 96;

std::string Padded(int number, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", digits, number);
  return text;
}

// A picture file, read by its content. A file that exists but holds no readable
// picture is a failure naming the file.
QImage LoadPicture(const std::string& path) {
  QImageReader reader(QString::fromStdString(ResolvePath(path)));
  QImage picture = reader.read();
  if (picture.isNull()) {
    Raise(failure_number::kInvalidPicture, "The picture file '" + path + "' cannot be loaded: " +
                                               reader.errorString().toStdString());
  }
  return picture;
}

double WidthHimetric(const QImage& picture) {
  return picture.width() * 2540.0 / kScreenDpi;
}

// The bit mask stored under key, 0 when it is missing or empty.
std::int32_t StoredMask(const std::string& key, const std::string& settings) {
  return MaskFromText(LoadIniString("Info", key, settings, kAnyMode, kQuietIfMissing));
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// One report for every shown choice that cannot be saved, when the page is built: the
// person learns it before switching such a cell, a silent run logs it once.
std::string UnstorableMessage(const SlotTable& page, const MachineList& machines) {
  int firstButton = 0;
  int lastButton = 0;
  for (int slot = 1; slot <= page.Count(kTabButtons); ++slot) {
    const Slot& button = page.At(kTabButtons, slot);
    if (!button.filled || ChoiceStorable(kTabButtons, button)) continue;
    if (firstButton == 0) firstButton = button.number;
    lastButton = button.number;
  }
  // A machine beyond the mask table counts whether it shows a warning or not: its keys
  // cannot be written either way.
  std::vector<std::string> lostMachines;
  for (int machine = kSavedMachines + 1; machine <= MachineCount(machines); ++machine) {
    lostMachines.push_back(machines[static_cast<std::size_t>(machine)]);
  }
  std::string text;
  if (firstButton != 0) {
    text = "Info buttons " + std::to_string(firstButton) + " to " + std::to_string(lastButton) +
           " cannot be chosen: program.ini holds the choices of info buttons 1 to " +
           std::to_string(kButtonKeys * kBitsPerMask) + " only";
  }
  if (!lostMachines.empty()) {
    text += std::string(text.empty() ? "The" : "; the") + " warnings of " + Joined(lostMachines) +
            " cannot be chosen: program.ini holds the warnings of the first " +
            std::to_string(kSavedMachines) + " machines only, and their keys stay as they are";
  }
  return text;
}

// One report for everything that did not fit on page "Symbole".
std::string LeftOutMessage(const std::vector<std::string>& pictures,
                           const std::vector<std::string>& headings) {
  std::string text = "The page \"Symbole\" holds " + std::to_string(kSlotsPerTab) + " cells: ";
  if (!pictures.empty()) {
    text += std::to_string(pictures.size()) +
            (pictures.size() == 1 ? " warning picture does" : " warning pictures do") +
            " not fit and cannot be chosen (" + pictures.front() +
            (pictures.size() == 1 ? "" : " and after") + ")";
  }
  if (!headings.empty()) {
    text += std::string(pictures.empty() ? "" : "; ") + "the heading rows of " + Joined(headings) +
            " do not fit";
  }
  return text;
}

// Lays out tab 2: the standard warnings, then per machine a heading row and the
// machine's warnings, every block beginning on the first cell of a grid row. The slots
// asked for, stored or not, lay out the rows. What does not fit on the page is gathered
// and reported once at the end, rather than slot by slot: a person would otherwise
// answer a box for every cell.
class WarningLayout {
 public:
  WarningLayout(EditorWindow& window, Procedure& proc, const std::string& resolution)
      : window_(window),
        slots_(window.Slots()),
        proc_(proc),
        resolution_(resolution),
        standardFolder_(JoinPath(FolderOf(window.Run().process.executableFolder), "Standard")),
        standardPictures_(standardFolder_),
        warningSlotsAsked_(slots_.Count(kTabWarnings)) {}

  void AddStandardWarnings() {
    for (int number = 1; number <= kStandardWarnings; ++number) {
      AddWarning(
          JoinPath(standardFolder_, "Warn_" + Padded(number, 2) + "_" + resolution_ + ".bmp"),
          number);
    }
    FillRow();
  }

  void AddMachineBlock(int machine, const std::string& name) {
    for (int cell = 1; cell <= kCellsPerRow; ++cell) {
      Slot* heading = TakeSlot();
      if (cell != 1) continue;
      if (heading != nullptr) {
        heading->machine = name;
      } else {
        headingsLeftOut_.push_back(name);
      }
    }
    for (int number = 1; number <= kMachineWarnings; ++number) {
      AddWarning(JoinPath(standardFolder_,
                          "Warn_" + Padded(number, 2) + "_" + name + "_" + resolution_ + ".bmp"),
                 machine * 100 + number);
    }
    FillRow();
  }

  void ReportLeftOut() {
    proc_.Step([&] {
      if (picturesLeftOut_.empty() && headingsLeftOut_.empty()) return;
      ReportNotice(failure_number::kSubscriptOutOfRange,
                   LeftOutMessage(picturesLeftOut_, headingsLeftOut_), proc_.name());
    });
  }

 private:
  Slot* TakeSlot() {
    ++warningSlotsAsked_;
    if (slots_.Count(kTabWarnings) >= kSlotsPerTab) return nullptr;
    Slot* slot = nullptr;
    proc_.Step([&] { slot = &slots_.Add(kTabWarnings); });
    return slot;
  }

  // A warning that exists and is wide enough takes the next slot of tab 2.
  void AddWarning(const std::string& file, int number) {
    QImage picture;
    bool usable = false;
    proc_.Step([&] {
      if (!standardPictures_.MayHold(FileNameOf(file)) || !FileExists(file)) return;
      picture = LoadPicture(file);
      usable = WidthHimetric(picture) > kMinimumWidthHimetric;
    });
    if (!usable) return;
    Slot* slot = TakeSlot();
    if (slot == nullptr) {
      picturesLeftOut_.push_back(SlotCaption(kTabWarnings, number, window_.Run().machines));
      return;
    }
    proc_.Step([&] { window_.ShrinkPicture(picture, slot->picture); });
    slot->source = picture;
    slot->filled = true;
    slot->number = static_cast<std::int16_t>(number);
  }

  void FillRow() {
    const int count = warningSlotsAsked_;
    const int target = (count == 0 ? 0 : (count - 1) / kCellsPerRow + 1) * kCellsPerRow;
    for (int slot = count + 1; slot <= target; ++slot) TakeSlot();
  }

  EditorWindow& window_;
  SlotTable& slots_;
  Procedure& proc_;
  const std::string resolution_;
  const std::string standardFolder_;
  const FolderListing standardPictures_;
  int warningSlotsAsked_;
  std::vector<std::string> picturesLeftOut_;
  std::vector<std::string> headingsLeftOut_;
};

}  // namespace

void EditorWindow::SetupUserInterFace() {
  Procedure proc("SetupUserInterFace");
  LoadToolTips(proc);
  LoadInfoButtons(proc);
  MarkStoredButtons(proc);
  LayOutWarnings(proc);
  MarkStoredWarnings(proc);
}

void EditorWindow::LoadToolTips(Procedure& proc) {
  // The cells' tool tips start from their design text (none) before the language file's
  // translations apply.
  for (int index = 1; index <= kCellCount; ++index) Bild(index)->setToolTip(QString());
  proc.Step([&] {
    helpTexts_ = WithBuiltInHelp(LoadToolTipTexts(
        Controls(),
        LanguageFilePath(run_.process.executableFolder, run_.process.executableBaseName),
        KeepingBeforeWriting(run_)));
  });
  // A cell's tool tip tells why it cannot be switched while it shows such a choice, and
  // is the translated one again otherwise.
  cellToolTips_.clear();
  for (int index = 1; index <= kCellCount; ++index) cellToolTips_.push_back(Bild(index)->toolTip());
}

// Info buttons, numbered by their slot, up to the first number without a file. A
// damaged file keeps its slot empty and hidden, so that the buttons after it keep
// their numbers.
void EditorWindow::LoadInfoButtons(Procedure& proc) {
  for (;;) {
    const std::string file =
        JoinPath(run_.process.executableFolder,
                 "Info_Button_" + Padded(slots_.Count(kTabButtons) + 1, 3) + "_800.gif");
    bool exists = false;
    proc.Step([&] { exists = FileExists(file); });
    if (!exists) break;
    Slot* slot = nullptr;
    if (!proc.Step([&] { slot = &slots_.Add(kTabButtons); })) break;
    slot->number = slots_.Count(kTabButtons);
    proc.Step([&] {
      slot->picture = LoadPicture(file);
      slot->source = slot->picture;
      slot->filled = true;
    });
  }
}

void EditorWindow::MarkStoredButtons(Procedure& proc) {
  for (int key = 1; key <= kButtonKeys; ++key) {
    proc.Step([&] {
      const std::int32_t mask = StoredMask(ButtonKey(key), run_.programIniForReading);
      for (int bit = 0; bit < kBitsPerMask; ++bit) {
        slots_.At(kTabButtons, ChoiceNumber(0, key, bit)).selected = MaskBit(mask, bit) ? 1 : 0;
      }
    });
  }
}

void EditorWindow::LayOutWarnings(Procedure& proc) {
  std::string resolution;
  proc.Step([&] {
    resolution = LoadIniString("Project", "Resolution", run_.programIniForReading, kAnyMode,
                               kQuietIfMissing);
    if (resolution.empty()) resolution = "1280";
  });
  WarningLayout layout(*this, proc, resolution);
  layout.AddStandardWarnings();
  const int machines = MachineCount(run_.machines);
  for (int machine = 1; machine <= machines; ++machine) {
    layout.AddMachineBlock(machine, run_.machines[static_cast<std::size_t>(machine)]);
  }
  layout.ReportLeftOut();
}

// A choice marks the first slot of its number; a number without a slot is dropped.
void EditorWindow::MarkStoredWarnings(Procedure& proc) {
  const int warningSlots = slots_.Count(kTabWarnings);
  for (int slot = 1; slot <= warningSlots; ++slot) slots_.At(kTabWarnings, slot).selected = 0;
  auto choose = [&](int number) {
    for (int slot = 1; slot <= warningSlots; ++slot) {
      Slot& warning = slots_.At(kTabWarnings, slot);
      if (warning.number == number) {
        warning.selected = 1;
        return;
      }
    }
  };
  proc.Step([&] {
    const std::string unstorable = UnstorableMessage(slots_, run_.machines);
    if (!unstorable.empty()) {
      ReportNotice(failure_number::kSubscriptOutOfRange, unstorable, proc.name());
    }
  });
  // Machine 0 stands for the standard warnings.
  auto chooseStored = [&](int machine, int key) {
    proc.Step([&] {
      const std::string name =
          machine == 0 ? StandardWarningKey(key)
                       : MachineWarningKey(run_.machines[static_cast<std::size_t>(machine)], key);
      const std::int32_t mask = StoredMask(name, run_.programIniForReading);
      for (int bit = 0; bit < kBitsPerMask; ++bit) {
        if (MaskBit(mask, bit)) choose(ChoiceNumber(machine, key, bit));
      }
    });
  };
  for (int key = 1; key <= kStandardWarningKeys; ++key) chooseStored(0, key);
  const int machines = MachineCount(run_.machines);
  for (int machine = 1; machine <= machines; ++machine) {
    for (int key = 1; key <= kMachineWarningKeys; ++key) chooseStored(machine, key);
  }
}

void EditorWindow::ShrinkPicture(const QImage& source, QImage& destination) {
  // Two thirds of a cell, 800 x 560 twips, whatever the picture's proportions; the
  // smooth scale averages the source pixels as a halftone stretch does.
  const float cellWidthTwips = static_cast<float>(Bild(1)->width() * kTwipsPerPixel);
  const float cellHeightTwips = static_cast<float>(Bild(1)->height() * kTwipsPerPixel);
  const auto width = static_cast<int>(std::lround(cellWidthTwips / 1.5f / kTwipsPerPixel));
  const auto height = static_cast<int>(std::lround(cellHeightTwips / 1.5f / kTwipsPerPixel));
  QImage shrunk = source.convertToFormat(QImage::Format_RGB32)
                      .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  ProcessPendingMessages();
  destination = shrunk;
  ProcessPendingMessages();
}

}  // namespace velnor
