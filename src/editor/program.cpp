#include "editor/program.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/locations.h"
#include "app/run_lock.h"
#include "app/run_state.h"
#include "editor/check_run.h"
#include "editor/editor_window.h"
#include "editor/qt_message_box.h"
#include "errors/error_report.h"
#include "errors/failure.h"
#include "platform/display.h"
#include "platform/message_box.h"
#include "platform/pending_messages.h"
#include "platform/process.h"
#include "platform/program_end.h"
#include "projectdb/generation_commands.h"
#include "projectdb/jet/jet_conversion.h"
#include "settings/profile_cache.h"

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
    "  --import-jet        converts the component's Access (Jet) databases to SQLite,\n"
    "                      keeping each original as <name>.jet, and does nothing else\n"
    "  --check [--json]    tells what a silent run would meet and what its OK would\n"
    "                      change, writing nothing; --json as one JSON object\n"
    "  --history [--json]  lists the generations that runs replaced and kept, newest\n"
    "                      first (in <component>/<component>_Generations, the last 10)\n"
    "  --restore [ID]      puts the newest kept generation back, or the one named; the\n"
    "                      files it replaces are kept first, so a second --restore\n"
    "                      undoes the first\n"
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

// Qt's messages, as its default handler writes them, on standard error; a fatal one
// (no platform plugin could be loaded, among others) is a failure that ends the run.
// Qt would abort, and where its messages go to the debugger (the Windows program has no
// console) the run would end with no word of why: the failure is logged instead, and
// the run ends with status 1. The process ends where it stands, since Qt cannot unwind
// from there; the locks go with the process. During a silent run Qt's remarks (the
// runtime folder it falls back to without XDG_RUNTIME_DIR, a font it substitutes) are no
// faults of the run, and a parent program that watches standard error would take them
// for one: only critical messages stand there.
void ToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (CurrentReportContext().silent && type != QtCriticalMsg) return;
    std::cerr << qFormatLogMessage(type, context, message).toStdString() << '\n';
    return;
  }
  std::string text = "the window toolkit ended the run: " + message.simplified().toStdString();
  std::cerr << "Velnor_Config: " << text << '\n';
  LogFailure(failure_number::kInternalError, text, "RunProgram");
  if (CurrentReportContext().silent) WriteServicePackLog(text);
  std::fflush(nullptr);
  std::_Exit(1);
}

constexpr const char* kNoDisplay =
    "Velnor_Config: the window needs a display, and none was found (DISPLAY and "
    "WAYLAND_DISPLAY are not set); /EXTERNAL=SILENT applies the stored choices without one.\n";

// --import-jet, --history, --restore and --check: the commands that never show the
// window. Returns their exit status, nothing for any other command line.
std::optional<int> RunCommandWithoutWindow(const RunState& run, std::ostream& out,
                                           std::ostream& err) {
  const std::string& line = run.process.commandLine;
  const bool check = line == kCheckOption || line == kCheckJsonOption;
  if (!check && line != kImportJetOption && !IsGenerationCommand(line)) return std::nullopt;
  if (run.component.empty()) {
    err << "The executable's name '" << run.process.executableBaseName << "' names no component\n";
    return 1;
  }
  // The check reports through the silent run it makes in a scratch copy.
  if (check) return CheckProject(run, line == kCheckJsonOption, out, err);
  // No one is asked anything: failures are named on err, entries go to the logs.
  ReportContext context = ReportContextOf(run);
  context.silent = true;
  const ReportScope report(context);
  if (line == kImportJetOption) return ImportJetDatabases(run, out, err);
  return RunGenerationCommand(run, out, err);
}

}  // namespace

int RunProgram(int argc, char** argv, char** envp, MessageBoxService* windowBoxes) {
  const ProcessFacts facts = CaptureProcessFacts(argc, argv, envp);
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

  RunState run = StartRun(facts);
  if (const auto status = RunCommandWithoutWindow(run, std::cout, std::cerr)) return *status;
  // Said before anything is read or written, so a run that cannot show its window
  // leaves the project as it was.
  if (!run.mode.silent && NoDisplayForTheWindow()) {
    std::cerr << kNoDisplay;
    return 1;
  }
  const ReportContext context = ReportContextOf(run);
  return RunWithToolkit(run, context, argc > 0 ? argv[0] : "Velnor_Config", windowBoxes);
}

int RunWithToolkit(RunState& run, const ReportContext& context, std::string programName,
                   MessageBoxService* windowBoxes) {
  const ReportScope report(context);
  // Each settings file is taken apart once for the run, not once per setting read.
  ProfileCache settingsFiles;
  MainProgramEnd programEnd;
  ProgramEnd* previousEnd = SetProgramEnd(&programEnd);
  const QtMessageHandler previousHandler = qInstallMessageHandler(ToolkitMessage);
  int exitStatus = 0;
  try {
    RequireComponentName(run);

    // The toolkit sees none of the program's options. A silent run never shows a
    // window and so needs no display: it runs on the offscreen platform whatever the
    // environment names.
    const bool silent = run.mode.silent;
    std::string platformOption = "-platform";
    std::string offscreen = "offscreen";
    std::vector<char*> toolkitArguments{programName.data()};
    if (silent) {
      toolkitArguments.push_back(platformOption.data());
      toolkitArguments.push_back(offscreen.data());
    }
    // The offscreen platform reads fonts from a folder of its own, by default one of the
    // Qt build; where the system does not find fonts for it (Windows), it is pointed to
    // the system's fonts, so that it neither warns of a missing folder nor draws without.
    if (const std::string fonts = SystemFontsFolder();
        !fonts.empty() && !qEnvironmentVariableIsSet("QT_QPA_FONTDIR")) {
      qputenv("QT_QPA_FONTDIR", QString::fromStdString(fonts).toLocal8Bit());
    }
    int toolkitArgumentCount = static_cast<int>(toolkitArguments.size());
    toolkitArguments.push_back(nullptr);
    QApplication application(toolkitArgumentCount, toolkitArguments.data());

    SetPendingMessagesHook(
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });

    // A silent run never waits for a person: without the window's message box, every
    // box is written to standard error and takes its default answer.
    std::optional<QtMessageBox> toolkitBox;
    std::optional<InstalledMessageBox> givenBox;
    if (!silent && windowBoxes != nullptr) {
      givenBox.emplace(windowBoxes);
    } else if (!silent) {
      toolkitBox.emplace();
    }

    const FolderLock lock = LockTheRun(run);
    FindRunFiles(run);
    EditorWindow window(run);
    if (toolkitBox) toolkitBox->SetParent(&window);

    window.Form_Load();  // a silent run ends in here
    // The first activation runs inside the toolkit's show event: from here on an end
    // must not unwind through it.
    programEnd.eventLoopRunning = true;
    window.show();
    // The event loop ends when the window closes after a confirmed cancel.
    exitStatus = QApplication::exec();
  } catch (const ProgramEnded& ended) {
    exitStatus = ended.exitStatus;
  }
  SetPendingMessagesHook({});
  qInstallMessageHandler(previousHandler);
  SetProgramEnd(previousEnd);
  return exitStatus;
}

}  // namespace velnor
