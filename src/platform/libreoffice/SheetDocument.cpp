#include "platform/libreoffice/SheetDocument.h"

#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/drawing/TextVerticalAdjust.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <filesystem>

#include "platform/libreoffice/SheetUno.h"
#include "platform/libreoffice/PdfExport.h"

using rtl::OUString;

namespace pelvantz::office::sheet {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

Reference<css::drawing::XDrawPages> PagesOf(const Reference<css::lang::XComponent>& document) {
  return Reference<css::drawing::XDrawPagesSupplier>(document, UNO_QUERY_THROW)->getDrawPages();
}

void SetGeometry(const Reference<css::drawing::XShape>& shape, const Rect& where) {
  shape->setPosition({where.x, where.y});
  shape->setSize({where.width, where.height});
}

void ApplyTextStyle(const Reference<css::drawing::XShape>& shape, const TextStyle& style) {
  SetProperty(shape, "CharHeight", Any(style.points));
  SetProperty(shape, "CharWeight", Any(style.bold ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL));
  SetProperty(shape, "TextVerticalAdjust", Any(css::drawing::TextVerticalAdjust_TOP));
}

}  // namespace

SheetDocument::SheetDocument(const Reference<css::uno::XComponentContext>& context, Size sheetSize)
    : sheetSize_(sheetSize) {
  auto desktop = css::frame::Desktop::create(context);
  document_.set(desktop->loadComponentFromURL("private:factory/sdraw", "_blank", 0,
                                              Properties({Property("Hidden", Any(true))})),
                UNO_QUERY_THROW);
  locked_ = std::make_unique<ControllersLocked>(document_);
}

SheetDocument::~SheetDocument() { close(); }

void SheetDocument::close() noexcept {
  if (!document_.is()) return;
  locked_.reset();
  try {
    Reference<css::util::XCloseable> closeable(document_, UNO_QUERY);
    if (closeable.is()) {
      closeable->close(true);
    } else {
      document_->dispose();
    }
  } catch (const css::uno::Exception&) {
    // A veto or a dead office: either way the document is no longer ours.
  }
  document_.clear();
}

Reference<css::drawing::XDrawPage> SheetDocument::page(int sheet) const {
  return Reference<css::drawing::XDrawPage>(PagesOf(document_)->getByIndex(sheet), UNO_QUERY_THROW);
}

void SheetDocument::sizeSheet(const Reference<css::drawing::XDrawPages>& pages, sal_Int32 index) const {
  Reference<css::drawing::XDrawPage> sheet(pages->getByIndex(index), UNO_QUERY_THROW);
  SetProperty(sheet, "Width", Any(sheetSize_.width));
  SetProperty(sheet, "Height", Any(sheetSize_.height));
  for (const char* border : {"BorderLeft", "BorderRight", "BorderTop", "BorderBottom"}) {
    SetProperty(sheet, border, Any(sal_Int32(0)));
  }
}

int SheetDocument::addSheet() {
  const auto pages = PagesOf(document_);
  // A new Draw document starts with one empty page: that is the first sheet.
  if (sheets_ > 0) pages->insertNewByIndex(pages->getCount() - 1);
  // Only the new sheet is sized: every property call crosses the pipe to the office.
  sizeSheet(pages, sheets_);
  return sheets_++;
}

Reference<css::drawing::XShape> SheetDocument::create(const char* service) {
  Reference<css::lang::XMultiServiceFactory> factory(document_, UNO_QUERY_THROW);
  return Reference<css::drawing::XShape>(factory->createInstance(OUString::createFromAscii(service)),
                                         UNO_QUERY_THROW);
}

Reference<css::drawing::XShape> SheetDocument::addTextBlock(int sheet, int32_t x, int32_t y, int32_t width,
                                                            const std::string& text, const TextStyle& style) {
  auto shape = create("com.sun.star.drawing.TextShape");
  page(sheet)->add(shape);
  SetProperty(shape, "TextAutoGrowWidth", Any(false));
  SetProperty(shape, "TextAutoGrowHeight", Any(true));
  SetGeometry(shape, {x, y, width, 100});
  Reference<css::text::XTextRange>(shape, UNO_QUERY_THROW)->setString(ToOUString(text));
  ApplyTextStyle(shape, style);
  return shape;
}

void SheetDocument::removeShape(int sheet, const Reference<css::drawing::XShape>& shape) {
  page(sheet)->remove(shape);
}

void SheetDocument::exportTo(const std::filesystem::path& pdf) {
  locked_.reset();
  ExportDrawingPages(document_, pdf);
}

}  // namespace pelvantz::office::sheet
