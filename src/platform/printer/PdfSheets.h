#pragma once
// Lays pages of finished PDF files on new sheets of paper: each page is placed
// whole, as a form XObject, scaled into a rectangle of its sheet, with frames
// and ruled lines drawn beside it. Vector in, vector out: text stays text.
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/printer/SheetLayout.h"

namespace pelvantz::printer {

struct PagePlacement {
  int source = 0;  // as addSource returned it
  int page = 0;    // 0-based
  Rect where;      // on the sheet; the page is scaled to fill it exactly
};

struct SheetContent {
  Size size;
  std::vector<PagePlacement> pages;
  std::vector<Rect> frames;  // thin black outlines
  std::vector<Line> rules;   // grey lines for notes
};

class PdfSheets {
 public:
  PdfSheets();
  ~PdfSheets();
  PdfSheets(const PdfSheets&) = delete;
  PdfSheets& operator=(const PdfSheets&) = delete;

  // Opens a PDF whose pages will be placed; RuntimeFailure when it is no readable PDF.
  int addSource(const std::filesystem::path& pdf);
  int pageCount(int source) const;
  Size pageSize(int source, int page) const;

  void addSheet(const SheetContent& sheet);
  int sheetCount() const;

  // Writes the sheets, in the order added, as a new PDF; RuntimeFailure when it cannot.
  void write(const std::filesystem::path& target);

 private:
  void addSheetContent(const SheetContent& sheet);

  struct Document;
  std::unique_ptr<Document> document_;
};

}  // namespace pelvantz::printer
