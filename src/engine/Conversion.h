#pragma once
// The conversion of one queued presentation into its PDF.
#include <cstdint>
#include <functional>
#include <string>

#include "engine/ConversionOptions.h"
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
};

class Converter {
 public:
  explicit Converter(ConversionEnvironment environment);
  void ConvertPresentation(const std::string& sourcePath, const std::string& targetPath,
                           int16_t row, const ConversionOptions& options);

 private:
  ConversionEnvironment env_;
};

}  // namespace pelvantz
