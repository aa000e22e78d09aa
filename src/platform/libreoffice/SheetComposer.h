#pragma once
// Prints a loaded presentation in any of the output layouts (slides, notes
// pages, outline, handouts, with or without comments) by composing the sheets
// in a hidden Draw document that holds vector images of the slides, and
// printing that document through our own printer. One route for every layout.
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cstdint>
#include <string>

namespace pelvantz::office {

struct SheetRequest {
  int32_t outputType = 1;       // PowerPoint's ppPrintOutput* constant (1,2,3,4,5,6,8,9,10)
  bool fitToPage = true;        // scale each page to the paper; false: its own size
  bool printComments = false;   // a page of each slide's comments after that slide
  bool notesLandscape = true;   // notes pages landscape
  int32_t fromSlide = -1;       // -1, -1: all slides; else 1-based slide numbers
  int32_t toSlide = -1;
  std::string printerName;      // "pelvantz"
  std::string targetFile;       // absolute path of the print file
};

// Throws pelvantz::RuntimeFailure (automation error numbers) on failure,
// including a range outside the presentation. Returns when the file is written.
void PrintSheets(const css::uno::Reference<css::uno::XComponentContext>& context,
                 const css::uno::Reference<css::lang::XComponent>& presentation,
                 const SheetRequest& request);

}  // namespace pelvantz::office
