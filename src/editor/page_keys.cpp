// The grid by keyboard and wheel: the grid is one stop of the Tab key, whose current
// cell the arrow keys, Page Up and Down, Home and End move across rows, scrolling so
// that it stays in view; the wheel scrolls the grid wherever it turns over it.
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QWheelEvent>

#include "editor/editor_window.h"
#include "editor/window_controls.h"

namespace velnor {
namespace {

constexpr int kWheelNotch = 120;  // eighths of a degree, as Qt counts a wheel's turn

int RowOf(int slot) {
  return (slot - 1) / kCellsPerRow;
}
int ColumnOf(int slot) {
  return (slot - 1) % kCellsPerRow;
}

}  // namespace

int EditorWindow::CellIndex(const QObject* object) const {
  // The cells are still being created while the first events come.
  for (std::size_t position = 0; position < cells_.size(); ++position) {
    if (cells_[position] == object) return static_cast<int>(position) + 1;
  }
  return 0;
}

void EditorWindow::SetCurrentCell(int index) {
  if (index == currentCell_) return;
  if (currentCell_ != 0) Bild(currentCell_)->setFocusPolicy(Qt::ClickFocus);
  currentCell_ = index;
  if (currentCell_ != 0) Bild(currentCell_)->setFocusPolicy(Qt::StrongFocus);
}

int EditorWindow::TargetSlot(int from, int key) const {
  const int count = slots_.Count(shownTab_);
  auto shows = [&](int slot) {
    return slot >= 1 && slot <= count && slots_.At(shownTab_, slot).filled;
  };
  // The shown slot of a row nearest to a column, 0 when the row shows none.
  auto nearestInRow = [&](int row, int column) {
    for (int distance = 0; distance < kCellsPerRow; ++distance) {
      for (const int candidate : {column - distance, column + distance}) {
        if (candidate < 0 || candidate >= kCellsPerRow) continue;
        const int slot = row * kCellsPerRow + candidate + 1;
        if (shows(slot)) return slot;
      }
    }
    return 0;
  };
  // Rows up or down; past a row that shows nothing (a machine's heading) on to the next
  // that does, and at the end of the page the last one that does.
  auto byRows = [&](int rows) {
    const int lastRow = count == 0 ? 0 : RowOf(count);
    const int step = rows > 0 ? 1 : -1;
    const int target = std::clamp(RowOf(from) + rows, 0, lastRow);
    for (int row = target; row >= 0 && row <= lastRow; row += step) {
      if (const int slot = nearestInRow(row, ColumnOf(from))) return slot;
    }
    for (int row = target - step; row != RowOf(from); row -= step) {
      if (const int slot = nearestInRow(row, ColumnOf(from))) return slot;
    }
    return 0;
  };
  auto firstFrom = [&](int slot, int step) {
    for (; slot >= 1 && slot <= count; slot += step) {
      if (shows(slot)) return slot;
    }
    return 0;
  };
  switch (key) {
    case Qt::Key_Right:
      return firstFrom(from + 1, 1);
    case Qt::Key_Left:
      return firstFrom(from - 1, -1);
    case Qt::Key_Down:
      return byRows(1);
    case Qt::Key_Up:
      return byRows(-1);
    case Qt::Key_PageDown:
      return byRows(vScroll_->pageStep());
    case Qt::Key_PageUp:
      return byRows(-vScroll_->pageStep());
    case Qt::Key_Home:
      return firstFrom(1, 1);
    case Qt::Key_End:
      return firstFrom(count, -1);
    default:
      return 0;
  }
}

void EditorWindow::FocusSlot(int slot) {
  const int row = RowOf(slot) + 1;  // 1-based, as the scroll bar counts
  if (row < vScroll_->value()) {
    vScroll_->setValue(row);
  } else if (row > vScroll_->value() + kVisibleRows - 1) {
    vScroll_->setValue(row - (kVisibleRows - 1));
  }
  const int index = slot - (vScroll_->value() - 1) * kCellsPerRow;
  if (index < 1 || index > kCellCount) return;
  SetCurrentCell(index);
  Bild(index)->setFocus(Qt::TabFocusReason);
}

void EditorWindow::SwitchTab(int step) {
  if (helpMode_) return;
  const int count = tabStrip_->count();
  tabStrip_->setCurrentIndex((tabStrip_->currentIndex() + step + count) % count);
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
  const int index = CellIndex(watched);
  if (event->type() == QEvent::Wheel && (index != 0 || watched == mainFrame_)) {
    // Whole notches only, so that a touchpad's small steps add up to rows.
    wheelTurn_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
    const int notches = wheelTurn_ / kWheelNotch;
    wheelTurn_ -= notches * kWheelNotch;
    if (notches != 0) {
      vScroll_->setValue(vScroll_->value() - notches * QApplication::wheelScrollLines());
    }
    return true;
  }
  if (index == 0) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::FocusIn) SetCurrentCell(index);
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
      return false;
    }
    const int slot = TargetSlot(index + (vScroll_->value() - 1) * kCellsPerRow, key->key());
    if (slot != 0) {
      FocusSlot(slot);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace velnor
