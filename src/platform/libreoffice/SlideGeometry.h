#pragma once
// Slide sizes and orientation as the presentation's page setup knows them.
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cstdint>
#include <optional>

namespace pelvantz::office {

struct SlideSize {
  int32_t width = 0;  // 1/100 mm
  int32_t height = 0;
  bool operator==(const SlideSize&) const = default;
};

constexpr int32_t OrientationLandscape = 1;
constexpr int32_t OrientationPortrait = 2;

// The classic size of a ppSlideSize* constant, landscape; nothing for an unknown one.
std::optional<SlideSize> ClassicSlideSize(int32_t slideSizeConstant);

// The size turned to the orientation: landscape has width >= height.
SlideSize Oriented(SlideSize size, int32_t orientation);

// The orientation a size has.
int32_t OrientationOf(SlideSize size);

SlideSize CurrentSlideSize(const css::uno::Reference<css::lang::XComponent>& document);

// Resizes every slide and master; their content is scaled evenly to fit and centred. Throws
// RuntimeFailure when the office did not apply the size.
void ResizeSlides(const css::uno::Reference<css::uno::XComponentContext>& context,
                  const css::uno::Reference<css::lang::XComponent>& document, SlideSize size);

}  // namespace pelvantz::office
