#pragma once
// The conversion of one queued presentation into its PDF.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/RuntimeFailure.h"
#include "engine/ConversionOptions.h"
#include "engine/Ghostscript.h"
#include "joblist/JobList.h"
#include "platform/Dialogs.h"
#include "platform/PresentationApp.h"
#include "platform/Shell.h"
#include "platform/SystemVersion.h"

namespace pelvantz {

class ErrorHandler;
class Registry;

struct ConversionEnvironment {
  PresentationAppFactory& office;
  Dialogs& dialogs;
  ErrorHandler& errors;
  Shell& shell;
  JobRows& jobs;
  Registry& registry;
  SystemVersion& systemVersion;
  std::string applicationFolder;
  std::function<void()> endProgram;  // ends the process at once
  GhostscriptTimeLimit ghostscriptLimit{};
};

constexpr const char* PresentationProgId = "PowerPoint.Application";
constexpr const char* RetryProgId = "Powerpoint.Application";
constexpr const char* ConversionErrorTag = "frmMain:cmdBrowse";

class Converter {
 public:
  explicit Converter(ConversionEnvironment environment);
  ~Converter();
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // When another job follows, its application is asked for ahead of time once
  // this job has printed, so that its office starts while this job finishes.
  void ConvertPresentation(const std::string& sourcePath, const std::string& targetPath, int16_t row,
                           const ConversionOptions& options, bool anotherJobFollows = false);

 private:
  struct Run;
  enum class StepOutcome { Next, Stop };

  void holdWorkFolder(Run& run);
  StepOutcome locateGhostscript(Run& run);
  void createApplication(const std::string& progId);
  StepOutcome checkPrinter();
  void setPrintOptions(Run& run);
  void print(Run& run);
  void prepareNextApplication(Run& run);
  void finishJob(Run& run);
  void closePresentation(Run& run);
  void quitApplication();
  void abandonApplication() noexcept;
  bool recoverFrom(const RuntimeFailure& failure, Run& run);
  void markFailed(const RuntimeFailure& failure, Run& run);
  bool giveUp(const RuntimeFailure& failure, Run& run);

  PresentationApp& application();

  ConversionEnvironment env_;
  // The application object outlives a job that stops at the printer check;
  // the next job's create replaces it.
  std::unique_ptr<PresentationApp> app_;
};

}  // namespace pelvantz
