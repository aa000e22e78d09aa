#pragma once
// The program's services as a bench needs them: nothing is shown or waited
// for, and the printer check goes on silently, so that only conversion is timed.
#include <optional>
#include <string>

#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/SystemVersion.h"

namespace pelvantz::bench {

// Answers every message at once and remembers the last one.
class QuietDialogs : public Dialogs {
 public:
  MessageAnswer showMessage(const std::string& text, MessageIcon, MessageButtons, const std::string&) override {
    last = text;
    return MessageAnswer::Ok;
  }
  std::optional<std::string> chooseFile(const FileDialogRequest&) override { return {}; }
  std::string last;
};

class NoCursor : public Cursor {
 public:
  void setBusy() override {}
  void setDefault() override {}
};

class NoShell : public Shell {
 public:
  void open(const std::string&) override {}
};

class WindowsXp : public SystemVersion {
 public:
  bool query(OsVersionInfo& info) override {
    info.platformId = 2;
    info.majorVersion = 5;
    info.minorVersion = 1;
    return true;
  }
};

}  // namespace pelvantz::bench
