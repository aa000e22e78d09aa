#include "platform/libreoffice/SheetComposer.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/RuntimeFailure.h"
#include "platform/libreoffice/PdfExport.h"
#include "platform/libreoffice/SheetFlow.h"
#include "platform/libreoffice/SheetSource.h"
#include "platform/printer/PdfSheets.h"
#include "platform/printer/SystemPaper.h"

namespace pelvantz::office {

namespace {

using namespace sheet;
using namespace printer;

const TextStyle kHeading{14.0f, true};
const TextStyle kBody{12.0f, false};
const TextStyle kCommentHeader{12.0f, true};
constexpr int32_t kLevelIndent = 1000;
constexpr int32_t kSlideSpacing = 500;
constexpr int32_t kParagraphSpacing = 100;

bool SheetsLandscape(const OutputLayout& layout, Size slide, bool notesLandscape) {
  switch (layout.kind) {
    case SheetKind::Slides: return slide.width >= slide.height;
    case SheetKind::NotesPages: return notesLandscape;
    case SheetKind::Outline:
    case SheetKind::Handouts: return false;
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
    throw RuntimeFailure(ErrorNumber::AutomationFailed, "Every slide from " + std::to_string(range.first) + " to " +
                                                            std::to_string(range.last) + " is hidden: nothing to print.");
  }
  return slides;
}

constexpr const char* kRenderedPagesFile = "pages.pdf";
constexpr const char* kTextPagesFile = "text.pdf";

// Only slides print at their own size when not fitted: notes pages, handouts
// and outline are laid out on the paper, as they always fit.
Rect SlidePlace(const Rect& sheet, Size rendered, const SheetRequest& request) {
  return request.fitToPage ? FitCentred(sheet, rendered) : Centred(sheet, request.slideSize);
}

}  // namespace

SheetPrint::SheetPrint(const css::uno::Reference<css::uno::XComponentContext>& context,
                       const css::uno::Reference<css::lang::XComponent>& presentation, const SheetRequest& request,
                       const std::filesystem::path& folder)
    : context_(context),
      presentation_(presentation),
      request_(request),
      layout_(LayoutForOutputType(request.outputType)),
      folder_(folder) {
  const SlideSource source(presentation);
  slides_ = SlidesToPrint(source, ResolveRange(request.fromSlide, request.toSlide, source.slideCount()));
  sheetSize_ = Oriented(SystemPaper(), SheetsLandscape(layout_, request.slideSize, request.notesLandscape));
}

SheetPrint::~SheetPrint() = default;

void SheetPrint::renderPages() {
  if (layout_.kind == SheetKind::Outline) return;
  const auto pages = layout_.kind == SheetKind::NotesPages ? RenderedPages::NotesPages : RenderedPages::Slides;
  ExportPresentationPages(presentation_, pages, {slides_.front(), slides_.back()}, folder_ / kRenderedPagesFile);
}

void SheetPrint::setText() {
  if (layout_.kind == SheetKind::Outline) outline_ = setOutline();
  if (request_.printComments) {
    for (const auto& group : sheetGroups()) commentsAfter_.push_back(setComments(group));
  }
  if (text_) text_->exportTo(folder_ / kTextPagesFile);
}

// The slides that share one sheet, each followed by its comments; the outline
// is one run of sheets for all of them.
std::vector<std::vector<int>> SheetPrint::sheetGroups() const {
  switch (layout_.kind) {
    case SheetKind::Handouts: return GroupSlides(slides_, layout_.slidesPerSheet);
    case SheetKind::Outline: return {slides_};
    case SheetKind::Slides:
    case SheetKind::NotesPages: break;
  }
  return GroupSlides(slides_, 1);
}

sheet::SheetDocument& SheetPrint::textSheets() {
  if (!text_) text_ = std::make_unique<SheetDocument>(context_, sheetSize_);
  return *text_;
}

SheetPrint::TextPages SheetPrint::setOutline() {
  const SlideSource source(presentation_);
  TextFlow flow(textSheets());
  const int first = text_->sheetCount();
  for (int slide : slides_) {
    const auto paragraphs = source.outline(slide);
    const bool titled = !paragraphs.empty() && paragraphs.front().title;
    // The slide number leads its title, or stands alone for an untitled slide.
    flow.add(std::to_string(slide) + (titled ? "   " + paragraphs.front().text : std::string()), kHeading, 0,
             kSlideSpacing);
    for (size_t i = titled ? 1 : 0; i < paragraphs.size(); ++i) {
      const auto& paragraph = paragraphs[i];
      flow.add(paragraph.title ? paragraph.text : "\u2022 " + paragraph.text, paragraph.title ? kHeading : kBody,
               (paragraph.level + 1) * kLevelIndent, kParagraphSpacing);
    }
  }
  return {first, text_->sheetCount() - first};
}

// One run of comment sheets for the given slides, if any of them has comments.
SheetPrint::TextPages SheetPrint::setComments(const std::vector<int>& slides) {
  const SlideSource source(presentation_);
  std::optional<TextFlow> flow;
  const int first = text_ ? text_->sheetCount() : 0;
  for (int slide : slides) {
    const auto comments = source.comments(slide);
    if (comments.empty()) continue;
    if (!flow) flow.emplace(textSheets());
    flow->add("Comments on slide " + std::to_string(slide), kHeading, 0, kSlideSpacing);
    for (const auto& comment : comments) {
      const std::string initials = comment.initials.empty() ? "" : " (" + comment.initials + ")";
      flow->add(comment.author + initials + ", " + comment.date, kCommentHeader, kLevelIndent, kSlideSpacing / 2);
      flow->add(comment.text, kBody, kLevelIndent, kParagraphSpacing);
    }
  }
  return {first, text_ ? text_->sheetCount() - first : 0};
}

void SheetPrint::compose(const std::filesystem::path& printFile) {
  PdfSheets sheets;
  const Rect wholeSheet{0, 0, sheetSize_.width, sheetSize_.height};
  const int text = text_ ? sheets.addSource(folder_ / kTextPagesFile) : -1;
  const auto addTextPages = [&](const TextPages& pages) {
    for (int page = pages.first; page < pages.first + pages.count; ++page)
      sheets.addSheet({sheetSize_, {{text, page, wholeSheet}}, {}, {}});
  };
  if (layout_.kind == SheetKind::Outline) {
    addTextPages(outline_);
    if (!commentsAfter_.empty()) addTextPages(commentsAfter_.front());
    sheets.write(printFile);
    return;
  }
  const int rendered = sheets.addSource(folder_ / kRenderedPagesFile);
  if (sheets.pageCount(rendered) != printedSlides())
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         "The office rendered " + std::to_string(sheets.pageCount(rendered)) + " pages for " +
                             std::to_string(printedSlides()) + " slides.");
  const Size pageSize = sheets.pageSize(rendered, 0);
  const auto groups = sheetGroups();
  int page = 0;
  for (size_t group = 0; group < groups.size(); ++group) {
    SheetContent sheet{sheetSize_, {}, {}, {}};
    switch (layout_.kind) {
      case SheetKind::Slides: sheet.pages.push_back({rendered, page++, SlidePlace(wholeSheet, pageSize, request_)}); break;
      case SheetKind::NotesPages: sheet.pages.push_back({rendered, page++, FitCentred(wholeSheet, pageSize)}); break;
      case SheetKind::Handouts: {
        const auto slots = HandoutLayout(sheetSize_, layout_.slidesPerSheet, pageSize);
        for (size_t i = 0; i < groups[group].size(); ++i) {
          sheet.pages.push_back({rendered, page++, slots[i].slide});
          sheet.frames.push_back(slots[i].slide);
          sheet.rules.insert(sheet.rules.end(), slots[i].rules.begin(), slots[i].rules.end());
        }
        break;
      }
      case SheetKind::Outline: break;
    }
    sheets.addSheet(sheet);
    if (group < commentsAfter_.size()) addTextPages(commentsAfter_[group]);
  }
  sheets.write(printFile);
}

}  // namespace pelvantz::office
