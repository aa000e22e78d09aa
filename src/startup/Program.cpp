#include "startup/Program.h"

#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <cstdio>
#include <memory>

#include "core/ErrorHandler.h"
#include "core/ExitStatus.h"
#include "core/Registry.h"
#include "core/SettingsStore.h"
#include "engine/OfficeConverter.h"
#include "platform/ApplicationFolder.h"
#include "platform/ChildProcess.h"
#include "platform/OfficeFactory.h"
#include "platform/RegistryStore.h"
#include "platform/linux/LinuxSystemVersion.h"
#include "platform/qt/QtCursor.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtInstanceWindow.h"
#include "platform/qt/QtShell.h"
#include "startup/FrmSplash.h"
#include "startup/Main.h"
#include "startup/SplashClock.h"
#include "startup/TerminationSignals.h"
#include "ui/FrmMain.h"

namespace pelvantz {
namespace {

// Ends the process with no window asked and no unload run; what the program
// started goes with it, and later copies no longer find this one.
[[noreturn]] void EndWithChildren(int exitCode) {
  TerminateChildProcesses(true);
  std::fflush(nullptr);
  _exit(exitCode);
}

[[noreturn]] void EndProgramAtOnce(InstanceWindow& instance, int exitCode) {
  instance.release();
  EndWithChildren(exitCode);
}

void CentreOnScreen(QWidget& window) {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    window.move(screen->availableGeometry().center() - window.rect().center());
  }
}

}  // namespace

int RunProgram(int argc, char* argv[]) {
  // Qt sees only the program's name: the program takes no arguments, and Qt's
  // own options (-platform, -style, -reverse, ...) would change or stop it.
  static char fallbackName[] = "pelvantz";
  int qtArgc = 1;
  char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
  QApplication application(qtArgc, qtArgv);
  const std::string folder = ApplicationFolder();
  const QString qtFolder = QString::fromStdString(folder);
  QApplication::setWindowIcon(QIcon(qtFolder + QStringLiteral("/icons/pelvantz.png")));

  QtDialogs dialogs;
  QtCursor cursor;
  QtShell shell;
  ErrorHandler errors(dialogs, cursor, ApplicationTitle);
  SettingsStore settings(folder, dialogs, errors);
  RegistryStore registryStore(RegistryStore::PathIn(folder));
  Registry registry(registryStore);
  LinuxSystemVersion systemVersion;
  const std::unique_ptr<PresentationAppFactory> office = MakeLibreOfficeFactory(folder);
  QtInstanceWindow instance(DefaultInstanceSocket());
  QtSplashClock clock;
  const auto endProgram = [&instance](int exitStatus) { EndProgramAtOnce(instance, exitStatus); };
  // A signal ends the program as a shell expects: exit status 128 + its number.
  const TerminationSignals terminationSignals(
      [&instance](int signal) { EndProgramAtOnce(instance, 128 + signal); },
      [](int signal) { EndWithChildren(128 + signal); });

  std::unique_ptr<FrmMain> mainWindow;
  const auto showMainWindow = [&] {
    mainWindow = std::make_unique<FrmMain>(
        MainWindowServices{settings, dialogs, cursor, shell, errors, folder, endProgram,
                           OfficeConverter({*office, errors, shell, registry, systemVersion, folder})});
    dialogs.setOwner(mainWindow.get());
    mainWindow->show();
    instance.onActivationRequest([window = mainWindow.get()] { BringToFront(*window); });
  };
  const auto showSplash = [&] {
    auto* splash = new FrmSplash(SplashServices{settings, errors, instance, clock, qtFolder, showMainWindow,
                                                [&instance] { EndProgramAtOnce(instance, ExitStatus::Normal); }});
    CentreOnScreen(*splash);
    splash->show();
    // The first job's office starts while the splash shows.
    office->prepareNext();
  };

  const bool started = Main(StartupServices{settings, dialogs, registry, showSplash, endProgram});
  const int exitCode = started ? QApplication::exec() : ExitStatus::StartFailed;
  if (started) instance.release();
  // The one way out besides EndWithChildren: an office started ahead on its
  // thread must not outlive the program either.
  TerminateChildProcesses(true);
  return exitCode;
}

}  // namespace pelvantz
