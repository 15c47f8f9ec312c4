// The window's life: loading, the first activation, closing, OK, Cancel and the "?"
// button.
#include <QCloseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "app/locations.h"
#include "app/save_inputs.h"
#include "editor/cancel.h"
#include "editor/editor_window.h"
#include "editor/help_mode.h"
#include "errors/error_report.h"
#include "errors/procedure.h"
#include "platform/pending_messages.h"
#include "projectdb/work_on_mdb.h"

namespace velnor {

void EditorWindow::Form_Load() {
  Procedure proc("Form_Load");
  proc.Step([&] {
    const std::string caption = "Erweiterte Konfiguration " +
                                GetFileNameOnly(run_.process.executableFolder) +
                                (run_.mode.integrated ? " - integriert" : " - standalone");
    setWindowTitle(QString::fromStdString(caption));
    setAccessibleName(QString::fromStdString(caption));
  });
  proc.Step([&] { SetupUserInterFace(); });
  proc.Step([&] {
    if (run_.mode.silent) {
      // Silent: the stored choices are applied at once and the program ends here; the
      // window is never shown.
      CommandOK_Click();
      return;
    }
    commandOK_->setEnabled(true);
    commandCancel_->setEnabled(true);
  });
}

void EditorWindow::Form_Activate() {
  Procedure proc("Form_Activate");
  proc.Step([&] { commandOK_->setEnabled(true); });
  proc.Step([&] { TabStrip_Click(); });
}

void EditorWindow::Form_QueryUnload(bool& cancel) {
  Procedure proc("Form_QueryUnload");
  proc.Step([&] {
    if (!ConfirmCancel(run_)) cancel = true;
  });
}

void EditorWindow::CommandOK_Click() {
  Procedure proc("CommandOK_Click");
  if (helpMode_) {
    proc.Step([&] { ShowHelpText(ControlOf(commandOK_), helpTexts_); });
    return;
  }
  proc.Step([&] { commandOK_->setEnabled(false); });
  proc.Step([&] { commandCancel_->setEnabled(false); });
  proc.Step([&] { CloseMe(); });
}

void EditorWindow::CommandCancel_Click() {
  Procedure proc("CommandCancel_Click");
  if (helpMode_) {
    proc.Step([&] { ShowHelpText(ControlOf(commandCancel_), helpTexts_); });
    return;
  }
  proc.Step([&] {
    if (ConfirmCancel(run_)) EndProgram(0);
  });
}

void EditorWindow::CommandQuest_Click() {
  helpMode_ = !helpMode_;
  if (helpMode_) {
    QPalette colors = commandQuest_->palette();
    colors.setColor(QPalette::Button, kHelpModeColor);
    commandQuest_->setPalette(colors);
  } else {
    commandQuest_->setPalette(QPalette());  // back to the system's button face
  }
  commandQuest_->setAccessibleDescription(helpMode_ ? QStringLiteral("on") : QStringLiteral("off"));
  // The strip takes no clicks in help mode and shows so.
  tabStrip_->tabBar()->setEnabled(!helpMode_);
}

void EditorWindow::CloseMe() {
  Procedure proc("CloseMe");
  // The window takes no more input that could close it while the work runs.
  closing_ = true;
  proc.Step([] { ProcessPendingMessages(); });
  proc.Step([&] { setCursor(Qt::WaitCursor); });
  proc.Step([&] { WorkOnMDB(run_); });
  proc.Step([&] { WriteInputs(run_, slots_.ChosenButtons(), slots_.ChosenWarnings()); });
  proc.Step([&] { unsetCursor(); });
  // An OK always ends the program; the status tells a parent whether faults were
  // logged on the way.
  EndProgram(AnyFailureReported() ? 2 : 0);
}

void EditorWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The window is the program's only one, so it is activated once, when first shown;
  // a message box closing hands the focus back without a new activation.
  if (activated_) return;
  activated_ = true;
  Form_Activate();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->ignore();
    return;
  }
  bool cancel = false;
  Form_QueryUnload(cancel);
  if (cancel) {
    event->ignore();
  } else {
    event->accept();
  }
}

}  // namespace velnor
