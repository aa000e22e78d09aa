#include "layout/SheetLayout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/RuntimeFailure.h"

namespace pelvantz::layout {

namespace {

constexpr int32_t kMargin = 1270;      // half an inch around composed sheets
constexpr int32_t kCellGap = 635;      // space between handout slides
constexpr int32_t kRuleSpacing = 800;  // distance between note-taking lines
constexpr int32_t kNotesGap = 600;     // between the picture and the notes of a landscape notes page
// The picture's share of a landscape notes page's width: more than half the
// page, leaving the notes a column of readable lines.
constexpr double kNotesPictureShare = 0.62;

struct Grid {
  int columns;
  int rows;
};

Grid GridFor(int slidesPerSheet) {
  switch (slidesPerSheet) {
    case 1:
      return {1, 1};
    case 2:
      return {1, 2};
    case 3:
      return {1, 3};
    case 4:
      return {2, 2};
    case 6:
      return {2, 3};
    case 9:
      return {3, 3};
    default:
      throw RuntimeFailure(ErrorNumber::AutomationFailed,
                           "No handout layout holds " + std::to_string(slidesPerSheet) + " slides a sheet.");
  }
}

int32_t Scaled(int32_t value, double factor) { return static_cast<int32_t>(std::lround(value * factor)); }

// Rules fill the right half of a 3-slide row, from the slide's top to its bottom.
std::vector<Line> RulesBeside(const Rect& slide, int32_t left, int32_t right) {
  std::vector<Line> rules;
  for (int32_t y = slide.y + kRuleSpacing; y <= slide.bottom(); y += kRuleSpacing) {
    rules.push_back({left, y, right, y});
  }
  return rules;
}

bool IsEmpty(const Rect& rect) { return rect.width <= 0 || rect.height <= 0; }

// The portrait notes page's margin: as far from its left edge as the picture
// or the notes box, whichever stands further left (their tops say little: a
// notes box may be all there is), kept between the gap and an eighth of the
// page; a tenth when there is neither.
int32_t NotesMargin(Size page, const Rect& picture, const Rect& notes) {
  if (IsEmpty(picture) && IsEmpty(notes)) return page.width / 10;
  const int32_t left = IsEmpty(picture) ? notes.x : IsEmpty(notes) ? picture.x : std::min(picture.x, notes.x);
  return std::clamp(left, kNotesGap, page.width / 8);
}

// How a portrait page's lengths scale as it turns to landscape: by its short side over its long.
double TurnFactor(Size portrait) {
  return static_cast<double>(Oriented(portrait, true).height) / std::max(portrait.height, 1);
}

}  // namespace

std::optional<OutputLayout> LayoutForOutputType(OutputType outputType) {
  switch (outputType) {
    case OutputType::Slides:
      return OutputLayout{SheetKind::Slides, 1};
    case OutputType::NotesPages:
      return OutputLayout{SheetKind::NotesPages, 1};
    case OutputType::Outline:
      return OutputLayout{SheetKind::Outline, 1};
    case OutputType::OneSlideHandouts:
      return OutputLayout{SheetKind::Handouts, 1};
    case OutputType::TwoSlideHandouts:
      return OutputLayout{SheetKind::Handouts, 2};
    case OutputType::ThreeSlideHandouts:
      return OutputLayout{SheetKind::Handouts, 3};
    case OutputType::FourSlideHandouts:
      return OutputLayout{SheetKind::Handouts, 4};
    case OutputType::SixSlideHandouts:
      return OutputLayout{SheetKind::Handouts, 6};
    case OutputType::NineSlideHandouts:
      return OutputLayout{SheetKind::Handouts, 9};
    default:
      return std::nullopt;
  }
}

SlideRange ResolveRange(int32_t from, int32_t to, int slideCount) {
  if (from == -1 && to == -1) {
    if (slideCount < 1) {
      throw RuntimeFailure(ErrorNumber::AutomationFailed, "The presentation has no slides to print.");
    }
    return {1, slideCount};
  }
  if (from < 1 || to > slideCount || from > to) {
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         "The slide range " + std::to_string(from) + " to " + std::to_string(to) +
                             " is not within the presentation's " + std::to_string(slideCount) + " slides.");
  }
  return {from, to};
}

std::vector<std::vector<int>> GroupSlides(const std::vector<int>& slides, int perSheet) {
  std::vector<std::vector<int>> groups;
  for (size_t i = 0; i < slides.size(); ++i) {
    if (i % perSheet == 0) groups.emplace_back();
    groups.back().push_back(slides[i]);
  }
  return groups;
}

bool IsLandscape(Size size) { return size.width >= size.height; }

Size Oriented(Size size, bool landscape) {
  const int32_t longSide = std::max(size.width, size.height);
  const int32_t shortSide = std::min(size.width, size.height);
  return landscape ? Size{longSide, shortSide} : Size{shortSide, longSide};
}

Rect FitCentred(const Rect& box, Size content) {
  if (content.width <= 0 || content.height <= 0) return {box.x + box.width / 2, box.y + box.height / 2, 0, 0};
  const double factor =
      std::min(static_cast<double>(box.width) / content.width, static_cast<double>(box.height) / content.height);
  return Centred(box, {Scaled(content.width, factor), Scaled(content.height, factor)});
}

Rect Centred(const Rect& box, Size content) {
  return {box.x + (box.width - content.width) / 2, box.y + (box.height - content.height) / 2, content.width,
          content.height};
}

Rect ContentArea(Size sheet) { return {kMargin, kMargin, sheet.width - 2 * kMargin, sheet.height - 2 * kMargin}; }

std::vector<HandoutSlot> HandoutLayout(Size sheet, int slidesPerSheet, Size slide) {
  const Grid grid = GridFor(slidesPerSheet);
  const Rect area = ContentArea(sheet);
  const bool ruled = slidesPerSheet == 3;
  // With rules the slides keep the left half of the sheet, the lines the right.
  const int32_t slideColumnsWidth = ruled ? area.width / 2 : area.width;
  const int32_t cellWidth = slideColumnsWidth / grid.columns;
  const int32_t cellHeight = area.height / grid.rows;

  std::vector<HandoutSlot> layout;
  for (int row = 0; row < grid.rows; ++row) {
    for (int column = 0; column < grid.columns; ++column) {
      const Rect cell{area.x + column * cellWidth + kCellGap / 2, area.y + row * cellHeight + kCellGap / 2,
                      cellWidth - kCellGap, cellHeight - kCellGap};
      const Rect placed = FitCentred(cell, slide);
      layout.push_back({placed, ruled ? RulesBeside(placed, area.x + slideColumnsWidth + kCellGap, area.right())
                                      : std::vector<Line>{}});
    }
  }
  return layout;
}

NotesPageLayout LandscapeNotesLayout(Size portrait, const Rect& picture, const Rect& notes, Size slide) {
  const Size page = Oriented(portrait, true);
  const int32_t margin = Scaled(NotesMargin(portrait, picture, notes), TurnFactor(portrait));
  const Rect content{margin, margin, page.width - 2 * margin, page.height - 2 * margin};
  const int32_t pictureColumn = Scaled(content.width - kNotesGap, kNotesPictureShare);
  Rect placedPicture = FitCentred({content.x, content.y, pictureColumn, content.height}, slide);
  placedPicture.y = content.y;
  const int32_t notesX = content.x + pictureColumn + kNotesGap;
  return {page, placedPicture, {notesX, content.y, content.right() - notesX, content.height}};
}

Rect TurnedShape(Size portrait, const Rect& shape) {
  const Size page = Oriented(portrait, true);
  if (shape.x <= 0 && shape.y <= 0 && shape.right() >= portrait.width && shape.bottom() >= portrait.height)
    return {0, 0, page.width, page.height};
  const double turn = TurnFactor(portrait);
  const Size size{Scaled(shape.width, turn), Scaled(shape.height, turn)};
  const double centreX = (shape.x + shape.width / 2.0) / std::max(portrait.width, 1);
  const double centreY = (shape.y + shape.height / 2.0) / std::max(portrait.height, 1);
  return {static_cast<int32_t>(std::lround(centreX * page.width)) - size.width / 2,
          static_cast<int32_t>(std::lround(centreY * page.height)) - size.height / 2, size.width, size.height};
}

}  // namespace pelvantz::layout
