#include "startup/SplashClock.h"

#include <QTimerEvent>
#include <utility>

namespace pelvantz {

SplashClock::TimerId QtSplashClock::start(int intervalMs, std::function<void()> tick) {
  const TimerId timer = startTimer(intervalMs);
  ticks_[timer] = std::move(tick);
  return timer;
}

void QtSplashClock::stop(TimerId timer) {
  if (ticks_.erase(timer) > 0) killTimer(timer);
}

void QtSplashClock::timerEvent(QTimerEvent* event) {
  const auto found = ticks_.find(event->timerId());
  if (found == ticks_.end()) return;
  // The tick may stop its own timer, which drops the stored function.
  const std::function<void()> tick = found->second;
  tick();
}

}  // namespace pelvantz
