#pragma once
// The splash window's timers. The program runs them on the event loop; tests
// drive them on a clock of their own, without waiting.
#include <QObject>
#include <functional>
#include <map>

namespace pelvantz {

class SplashClock {
 public:
  using TimerId = int;
  virtual ~SplashClock() = default;
  // Calls `tick` every `intervalMs` until the timer is stopped.
  virtual TimerId start(int intervalMs, std::function<void()> tick) = 0;
  // Stops the timer; a tick may stop its own timer.
  virtual void stop(TimerId timer) = 0;
};

class QtSplashClock : public QObject, public SplashClock {
  Q_OBJECT

 public:
  TimerId start(int intervalMs, std::function<void()> tick) override;
  void stop(TimerId timer) override;

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  std::map<TimerId, std::function<void()>> ticks_;
};

}  // namespace pelvantz
