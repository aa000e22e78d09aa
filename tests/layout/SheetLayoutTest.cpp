// Sheet geometry without an office: where slides, rules and text go.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "base/RuntimeFailure.h"
#include "layout/SheetLayout.h"

namespace pelvantz::layout {
namespace {

constexpr Size kA4Portrait{21000, 29700};
constexpr Size kA4Landscape{29700, 21000};
constexpr Size kScreenSlide{25400, 19050};  // 10 x 7.5 inches

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() &&
         inner.bottom() <= outer.bottom();
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

double Aspect(Size size) { return static_cast<double>(size.width) / size.height; }
double Aspect(const Rect& rect) { return static_cast<double>(rect.width) / rect.height; }

TEST(SheetLayoutTest, OutputTypesMapToTheirLayouts) {
  const struct {
    OutputType outputType;
    OutputLayout layout;
  } cases[] = {
      {OutputType::Slides, {SheetKind::Slides, 1}},
      {OutputType::NotesPages, {SheetKind::NotesPages, 1}},
      {OutputType::Outline, {SheetKind::Outline, 1}},
      {OutputType::OneSlideHandouts, {SheetKind::Handouts, 1}},
      {OutputType::TwoSlideHandouts, {SheetKind::Handouts, 2}},
      {OutputType::ThreeSlideHandouts, {SheetKind::Handouts, 3}},
      {OutputType::FourSlideHandouts, {SheetKind::Handouts, 4}},
      {OutputType::SixSlideHandouts, {SheetKind::Handouts, 6}},
      {OutputType::NineSlideHandouts, {SheetKind::Handouts, 9}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LayoutForOutputType(c.outputType), c.layout) << "output type " << static_cast<int>(c.outputType);
  }
  for (int32_t unknown : {0, 7, 11, -1}) {
    EXPECT_FALSE(LayoutForOutputType(static_cast<OutputType>(unknown)))
        << "output type " << unknown << " was accepted";
  }
}

TEST(SheetLayoutTest, RangesInsideThePresentationResolveOthersFail) {
  EXPECT_EQ(ResolveRange(-1, -1, 16), (SlideRange{1, 16}));
  EXPECT_EQ(ResolveRange(1, 16, 16), (SlideRange{1, 16}));
  EXPECT_EQ(ResolveRange(3, 5, 16), (SlideRange{3, 5}));
  EXPECT_EQ(ResolveRange(7, 7, 16), (SlideRange{7, 7}));
  const struct {
    int32_t from;
    int32_t to;
    int slides;
  } refused[] = {{0, 2, 16}, {2, 1, 16}, {1, 17, 16}, {-1, 3, 16}, {3, -1, 16}, {17, 17, 16}, {-1, -1, 0}};
  for (const auto& r : refused) {
    try {
      ResolveRange(r.from, r.to, r.slides);
      ADD_FAILURE() << r.from << ".." << r.to << " of " << r.slides << " was accepted";
    } catch (const RuntimeFailure& failure) {
      EXPECT_EQ(failure.number(), ErrorNumber::AutomationFailed);
      EXPECT_FALSE(failure.description().empty());
    }
  }
}

TEST(SheetLayoutTest, SlidesAreGroupedInOrderPerSheet) {
  const std::vector<int> slides{2, 3, 5, 6, 7, 8, 9};
  const auto groups = GroupSlides(slides, 3);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0], (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(groups[1], (std::vector<int>{6, 7, 8}));
  EXPECT_EQ(groups[2], (std::vector<int>{9}));
  EXPECT_EQ(GroupSlides(slides, 9).size(), 1u);
}

TEST(SheetLayoutTest, PaperAndSlidesTurnToTheAskedOrientation) {
  EXPECT_EQ(Oriented(kA4Portrait, true), kA4Landscape);
  EXPECT_EQ(Oriented(kA4Landscape, true), kA4Landscape);
  EXPECT_EQ(Oriented(kA4Landscape, false), kA4Portrait);
  EXPECT_EQ(Oriented(kA4Portrait, false), kA4Portrait);
  // A square slide counts as landscape and stays as it is either way.
  const Size square{19050, 19050};
  EXPECT_TRUE(IsLandscape(square));
  EXPECT_TRUE(IsLandscape(kA4Landscape));
  EXPECT_FALSE(IsLandscape(kA4Portrait));
  EXPECT_EQ(Oriented(square, false), square);
  EXPECT_EQ(Oriented(square, true), square);
}

TEST(SheetLayoutTest, FittingKeepsAspectAndCentres) {
  const Rect sheet{0, 0, kA4Landscape.width, kA4Landscape.height};
  const Rect fitted = FitCentred(sheet, kScreenSlide);
  EXPECT_TRUE(Inside(fitted, sheet));
  EXPECT_EQ(fitted.height, sheet.height);  // a 4:3 slide on A4 landscape is limited by the height
  EXPECT_NEAR(Aspect(fitted), Aspect(kScreenSlide), 0.001);
  EXPECT_NEAR(fitted.x, sheet.right() - fitted.right(), 1);

  // Larger than the paper at its own size: centred, overhanging on every side.
  const Size banner{40000, 25000};
  const Rect own = Centred(sheet, banner);
  EXPECT_EQ(own.width, banner.width);
  EXPECT_LT(own.x, 0);
  EXPECT_LT(own.y, 0);
  EXPECT_NEAR(-own.x, own.right() - sheet.right(), 1);
}

TEST(SheetLayoutTest, HandoutSlotsFollowTheGridInReadingOrder) {
  const struct {
    int perSheet;
    int columns;
    int rows;
  } grids[] = {{1, 1, 1}, {2, 1, 2}, {3, 1, 3}, {4, 2, 2}, {6, 2, 3}, {9, 3, 3}};
  const Rect area = ContentArea(kA4Portrait);
  for (const auto& grid : grids) {
    SCOPED_TRACE(std::to_string(grid.perSheet) + " a sheet");
    const auto slots = HandoutLayout(kA4Portrait, grid.perSheet, kScreenSlide);
    ASSERT_EQ(static_cast<int>(slots.size()), grid.perSheet);
    for (size_t i = 0; i < slots.size(); ++i) {
      EXPECT_TRUE(Inside(slots[i].slide, area));
      EXPECT_NEAR(Aspect(slots[i].slide), Aspect(kScreenSlide), 0.01);
      EXPECT_EQ(slots[i].rules.empty(), grid.perSheet != 3);
      for (size_t j = i + 1; j < slots.size(); ++j) EXPECT_FALSE(Overlap(slots[i].slide, slots[j].slide));
      if (i > 0) {
        const bool sameRow = static_cast<int>(i) % grid.columns != 0;
        if (sameRow) {
          EXPECT_GT(slots[i].slide.x, slots[i - 1].slide.x);
          EXPECT_EQ(slots[i].slide.y, slots[i - 1].slide.y);
        } else {
          EXPECT_GT(slots[i].slide.y, slots[i - 1].slide.bottom());
        }
      }
    }
  }
}

TEST(SheetLayoutTest, ThreeSlideRulesRunBesideEachSlide) {
  const Rect area = ContentArea(kA4Portrait);
  for (const auto& slot : HandoutLayout(kA4Portrait, 3, kScreenSlide)) {
    EXPECT_LE(slot.slide.right(), area.x + area.width / 2);
    ASSERT_GE(slot.rules.size(), 4u);
    for (const Line& rule : slot.rules) {
      EXPECT_EQ(rule.y1, rule.y2);
      EXPECT_GT(rule.x1, slot.slide.right());
      EXPECT_LE(rule.x2, area.right());
      EXPECT_GT(rule.y1, slot.slide.y);
      EXPECT_LE(rule.y1, slot.slide.bottom());
    }
  }
}

// A portrait notes page turned to landscape: the picture keeps the slide's
// proportions and takes more than half the page's width, the notes box the
// rest of the row, neither overlapping nor leaving the page or its margins.
TEST(SheetLayoutTest, LandscapeNotesPagesGiveThePictureMoreThanHalfTheWidth) {
  const Size notesPage{18450, 27160};  // a real deck's portrait notes page
  const struct {
    const char* name;
    Rect picture, notes;
    Size slide;
  } cases[] = {
      {"picture above notes, 4:3 slides", {2328, 2349, 13794, 9561}, {2460, 12903, 13529, 12224}, kScreenSlide},
      {"16:9 slides", {2328, 2349, 13794, 7759}, {2460, 12903, 13529, 12224}, {33867, 19050}},
      {"portrait slides", {4000, 2000, 10450, 13000}, {2000, 16000, 14450, 9000}, {19050, 25400}},
      {"no notes box", {2328, 2349, 13794, 9561}, {}, kScreenSlide},
      {"neither: a tenth of the page as margin", {}, {}, kScreenSlide},
      {"shapes past the page's edge", {-500, -500, 19450, 14000}, {0, 14000, 18450, 14000}, kScreenSlide},
      {"a picture of no size above a low notes box", {0, 1930, 0, 0}, {1905, 12065, 15239, 11429}, kScreenSlide},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const NotesPageLayout layout = LandscapeNotesLayout(notesPage, test.picture, test.notes, test.slide);
    EXPECT_EQ(layout.page, (Size{27160, 18450}));
    const Rect page{0, 0, layout.page.width, layout.page.height};
    EXPECT_TRUE(Inside(layout.picture, page));
    EXPECT_TRUE(Inside(layout.notes, page));
    EXPECT_FALSE(Overlap(layout.picture, layout.notes));
    EXPECT_NEAR(Aspect(layout.picture), Aspect(test.slide), 0.01);
    EXPECT_EQ(layout.picture.y, layout.notes.y);
    EXPECT_LT(layout.picture.right(), layout.notes.x);
    if (IsLandscape(test.slide)) {
      EXPECT_GT(layout.picture.width, page.width / 2);
    }
    EXPECT_GT(layout.notes.width, page.width / 4);
    EXPECT_GT(layout.notes.height, page.height / 2);
  }
  // The portrait page's left margin, scaled as the page turns, is the margin on every side.
  const NotesPageLayout real = LandscapeNotesLayout(notesPage, cases[0].picture, cases[0].notes, kScreenSlide);
  const int32_t margin = std::min(2328, 18450 / 8) * 18450 / 27160;  // at most an eighth of the page
  EXPECT_NEAR(real.picture.x, margin, 2);
  EXPECT_NEAR(real.notes.right(), 27160 - margin, 2);
  EXPECT_NEAR(real.picture.y, margin, 2);
  EXPECT_NEAR(real.notes.bottom(), 18450 - margin, 2);
}

TEST(SheetLayoutTest, OtherNotesShapesKeepTheirPlaceAndProportions) {
  const Size notesPage{18450, 27160};
  const double turn = 18450.0 / 27160;
  const struct {
    const char* name;
    Rect shape;
    Rect expected;
  } cases[] = {
      {"a frame over the whole page", {0, 0, 18450, 27160}, {0, 0, 27160, 18450}},
      {"a background past the edges", {-10, -10, 18500, 27200}, {0, 0, 27160, 18450}},
      {"a page number in the bottom right corner",
       {14000, 25800, 4000, 1000},
       {static_cast<int32_t>(std::lround(16000.0 / 18450 * 27160)) -
            static_cast<int32_t>(std::lround(4000 * turn)) / 2,
        static_cast<int32_t>(std::lround(26300.0 / 27160 * 18450)) -
            static_cast<int32_t>(std::lround(1000 * turn)) / 2,
        static_cast<int32_t>(std::lround(4000 * turn)), static_cast<int32_t>(std::lround(1000 * turn))}},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(TurnedShape(notesPage, test.shape), test.expected);
  }
}

}  // namespace
}  // namespace pelvantz::layout
