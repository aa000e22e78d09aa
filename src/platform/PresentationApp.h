#pragma once
// The presentation application as the conversion drives it: the operations,
// order and values of an automation session with PowerPoint. Implemented over
// LibreOffice Impress (platform/libreoffice); tests use a recording double.
// Every operation throws RuntimeFailure when the application fails; a setter
// refuses a value outside its type's list the same way.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/PrintChoices.h"

namespace pelvantz {

// The 1/0 the application takes for its switches (Visible, FitToPage,
// PrintComments); its other values have types of their own (base/PrintChoices.h).
namespace Flag {
constexpr int32_t Off = 0;
constexpr int32_t On = 1;
}  // namespace Flag

class Presentation {
 public:
  virtual ~Presentation() = default;
  // PrintOptions
  virtual void setActivePrinter(const std::string& printerName) = 0;
  virtual void setFitToPage(int32_t value) = 0;      // Flag::On or Flag::Off
  virtual void setPrintComments(int32_t value) = 0;  // Flag::On or Flag::Off
  virtual void setOutputType(OutputType value) = 0;
  // PageSetup
  virtual void setSlideOrientation(SlideOrientation value) = 0;
  virtual void setSlideSize(SlideSize value) = 0;
  virtual void setNotesOrientation(SlideOrientation value) = 0;
  // Prints slides from..to (-1, -1: all) into the file, replacing one that is
  // there; returns when the file is written and not empty.
  virtual void printOut(int32_t from, int32_t to, const std::string& printToFile) = 0;
  virtual void close() = 0;
};

class PresentationApp {
 public:
  virtual ~PresentationApp() = default;
  virtual void setVisible(int32_t value) = 0;  // Flag::*
  virtual std::unique_ptr<Presentation> open(const std::string& fileName) = 0;
  virtual std::string activePrinter() = 0;
  // Installed printers by device name, in a stable order.
  virtual std::vector<std::string> installedPrinters() = 0;
  // Ends the application and everything it started.
  virtual void quit() = 0;
};

// Creates the application object from its ProgID ("PowerPoint.Application").
// Throws RuntimeFailure with ErrorNumber::CannotCreateObject when it cannot.
class PresentationAppFactory {
 public:
  virtual ~PresentationAppFactory() = default;
  virtual std::unique_ptr<PresentationApp> create(const std::string& progId) = 0;
  // Starts the next application ahead of time, for the next create() to hand
  // out; one never handed out is ended with the factory. Never throws.
  virtual void prepareNext() {}
};

}  // namespace pelvantz
