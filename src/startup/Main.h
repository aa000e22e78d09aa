#pragma once
// The start procedure: the settings file and the presentation application must
// be there before the splash window opens.
#include <functional>

namespace pelvantz {

class Dialogs;
class Registry;
class SettingsStore;

constexpr const char* PresentationAppMissingMessage =
    "Microsoft Powerpoint is not installed or corrupted. Please install Microsoft Powerpoint "
    "2000 or higher version.";

struct StartupServices {
  SettingsStore& settings;
  Dialogs& dialogs;
  Registry& registry;
  std::function<void()> showSplash;                // shows the splash window without waiting
  std::function<void(int exitStatus)> endProgram;  // ends the process at once
};

// True once the splash window is shown. False when the program must end with
// no window open: a missing prerequisite (after endProgram, which returns only
// in tests) or a failure, which ends the start quietly.
bool Main(const StartupServices& services);

}  // namespace pelvantz
