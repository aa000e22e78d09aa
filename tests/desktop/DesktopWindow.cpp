#include "DesktopWindow.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "platform/ChildProcess.h"

namespace pelvantz::testing {

namespace fs = std::filesystem;

bool WaitFor(const std::function<bool()>& condition, int seconds) {
  return QTest::qWaitFor(condition, seconds * 1000);
}

namespace {

fs::path PrivateApplicationFolder(const fs::path& scratch) {
  CopyApplicationFolder(scratch / "app", InstalledGhostscript);
  return scratch / "app";
}

}  // namespace

DesktopWindow::DesktopWindow(const OfficeTimeLimits& limits, MakeConverter makeConverter)
    : app_(PrivateApplicationFolder(scratch_.path())),
      errors_(dialogs_, cursor_, ApplicationTitle),
      settings_(app_.string(), dialogs_, errors_),
      store_(RegistryStore::PathIn(app_.string())),
      registry_(store_),
      office_(MakeLibreOfficeFactory(app_.string(), "", limits)) {
  settings_.OpenSettingsFile();
  settings_.LoadSettings();
  if (!makeConverter)
    makeConverter = OfficeConverter({*office_, errors_, shell_, registry_, version_, app_.string()});
  MainWindowServices services{settings_,
                              dialogs_,
                              cursor_,
                              shell_,
                              errors_,
                              app_.string(),
                              [this](int) { ++endProgramCalls; },
                              std::move(makeConverter)};
  window_ = std::make_unique<FrmMain>(std::move(services));
  dialogs_.setOwner(window_.get());
}

DesktopWindow::~DesktopWindow() {
  window_.reset();
  TerminateChildProcesses();
}

bool DesktopWindow::showActive() {
  window_->show();
  // The window manager may be slow to hand over focus on a loaded machine.
  return QTest::qWaitForWindowActive(window_.get(), 20000);
}

void DesktopWindow::queue(const std::string& source, const std::string& target) {
  control<QLineEdit>("txtfilepath")->setText(QString::fromStdString(source));
  control<QLineEdit>("txtfilepathOutput")->setText(QString::fromStdString(target));
  click("cmdAddToList");
}

void DesktopWindow::click(const char* name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }

}  // namespace pelvantz::testing
