#pragma once
// A terminal's Ctrl+C, a kill or the end of the session arrive as signals;
// they are turned into a call on the event loop, so that the program ends the
// way a confirmed exit does, taking the processes it started with it.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace pelvantz {

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  // `onSignal` runs on this object's thread with the signal's number
  // (SIGINT, SIGTERM or SIGHUP). One instance at a time.
  explicit TerminationSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
  ~TerminationSignals() override;

 private:
  void deliver();

  std::function<void(int)> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace pelvantz
