#include "platform/libreoffice/SlideGeometry.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <string>
#include <utility>

#include "platform/RuntimeFailure.h"
#include "platform/libreoffice/UnoHelpers.h"

namespace pelvantz::office {
namespace {

using css::uno::Reference;
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

// Setting Width/Height on a page would resize the pages but leave the content
// as it was; the page-size command of the document's view scales it too.
void ResizeSlides(const Reference<css::uno::XComponentContext>& context,
                  const Reference<css::lang::XComponent>& document, SlideSize size) {
  Reference<css::frame::XModel> model(document, UNO_QUERY_THROW);
  Reference<css::frame::XDispatchProvider> frame(model->getCurrentController()->getFrame(), UNO_QUERY_THROW);
  css::frame::DispatchHelper::create(context)->executeDispatch(
      frame, ".uno:PageSize", "", 0,
      Properties({Property("PageWidth", css::uno::Any(size.width)),
                  Property("PageHeight", css::uno::Any(size.height)),
                  Property("ScaleObjects", css::uno::Any(true))}));
  const SlideSize applied = CurrentSlideSize(document);
  if (!(applied == size))
    throw RuntimeFailure(ErrorNumber::AutomationFailed, "The slide size " + std::to_string(size.width) +
                                                            " x " + std::to_string(size.height) +
                                                            " could not be applied.");
}

}  // namespace pelvantz::office
