#pragma once
// The program's converter of the window's jobs: the office, its printer and
// Ghostscript, one Converter for every job of the window.
#include <functional>
#include <string>

#include "engine/BatchDriver.h"
#include "joblist/JobList.h"
#include "platform/Dialogs.h"
#include "platform/PresentationApp.h"
#include "platform/Shell.h"
#include "platform/SystemVersion.h"

namespace pelvantz {

class ErrorHandler;
class Registry;

// What a job may reach of the window from the thread it runs on: each of
// these carries the call over to the window's thread.
struct WorkerThreadServices {
  Dialogs& dialogs;
  JobRows& jobs;
  std::function<void()> endProgram;  // ends the process at once
};

// Makes the converter of the window's jobs, once, before the first job runs;
// the converter returned is called on the worker thread.
using MakeConverter = std::function<JobRunner(const WorkerThreadServices& worker)>;

// What the office converter needs besides the window; all of it outlives the
// converter.
struct OfficeServices {
  PresentationAppFactory& office;
  ErrorHandler& errors;
  Shell& shell;
  Registry& registry;
  SystemVersion& systemVersion;
  std::string applicationFolder;
};

MakeConverter OfficeConverter(const OfficeServices& services);

}  // namespace pelvantz
