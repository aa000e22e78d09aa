#pragma once
// What the main window needs from the rest of the program; the start-up
// sequence builds it, tests build it with their own doubles.
#include <functional>
#include <string>

#include "engine/BatchDriver.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/PresentationApp.h"
#include "platform/Shell.h"
#include "platform/SystemVersion.h"

namespace pelvantz {

class ErrorHandler;
class Registry;
class SettingsStore;
struct ConversionEnvironment;

// Makes the converter of the window's jobs, once, before the first job runs.
// `environment` is what a job may reach from the worker thread it runs on; the
// converter returned is called on that thread.
using MakeConverter = std::function<JobRunner(const ConversionEnvironment& environment)>;

struct MainWindowServices {
  SettingsStore& settings;  // AppSettings live here (settings.settings())
  Dialogs& dialogs;
  Cursor& cursor;
  Shell& shell;
  ErrorHandler& errors;
  PresentationAppFactory& office;
  Registry& registry;
  SystemVersion& systemVersion;
  std::string applicationFolder;
  std::function<void(int exitStatus)> endProgram;  // ends the process at once
  MakeConverter makeConverter;                     // the program's: OfficeConverter
};

}  // namespace pelvantz
