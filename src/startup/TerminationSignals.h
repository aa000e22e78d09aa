#pragma once
// A terminal's Ctrl+C, a kill or the end of the session arrive as signals;
// they are turned into a call on the event loop, so that the program ends the
// way a confirmed exit does, taking the processes it started with it. When the
// event loop is kept busy (a huge settings file read at start), a backstop
// thread ends the program after a grace period instead.
#include <QObject>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

class QSocketNotifier;

namespace pelvantz {

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  // `onSignal` runs on this object's thread with the signal's number
  // (SIGINT, SIGTERM or SIGHUP); `whenBusy` runs on the backstop thread when
  // the event loop has not taken the signal within the grace period, and must
  // not return. One instance at a time.
  TerminationSignals(std::function<void(int signal)> onSignal, std::function<void(int signal)> whenBusy,
                     std::chrono::milliseconds grace = std::chrono::seconds(3), QObject* parent = nullptr);
  ~TerminationSignals() override;

 private:
  void deliver();
  void backstop();

  std::function<void(int)> onSignal_;
  std::function<void(int)> whenBusy_;
  std::chrono::milliseconds grace_;
  QSocketNotifier* notifier_ = nullptr;
  std::atomic<int> delivered_{0};  // signals the event loop has taken
  std::thread backstop_;
};

}  // namespace pelvantz
