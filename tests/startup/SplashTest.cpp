// The splash window on a virtual clock, handing over to the main window or to
// a running copy in another process.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>

#include "InstanceCopy.h"
#include "StartupFixture.h"
#include "VirtualClock.h"
#include "base/RuntimeFailure.h"
#include "platform/qt/QtInstanceWindow.h"
#include "startup/FrmSplash.h"

namespace pelvantz {
namespace {

using testing::NextLine;
using testing::StartCopy;

// The real error handler's message box holds the program while the timers
// keep running: this one lets the clock move on while a message is up.
class DialogsThatTakeTime : public testing::FakeDialogs {
 public:
  MessageAnswer showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                            const std::string& title) override {
    if (clock && !clockMoved) {
      clockMoved = true;
      clock->advance(HandOffTimerMs * 2);
    }
    return FakeDialogs::showMessage(text, icon, buttons, title);
  }
  testing::VirtualClock* clock = nullptr;
  bool clockMoved = false;
};

class SplashTest : public testing::StartupFixture {
 protected:
  void SetUp() override {
    writeSettingsFile("[SETTINGS]\nOPENFILE=0\n");
    std::filesystem::create_directories(path("images"));
    std::filesystem::copy_file(std::filesystem::path(PELVANTZ_TEST_APP_DIR) / "images" / "splash.gif",
                               path("images/splash.gif"));
  }

  FrmSplash& load() {
    settings.OpenSettingsFile();
    splash =
        new FrmSplash(SplashServices{settings, errors, instance, clock, QString::fromStdString(appFolder.str()),
                                     [this] { ++mainWindowsShown; }, [this] { ++programEnds; }});
    splash->show();
    return *splash;
  }
  QString status() const { return splash->findChild<QLabel*>("lblConversion")->text(); }
  int progress() const { return splash->findChild<QProgressBar*>("ProgressBar1")->value(); }
  bool splashUnloaded() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return splash.isNull();
  }
  QString socketPath() const { return QString::fromStdString(appFolder.str() + "/instance"); }

  testing::VirtualClock clock;
  QtInstanceWindow instance{socketPath()};
  QPointer<FrmSplash> splash;
  int mainWindowsShown = 0;
  int programEnds = 0;
};

TEST_F(SplashTest, LoadReadsTheSettingsAndShowsTheWindow) {
  ASSERT_EQ(settings.settings().Launch, 1);
  FrmSplash& window = load();
  EXPECT_EQ(settings.settings().Launch, 0) << "OPENFILE=0 read at load";
  EXPECT_EQ(window.windowTitle(), "Quillborn");
  EXPECT_EQ(window.size(), QSize(348, 235));
  EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "Ver 2.8");
  EXPECT_EQ(window.findChild<QLabel*>("Label5")->text(), "Powerpoint to PDF Converter");
  EXPECT_EQ(window.findChild<QLabel*>("Image1")->pixmap().size(), QSize(700, 90));
  EXPECT_EQ(status(), "Please wait... loading application settings...");
  EXPECT_EQ(progress(), 0);
}

TEST_F(SplashTest, StatusLineAndProgressFollowTheClock) {
  load();
  struct Moment {
    int atMs;
    const char* status;
    int progress;
  };
  const Moment moments[] = {
      {100, "Please wait... loading application settings...", 2},
      {499, "Please wait... loading application settings...", 8},
      {500, "Please wait...", 10},
      {1000, "Please wait......Initializing Application", 20},
      {1500, "Please wait...", 30},
      {2000, "Please wait......Initializing Application", 40},
      {3500, "Please wait...", 70},
      {3999, "Please wait...", 78},
  };
  int now = 0;
  for (const Moment& moment : moments) {
    clock.advance(moment.atMs - now);
    now = moment.atMs;
    EXPECT_EQ(status(), moment.status) << "at " << now << " ms";
    EXPECT_EQ(progress(), moment.progress) << "at " << now << " ms";
  }
  EXPECT_EQ(mainWindowsShown, 0) << "the splash stays four seconds";
}

TEST_F(SplashTest, ProgressStartsAgainAfterAHundred) {
  FrmSplash& window = load();
  for (int tick = 0; tick < 50; ++tick) window.Timer3_Timer();
  EXPECT_EQ(progress(), 100);
  window.Timer3_Timer();
  EXPECT_EQ(progress(), 2);
}

TEST_F(SplashTest, EighthStatusTickAnnouncesTheLoadAndStops) {
  FrmSplash& window = load();
  for (int tick = 0; tick < 8; ++tick) window.Timer2_Timer();
  EXPECT_EQ(status(), "Application Loaded Successfully");
  EXPECT_EQ(clock.runningTimers(), 2) << "the status timer stopped; progress and hand-off go on";
}

TEST_F(SplashTest, WithoutARunningCopyTheMainWindowTakesOver) {
  load();
  clock.advance(HandOffTimerMs);
  EXPECT_EQ(mainWindowsShown, 1);
  EXPECT_EQ(programEnds, 0);
  EXPECT_TRUE(splashUnloaded());
  EXPECT_EQ(clock.runningTimers(), 0);
  EXPECT_TRUE(dialogs.messages.empty());

  auto later = StartCopy(testing::InstanceCopyOption, socketPath());
  EXPECT_EQ(NextLine(*later), "found") << "this copy is now the running one";
}

TEST_F(SplashTest, WithARunningCopyThatCopyComesToTheFrontAndThisOneEnds) {
  auto running = StartCopy(testing::InstanceCopyOption, socketPath());
  ASSERT_EQ(NextLine(*running), "claimed");
  load();
  clock.advance(HandOffTimerMs);
  EXPECT_EQ(programEnds, 1);
  EXPECT_EQ(mainWindowsShown, 0);
  EXPECT_EQ(NextLine(*running), "activated");
}

TEST_F(SplashTest, ClosedByTheUserTheSplashHandsOverToNothing) {
  load();
  clock.advance(HandOffTimerMs / 2);
  EXPECT_TRUE(splash->close());
  EXPECT_TRUE(splashUnloaded());
  ASSERT_EQ(clock.runningTimers(), 0) << "no tick may reach the closed window";
  clock.advance(HandOffTimerMs);
  EXPECT_EQ(mainWindowsShown, 0);
  EXPECT_EQ(programEnds, 0);
}

TEST_F(SplashTest, HandOffFailureIsReportedAndTheHandOffGoesOnOnce) {
  DialogsThatTakeTime slowDialogs;
  slowDialogs.clock = &clock;
  ErrorHandler slowErrors(slowDialogs, cursor, ApplicationTitle);
  settings.OpenSettingsFile();
  splash =
      new FrmSplash(SplashServices{settings, slowErrors, instance, clock, QString::fromStdString(appFolder.str()),
                                   [this] {
                                     ++mainWindowsShown;
                                     throw RuntimeFailure(ErrorNumber::Overflow, "Overflow");
                                   },
                                   [this] { ++programEnds; }});
  clock.advance(HandOffTimerMs);
  ASSERT_EQ(slowDialogs.messages.size(), 1u) << "overflow has a message of its own";
  EXPECT_EQ(slowDialogs.messages[0].text.rfind("Error: OverFlow of Controls.", 0), 0u);
  EXPECT_EQ(mainWindowsShown, 1) << "the hand-off ran once while the message was up";
  EXPECT_TRUE(splashUnloaded()) << "the hand-off went on to unload the splash";
}

}  // namespace
}  // namespace pelvantz
