#pragma once
// A private X display (Xvfb) with a window manager (openbox) for the tests
// where stacking, ownership and focus are the window manager's business.
#include <sys/types.h>

#include <string>
#include <vector>

namespace pelvantz::testing {

class VirtualDesktop {
 public:
  // Starts both and points DISPLAY at the new display; throws when either fails.
  VirtualDesktop();
  ~VirtualDesktop();
  VirtualDesktop(const VirtualDesktop&) = delete;
  VirtualDesktop& operator=(const VirtualDesktop&) = delete;

 private:
  pid_t server_ = -1;
  pid_t windowManager_ = -1;
};

// Another program's window on the desktop, for as long as this object lives.
class OtherProgram {
 public:
  explicit OtherProgram(const std::vector<std::string>& commandLine);
  ~OtherProgram();
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;

 private:
  pid_t process_;
};

// The managed top-level windows, bottom to top, as the window manager stacks them.
std::vector<unsigned long> StackingOrder();
// The window a window is transient for (its owner), or 0.
unsigned long TransientFor(unsigned long window);
// True when the window manager shows the window minimised.
bool IsIconic(unsigned long window);

}  // namespace pelvantz::testing
