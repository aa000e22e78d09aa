#pragma once
// The splash window: loads the settings, animates for four seconds and then
// hands over to the main window or to a copy of the program already running.
#include <QWidget>
#include <cstdint>
#include <functional>

#include "startup/SplashClock.h"

class QLabel;
class QProgressBar;

namespace pelvantz {

class ErrorHandler;
class InstanceWindow;
class SettingsStore;

struct SplashServices {
  SettingsStore& settings;
  ErrorHandler& errors;
  InstanceWindow& instance;
  SplashClock& clock;
  QString applicationFolder;             // the banner lies in its images folder
  std::function<void()> showMainWindow;  // loads and shows the main window
  std::function<void()> endProgram;      // ends the process at once
};

constexpr int ProgressTimerMs = 100;
constexpr int StatusTimerMs = 500;
constexpr int HandOffTimerMs = 4000;

class FrmSplash : public QWidget {
  Q_OBJECT

 public:
  // Loads the window: its controls, the settings, and its three timers.
  explicit FrmSplash(SplashServices services, QWidget* parent = nullptr);

 public slots:
  void Timer1_Timer();  // the hand-off
  void Timer2_Timer();  // the status line
  void Timer3_Timer();  // the progress bar

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildControls();
  void Form_Load();
  void runHandOffStep(const std::function<void()>& step);

  SplashServices services_;
  QLabel* image1_ = nullptr;
  QLabel* label1_ = nullptr;
  QLabel* label5_ = nullptr;
  QProgressBar* progressBar1_ = nullptr;
  QLabel* lblConversion_ = nullptr;
  SplashClock::TimerId timer1_ = 0;
  SplashClock::TimerId timer2_ = 0;
  SplashClock::TimerId timer3_ = 0;
  int16_t splashElapsed_ = 0;
  bool splashToggle_ = false;
};

// 1 when a running copy was found and brought to the front, 0 otherwise.
int16_t FindInstanceWindow(InstanceWindow& instance);

}  // namespace pelvantz
