#include "platform/libreoffice/SheetDocument.h"

#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/drawing/FillStyle.hpp>
#include <com/sun/star/drawing/TextFitToSizeType.hpp>
#include <com/sun/star/drawing/TextVerticalAdjust.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/GraphicCrop.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <filesystem>

#include "platform/RuntimeFailure.h"
#include "platform/libreoffice/SheetUno.h"
#include "platform/libreoffice/SystemPaper.h"

using rtl::OUString;

namespace pelvantz::office::sheet {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

template <typename T>
bool FindProperty(const css::uno::Sequence<css::beans::PropertyValue>& values, const char* name, T& out) {
  for (const auto& value : values) {
    if (value.Name.equalsAscii(name)) return value.Value >>= out;
  }
  return false;
}

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

SheetDocument::SheetDocument(const Reference<css::uno::XComponentContext>& context, const std::string& printerName) {
  auto desktop = css::frame::Desktop::create(context);
  document_.set(desktop->loadComponentFromURL("private:factory/sdraw", "_blank", 0,
                                              Properties({Property("Hidden", Any(true))})),
                UNO_QUERY_THROW);
  try {
    bindPrinter(printerName);
  } catch (...) {
    close();
    throw;
  }
}

SheetDocument::~SheetDocument() { close(); }

// The sheets print at their own page size, and that size is the system's
// default paper as found here. The office's own default paper, which the sheets
// used to take from the printer, follows the office's environment and was
// seen to come out as Letter on an A4 system now and then. The printer is told
// the same paper so that its settings agree with the sheets.
void SheetDocument::bindPrinter(const std::string& printerName) {
  paper_ = SystemPaper();
  Reference<css::view::XPrintable> printable(document_, UNO_QUERY_THROW);
  printable->setPrinter(
      Properties({Property("Name", Any(ToOUString(printerName))),
                  Property("PaperSize", Any(css::awt::Size(paper_.width, paper_.height)))}));
  // An unknown name silently selects some other printer.
  OUString boundName;
  FindProperty(printable->getPrinter(), "Name", boundName);
  if (ToStdString(boundName) != printerName) {
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         "The printer \"" + printerName + "\" is not available to the office (it offered \"" +
                             ToStdString(boundName) + "\").");
  }
}

void SheetDocument::close() noexcept {
  if (!document_.is()) return;
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

void SheetDocument::setSheetSize(Size size) {
  sheetSize_ = size;
  const auto pages = PagesOf(document_);
  for (sal_Int32 i = 0; i < pages->getCount(); ++i) sizeSheet(pages, i);
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
  // A new Draw document starts with one empty page: that is the first sheet.
  if (!firstSheetUsed_) {
    firstSheetUsed_ = true;
    return 0;
  }
  // Only the new sheet: the others have their size, and every property call
  // crosses the pipe to the office, which made a long print quadratic.
  const auto pages = PagesOf(document_);
  pages->insertNewByIndex(pages->getCount() - 1);
  const sal_Int32 added = pages->getCount() - 1;
  sizeSheet(pages, added);
  return added;
}

Reference<css::drawing::XShape> SheetDocument::create(const char* service) {
  Reference<css::lang::XMultiServiceFactory> factory(document_, UNO_QUERY_THROW);
  return Reference<css::drawing::XShape>(factory->createInstance(OUString::createFromAscii(service)),
                                         UNO_QUERY_THROW);
}

void SheetDocument::addImage(int sheet, const Reference<css::graphic::XGraphic>& image, const Rect& where,
                             int32_t trim) {
  auto shape = create("com.sun.star.drawing.GraphicObjectShape");
  page(sheet)->add(shape);
  SetProperty(shape, "Graphic", Any(image));
  if (trim > 0) SetProperty(shape, "GraphicCrop", Any(css::text::GraphicCrop(trim, trim, trim, trim)));
  SetGeometry(shape, where);
}

void SheetDocument::addFrame(int sheet, const Rect& where) {
  auto shape = create("com.sun.star.drawing.RectangleShape");
  page(sheet)->add(shape);
  SetProperty(shape, "FillStyle", Any(css::drawing::FillStyle_NONE));
  SetProperty(shape, "LineColor", Any(sal_Int32(0x000000)));
  SetGeometry(shape, where);
}

void SheetDocument::addRule(int sheet, const Line& line) {
  auto shape = create("com.sun.star.drawing.LineShape");
  page(sheet)->add(shape);
  SetProperty(shape, "LineColor", Any(sal_Int32(0x808080)));
  SetGeometry(shape, {line.x1, line.y1, line.x2 - line.x1, line.y2 - line.y1});
}

void SheetDocument::addTextBox(int sheet, const Rect& where, const std::string& text, const TextStyle& style) {
  auto shape = create("com.sun.star.drawing.TextShape");
  page(sheet)->add(shape);
  SetGeometry(shape, where);
  SetProperty(shape, "TextAutoGrowHeight", Any(false));
  SetProperty(shape, "TextAutoGrowWidth", Any(false));
  if (style.shrinkToFit) SetProperty(shape, "TextFitToSize", Any(css::drawing::TextFitToSizeType_AUTOFIT));
  Reference<css::text::XTextRange>(shape, UNO_QUERY_THROW)->setString(ToOUString(text));
  ApplyTextStyle(shape, style);
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

void SheetDocument::printTo(const std::string& file) {
  Reference<css::view::XPrintable> printable(document_, UNO_QUERY_THROW);
  printable->print(Properties({Property("FileName", Any(ToOUString(file))), Property("Wait", Any(true))}));
  if (!std::filesystem::exists(file) || std::filesystem::file_size(file) == 0) {
    throw RuntimeFailure(ErrorNumber::AutomationFailed, "The office printed nothing into \"" + file + "\".");
  }
}

void PrepareTarget(const std::string& file) {
  namespace fs = std::filesystem;
  const fs::path target(file);
  // The office writes nothing, and says nothing, for such a path.
  if (!target.is_absolute() || !fs::is_directory(target.parent_path())) {
    throw RuntimeFailure(ErrorNumber::FileAccess,
                         "Cannot print into \"" + file + "\": not an absolute path in an existing folder.");
  }
  // A file left by an earlier print must not pass for this one's result.
  std::error_code removeError;
  fs::remove(target, removeError);
  if (fs::exists(target)) {
    throw RuntimeFailure(ErrorNumber::FileAccess, "Cannot replace the earlier print file \"" + file + "\".");
  }
}

}  // namespace pelvantz::office::sheet
