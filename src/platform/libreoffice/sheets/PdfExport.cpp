#include "platform/libreoffice/sheets/PdfExport.h"

#include <com/sun/star/frame/XStorable.hpp>
#include <string>

#include "core/RuntimeFailure.h"
#include "platform/libreoffice/session/UnoHelpers.h"

namespace pelvantz::office {
namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

void Export(const Reference<css::lang::XComponent>& document, const char* filter,
            const css::uno::Sequence<css::beans::PropertyValue>& filterData, const std::filesystem::path& file) {
  Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)
      ->storeToURL(FileUrl(file), Properties({Property("FilterName", Any(OUString::createFromAscii(filter))),
                                              Property("FilterData", Any(filterData))}));
  std::error_code error;
  if (std::filesystem::file_size(file, error) == 0 || error)
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         "The office rendered no pages into \"" + file.string() + "\".");
}

OUString PageRange(const printer::SlideRange& range) {
  return ToOUString(std::to_string(range.first) + "-" + std::to_string(range.last));
}

}  // namespace

void ExportPresentationPages(const Reference<css::lang::XComponent>& presentation, RenderedPages pages,
                             const printer::SlideRange& range, const std::filesystem::path& file) {
  const bool notes = pages == RenderedPages::NotesPages;
  Export(presentation, "impress_pdf_Export",
         Properties({Property("PageRange", Any(PageRange(range))), Property("ExportHiddenSlides", Any(false)),
                     Property("IsSkipEmptyPages", Any(false)), Property("ExportNotesPages", Any(notes)),
                     Property("ExportOnlyNotesPages", Any(notes))}),
         file);
}

void ExportDocumentPages(const Reference<css::lang::XComponent>& document, const char* filter,
                         const std::filesystem::path& file) {
  Export(document, filter, Properties({Property("IsSkipEmptyPages", Any(false))}), file);
}

}  // namespace pelvantz::office
