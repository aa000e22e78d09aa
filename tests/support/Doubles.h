#pragma once
// Small doubles of the pointer and the shell, which tests cannot watch otherwise.
#include <string>
#include <vector>

#include "platform/Cursor.h"
#include "platform/Shell.h"

namespace pelvantz::testing {

// The pointer has nothing to show in a test.
class IdleCursor : public Cursor {
 public:
  void setBusy() override {}
  void setDefault() override {}
};

// Records each pointer change as "busy" or "default".
class RecordingCursor : public Cursor {
 public:
  void setBusy() override { calls.push_back("busy"); }
  void setDefault() override { calls.push_back("default"); }
  std::vector<std::string> calls;
};

// Records every target handed to the shell instead of opening it.
class RecordingShell : public Shell {
 public:
  void open(const std::string& target) override { opened.push_back(target); }
  std::vector<std::string> opened;
};

}  // namespace pelvantz::testing
