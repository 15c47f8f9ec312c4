#include "editor/control_model.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <utility>

#include "errors/failure.h"

namespace velnor {
namespace {

// The original runtime's number for a property that a kind of control does not have.
constexpr std::int32_t kPropertyNotSupported = 438;

}  // namespace

WindowControl::WindowControl(QWidget* widget, ControlKind kind, std::string name,
                             std::optional<int> index, std::string tag, int helpId)
    : widget_(widget),
      kind_(kind),
      name_(std::move(name)),
      index_(index),
      tag_(std::move(tag)),
      helpId_(helpId) {}

std::string WindowControl::TypeName() const {
  switch (kind_) {
    case ControlKind::kPictureBox:
      return "PICTUREBOX";
    case ControlKind::kFrame:
      return "FRAME";
    case ControlKind::kVScrollBar:
      return "VSCROLLBAR";
    case ControlKind::kLabel:
      return "LABEL";
    case ControlKind::kCommandButton:
      return "COMMANDBUTTON";
    case ControlKind::kTabStrip:
      return "TABSTRIP";
  }
  return "CONTROL";
}

std::string WindowControl::Caption() const {
  switch (kind_) {
    case ControlKind::kLabel:
      return static_cast<const QLabel*>(widget_)->text().toStdString();
    case ControlKind::kCommandButton:
      return static_cast<const QAbstractButton*>(widget_)->text().toStdString();
    case ControlKind::kFrame:
      return static_cast<const QGroupBox*>(widget_)->title().toStdString();
    default:
      Raise(kPropertyNotSupported, "Control '" + name_ + "' has no caption");
  }
}

void WindowControl::SetCaption(const std::string& caption) {
  const QString text = QString::fromStdString(caption);
  switch (kind_) {
    case ControlKind::kLabel:
      static_cast<QLabel*>(widget_)->setText(text);
      return;
    case ControlKind::kCommandButton:
      static_cast<QAbstractButton*>(widget_)->setText(text);
      return;
    case ControlKind::kFrame:
      static_cast<QGroupBox*>(widget_)->setTitle(text);
      return;
    default:
      Raise(kPropertyNotSupported, "Control '" + name_ + "' has no caption");
  }
}

std::string WindowControl::ToolTipText() const {
  return widget_->toolTip().toStdString();
}

void WindowControl::SetToolTipText(const std::string& text) {
  widget_->setToolTip(QString::fromStdString(text));
}

}  // namespace velnor
