#pragma once
// Prints a loaded presentation in any of the output layouts (slides, notes
// pages, outline, handouts, with or without comments): the office renders the
// slides or notes pages, and the outline and comment text, with its own PDF
// writer; those pages are then laid on sheets of the system's paper. One route
// for every layout. Each office step is a call of its own, so that the caller
// can bound it.
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "layout/SheetLayout.h"
#include "platform/libreoffice/sheets/TextPages.h"
#include "platform/printer/PdfSheets.h"

namespace pelvantz::office {

struct SheetRequest {
  layout::OutputLayout layout;  // what the output type prints
  bool fitToPage = true;        // scale each slide to the paper; false: its own size
  bool printComments = false;   // a page of each slide's comments after that slide
  bool notesLandscape = true;   // notes pages landscape
  int32_t fromSlide = -1;       // -1, -1: all slides; else 1-based slide numbers
  int32_t toSlide = -1;
  layout::Size slideSize;    // what one slide measures printed at its own size
  std::string documentName;  // the file's name without extension: the title when it has none
};

class SheetPrint {
 public:
  // Reads which slides print; RuntimeFailure for a range outside the
  // presentation or one whose every slide is hidden. Intermediate files go
  // into the folder, which the caller owns.
  SheetPrint(const css::uno::Reference<css::uno::XComponentContext>& context,
             const css::uno::Reference<css::lang::XComponent>& presentation, const SheetRequest& request,
             const std::filesystem::path& folder);
  ~SheetPrint();

  int printedSlides() const { return static_cast<int>(slides_.size()); }

  // Office steps, in this order.
  void renderPages();
  void setText();
  // No office: lays the rendered pages on the paper into the print file.
  void compose(const std::filesystem::path& printFile);

 private:
  std::vector<std::vector<int>> sheetGroups() const;
  void addComments(const std::vector<int>& slides, TextPages& text);
  void addOutline(TextPages& text);
  void addTextSheets(printer::PdfSheets& sheets, int text, const RunPages& pages) const;
  void layOutline(printer::PdfSheets& sheets, int text) const;
  void layRenderedPages(printer::PdfSheets& sheets, int text) const;

  css::uno::Reference<css::uno::XComponentContext> context_;
  css::uno::Reference<css::lang::XComponent> presentation_;
  SheetRequest request_;
  std::filesystem::path folder_;
  std::vector<int> slides_;  // printed slide numbers, in order
  layout::Size sheetSize_;
  printer::DocumentInfo info_;
  bool hasText_ = false;
  RunPages outline_;
  std::vector<std::string> outlineTitles_;  // per printed slide
  std::vector<int> outlinePages_;           // per printed slide: its heading's page of the text
  std::vector<RunPages> commentsAfter_;     // per group of slides that share a sheet
};

}  // namespace pelvantz::office
