#include "platform/libreoffice/sheets/NotesLayout.h"

#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPageTarget.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/presentation/XPresentationPage.hpp>
#include <vector>

#include "platform/libreoffice/session/UnoHelpers.h"
#include "platform/libreoffice/sheets/SlideSource.h"

namespace pelvantz::office {

namespace {

using css::drawing::XDrawPage;
using css::drawing::XShape;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using layout::NotesPageLayout;
using layout::Rect;
using layout::Size;

Reference<XDrawPage> NotesPageOf(const Reference<XDrawPage>& page) {
  return Reference<css::presentation::XPresentationPage>(page, UNO_QUERY_THROW)->getNotesPage();
}

Size PageSize(const Reference<XDrawPage>& page) {
  return {PropertyOf<sal_Int32>(page, "Width"), PropertyOf<sal_Int32>(page, "Height")};
}

Rect RectOf(const Reference<XShape>& shape) {
  const auto position = shape->getPosition();
  const auto size = shape->getSize();
  return {position.X, position.Y, size.Width, size.Height};
}

void Place(const Reference<XShape>& shape, const Rect& where) {
  shape->setPosition({where.x, where.y});
  shape->setSize({where.width, where.height});
}

enum class Role { Picture, Notes, Other };

Role RoleOf(const Reference<XShape>& shape) {
  const OUString type = ShapeTypeOf(shape);
  if (type == "com.sun.star.presentation.PageShape") return Role::Picture;
  if (type == "com.sun.star.presentation.NotesShape") return Role::Notes;
  return Role::Other;
}

template <typename Visit>
void ForEachShape(const Reference<XDrawPage>& page, Visit visit) {
  for (sal_Int32 i = 0; i < page->getCount(); ++i) visit(Reference<XShape>(page->getByIndex(i), UNO_QUERY_THROW));
}

// The landscape layout a notes master gives its pages, from where its own
// picture and notes box stand on the portrait page.
NotesPageLayout LayoutOf(const Reference<XDrawPage>& notesMaster, Size portrait, Size slide) {
  Rect picture, notes;
  ForEachShape(notesMaster, [&](const Reference<XShape>& shape) {
    const Role role = RoleOf(shape);
    if (role == Role::Picture) picture = RectOf(shape);
    if (role == Role::Notes) notes = RectOf(shape);
  });
  return LandscapeNotesLayout(portrait, picture, notes, slide);
}

void Arrange(const Reference<XDrawPage>& page, const NotesPageLayout& layout, Size portrait) {
  ForEachShape(page, [&](const Reference<XShape>& shape) {
    switch (RoleOf(shape)) {
      case Role::Picture:
        return Place(shape, layout.picture);
      case Role::Notes:
        return Place(shape, layout.notes);
      case Role::Other:
        return Place(shape, TurnedShape(portrait, RectOf(shape)));
    }
  });
}

struct MasterLayout {
  Reference<XDrawPage> master;
  Reference<XDrawPage> notesMaster;
  NotesPageLayout layout;
};

// Each question to the office is a round trip: a deck of one master asks none.
const MasterLayout& LayoutFor(const std::vector<MasterLayout>& layouts, const Reference<XDrawPage>& slide) {
  if (layouts.size() == 1) return layouts.front();
  const Reference<XDrawPage> master =
      Reference<css::drawing::XMasterPageTarget>(slide, UNO_QUERY_THROW)->getMasterPage();
  for (const MasterLayout& candidate : layouts)
    if (candidate.master == master) return candidate;
  return layouts.front();
}

}  // namespace

void TurnNotesPagesToLandscape(const Reference<css::lang::XComponent>& presentation,
                               const layout::SlideRange& slides, Size slide) {
  const auto masters =
      Reference<css::drawing::XMasterPagesSupplier>(presentation, UNO_QUERY_THROW)->getMasterPages();
  if (masters->getCount() == 0) return;
  // One size for every notes page of the deck: setting it on one sets it on all.
  const Size portrait = PageSize(NotesPageOf(Reference<XDrawPage>(masters->getByIndex(0), UNO_QUERY_THROW)));
  if (layout::IsLandscape(portrait)) return;
  std::vector<MasterLayout> layouts;
  for (sal_Int32 i = 0; i < masters->getCount(); ++i) {
    const Reference<XDrawPage> master(masters->getByIndex(i), UNO_QUERY_THROW);
    const Reference<XDrawPage> notesMaster = NotesPageOf(master);
    layouts.push_back({master, notesMaster, LayoutOf(notesMaster, portrait, slide)});
  }
  const Size landscape = layouts.front().layout.page;
  Reference<css::beans::XPropertySet> size(layouts.front().notesMaster, UNO_QUERY_THROW);
  size->setPropertyValue("Width", css::uno::Any(sal_Int32{landscape.width}));
  size->setPropertyValue("Height", css::uno::Any(sal_Int32{landscape.height}));

  const ControllersLocked locked(presentation);
  for (const MasterLayout& master : layouts) Arrange(master.notesMaster, master.layout, portrait);
  const sheet::SlideSource source(presentation);
  for (int number = slides.first; number <= slides.last; ++number) {
    const Reference<XDrawPage> page = source.slide(number);
    Arrange(NotesPageOf(page), LayoutFor(layouts, page).layout, portrait);
  }
}

}  // namespace pelvantz::office
