#pragma once
// What the language texts need to know of the window's controls. The window
// implements it; nothing here depends on the window toolkit.
#include <optional>
#include <string>
#include <vector>

namespace velnor {

class Control {
 public:
  virtual ~Control() = default;
  // "LABEL", "COMMANDBUTTON", "CHECKBOX", or another name for other kinds.
  virtual std::string TypeName() const = 0;
  virtual std::string Name() const = 0;
  // The index of a control-array member; nothing for a single control.
  virtual std::optional<int> Index() const = 0;
  virtual std::string Tag() const = 0;
  // A control without a caption throws a Failure from these two.
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string ToolTipText() const = 0;
  virtual void SetToolTipText(const std::string& text) = 0;
  // 0 when the control has no help.
  virtual int WhatsThisHelpID() const = 0;
};

// The window's controls in creation order.
using ControlList = std::vector<Control*>;

}  // namespace velnor
