#pragma once
// Slide sizes as the presentation's page setup knows them, in 1/100 mm.
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cstdint>
#include <optional>

#include "base/PrintChoices.h"
#include "layout/SheetLayout.h"
#include "platform/libreoffice/session/WorkLimits.h"

namespace pelvantz::office {

using layout::Size;

// The classic size of a slide size, landscape; nothing for a value outside its list.
std::optional<Size> ClassicSlideSize(SlideSize slideSize);

// The slides and masters and the shapes on them, for the office's time limits.
DeckSize MeasureDeck(const css::uno::Reference<css::lang::XComponent>& document);

Size CurrentSlideSize(const css::uno::Reference<css::lang::XComponent>& document);

// The factor that scales a slide of one size evenly to the largest it can be
// inside the other.
double EvenFactor(Size from, Size to);

// The page a slide of the current size gets so that, scaled by the even factor,
// it has the wanted size: the current page when the aspect is kept (the whole
// slide scales where it is placed on paper), else the wanted size divided by the
// factor, one side as today, the other longer.
Size PageForSlideSize(Size current, Size wanted);

// Gives every slide and master that page, centring the content on it without
// touching any text; nothing changes when the aspect is kept. Throws
// RuntimeFailure when the office did not apply the size.
void ResizeSlides(const css::uno::Reference<css::uno::XComponentContext>& context,
                  const css::uno::Reference<css::lang::XComponent>& document, Size wanted);

}  // namespace pelvantz::office
