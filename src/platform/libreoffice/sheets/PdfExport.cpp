#include "platform/libreoffice/sheets/PdfExport.h"

#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <string>

#include "base/RuntimeFailure.h"
#include "platform/PdfCheck.h"
#include "platform/libreoffice/session/UnoHelpers.h"

namespace pelvantz::office {
namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

// The office's own account of a failed store is its internals ("SfxBaseModel::impl_store ...").
void Export(const Reference<css::lang::XComponent>& document, const char* filter,
            const css::uno::Sequence<css::beans::PropertyValue>& filterData, const std::filesystem::path& file) {
  try {
    Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)
        ->storeToURL(FileUrl(file), Properties({Property("FilterName", Any(OUString::createFromAscii(filter))),
                                                Property("FilterData", Any(filterData))}));
  } catch (const css::io::IOException&) {
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         "The office could not write the printed pages into the work folder \"" +
                             file.parent_path().string() + "\": the disk may be full.");
  }
  std::error_code error;
  if (std::filesystem::file_size(file, error) == 0 || error)
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         "The office rendered no pages into \"" + file.string() + "\".");
  // A disk that fills while the office writes leaves a file cut short, which
  // the composition would otherwise rebuild into fewer or blank pages.
  const PdfInspection rendered = InspectPdf(file.string());
  if (!rendered.pages)
    throw RuntimeFailure(ErrorNumber::AutomationFailed, "The pages the office rendered into \"" + file.string() +
                                                            "\" are damaged: " + rendered.problem + ".");
}

OUString PageRange(const layout::SlideRange& range) {
  return ToOUString(std::to_string(range.first) + "-" + std::to_string(range.last));
}

}  // namespace

void ExportPresentationPages(const Reference<css::lang::XComponent>& presentation, RenderedPages pages,
                             const layout::SlideRange& range, const std::filesystem::path& file) {
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
