#include "platform/libreoffice/sheets/SlideSource.h"

#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/document/XDocumentProperties.hpp>
#include <com/sun/star/document/XDocumentPropertiesSupplier.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapeDescriptor.hpp>
#include <com/sun/star/office/XAnnotation.hpp>
#include <com/sun/star/office/XAnnotationAccess.hpp>
#include <com/sun/star/office/XAnnotationEnumeration.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/DateTime.hpp>
#include <cstdio>
#include <rtl/ustrbuf.hxx>

#include "platform/libreoffice/session/UnoHelpers.h"

using rtl::OUString;

namespace pelvantz::office::sheet {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

bool IsEmptyPlaceholder(const Reference<css::drawing::XShape>& shape) {
  Reference<css::beans::XPropertySet> properties(shape, UNO_QUERY);
  if (!properties.is() || !properties->getPropertySetInfo()->hasPropertyByName("IsEmptyPresentationObject")) {
    return false;
  }
  return PropertyOf<bool>(shape, "IsEmptyPresentationObject");
}

// The presentation shapes of the given type on a page, in the page's order.
std::vector<Reference<css::drawing::XShape>> ShapesOfType(const Reference<css::drawing::XDrawPage>& page,
                                                          const OUString& shapeType) {
  std::vector<Reference<css::drawing::XShape>> shapes;
  for (sal_Int32 i = 0; i < page->getCount(); ++i) {
    Reference<css::drawing::XShape> shape(page->getByIndex(i), UNO_QUERY);
    if (shape.is() && ShapeTypeOf(shape) == shapeType && !IsEmptyPlaceholder(shape)) {
      shapes.push_back(shape);
    }
  }
  return shapes;
}

// What the presentation's text holds besides printable characters: a line
// break inside a paragraph (vertical tab), carriage returns, control
// characters kept from old files (DEL inside words), and bullets typed in a
// symbol font (private-use characters). Set in a text box of a plain font as
// they are, they print as empty boxes: breaks become line ends, symbol-font
// characters bullets, and the rest goes.
OUString PrintableText(const OUString& text) {
  rtl::OUStringBuffer printable(text.getLength());
  for (sal_Int32 i = 0; i < text.getLength(); ++i) {
    const sal_Unicode c = text[i];
    const bool lineBreak = c == u'\n' || c == u'\v' || c == u'\r' || c == 0x2028 || c == 0x2029;
    if (c == u'\r' && i + 1 < text.getLength() && text[i + 1] == u'\n') continue;
    if (lineBreak) {
      printable.append(sal_Unicode('\n'));
    } else if (c >= 0xE000 && c <= 0xF8FF) {
      printable.append(sal_Unicode(0x2022));
    } else if (c == u'\t' || !(c < 0x20 || (c >= 0x7F && c < 0xA0))) {
      printable.append(c);
    }
  }
  return printable.makeStringAndClear();
}

void AppendParagraphs(const Reference<css::drawing::XShape>& shape, bool title,
                      std::vector<OutlineParagraph>& out) {
  Reference<css::container::XEnumerationAccess> text(shape, UNO_QUERY);
  if (!text.is()) return;
  auto paragraphs = text->createEnumeration();
  while (paragraphs->hasMoreElements()) {
    Reference<css::text::XTextRange> paragraph(paragraphs->nextElement(), UNO_QUERY);
    if (!paragraph.is()) continue;
    const std::string content = ToStdString(PrintableText(paragraph->getString()));
    if (content.empty()) continue;
    const int level = title ? 0 : PropertyOf<sal_Int16>(paragraph, "NumberingLevel");
    out.push_back({title, level, content});
  }
}

std::string FormatDate(const css::util::DateTime& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", static_cast<int>(date.Year),
                static_cast<int>(date.Month), static_cast<int>(date.Day), static_cast<int>(date.Hours),
                static_cast<int>(date.Minutes));
  return text;
}

}  // namespace

SlideSource::SlideSource(const Reference<css::lang::XComponent>& presentation)
    : slides_(Reference<css::drawing::XDrawPagesSupplier>(presentation, UNO_QUERY_THROW)->getDrawPages()) {}

int SlideSource::slideCount() const { return slides_->getCount(); }

Reference<css::drawing::XDrawPage> SlideSource::slide(int number) const {
  return Reference<css::drawing::XDrawPage>(slides_->getByIndex(number - 1), UNO_QUERY_THROW);
}

bool SlideSource::hidden(int number) const {
  Reference<css::beans::XPropertySet> properties(slide(number), UNO_QUERY_THROW);
  bool visible = true;
  properties->getPropertyValue("Visible") >>= visible;
  return !visible;
}

std::vector<OutlineParagraph> SlideSource::outline(int number) const {
  const auto page = slide(number);
  std::vector<OutlineParagraph> paragraphs;
  for (const auto& shape : ShapesOfType(page, "com.sun.star.presentation.TitleTextShape")) {
    AppendParagraphs(shape, true, paragraphs);
  }
  for (const char* body : {"com.sun.star.presentation.SubtitleShape", "com.sun.star.presentation.OutlinerShape"}) {
    for (const auto& shape : ShapesOfType(page, OUString::createFromAscii(body))) {
      AppendParagraphs(shape, false, paragraphs);
    }
  }
  return paragraphs;
}

std::vector<SlideComment> SlideSource::comments(int number) const {
  std::vector<SlideComment> comments;
  Reference<css::office::XAnnotationAccess> access(slide(number), UNO_QUERY);
  if (!access.is()) return comments;
  auto annotations = access->createAnnotationEnumeration();
  while (annotations->hasMoreElements()) {
    const auto annotation = annotations->nextElement();
    comments.push_back({ToStdString(PrintableText(annotation->getAuthor())),
                        ToStdString(PrintableText(annotation->getInitials())),
                        FormatDate(annotation->getDateTime()),
                        ToStdString(PrintableText(annotation->getTextRange()->getString()))});
  }
  return comments;
}

printer::DocumentInfo DocumentInfoOf(const Reference<css::lang::XComponent>& presentation) {
  const auto properties = Reference<css::document::XDocumentPropertiesSupplier>(presentation, UNO_QUERY_THROW)
                              ->getDocumentProperties();
  printer::DocumentInfo info;
  info.title = ToStdString(PrintableText(properties->getTitle()));
  info.author = ToStdString(PrintableText(properties->getAuthor()));
  info.subject = ToStdString(PrintableText(properties->getSubject()));
  for (const auto& keyword : properties->getKeywords()) {
    if (!info.keywords.empty()) info.keywords += ", ";
    info.keywords += ToStdString(PrintableText(keyword));
  }
  return info;
}

}  // namespace pelvantz::office::sheet
