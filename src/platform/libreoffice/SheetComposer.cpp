#include "platform/libreoffice/SheetComposer.h"

#include <com/sun/star/uno/Exception.hpp>
#include <optional>
#include <vector>

#include "platform/RuntimeFailure.h"
#include "platform/libreoffice/SheetDocument.h"
#include "platform/libreoffice/SheetExport.h"
#include "platform/libreoffice/SheetFlow.h"
#include "platform/libreoffice/SheetLayout.h"
#include "platform/libreoffice/SheetSource.h"
#include "platform/libreoffice/SheetUno.h"

namespace pelvantz::office {

namespace {

using namespace sheet;

const TextStyle kHeading{14.0f, true, false};
const TextStyle kBody{12.0f, false, false};
const TextStyle kNotes{12.0f, false, true};
const TextStyle kCommentHeader{12.0f, true, false};
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

class Composer {
 public:
  Composer(const css::uno::Reference<css::uno::XComponentContext>& context,
           const css::uno::Reference<css::lang::XComponent>& presentation, const SheetRequest& request)
      : request_(request),
        layout_(LayoutForOutputType(request.outputType)),
        source_(presentation),
        slides_(SlidesToPrint(source_, ResolveRange(request.fromSlide, request.toSlide, source_.slideCount()))),
        slideSize_(source_.slideSize()),
        images_(context, presentation, source_),
        sheets_(context, request.printerName) {
    sheets_.setSheetSize(Oriented(sheets_.paper(), SheetsLandscape(layout_, slideSize_, request.notesLandscape)));
  }

  void print() {
    switch (layout_.kind) {
      case SheetKind::Slides: composeSlides(); break;
      case SheetKind::NotesPages: composeNotesPages(); break;
      case SheetKind::Outline: composeOutline(); break;
      case SheetKind::Handouts: composeHandouts(); break;
    }
    sheets_.printTo(request_.targetFile);
  }

 private:
  Rect wholeSheet() const { return {0, 0, sheets_.sheetSize().width, sheets_.sheetSize().height}; }

  // Only slides print at their own size when not fitted: notes pages,
  // handouts and outline are laid out on the paper, as they always fit.
  void composeSlides() {
    for (int slide : slides_) {
      const int sheet = sheets_.addSheet();
      // Not fitted, the slide keeps its size; what overhangs the paper is cut.
      const Rect where = request_.fitToPage ? FitCentred(wholeSheet(), slideSize_) : Centred(wholeSheet(), slideSize_);
      sheets_.addImage(sheet, images_.image(slide), where, kSlideImageFrame);
      composeComments({slide});
    }
  }

  void composeNotesPages() {
    for (int slide : slides_) {
      const int sheet = sheets_.addSheet();
      const NotesSheet layout = NotesLayout(sheets_.sheetSize(), slideSize_);
      sheets_.addImage(sheet, images_.image(slide), layout.slide, kSlideImageFrame);
      sheets_.addFrame(sheet, layout.slide);
      const std::string notes = source_.notesText(slide);
      if (!notes.empty()) sheets_.addTextBox(sheet, layout.notes, notes, kNotes);
      composeComments({slide});
    }
  }

  void composeHandouts() {
    const auto slots = HandoutLayout(sheets_.sheetSize(), layout_.slidesPerSheet, slideSize_);
    for (const auto& group : GroupSlides(slides_, layout_.slidesPerSheet)) {
      const int sheet = sheets_.addSheet();
      for (size_t i = 0; i < group.size(); ++i) {
        sheets_.addImage(sheet, images_.image(group[i]), slots[i].slide, kSlideImageFrame);
        sheets_.addFrame(sheet, slots[i].slide);
        for (const Line& rule : slots[i].rules) sheets_.addRule(sheet, rule);
      }
      composeComments(group);
    }
  }

  void composeOutline() {
    TextFlow flow(sheets_);
    for (int slide : slides_) {
      const auto paragraphs = source_.outline(slide);
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
    composeComments(slides_);
  }

  // One run of comment sheets for the given slides, if any of them has
  // comments. They follow the sheet that shows those slides (slide, notes
  // page, handout sheet), and for the outline the whole outline.
  void composeComments(const std::vector<int>& slides) {
    if (!request_.printComments) return;
    std::optional<TextFlow> flow;
    for (int slide : slides) {
      const auto comments = source_.comments(slide);
      if (comments.empty()) continue;
      if (!flow) flow.emplace(sheets_);
      flow->add("Comments on slide " + std::to_string(slide), kHeading, 0, kSlideSpacing);
      for (const auto& comment : comments) {
        const std::string initials = comment.initials.empty() ? "" : " (" + comment.initials + ")";
        flow->add(comment.author + initials + ", " + comment.date, kCommentHeader, kLevelIndent,
                  kSlideSpacing / 2);
        flow->add(comment.text, kBody, kLevelIndent, kParagraphSpacing);
      }
    }
  }

  const SheetRequest& request_;
  const OutputLayout layout_;
  const SlideSource source_;
  const std::vector<int> slides_;
  const Size slideSize_;
  SlideImages images_;  // outlives the sheets: they print from its files
  SheetDocument sheets_;
};

}  // namespace

void PrintSheets(const css::uno::Reference<css::uno::XComponentContext>& context,
                 const css::uno::Reference<css::lang::XComponent>& presentation, const SheetRequest& request) {
  try {
    PrepareTarget(request.targetFile);
    Composer(context, presentation, request).print();
  } catch (const css::uno::Exception& failure) {
    const std::string message = ToStdString(failure.Message);
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         message.empty() ? "The office failed while printing the presentation." : message);
  }
}

}  // namespace pelvantz::office
