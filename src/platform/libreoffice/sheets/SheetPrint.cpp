#include "platform/libreoffice/sheets/SheetPrint.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/TextFitToSizeType.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <string>
#include <vector>

#include "base/ApplicationName.h"
#include "base/RuntimeFailure.h"
#include "platform/libreoffice/sheets/NotesLayout.h"
#include "platform/libreoffice/sheets/PdfExport.h"
#include "platform/libreoffice/sheets/SlideSource.h"
#include "platform/libreoffice/sheets/TextExport.h"
#include "platform/printer/PdfSheets.h"
#include "platform/printer/SystemPaper.h"

namespace pelvantz::office {

namespace {

using namespace sheet;
using namespace printer;
using namespace layout;

constexpr int32_t kLevelIndent = 1000;
constexpr int32_t kSlideSpacing = 500;
constexpr int32_t kParagraphSpacing = 100;

bool SheetsLandscape(const OutputLayout& layout, Size slide, bool notesLandscape) {
  switch (layout.kind) {
    case SheetKind::Slides:
      return IsLandscape(slide);
    case SheetKind::NotesPages:
      return notesLandscape;
    case SheetKind::Outline:
    case SheetKind::Handouts:
      return false;
  }
  return false;
}

// Hidden slides stay out of the print, as they do by default in PowerPoint.
std::vector<int> SlidesToPrint(const SlideSource& source, const SlideRange& range) {
  std::vector<int> slides;
  for (int slide = range.first; slide <= range.last; ++slide) {
    if (!source.hidden(slide)) slides.push_back(slide);
  }
  if (slides.empty()) {
    throw RuntimeFailure(ErrorNumber::AutomationFailed, "Every slide from " + std::to_string(range.first) +
                                                            " to " + std::to_string(range.last) +
                                                            " is hidden: nothing to print.");
  }
  return slides;
}

constexpr const char* kRenderedPagesFile = "pages.pdf";
constexpr const char* kTextPagesFile = "text.pdf";

// Notes longer than their box would run off the page: their presentation
// style, on every master, shrinks the text of an overflowing box until it fits.
void ShrinkNotesToFit(const css::uno::Reference<css::lang::XComponent>& presentation) {
  const auto families =
      css::uno::Reference<css::style::XStyleFamiliesSupplier>(presentation, css::uno::UNO_QUERY_THROW)
          ->getStyleFamilies();
  const auto masters =
      css::uno::Reference<css::drawing::XMasterPagesSupplier>(presentation, css::uno::UNO_QUERY_THROW)
          ->getMasterPages();
  for (sal_Int32 i = 0; i < masters->getCount(); ++i) {
    const auto name =
        css::uno::Reference<css::container::XNamed>(masters->getByIndex(i), css::uno::UNO_QUERY_THROW)->getName();
    css::uno::Reference<css::container::XNameAccess> styles(families->getByName(name), css::uno::UNO_QUERY_THROW);
    if (!styles->hasByName("notes")) continue;
    css::uno::Reference<css::beans::XPropertySet>(styles->getByName("notes"), css::uno::UNO_QUERY_THROW)
        ->setPropertyValue("TextFitToSize", css::uno::Any(css::drawing::TextFitToSizeType_AUTOFIT));
  }
}

// A bookmark is one line: line breaks and runs of blanks in a title become one blank.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v';
    if (!blank)
      line += c;
    else if (!line.empty() && line.back() != ' ')
      line += ' ';
  }
  if (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

std::string SlideName(int slide) { return "Slide " + std::to_string(slide); }

std::string SlideMark(int slide) { return "slide" + std::to_string(slide); }

// Only slides print at their own size when not fitted: notes pages, handouts
// and outline are laid out on the paper, as they always fit.
Rect SlidePlace(const Rect& sheet, Size rendered, const SheetRequest& request) {
  return request.fitToPage ? FitCentred(sheet, rendered) : Centred(sheet, request.slideSize);
}

}  // namespace

SheetPrint::SheetPrint(const css::uno::Reference<css::uno::XComponentContext>& context,
                       const css::uno::Reference<css::lang::XComponent>& presentation, const SheetRequest& request,
                       const std::filesystem::path& folder)
    : context_(context), presentation_(presentation), request_(request), folder_(folder) {
  const SlideSource source(presentation);
  slides_ = SlidesToPrint(source, ResolveRange(request.fromSlide, request.toSlide, source.slideCount()));
  sheetSize_ =
      Oriented(SystemPaper(), SheetsLandscape(request_.layout, request.slideSize, request.notesLandscape));
  info_ = DocumentInfoOf(presentation);
  if (info_.title.empty()) info_.title = request.documentName;
  info_.creator = ProductName;
}

SheetPrint::~SheetPrint() = default;

void SheetPrint::renderPages() {
  if (request_.layout.kind == SheetKind::Outline) return;
  const auto pages =
      request_.layout.kind == SheetKind::NotesPages ? RenderedPages::NotesPages : RenderedPages::Slides;
  if (pages == RenderedPages::NotesPages) {
    if (request_.notesLandscape)
      TurnNotesPagesToLandscape(presentation_, {slides_.front(), slides_.back()}, request_.slideSize);
    ShrinkNotesToFit(presentation_);
  }
  ExportPresentationPages(presentation_, pages, {slides_.front(), slides_.back()}, folder_ / kRenderedPagesFile);
}

// Every run of text goes into one document, so that the office sets it all in one go.
void SheetPrint::setText() {
  TextPages text(sheetSize_);
  std::vector<int> runs;  // per group, its comment run or -1
  if (request_.layout.kind == SheetKind::Outline) addOutline(text);
  if (request_.printComments) {
    for (const auto& group : sheetGroups()) {
      const int before = text.runCount();
      addComments(group, text);
      runs.push_back(text.runCount() > before ? before : -1);
    }
  }
  if (text.runCount() == 0) return;
  const TextLayout pages = ExportTextPages(context_, text, folder_, folder_ / kTextPagesFile);
  hasText_ = true;
  if (request_.layout.kind == SheetKind::Outline) {
    outline_ = pages.runs.front();
    for (int slide : slides_) outlinePages_.push_back(pages.marks.at(SlideMark(slide)));
  }
  for (int run : runs) commentsAfter_.push_back(run < 0 ? RunPages{} : pages.runs[run]);
}

// The slides that share one sheet, each followed by its comments; the outline
// is one run of sheets for all of them.
std::vector<std::vector<int>> SheetPrint::sheetGroups() const {
  switch (request_.layout.kind) {
    case SheetKind::Handouts:
      return GroupSlides(slides_, request_.layout.slidesPerSheet);
    case SheetKind::Outline:
      return {slides_};
    case SheetKind::Slides:
    case SheetKind::NotesPages:
      break;
  }
  return GroupSlides(slides_, 1);
}

void SheetPrint::addOutline(TextPages& text) {
  const SlideSource source(presentation_);
  text.startRun();
  for (int slide : slides_) {
    const auto paragraphs = source.outline(slide);
    const bool titled = !paragraphs.empty() && paragraphs.front().title;
    outlineTitles_.push_back(titled ? OneLine(paragraphs.front().text) : SlideName(slide));
    // The slide number leads its title, or stands alone for an untitled slide.
    text.add({std::to_string(slide) + (titled ? "   " + paragraphs.front().text : std::string()),
              TextRole::Heading, 0, kSlideSpacing},
             SlideMark(slide));
    for (size_t i = titled ? 1 : 0; i < paragraphs.size(); ++i) {
      const auto& paragraph = paragraphs[i];
      text.add({paragraph.title ? paragraph.text : "\u2022 " + paragraph.text,
                paragraph.title ? TextRole::Heading : TextRole::Body, (paragraph.level + 1) * kLevelIndent,
                kParagraphSpacing});
    }
  }
}

// One run of comment pages for the given slides, if any of them has comments.
void SheetPrint::addComments(const std::vector<int>& slides, TextPages& text) {
  const SlideSource source(presentation_);
  bool started = false;
  for (int slide : slides) {
    const auto comments = source.comments(slide);
    if (comments.empty()) continue;
    if (!started) {
      text.startRun();
      started = true;
    }
    text.add({"Comments on slide " + std::to_string(slide), TextRole::Heading, 0, kSlideSpacing});
    for (const auto& comment : comments) {
      const std::string initials = comment.initials.empty() ? "" : " (" + comment.initials + ")";
      text.add({comment.author + initials + ", " + comment.date, TextRole::CommentHeader, kLevelIndent,
                kSlideSpacing / 2});
      text.add({comment.text, TextRole::Body, kLevelIndent, kParagraphSpacing});
    }
  }
}

void SheetPrint::compose(const std::filesystem::path& printFile) {
  PdfSheets sheets;
  sheets.setInfo(info_);
  const int text = hasText_ ? sheets.addSource(folder_ / kTextPagesFile) : -1;
  if (request_.layout.kind == SheetKind::Outline) {
    layOutline(sheets, text);
  } else {
    layRenderedPages(sheets, text);
  }
  sheets.write(printFile);
}

void SheetPrint::addTextSheets(PdfSheets& sheets, int text, const RunPages& pages) const {
  const Rect wholeSheet{0, 0, sheetSize_.width, sheetSize_.height};
  for (int page = pages.first; page < pages.first + pages.count; ++page)
    sheets.addSheet({sheetSize_, {{text, page, wholeSheet}}, {}, {}});
}

// A slide's bookmark opens the sheet where its heading is.
void SheetPrint::layOutline(PdfSheets& sheets, int text) const {
  const int first = sheets.sheetCount();
  addTextSheets(sheets, text, outline_);
  for (size_t i = 0; i < slides_.size(); ++i)
    sheets.addBookmark(outlineTitles_[i], first + outlinePages_[i] - outline_.first);
  if (!commentsAfter_.empty()) addTextSheets(sheets, text, commentsAfter_.front());
}

// A slide's bookmark opens the sheet that shows it, named as the office named
// the slide's page (its title), or by its number.
void SheetPrint::layRenderedPages(PdfSheets& sheets, int text) const {
  const int rendered = sheets.addSource(folder_ / kRenderedPagesFile);
  if (sheets.pageCount(rendered) != printedSlides())
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         "The office rendered " + std::to_string(sheets.pageCount(rendered)) + " pages for " +
                             std::to_string(printedSlides()) + " slides.");
  const Rect wholeSheet{0, 0, sheetSize_.width, sheetSize_.height};
  const Size pageSize = sheets.pageSize(rendered, 0);
  const auto groups = sheetGroups();
  const auto slots = request_.layout.kind == SheetKind::Handouts
                         ? HandoutLayout(sheetSize_, request_.layout.slidesPerSheet, pageSize)
                         : std::vector<HandoutSlot>{};
  int page = 0;
  for (size_t group = 0; group < groups.size(); ++group) {
    SheetContent sheet{sheetSize_, {}, {}, {}};
    for (size_t i = 0; i < groups[group].size(); ++i, ++page) {
      const std::string title = OneLine(sheets.pageTitle(rendered, page));
      sheets.addBookmark(title.empty() ? SlideName(slides_[page]) : title, sheets.sheetCount());
      if (request_.layout.kind == SheetKind::Slides) {
        sheet.pages.push_back({rendered, page, SlidePlace(wholeSheet, pageSize, request_)});
      } else if (request_.layout.kind == SheetKind::NotesPages) {
        sheet.pages.push_back({rendered, page, FitCentred(wholeSheet, pageSize)});
      } else {
        sheet.pages.push_back({rendered, page, slots[i].slide});
        sheet.frames.push_back(slots[i].slide);
        sheet.rules.insert(sheet.rules.end(), slots[i].rules.begin(), slots[i].rules.end());
      }
    }
    sheets.addSheet(sheet);
    if (group < commentsAfter_.size()) addTextSheets(sheets, text, commentsAfter_[group]);
  }
}

}  // namespace pelvantz::office
