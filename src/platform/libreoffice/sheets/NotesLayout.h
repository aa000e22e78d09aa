#pragma once
// Notes pages printed in landscape are laid out in landscape by the office:
// the deck's portrait notes master and its notes pages are turned, and the
// slide picture and the notes box placed to fill the landscape page, so that
// the office sets the notes text in its new box.
#include <com/sun/star/lang/XComponent.hpp>

#include "layout/SheetLayout.h"

namespace pelvantz::office {

// Turns the notes pages of the slides in the range, and every notes master,
// to landscape; notes pages that are landscape already stay as they are.
// `slide` is the slide's size, which the picture keeps the proportions of.
void TurnNotesPagesToLandscape(const css::uno::Reference<css::lang::XComponent>& presentation,
                               const layout::SlideRange& slides, layout::Size slide);

}  // namespace pelvantz::office
