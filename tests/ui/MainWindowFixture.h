#pragma once
// The real main window over a temporary application folder, with scripted
// dialogs and a recording job runner in place of the office.
#include <QApplication>
#include <QTest>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/RuntimeFailure.h"
#include "core/ErrorHandler.h"
#include "core/SettingsStore.h"
#include "platform/qt/UiThread.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"
#include "ui/FrmMain.h"

namespace pelvantz::testing {

inline void EnsureQtApplication() {
  static int argc = 1;
  static char name[] = "tests_ui";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

// One job as the window handed it over, and the row as the user saw it then.
struct RunJob {
  std::string source;
  std::string target;
  int16_t position;
  ConversionOptions options;
  std::string statusShownAtStart;
};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : errors(dialogs, cursor, ApplicationTitle), settings(folder.str(), dialogs, errors) {
    EnsureQtApplication();
    std::ofstream(folder.path() / "SETTINGS.INI") << "[SETTINGS]\n";
    settings.OpenSettingsFile();
    settings.LoadSettings();
  }

  FrmMain& open() {
    window = std::make_unique<FrmMain>(
        MainWindowServices{settings, dialogs, cursor, shell, errors, folder.str(),
                           [this](int exitStatus) {
                             ++endProgramCalls;
                             exitStatuses.push_back(exitStatus);
                           },
                           [this](const WorkerThreadServices& worker) -> JobRunner {
                             return [this, worker](const std::string& source, const std::string& target,
                                                   int16_t position, const ConversionOptions& options,
                                                   bool) { convert(worker, source, target, position, options); };
                           }});
    return *window;
  }

  // Runs on the worker thread, like the real conversion.
  void convert(const WorkerThreadServices& worker, const std::string& source, const std::string& target,
               int16_t position, const ConversionOptions& options) {
    RunJob job{source, target, position, options, ""};
    RunOnUiThread([&] {
      job.statusShownAtStart = statusShown(position);
      if (duringJob) duringJob();
    });
    runJobs.push_back(job);
    const auto outcome = outcomes.find(source);
    if (outcome == outcomes.end()) return worker.jobs.SetJobStatus(position, "Completed");
    if (outcome->second == "throw 13") throw RuntimeFailure(ErrorNumber::TypeMismatch, "Type mismatch");
    if (outcome->second == "end program") return worker.endProgram();
    worker.jobs.SetJobStatus(position, outcome->second);
  }

  template <typename Control>
  Control* control(const char* name) {
    auto* found = window->findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  // Shows the window and lets its activation take effect.
  void showActive() {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // The widget hears of its activation a little after the native window.
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == window.get(); }));
  }
  QString text(const char* name);
  void setText(const char* name, const std::string& value);
  void click(const char* name);
  // The status column of a row as the list view shows it.
  std::string statusShown(int16_t position);
  std::vector<std::string> sources();
  std::vector<std::string> statuses();
  std::vector<std::string> messageTexts();
  std::string iniValue(const std::string& key);
  // Without a target, the PDF beside the presentation, as Browse proposes it.
  void queue(const std::string& source, const std::string& target = "");

  TempFolder folder;
  FakeDialogs dialogs;
  RecordingCursor cursor;
  RecordingShell shell;
  ErrorHandler errors;
  SettingsStore settings;
  int endProgramCalls = 0;
  std::vector<int> exitStatuses;
  std::map<std::string, std::string> outcomes;  // source -> status, "throw 13" or "end program"
  std::function<void()> duringJob;              // on the UI thread while a job runs
  std::vector<RunJob> runJobs;
  std::unique_ptr<FrmMain> window;
};

}  // namespace pelvantz::testing
