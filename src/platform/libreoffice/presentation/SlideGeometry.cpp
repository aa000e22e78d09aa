#include "platform/libreoffice/presentation/SlideGeometry.h"

#include <algorithm>
#include <cmath>
#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <string>

#include "base/RuntimeFailure.h"
#include "platform/libreoffice/session/UnoHelpers.h"

namespace pelvantz::office {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

struct ClassicSize {
  SlideSize slideSize;
  Size size;
};

// The sizes the page setup has always offered, in 1/100 mm, landscape.
constexpr ClassicSize ClassicSizes[] = {
    {SlideSize::OnScreen, {25400, 19050}},  // 10 x 7.5 in
    {SlideSize::LetterPaper, {25400, 19050}}, {SlideSize::A4Paper, {27517, 19050}},
    {SlideSize::Slides35Mm, {28575, 19050}},  {SlideSize::Banner, {20320, 2540}},  // 8 x 1 in
    {SlideSize::Ledger, {33831, 25374}},      {SlideSize::A3Paper, {35560, 26670}},
};

Reference<css::beans::XPropertySet> FirstSlide(const Reference<css::lang::XComponent>& document) {
  Reference<css::drawing::XDrawPagesSupplier> supplier(document, UNO_QUERY_THROW);
  return Reference<css::beans::XPropertySet>(supplier->getDrawPages()->getByIndex(0), UNO_QUERY_THROW);
}

}  // namespace

std::optional<Size> ClassicSlideSize(SlideSize slideSize) {
  for (const auto& classic : ClassicSizes)
    if (classic.slideSize == slideSize) return classic.size;
  return std::nullopt;
}

DeckSize MeasureDeck(const Reference<css::lang::XComponent>& document) {
  DeckSize deck;
  for (const Reference<css::container::XIndexAccess>& pages :
       {Reference<css::container::XIndexAccess>(
            Reference<css::drawing::XDrawPagesSupplier>(document, UNO_QUERY_THROW)->getDrawPages(),
            UNO_QUERY_THROW),
        Reference<css::container::XIndexAccess>(
            Reference<css::drawing::XMasterPagesSupplier>(document, UNO_QUERY_THROW)->getMasterPages(),
            UNO_QUERY_THROW)}) {
    deck.pages += pages->getCount();
    for (sal_Int32 page = 0; page < pages->getCount(); ++page)
      deck.shapes += Reference<css::drawing::XShapes>(pages->getByIndex(page), UNO_QUERY_THROW)->getCount();
  }
  return deck;
}

Size CurrentSlideSize(const Reference<css::lang::XComponent>& document) {
  const auto slide = FirstSlide(document);
  Size size;
  slide->getPropertyValue("Width") >>= size.width;
  slide->getPropertyValue("Height") >>= size.height;
  return size;
}

namespace {

// The view's page-size command resizes every slide and master at once; told
// not to scale the objects, it leaves every shape and its text as it is.
void ResizePages(const Reference<css::uno::XComponentContext>& context,
                 const Reference<css::lang::XComponent>& document, Size size) {
  Reference<css::frame::XModel> model(document, UNO_QUERY_THROW);
  Reference<css::frame::XDispatchProvider> frame(model->getCurrentController()->getFrame(), UNO_QUERY_THROW);
  css::frame::DispatchHelper::create(context)->executeDispatch(
      frame, ".uno:PageSize", "", 0,
      Properties({Property("PageWidth", css::uno::Any(size.width)),
                  Property("PageHeight", css::uno::Any(size.height)),
                  Property("ScaleObjects", css::uno::Any(false))}));
}

void MoveShapes(const Reference<css::drawing::XDrawPages>& pages, css::awt::Point offset) {
  for (sal_Int32 page = 0; page < pages->getCount(); ++page) {
    Reference<css::drawing::XShapes> shapes(pages->getByIndex(page), UNO_QUERY_THROW);
    for (sal_Int32 index = 0; index < shapes->getCount(); ++index) {
      Reference<css::drawing::XShape> shape(shapes->getByIndex(index), UNO_QUERY_THROW);
      const css::awt::Point position = shape->getPosition();
      shape->setPosition(css::awt::Point(position.X + offset.X, position.Y + offset.Y));
    }
  }
}

// Sizes of the same shape differ only by rounding to 1/100 mm.
bool SameAspect(Size a, Size b) {
  const double crossA = static_cast<double>(a.width) * b.height;
  const double crossB = static_cast<double>(b.width) * a.height;
  return std::abs(crossA - crossB) <= 0.001 * std::max(crossA, crossB);
}

}  // namespace

double EvenFactor(Size from, Size to) {
  return std::min(static_cast<double>(to.width) / from.width, static_cast<double>(to.height) / from.height);
}

Size PageForSlideSize(Size current, Size wanted) {
  if (SameAspect(current, wanted)) return current;
  const double factor = EvenFactor(current, wanted);
  return {static_cast<int32_t>(std::lround(wanted.width / factor)),
          static_cast<int32_t>(std::lround(wanted.height / factor))};
}

void ResizeSlides(const Reference<css::uno::XComponentContext>& context,
                  const Reference<css::lang::XComponent>& document, Size wanted) {
  const Size current = CurrentSlideSize(document);
  const Size page = PageForSlideSize(current, wanted);
  if (page == current) return;
  ResizePages(context, document, page);
  const Size applied = CurrentSlideSize(document);
  if (!(applied == page))
    throw RuntimeFailure(ErrorNumber::AutomationFailed, "The slide size " + std::to_string(wanted.width) + " x " +
                                                            std::to_string(wanted.height) +
                                                            " could not be applied.");
  const css::awt::Point offset((page.width - current.width) / 2, (page.height - current.height) / 2);
  // Each move would otherwise refresh the views at once: ten times the cost.
  const ControllersLocked locked(document);
  MoveShapes(Reference<css::drawing::XDrawPagesSupplier>(document, UNO_QUERY_THROW)->getDrawPages(), offset);
  MoveShapes(Reference<css::drawing::XMasterPagesSupplier>(document, UNO_QUERY_THROW)->getMasterPages(), offset);
}

}  // namespace pelvantz::office
