#pragma once
// What the main window needs from the rest of the program; the start-up
// sequence builds it, tests build it with their own doubles.
#include <functional>
#include <string>

#include "engine/OfficeConverter.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"

namespace pelvantz {

class ErrorHandler;
class SettingsStore;

struct MainWindowServices {
  SettingsStore& settings;  // AppSettings live here (settings.settings())
  Dialogs& dialogs;
  Cursor& cursor;
  Shell& shell;
  ErrorHandler& errors;
  std::string applicationFolder;
  std::function<void(int exitStatus)> endProgram;  // ends the process at once
  MakeConverter makeConverter;                     // the program's: OfficeConverter
};

}  // namespace pelvantz
