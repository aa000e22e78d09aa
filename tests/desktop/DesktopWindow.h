#pragma once
// The real main window on the virtual desktop, over a private copy of the
// built application folder, with the real message boxes.
#include <QApplication>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/ErrorHandler.h"
#include "core/Registry.h"
#include "core/SettingsStore.h"
#include "engine/OfficeConverter.h"
#include "platform/OfficeFactory.h"
#include "platform/RegistryStore.h"
#include "platform/linux/LinuxSystemVersion.h"
#include "platform/qt/QtCursor.h"
#include "platform/qt/QtDialogs.h"
#include "support/ApplicationCopy.h"
#include "support/Doubles.h"
#include "support/TempFolder.h"
#include "ui/FrmMain.h"

namespace pelvantz::testing {

// Waits, handling events, until the condition holds; false after `seconds`.
bool WaitFor(const std::function<bool()>& condition, int seconds = 20);

class DesktopWindow {
 public:
  // Jobs run on the real office unless `makeConverter` says otherwise.
  explicit DesktopWindow(const OfficeTimeLimits& limits = {}, MakeConverter makeConverter = {});
  ~DesktopWindow();

  FrmMain& window() { return *window_; }
  const std::filesystem::path& app() const { return app_; }
  bool showActive();
  // Queues a row through the path boxes and Add to List, as a user would.
  void queue(const std::string& source, const std::string& target);
  void click(const char* name);
  template <typename Control>
  Control* control(const char* name) {
    return window_->findChild<Control*>(QString::fromLatin1(name));
  }
  unsigned long windowId() { return window_->winId(); }

  int endProgramCalls = 0;

 private:
  TempFolder scratch_;
  std::filesystem::path app_;
  QtDialogs dialogs_;
  QtCursor cursor_;
  RecordingShell shell_;
  ErrorHandler errors_;
  SettingsStore settings_;
  RegistryStore store_;
  Registry registry_;
  LinuxSystemVersion version_;
  std::unique_ptr<PresentationAppFactory> office_;
  std::unique_ptr<FrmMain> window_;
};

}  // namespace pelvantz::testing
