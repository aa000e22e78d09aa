#pragma once
// The presentation application over LibreOffice Impress. This header is free of
// UNO so that the rest of the program can include it.
#include <chrono>
#include <memory>
#include <string>

#include "platform/PresentationApp.h"

namespace pelvantz {

// The factory for "PowerPoint.Application". Every created application has its
// own office process, with a profile and the printer configuration of the given
// application folder (<folder>/temp, <folder>/printer). prepareNext() starts
// the next application's office ahead of time.
std::unique_ptr<PresentationAppFactory> MakeLibreOfficeFactory(const std::string& applicationFolder);

// How long the office may take before it counts as hung and is killed; the
// call then fails with ErrorNumber::AutomationTimeout.
struct OfficeTimeLimits {
  std::chrono::seconds start{90};                // start and connect
  std::chrono::seconds load{60};                 // open a presentation: this plus
  std::chrono::seconds loadPerMegabyte{10};      // this for every megabyte of the file
  std::chrono::seconds call{30};                 // any other single operation
  std::chrono::seconds work{60};                 // resizing, rendering, text pages: this plus
  std::chrono::milliseconds workPerSlide{2000};  // this for every slide and master
  std::chrono::milliseconds workPerShape{100};   // and this for every shape on them
};

// The same with another office program (empty: the installed soffice.bin) or other limits.
std::unique_ptr<PresentationAppFactory> MakeLibreOfficeFactory(const std::string& applicationFolder,
                                                               const std::string& officeProgram,
                                                               const OfficeTimeLimits& limits = {});

// The office program the factory starts unless told otherwise.
std::string InstalledOfficeProgram();

}  // namespace pelvantz
