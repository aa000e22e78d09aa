#pragma once
// What the main window needs from the rest of the program; the start-up
// sequence builds it, tests build it with their own doubles.
#include <cstdint>
#include <functional>
#include <string>

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
struct ConversionOptions;

// Converts one queued job with the environment the window prepared for it.
using ConvertJobFunction =
    std::function<void(ConversionEnvironment& environment, const std::string& sourcePath,
                       const std::string& targetPath, int16_t position, const ConversionOptions& options)>;

struct MainWindowServices {
  SettingsStore& settings;   // AppSettings live here (settings.settings())
  Dialogs& dialogs;
  Cursor& cursor;
  Shell& shell;
  ErrorHandler& errors;
  PresentationAppFactory& office;
  Registry& registry;
  SystemVersion& systemVersion;
  std::string applicationFolder;
  std::function<void(int exitStatus)> endProgram;  // ends the process at once
  // Runs on a worker thread; empty means Converter::ConvertPresentation.
  ConvertJobFunction convertJob = {};
};

}  // namespace pelvantz
