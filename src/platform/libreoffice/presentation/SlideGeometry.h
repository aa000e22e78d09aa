#pragma once
// Slide sizes and orientation as the presentation's page setup knows them.
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cstdint>
#include <optional>

#include "platform/PresentationApp.h"
#include "platform/libreoffice/session/WorkLimits.h"

namespace pelvantz::office {

struct SlideSize {
  int32_t width = 0;  // 1/100 mm
  int32_t height = 0;
  bool operator==(const SlideSize&) const = default;
};

// The classic size of a SlideSizeType constant, landscape; nothing for an unknown one.
std::optional<SlideSize> ClassicSlideSize(int32_t slideSizeConstant);

// The size turned to the orientation (an Orientation constant): landscape has width >= height.
SlideSize Oriented(SlideSize size, int32_t orientation);

// The orientation a size has.
int32_t OrientationOf(SlideSize size);

// The slides and masters and the shapes on them, for the office's time limits.
DeckSize MeasureDeck(const css::uno::Reference<css::lang::XComponent>& document);

SlideSize CurrentSlideSize(const css::uno::Reference<css::lang::XComponent>& document);

// The factor that scales a slide of one size evenly to the largest it can be
// inside the other.
double EvenFactor(SlideSize from, SlideSize to);

// The page a slide of the current size gets so that, scaled by the even factor,
// it has the wanted size: the current page when the aspect is kept (the whole
// slide scales where it is placed on paper), else the wanted size divided by the
// factor, one side as today, the other longer.
SlideSize PageForSlideSize(SlideSize current, SlideSize wanted);

// Gives every slide and master that page, centring the content on it without
// touching any text; nothing changes when the aspect is kept. Throws
// RuntimeFailure when the office did not apply the size.
void ResizeSlides(const css::uno::Reference<css::uno::XComponentContext>& context,
                  const css::uno::Reference<css::lang::XComponent>& document, SlideSize wanted);

}  // namespace pelvantz::office
