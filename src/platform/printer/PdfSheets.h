#pragma once
// Lays pages of finished PDF files on new sheets of paper: each page is placed
// whole, as a form XObject, scaled into a rectangle of its sheet, with frames
// and ruled lines drawn beside it. Vector in, vector out: text stays text. The
// pages' links move with them; the sheets carry the document's properties and
// a bookmark per entry asked for.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "layout/SheetLayout.h"

namespace pelvantz::printer {

struct PagePlacement {
  int source = 0;      // as addSource returned it
  int page = 0;        // 0-based
  layout::Rect where;  // on the sheet; the page is scaled to fill it exactly
};

struct SheetContent {
  layout::Size size;
  std::vector<PagePlacement> pages;
  std::vector<layout::Rect> frames;  // thin black outlines
  std::vector<layout::Line> rules;   // grey lines for notes
};

struct DocumentInfo {
  std::string title;
  std::string author;
  std::string subject;
  std::string keywords;
  std::string creator;
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
  layout::Size pageSize(int source, int page) const;
  // The title of the source's own bookmark for that page; empty when it has none.
  std::string pageTitle(int source, int page) const;

  void addSheet(const SheetContent& sheet);
  int sheetCount() const;

  void setInfo(const DocumentInfo& info);
  // Bookmarks are listed in the order they are added.
  void addBookmark(const std::string& title, int sheet);

  // Writes the sheets, in the order added, as a new PDF; RuntimeFailure when it cannot.
  // A link on a placed page is kept where it lands inside its page's place on
  // the paper, and one into another placed page goes to the first sheet showing
  // that page; any other link is left out rather than put in the wrong place.
  void write(const std::filesystem::path& target);

 private:
  void addSheetContent(const SheetContent& sheet);
  void addLinks();
  void addBookmarks();

  struct Document;
  std::unique_ptr<Document> document_;
};

}  // namespace pelvantz::printer
