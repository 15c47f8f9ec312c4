#include "editor/program.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/locations.h"
#include "app/start_mode.h"
#include "editor/editor_window.h"
#include "editor/qt_message_box.h"
#include "platform/encoding.h"
#include "platform/message_box.h"
#include "platform/pending_messages.h"
#include "platform/process.h"
#include "platform/program_end.h"

namespace velnor {
namespace {

constexpr const char* kUsage =
    "Usage: Velnor_Config [/EXTERNAL=ZORCFG | /EXTERNAL=SILENT] [/LOGFILE=path]\n"
    "\n"
    "Chooses the info buttons and warning symbols that the operator panel shows, then\n"
    "updates the component's project database and stores the choices in program.ini.\n"
    "The component is named by the executable: <component>_Config, one folder below the\n"
    "project's base folder.\n"
    "\n"
    "  (no option)         standalone: the window for the user\n"
    "  /EXTERNAL=ZORCFG    integrated: started by the parent configuration program\n"
    "  /EXTERNAL=SILENT    silent: re-applies the stored choices without a window\n"
    "  /LOGFILE=path       error log while integrated (write \\ for / on Linux)\n"
    "  --help              this text\n"
    "  --version           the program's version\n"
    "\n"
    "Exit status: 0 done, 2 done with faults logged, 1 ended by a failure.\n";

// Ends the program. Before the event loop runs (the whole of a silent run, and any end
// during the load), the end unwinds to RunProgram, so that the window and the toolkit
// close down in order; once the event loop runs, the process ends where it stands,
// since an exception must not pass through the toolkit's event handling.
class MainProgramEnd : public ProgramEnd {
 public:
  [[noreturn]] void End(int exitStatus) override {
    if (!eventLoopRunning) throw ProgramEnded{exitStatus};
    std::fflush(nullptr);
    std::exit(exitStatus);
  }

  bool eventLoopRunning = false;
};

// Whether the command line asks for the silent mode. Reading the option fails only for
// a key at the very end of the line, which means standalone; that failure is left to
// the window's own evaluation, which reports it.
bool SilentRequested(const std::string& commandLine) {
  const std::string key = "EXTERNAL";
  const std::size_t pos = FindIgnoringCase(commandLine, key);
  if (pos == std::string::npos || pos + key.size() >= commandLine.size()) return false;
  return ReadCommand(commandLine, key).value_or("") == "SILENT";
}

// Puts a message-box service in place for one run and the previous one back after it.
class InstalledMessageBox {
 public:
  explicit InstalledMessageBox(MessageBoxService* service)
      : previous_(SetMessageBoxService(service)) {}
  ~InstalledMessageBox() { SetMessageBoxService(previous_); }
  InstalledMessageBox(const InstalledMessageBox&) = delete;
  InstalledMessageBox& operator=(const InstalledMessageBox&) = delete;

 private:
  MessageBoxService* previous_;
};

}  // namespace

int RunProgram(int argc, char** argv, char** envp, const ProgramHooks& hooks) {
  CaptureProcessFacts(argc, argv, envp);
  const ProcessFacts& facts = Process();

  if (facts.commandLine == "--help") {
    std::cout << kUsage;
    return 0;
  }
  if (facts.commandLine == "--version") {
    const ProgramVersion version = facts.version;
    std::cout << "Velnor_Config " << version.major << '.' << version.minor << '.'
              << version.revision << '\n';
    return 0;
  }

  MainProgramEnd programEnd;
  ProgramEnd* previousEnd = SetProgramEnd(&programEnd);
  int exitStatus = 0;
  try {
    RequireComponentName();

    // The toolkit sees none of the program's options. A silent run never shows a
    // window and so needs no display: it runs on the offscreen platform whatever the
    // environment names.
    const bool silent = SilentRequested(facts.commandLine);
    std::string programName = argc > 0 ? argv[0] : "Velnor_Config";
    std::string platformOption = "-platform";
    std::string offscreen = "offscreen";
    std::vector<char*> toolkitArguments{programName.data()};
    if (silent) {
      toolkitArguments.push_back(platformOption.data());
      toolkitArguments.push_back(offscreen.data());
    }
    int toolkitArgumentCount = static_cast<int>(toolkitArguments.size());
    toolkitArguments.push_back(nullptr);
    QApplication application(toolkitArgumentCount, toolkitArguments.data());

    SetPendingMessagesHook(
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });

    EditorWindow window;
    // A silent run never waits for a person: without the window's message box, every
    // box is written to standard error and takes its default answer.
    std::optional<QtMessageBox> windowBox;
    std::optional<InstalledMessageBox> hookBox;
    if (!silent && hooks.messageBox != nullptr) {
      hookBox.emplace(hooks.messageBox);
    } else if (!silent) {
      windowBox.emplace(&window);
    }

    window.Form_Load();  // a silent run ends in here
    // The first activation runs inside the toolkit's show event: from here on an end
    // must not unwind through it.
    programEnd.eventLoopRunning = true;
    window.show();
    if (hooks.whenShown) QTimer::singleShot(0, &window, [&] { hooks.whenShown(window); });
    // The event loop ends when the window closes after a confirmed cancel.
    exitStatus = QApplication::exec();
  } catch (const ProgramEnded& ended) {
    exitStatus = ended.exitStatus;
  }
  SetPendingMessagesHook({});
  SetProgramEnd(previousEnd);
  return exitStatus;
}

}  // namespace velnor
