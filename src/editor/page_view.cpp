// Showing the page: the visible rows of the selected tab, scrolling by rows, switching
// tabs, rebuilding from the header, and clicks on the cells.
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <cmath>

#include "app/info_masks.h"
#include "editor/editor_window.h"
#include "editor/help_mode.h"
#include "editor/window_controls.h"
#include "errors/procedure.h"

namespace velnor {
namespace {

std::string NotStorableReason(int tab) {
  return tab == kTabButtons ? "program.ini holds the choices of info buttons 1 to " +
                                  std::to_string(kButtonKeys * kBitsPerMask) + " only"
                            : "program.ini holds the warnings of the first " +
                                  std::to_string(kSavedMachines) + " machines only";
}

// The cell's border allowance: the picture is centred in the area inside it.
constexpr float kBorderAllowancePixels = 4;

}  // namespace

void EditorWindow::DrawCell(int index, int tab, int slot) {
  const Slot& shown = slots_.At(tab, slot);
  PictureBox* cell = Bild(index);
  const QColor background = shown.selected == 1 ? kChosenColor : kNotChosenColor;
  cell->SetBackColor(background);
  picZwischen_->SetBackColor(background);
  picZwischen_->SetPicture(shown.picture);

  // In twips, as the designed window computed it, then to the cell's pixels.
  const float twips = static_cast<float>(kTwipsPerPixel);
  const float x = (static_cast<float>(cell->width() - picZwischen_->width()) * twips -
                   kBorderAllowancePixels * twips) /
                  2;
  const float y = (static_cast<float>(cell->height() - picZwischen_->height()) * twips -
                   kBorderAllowancePixels * twips) /
                  2;
  cell->SetPicture(QImage());
  // On a screen of more pixels than logical ones the composed image would be blown up
  // pixel by pixel; there the picture is drawn again from its source at that density.
  const qreal ratio = cell->devicePixelRatioF();
  const QImage composed =
      ratio == 1.0 ? picZwischen_->Image()
                   : PictureAtRatio(shown.source, picZwischen_->size(), background, ratio);
  cell->PaintPicture(composed, static_cast<int>(std::floor(x / twips)),
                     static_cast<int>(std::floor(y / twips)));

  const bool storable = ChoiceStorable(tab, shown);
  if (!storable) cell->Veil(kNotStorableVeil);
  cell->SetSwitchable(storable);
  cell->SetChecked(shown.selected == 1);

  cell->setAccessibleName(QString::fromStdString(SlotCaption(tab, shown.number, run_.machines)));
  QString state = shown.selected == 1 ? QStringLiteral("chosen") : QStringLiteral("not chosen");
  if (storable) {
    cell->setToolTip(cellToolTips_.empty() ? QString()
                                           : cellToolTips_[static_cast<std::size_t>(index - 1)]);
  } else {
    state +=
        QStringLiteral("; cannot be switched: ") + QString::fromStdString(NotStorableReason(tab));
    cell->setToolTip(QString::fromUtf8(tab == kTabButtons
                                           ? "Kann nicht gewählt werden: program.ini speichert "
                                             "nur die Schalter 1 bis 96."
                                           : "Kann nicht gewählt werden: program.ini speichert "
                                             "nur die Symbole der ersten fünf Maschinen."));
  }
  cell->setAccessibleDescription(state);
}

void EditorWindow::Scrollen(int tab) {
  Procedure proc("Scrollen");
  int offset = 0;
  proc.Step([&] { offset = (vScroll_->value() - 1) * kCellsPerRow; });
  for (int index = 1; index <= kCellCount; ++index) {
    const int slot = index + offset;
    proc.Step([&] {
      if (slot > slots_.Count(tab) || !slots_.At(tab, slot).filled) {
        Bild(index)->hide();
        return;
      }
      Bild(index)->show();
      DrawCell(index, tab, slot);
    });
    const int row = (index - 1) / kCellsPerRow;
    if (index == row * kCellsPerRow + 1) {
      // The row label follows its row's first slot, whether that cell shows or not.
      proc.Step([&] {
        QLabel* label = Maschine(row + 1);
        const std::string& machine = slots_.At(tab, slot).machine;
        if (machine.empty()) {
          label->hide();
        } else {
          label->setText(QString::fromStdString(machine));
          label->show();
        }
      });
    }
  }
  proc.Step([&] {
    // The grid's stop of the Tab key is a shown cell, the first one after a redraw.
    int current = 0;
    for (int index = kCellCount; index >= 1; --index) {
      if (!Bild(index)->isHidden()) current = index;
    }
    SetCurrentCell(current);
    if (!Bild(1)->isHidden()) {
      Bild(1)->setFocus();
    } else if (!commandOK_->isHidden()) {
      commandOK_->setFocus();
    }
  });
}

void EditorWindow::ShowSelectedTab(const char* procedureName) {
  Procedure proc(procedureName);
  shownTab_ = SelectedTab();
  // The grid is named by its tab for assistive technology, as a person sees it.
  mainFrame_->setAccessibleName(tabStrip_->tabText(shownTab_ - 1));
  proc.Step([&] { vScroll_->setValue(1); });
  proc.Step([&] {
    const int count = slots_.Count(shownTab_);
    const int rows = (count + kCellsPerRow - 1) / kCellsPerRow;
    vScroll_->setMaximum(rows > kVisibleRows ? rows - (kVisibleRows - 1) : 1);
  });
  proc.Step([&] { Scrollen(shownTab_); });
}

void EditorWindow::TabStrip_Click() {
  // In help mode the page stays, and so does the strip: a strip that showed another tab
  // than the grid would let a click toggle a slot of the tab not shown.
  if (helpMode_) {
    if (SelectedTab() != shownTab_) tabStrip_->setCurrentIndex(shownTab_ - 1);
    return;
  }
  ShowSelectedTab("TabStrip_Click");
}

void EditorWindow::VScroll_Change() {
  Procedure proc("VScroll_Change");
  proc.Step([&] { Scrollen(shownTab_); });
}

void EditorWindow::Header_Click() {
  // A rebuild starts from an empty page: building on the filled one would append every
  // warning block a second time. Choices not yet saved give way to the stored ones.
  slots_.Clear();
  SetupUserInterFace();
  ShowSelectedTab("Header_Click");
}

void EditorWindow::Bild_Click(int index) {
  if (helpMode_) return;
  const int tab = shownTab_;
  const int slot = index + (vScroll_->value() - 1) * kCellsPerRow;
  // Only cells of filled slots are shown, so a click always finds its slot; a slot
  // without a picture is never toggled.
  if (slot < 1 || slot > slots_.Count(tab) || !slots_.At(tab, slot).filled) return;
  Slot& clicked = slots_.At(tab, slot);
  // A choice that cannot be saved is not offered: it would be lost without a word.
  if (!ChoiceStorable(tab, clicked)) return;
  clicked.selected = clicked.selected == 0 ? 1 : 0;
  DrawCell(index, tab, slot);
}

}  // namespace velnor
