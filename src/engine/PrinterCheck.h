#pragma once
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/SystemVersion.h"

namespace pelvantz {

class ErrorHandler;

constexpr const char* PostScriptPrinterName = "pelvantz";

// The version class: "95", "98", "ME", "3.51", "4.0", "2000",
// "WinXP/.NET Server", "Failed" or "".
std::string GetSystemVersion(SystemVersion& system, ErrorHandler& errors);

// True: go on to the print step; false: the job stops here.
bool CheckPostScriptPrinter(const std::string& versionClass, const std::string& activePrinter,
                            const std::vector<std::string>& installedPrinters, Dialogs& dialogs);

}  // namespace pelvantz
