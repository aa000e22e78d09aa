#include "engine/PrinterCheck.h"

#include <algorithm>

#include "base/RuntimeFailure.h"
#include "core/ErrorHandler.h"

namespace pelvantz {
namespace {

constexpr uint32_t Windows9x = 1;
constexpr uint32_t WindowsNt = 2;
constexpr const char* LegacyDriverName = "HP Color LaserJet 5/5M PS";
constexpr const char* CheckTitle = "pelvantz";
constexpr const char* InstallDriverStart = "Please install 'HP Color LaserJet 5/5M PS' ";
constexpr const char* InstallDefaultName = "printer driver with default name from Windows CD.";
constexpr const char* InstallAllDefaultNames = "printer driver with all default name from Windows CD.";
constexpr const char* NoDriverFound = "NO PostScript Printer Driver Found.";

std::string ClassifyWindows9x(uint32_t minor) {
  switch (minor) {
    case 0:
      return "95";
    case 10:
      return "98";
    case 90:
      return "ME";
    default:
      return "";
  }
}

std::string ClassifyWindowsNt(uint32_t major, uint32_t minor) {
  if (major == 3) return "3.51";
  if (major == 4) return "4.0";
  if (major == 5 && minor == 0) return "2000";
  if (major == 5 && minor == 1) return "WinXP/.NET Server";
  return "";
}

std::string Classify(const OsVersionInfo& info) {
  if (info.platformId == Windows9x) return ClassifyWindows9x(info.minorVersion);
  if (info.platformId == WindowsNt) return ClassifyWindowsNt(info.majorVersion, info.minorVersion);
  return "Failed";
}

bool UsesLegacyDriver(const std::string& versionClass) {
  return versionClass == "95" || versionClass == "98" || versionClass == "ME" || versionClass == "4.0";
}

bool IsWindows2000OrXp(const std::string& versionClass) {
  return versionClass == "2000" || versionClass == "WinXP/.NET Server";
}

std::string ExpectedPrinter(const std::string& versionClass, const std::string& activePrinter) {
  if (UsesLegacyDriver(versionClass)) return LegacyDriverName;
  if (IsWindows2000OrXp(versionClass)) return PostScriptPrinterName;
  return activePrinter;
}

void Show(Dialogs& dialogs, const std::string& text) {
  dialogs.showMessage(text, MessageIcon::None, MessageButtons::Ok, CheckTitle);
}

}  // namespace

std::string GetSystemVersion(SystemVersion& system, ErrorHandler& errors) {
  std::string versionClass;
  try {
    OsVersionInfo info;  // size 148, 128 blanks, everything else 0
    system.query(info);  // on failure the record keeps platform 0
    versionClass = Classify(info);
  } catch (const RuntimeFailure& failure) {
    errors.ReportError(failure.number(), failure.description(), "modSettings : Main()");
  }
  return versionClass;
}

bool CheckPostScriptPrinter(const std::string& versionClass, const std::string& activePrinter,
                            const std::vector<std::string>& installedPrinters, Dialogs& dialogs) {
  const std::string expected = ExpectedPrinter(versionClass, activePrinter);
  // Device names compare exactly: a copy installed under another name does not count.
  const bool found =
      std::find(installedPrinters.begin(), installedPrinters.end(), expected) != installedPrinters.end();
  if (UsesLegacyDriver(versionClass)) {
    if (found) return true;
    Show(dialogs,
         std::string(InstallDriverStart) + (versionClass == "98" ? InstallAllDefaultNames : InstallDefaultName));
    return false;
  }
  // Every other system prints whether or not the printer is there; the notice
  // is for a missing printer only, not for one that was found.
  if (!IsWindows2000OrXp(versionClass) && !found) Show(dialogs, NoDriverFound);
  return true;
}

}  // namespace pelvantz
