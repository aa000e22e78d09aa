#pragma once
// The presentation application as the conversion drives it: the operations,
// order and values of an automation session with PowerPoint. Implemented over
// LibreOffice Impress (platform/libreoffice); tests use a recording double.
// Every operation throws RuntimeFailure when the application fails; a setter
// refuses a value outside its list below the same way.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelvantz {

// The automation values the application takes, named as PowerPoint names them.
namespace PrintOutput {  // ppPrintOutput*
constexpr int32_t Slides = 1;
constexpr int32_t TwoSlideHandouts = 2;
constexpr int32_t ThreeSlideHandouts = 3;
constexpr int32_t SixSlideHandouts = 4;
constexpr int32_t NotesPages = 5;
constexpr int32_t Outline = 6;
constexpr int32_t FourSlideHandouts = 8;
constexpr int32_t NineSlideHandouts = 9;
constexpr int32_t OneSlideHandouts = 10;
}  // namespace PrintOutput

namespace SlideSizeType {  // ppSlideSize*
constexpr int32_t OnScreen = 1;
constexpr int32_t LetterPaper = 2;
constexpr int32_t A4Paper = 3;
constexpr int32_t Slides35Mm = 4;
constexpr int32_t Banner = 6;
constexpr int32_t Ledger = 8;
constexpr int32_t A3Paper = 9;
}  // namespace SlideSizeType

namespace Orientation {  // msoOrientation*
constexpr int32_t Landscape = 1;
constexpr int32_t Portrait = 2;
}  // namespace Orientation

namespace Flag {  // the 1/0 of the switches (Visible, FitToPage, PrintComments)
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
  virtual void setOutputType(int32_t value) = 0;     // PrintOutput::*
  // PageSetup
  virtual void setSlideOrientation(int32_t value) = 0;  // Orientation::*
  virtual void setSlideSize(int32_t value) = 0;         // SlideSizeType::*
  virtual void setNotesOrientation(int32_t value) = 0;  // Orientation::*
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
