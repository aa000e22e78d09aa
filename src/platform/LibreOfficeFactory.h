#pragma once
// The presentation application over LibreOffice Impress. This header is free of
// UNO so that the rest of the program can include it.
#include <memory>
#include <string>

#include "platform/PresentationApp.h"

namespace pelvantz {

// The factory for "PowerPoint.Application". Every created application starts its
// own office process, with the private profile and printer configuration of the
// given application folder (<folder>/temp, <folder>/printer).
std::unique_ptr<PresentationAppFactory> MakeLibreOfficeFactory(const std::string& applicationFolder);
// The same with another office program than the installed soffice.bin.
std::unique_ptr<PresentationAppFactory> MakeLibreOfficeFactory(const std::string& applicationFolder,
                                                               const std::string& officeProgram);

// Kills every office process this program started and has not yet ended.
// Safe to call at any time, also from an exit path; returns at once.
void TerminateOfficeProcesses();

}  // namespace pelvantz
