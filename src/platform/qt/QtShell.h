#pragma once
#include "platform/Shell.h"

namespace pelvantz {

// Opens files and web addresses with the desktop's default application
// through xdg-open, started detached so that it never becomes our child.
class QtShell : public Shell {
 public:
  void open(const std::string& target) override;
};

}  // namespace pelvantz
