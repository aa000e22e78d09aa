#pragma once
// Finding a running copy of the program and bringing its main window to the
// front, so that a second start hands over to the first.
#include <functional>

namespace pelvantz {

class InstanceWindow {
 public:
  virtual ~InstanceWindow() = default;
  // Asks a running copy to bring its main window to the front (restored when
  // minimised) and answers true when one was reached. When none runs, this
  // copy takes its place, so later copies find this one, and answers false.
  // Throws RuntimeFailure when neither is possible.
  virtual bool activateRunningCopy() = 0;
  // What this copy does when a later copy asks it to come to the front.
  virtual void onActivationRequest(std::function<void()> handler) = 0;
  // Stops answering later copies; for the end of the program.
  virtual void release() = 0;
};

}  // namespace pelvantz
