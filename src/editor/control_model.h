#pragma once
// The window's controls as the language texts see them: name, array index, tag,
// caption, tool tip, help id and a type name.
#include <QWidget>
#include <optional>
#include <string>

#include "settings/controls.h"

namespace velnor {

enum class ControlKind { kPictureBox, kFrame, kVScrollBar, kLabel, kCommandButton, kTabStrip };

class WindowControl : public Control {
 public:
  WindowControl(QWidget* widget, ControlKind kind, std::string name, std::optional<int> index,
                std::string tag, int helpId);

  QWidget* widget() const { return widget_; }
  ControlKind kind() const { return kind_; }

  std::string TypeName() const override;
  std::string Name() const override { return name_; }
  std::optional<int> Index() const override { return index_; }
  std::string Tag() const override { return tag_; }
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  std::string ToolTipText() const override;
  void SetToolTipText(const std::string& text) override;
  int WhatsThisHelpID() const override { return helpId_; }

 private:
  QWidget* widget_;
  ControlKind kind_;
  std::string name_;
  std::optional<int> index_;
  std::string tag_;
  int helpId_;
};

}  // namespace velnor
