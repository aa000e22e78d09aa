#include "startup/Main.h"

#include "core/ExitStatus.h"
#include "core/PowerPointCheck.h"
#include "core/SettingsStore.h"
#include "platform/Dialogs.h"

namespace pelvantz {

bool Main(const StartupServices& services) {
  try {
    if (!services.settings.OpenSettingsFile()) {
      services.endProgram(ExitStatus::SettingsFileMissing);
      return false;
    }
    if (IsPowerPointInstalled(services.registry) == 0) {
      services.dialogs.showMessage(PresentationAppMissingMessage, MessageIcon::Critical, MessageButtons::Ok,
                                   ApplicationTitle);
      services.endProgram(ExitStatus::PresentationAppMissing);
      return false;
    }
    services.showSplash();
    return true;
  } catch (...) {
    // A failure before any window is open ends the start without a word.
    return false;
  }
}

}  // namespace pelvantz
