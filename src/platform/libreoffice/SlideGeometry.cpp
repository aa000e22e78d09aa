#include "platform/libreoffice/SlideGeometry.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertySetInfo.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexReplace.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/style/LineSpacing.hpp>
#include <com/sun/star/style/LineSpacingMode.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/RuntimeFailure.h"
#include "platform/libreoffice/UnoHelpers.h"

namespace pelvantz::office {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

struct ClassicSize {
  int32_t constant;
  SlideSize size;
};

// The sizes the page setup has always offered, in 1/100 mm, landscape.
constexpr ClassicSize ClassicSizes[] = {
    {1, {25400, 19050}},  // on-screen show, 10 x 7.5 in
    {2, {25400, 19050}},  // letter paper
    {3, {27517, 19050}},  // A4 paper
    {4, {28575, 19050}},  // 35 mm slides
    {6, {20320, 2540}},   // banner, 8 x 1 in
    {8, {33831, 25374}},  // ledger paper
    {9, {35560, 26670}},  // A3 paper
};

Reference<css::beans::XPropertySet> FirstSlide(const Reference<css::lang::XComponent>& document) {
  Reference<css::drawing::XDrawPagesSupplier> supplier(document, UNO_QUERY_THROW);
  return Reference<css::beans::XPropertySet>(supplier->getDrawPages()->getByIndex(0), UNO_QUERY_THROW);
}

}  // namespace

std::optional<SlideSize> ClassicSlideSize(int32_t slideSizeConstant) {
  for (const auto& classic : ClassicSizes)
    if (classic.constant == slideSizeConstant) return classic.size;
  return std::nullopt;
}

int32_t OrientationOf(SlideSize size) {
  return size.width >= size.height ? OrientationLandscape : OrientationPortrait;
}

SlideSize Oriented(SlideSize size, int32_t orientation) {
  if (OrientationOf(size) != orientation) std::swap(size.width, size.height);
  return size;
}

SlideSize CurrentSlideSize(const Reference<css::lang::XComponent>& document) {
  const auto slide = FirstSlide(document);
  SlideSize size;
  slide->getPropertyValue("Width") >>= size.width;
  slide->getPropertyValue("Height") >>= size.height;
  return size;
}

namespace {

// The view's page-size command resizes every slide and master at once. Told to
// scale the objects, it would stretch them by width and height apart and scale
// most fonts by the height alone; so it only resizes, and the content is
// scaled here.
void ResizePages(const Reference<css::uno::XComponentContext>& context,
                 const Reference<css::lang::XComponent>& document, SlideSize size) {
  Reference<css::frame::XModel> model(document, UNO_QUERY_THROW);
  Reference<css::frame::XDispatchProvider> frame(model->getCurrentController()->getFrame(), UNO_QUERY_THROW);
  css::frame::DispatchHelper::create(context)->executeDispatch(
      frame, ".uno:PageSize", "", 0,
      Properties({Property("PageWidth", css::uno::Any(size.width)),
                  Property("PageHeight", css::uno::Any(size.height)),
                  Property("ScaleObjects", css::uno::Any(false))}));
}

struct Scaling {
  double factor = 1;
  css::awt::Point offset;

  int32_t scaled(int32_t value) const { return static_cast<int32_t>(std::lround(value * factor)); }
};

// Every property call crosses the pipe to the office, and a deck has hundreds
// of shapes and paragraphs: their properties are read together in one call,
// and only those that change are written. They are written one by one: the
// office lays a text out differently when its paragraph settings come at once.
// The names are sorted, as the multiple-property read requires.
using Names = std::initializer_list<const char*>;

// Values in the order of the names; void for a property the object lacks.
std::vector<css::uno::Any> ValuesOf(const Reference<css::beans::XPropertySet>& object, Names names) {
  css::uno::Sequence<OUString> wanted(static_cast<sal_Int32>(names.size()));
  std::transform(names.begin(), names.end(), wanted.getArray(), OUString::createFromAscii);
  if (Reference<css::beans::XMultiPropertySet> multiple{object, UNO_QUERY}; multiple.is()) {
    try {
      const auto values = multiple->getPropertyValues(wanted);
      if (values.getLength() == wanted.getLength()) return {values.begin(), values.end()};
    } catch (const css::uno::Exception&) {
      // An object may refuse the whole read over one name it lacks: asked one by one below.
    }
  }
  const auto info = object->getPropertySetInfo();
  std::vector<css::uno::Any> values;
  for (const OUString& name : wanted)
    values.push_back(info->hasPropertyByName(name) ? object->getPropertyValue(name) : css::uno::Any());
  return values;
}

// A length that stays the same (zero, mostly) is left alone.
void ScaleLength(const Reference<css::beans::XPropertySet>& object, const char* name, const css::uno::Any& value,
                 double factor) {
  sal_Int32 length = 0;
  if (!(value >>= length)) return;
  const auto scaled = static_cast<sal_Int32>(std::lround(length * factor));
  if (scaled != length) object->setPropertyValue(OUString::createFromAscii(name), css::uno::Any(scaled));
}

bool ScaleBulletIndentsOf(css::uno::Sequence<css::beans::PropertyValue>& settings, double factor) {
  bool changed = false;
  for (auto& setting : std::span(settings.getArray(), static_cast<size_t>(settings.getLength()))) {
    sal_Int32 length = 0;
    if ((setting.Name != "LeftMargin" && setting.Name != "FirstLineOffset") || !(setting.Value >>= length)) continue;
    const auto scaled = static_cast<sal_Int32>(std::lround(length * factor));
    changed = changed || scaled != length;
    setting.Value <<= scaled;
  }
  return changed;
}

// A paragraph draws its bullet by the rules of its own outline level only, so
// only that level is scaled; a paragraph without a level has no bullet to
// move. Where the level is unknown every level is scaled.
void ScaleBulletIndents(const Reference<css::beans::XPropertySet>& paragraph, const css::uno::Any& numberingRules,
                        const css::uno::Any& numberingLevel, double factor) {
  Reference<css::container::XIndexReplace> rules(numberingRules, UNO_QUERY);
  if (!rules.is()) return;
  sal_Int32 first = 0;
  sal_Int32 last = rules->getCount() - 1;
  if (sal_Int16 level = 0; numberingLevel >>= level) {
    if (level < 0) return;
    first = level;
    last = std::min<sal_Int32>(level, last);
  }
  bool changed = false;
  for (sal_Int32 level = first; level <= last; ++level) {
    css::uno::Sequence<css::beans::PropertyValue> settings;
    if (!(rules->getByIndex(level) >>= settings) || !ScaleBulletIndentsOf(settings, factor)) continue;
    rules->replaceByIndex(level, css::uno::Any(settings));
    changed = true;
  }
  if (changed) paragraph->setPropertyValue("NumberingRules", css::uno::Any(rules));
}

// Only a line spacing given as a length, not as a share of the line, follows the text.
void ScaleLineSpacing(const Reference<css::beans::XPropertySet>& paragraph, const css::uno::Any& value,
                      double factor) {
  css::style::LineSpacing spacing;
  if (!(value >>= spacing) || spacing.Mode == css::style::LineSpacingMode::PROP) return;
  const auto scaled = static_cast<sal_Int16>(std::lround(spacing.Height * factor));
  if (scaled == spacing.Height) return;
  spacing.Height = scaled;
  paragraph->setPropertyValue("ParaLineSpacing", css::uno::Any(spacing));
}

// Indents and spacing are lengths: left as they were, bullets would crowd the
// enlarged text (or drift from the reduced text) and lines overlap.
void ScaleParagraphLayout(const Reference<css::beans::XPropertySet>& paragraph, double factor) {
  enum { Level, Rules, Bottom, FirstLine, Left, Spacing, Right, Top };
  const auto values = ValuesOf(paragraph, {"NumberingLevel", "NumberingRules", "ParaBottomMargin",
                                           "ParaFirstLineIndent", "ParaLeftMargin", "ParaLineSpacing",
                                           "ParaRightMargin", "ParaTopMargin"});
  ScaleLength(paragraph, "ParaLeftMargin", values[Left], factor);
  ScaleLength(paragraph, "ParaRightMargin", values[Right], factor);
  ScaleLength(paragraph, "ParaFirstLineIndent", values[FirstLine], factor);
  ScaleLength(paragraph, "ParaTopMargin", values[Top], factor);
  ScaleLength(paragraph, "ParaBottomMargin", values[Bottom], factor);
  ScaleLineSpacing(paragraph, values[Spacing], factor);
  ScaleBulletIndents(paragraph, values[Rules], values[Level], factor);
}

// Every text portion keeps its own size relative to the others.
void ScaleText(const Reference<css::uno::XInterface>& shape, double factor) {
  Reference<css::container::XEnumerationAccess> text(shape, UNO_QUERY);
  if (!text.is()) return;
  const auto paragraphs = text->createEnumeration();
  while (paragraphs->hasMoreElements()) {
    Reference<css::container::XEnumerationAccess> paragraph(paragraphs->nextElement(), UNO_QUERY);
    if (!paragraph.is()) continue;
    if (Reference<css::beans::XPropertySet> layout{paragraph, UNO_QUERY}; layout.is())
      ScaleParagraphLayout(layout, factor);
    const auto portions = paragraph->createEnumeration();
    while (portions->hasMoreElements()) {
      Reference<css::beans::XPropertySet> portion(portions->nextElement(), UNO_QUERY);
      float height = 0;
      if (portion.is() && (portion->getPropertyValue("CharHeight") >>= height))
        portion->setPropertyValue("CharHeight", css::uno::Any(static_cast<float>(height * factor)));
    }
  }
}

// A table keeps its text in its cells, and its rows grow to fit that text:
// unscaled cell text would distort the table. False for a shape that is no table.
bool ScaleTableText(const css::uno::Any& model, double factor) {
  Reference<css::table::XColumnRowRange> table(model, UNO_QUERY);
  Reference<css::table::XCellRange> cells(table, UNO_QUERY);
  if (!table.is() || !cells.is()) return false;
  const sal_Int32 columns = table->getColumns()->getCount();
  const sal_Int32 rows = table->getRows()->getCount();
  for (sal_Int32 row = 0; row < rows; ++row)
    for (sal_Int32 column = 0; column < columns; ++column)
      ScaleText(cells->getCellByPosition(column, row), factor);
  return true;
}

// A group's children are resized with the group; their text is scaled one by
// one. The margins between a box and its text belong to the box's size: a box
// that fits itself to its text would otherwise keep margins of the old scale.
void ScaleTextOf(const Reference<css::drawing::XShape>& shape, double factor) {
  Reference<css::beans::XPropertySet> properties(shape, UNO_QUERY_THROW);
  enum { EmptyPlaceholder, TableModel, LeftDistance, LowerDistance, RightDistance, UpperDistance };
  const auto values = ValuesOf(properties, {"IsEmptyPresentationObject", "Model", "TextLeftDistance",
                                            "TextLowerDistance", "TextRightDistance", "TextUpperDistance"});
  if (bool empty = false; (values[EmptyPlaceholder] >>= empty) && empty) return;
  if (ScaleTableText(values[TableModel], factor)) return;
  if (Reference<css::drawing::XShapes> group{shape, UNO_QUERY}; group.is()) {
    for (sal_Int32 index = 0; index < group->getCount(); ++index)
      ScaleTextOf(Reference<css::drawing::XShape>(group->getByIndex(index), UNO_QUERY_THROW), factor);
    return;
  }
  ScaleLength(properties, "TextLeftDistance", values[LeftDistance], factor);
  ScaleLength(properties, "TextRightDistance", values[RightDistance], factor);
  ScaleLength(properties, "TextUpperDistance", values[UpperDistance], factor);
  ScaleLength(properties, "TextLowerDistance", values[LowerDistance], factor);
  ScaleText(shape, factor);
}

// A box that fits itself to its text (a footer or slide number as wide as its
// unwrapped text, a box as high as its text) keeps the size of its text
// whatever size it is given, and settles around its centre whenever the text
// changes. So the text is scaled first, and the box is placed by the centre it
// should have, not by a corner that no longer fits. Text at its own scale
// (a slide only moved on a wider page) is left as it is.
void ScaleShape(const Reference<css::drawing::XShape>& shape, const Scaling& scaling) {
  const css::awt::Point position = shape->getPosition();
  const css::awt::Size size = shape->getSize();
  if (scaling.factor != 1) ScaleTextOf(shape, scaling.factor);
  const css::awt::Size wanted(scaling.scaled(size.Width), scaling.scaled(size.Height));
  shape->setSize(wanted);
  const css::awt::Size settled = shape->getSize();
  shape->setPosition(
      css::awt::Point(scaling.scaled(position.X) + scaling.offset.X + (wanted.Width - settled.Width) / 2,
                      scaling.scaled(position.Y) + scaling.offset.Y + (wanted.Height - settled.Height) / 2));
}

void ScalePages(const Reference<css::drawing::XDrawPages>& pages, const Scaling& scaling) {
  for (sal_Int32 page = 0; page < pages->getCount(); ++page) {
    Reference<css::drawing::XShapes> shapes(pages->getByIndex(page), UNO_QUERY_THROW);
    for (sal_Int32 index = 0; index < shapes->getCount(); ++index)
      ScaleShape(Reference<css::drawing::XShape>(shapes->getByIndex(index), UNO_QUERY_THROW), scaling);
  }
}

// Evenly, to the largest size that fits the new slide, centred on it: nothing
// is distorted or pushed off the slide.
Scaling FitInto(SlideSize from, SlideSize to) {
  Scaling scaling;
  scaling.factor =
      std::min(static_cast<double>(to.width) / from.width, static_cast<double>(to.height) / from.height);
  scaling.offset = css::awt::Point((to.width - scaling.scaled(from.width)) / 2,
                                   (to.height - scaling.scaled(from.height)) / 2);
  return scaling;
}

}  // namespace

void ResizeSlides(const Reference<css::uno::XComponentContext>& context,
                  const Reference<css::lang::XComponent>& document, SlideSize size) {
  const Scaling scaling = FitInto(CurrentSlideSize(document), size);
  ResizePages(context, document, size);
  const SlideSize applied = CurrentSlideSize(document);
  if (!(applied == size))
    throw RuntimeFailure(ErrorNumber::AutomationFailed, "The slide size " + std::to_string(size.width) +
                                                            " x " + std::to_string(size.height) +
                                                            " could not be applied.");
  ScalePages(Reference<css::drawing::XDrawPagesSupplier>(document, UNO_QUERY_THROW)->getDrawPages(), scaling);
  ScalePages(Reference<css::drawing::XMasterPagesSupplier>(document, UNO_QUERY_THROW)->getMasterPages(),
             scaling);
}

}  // namespace pelvantz::office
