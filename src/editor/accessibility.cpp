#include "editor/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include "editor/editor_window.h"
#include "editor/window_controls.h"

namespace velnor {
namespace {

// A container that shows assistive technology its shown children only. Qt's own
// interface lists hidden children too, and the window hides most of its cells and
// labels, and all of its work surfaces, at any time.
class ShownChildren : public QAccessibleWidget {
 public:
  using QAccessibleWidget::QAccessibleWidget;

  int childCount() const override { return static_cast<int>(Shown().size()); }

  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> shown = Shown();
    if (index < 0 || index >= shown.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(shown.at(index));
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    return static_cast<int>(Shown().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  QList<QWidget*> Shown() const {
    QList<QWidget*> shown;
    for (QObject* object : widget()->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (child != nullptr && !child->isWindow() && !child->isHidden()) shown.append(child);
    }
    return shown;
  }
};

// A picture cell: a check box whose checked state is the choice, toggled by the action
// a screen reader offers, or not offered when the choice cannot be saved.
class CellAccessible : public QAccessibleWidget {
 public:
  explicit CellAccessible(PictureBox* cell) : QAccessibleWidget(cell, QAccessible::CheckBox) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = Cell()->Checked();
    state.disabled = !Cell()->Switchable();
    return state;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (Cell()->Switchable()) names.prepend(QAccessibleActionInterface::toggleAction());
    return names;
  }

  void doAction(const QString& actionName) override {
    if (actionName == QAccessibleActionInterface::toggleAction() && Cell()->Switchable()) {
      Cell()->Click();
      return;
    }
    QAccessibleWidget::doAction(actionName);
  }

  QStringList keyBindingsForAction(const QString& actionName) const override {
    if (actionName == QAccessibleActionInterface::toggleAction()) return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
  }

 private:
  PictureBox* Cell() const { return static_cast<PictureBox*>(widget()); }
};

QAccessibleInterface* WindowAccessibility(const QString& className, QObject* object) {
  if (className == QLatin1String("velnor::PictureBox")) {
    auto* box = static_cast<PictureBox*>(object);
    // The work surfaces have no border and are never shown; only cells are exposed.
    if (box->BorderWidth() > 0) return new CellAccessible(box);
    return nullptr;
  }
  if (className == QLatin1String("velnor::GridFrame")) {
    return new ShownChildren(static_cast<QWidget*>(object), QAccessible::Grouping);
  }
  if (className == QLatin1String("velnor::EditorWindow")) {
    return new ShownChildren(static_cast<QWidget*>(object), QAccessible::Window);
  }
  return nullptr;
}

}  // namespace

void InstallAccessibility() {
  // Qt keeps a factory once, however often it is installed.
  QAccessible::installFactory(&WindowAccessibility);
}

}  // namespace velnor
