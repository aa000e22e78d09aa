#pragma once
// Where things go on a printed sheet: pure geometry in 1/100 mm, no office
// types, so that the layout rules can be checked without a running office.
#include <cstdint>
#include <optional>
#include <vector>

#include "base/PrintChoices.h"

namespace pelvantz::layout {

struct Size {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t right() const { return x + width; }
  int32_t bottom() const { return y + height; }
  bool operator==(const Rect&) const = default;
};

struct Line {
  int32_t x1 = 0;
  int32_t y1 = 0;
  int32_t x2 = 0;
  int32_t y2 = 0;
  bool operator==(const Line&) const = default;
};

// What one output type prints.
enum class SheetKind { Slides, NotesPages, Outline, Handouts };

struct OutputLayout {
  SheetKind kind = SheetKind::Slides;
  int slidesPerSheet = 1;  // handouts only
  bool operator==(const OutputLayout&) const = default;
};

// The layout of an output type; nothing for a value outside the type's list.
std::optional<OutputLayout> LayoutForOutputType(OutputType outputType);

// Slide numbers (1-based, inclusive) that take part in the print.
struct SlideRange {
  int first = 1;
  int last = 0;
  bool operator==(const SlideRange&) const = default;
};

// The page range the print step was given (from/to as the engine's page
// range made them, or -1, -1 for every slide) checked against the deck. It is
// checked here, where the office prints, because only the opened deck knows
// its slide count. RuntimeFailure when the range is not inside 1..slideCount
// or runs backwards.
SlideRange ResolveRange(int32_t from, int32_t to, int slideCount);

// The slides cut into consecutive groups of at most perSheet slide numbers.
std::vector<std::vector<int>> GroupSlides(const std::vector<int>& slides, int perSheet);

// Landscape: at least as wide as high.
bool IsLandscape(Size size);

// The size turned so that it is landscape or portrait (higher than wide).
Size Oriented(Size size, bool landscape);

// The content scaled to fit the box with its aspect kept, centred in the box.
Rect FitCentred(const Rect& box, Size content);

// The content at its own size, centred in the box; it may overhang the box.
Rect Centred(const Rect& box, Size content);

// The printable area of a composed sheet: the sheet less its margin.
Rect ContentArea(Size sheet);

struct HandoutSlot {
  Rect slide;
  std::vector<Line> rules;  // note-taking lines beside the slide (3 a sheet only)
};

// Where the slides of one handout sheet go, in page order: left to right,
// top to bottom.
std::vector<HandoutSlot> HandoutLayout(Size sheet, int slidesPerSheet, Size slide);

// A notes page turned from portrait to landscape, filled as a landscape page
// is filled: the slide picture in the left column, the notes box in the
// right, within the portrait page's own margin scaled as the page turns.
struct NotesPageLayout {
  Size page;
  Rect picture;
  Rect notes;
};

// `picture` and `notes` are where the portrait page has them; either may be
// missing (width or height 0). `slide` gives the picture its proportions.
NotesPageLayout LandscapeNotesLayout(Size portrait, const Rect& picture, const Rect& notes, Size slide);

// Where any other shape of a portrait notes page goes when it turns: one
// that covers the whole page (a frame, a background) covers the landscape
// page; any other keeps its centre's place relative to the page and is
// scaled as the page's short side is, so that it is not distorted.
Rect TurnedShape(Size portrait, const Rect& shape);

}  // namespace pelvantz::layout
