#include "platform/libreoffice/TextExport.h"

#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <fstream>

#include "platform/RuntimeFailure.h"
#include "platform/libreoffice/PdfExport.h"
#include "platform/libreoffice/UnoHelpers.h"

namespace pelvantz::office {
namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out.flush())
    throw RuntimeFailure(ErrorNumber::FileAccess, "The text pages \"" + file.string() + "\" cannot be written.");
}

// A loaded document, closed when this goes, whatever happened.
class LoadedDocument {
 public:
  LoadedDocument(const Reference<css::uno::XComponentContext>& context, const std::filesystem::path& file)
      : document_(css::frame::Desktop::create(context)->loadComponentFromURL(
                      FileUrl(file), "_blank", 0, Properties({Property("Hidden", Any(true))})),
                  UNO_QUERY_THROW) {}
  ~LoadedDocument() {
    try {
      Reference<css::util::XCloseable>(document_, UNO_QUERY_THROW)->close(true);
    } catch (const css::uno::Exception&) {
      // A veto or a dead office: either way the document is no longer ours.
    }
  }
  LoadedDocument(const LoadedDocument&) = delete;
  LoadedDocument& operator=(const LoadedDocument&) = delete;
  const Reference<css::lang::XComponent>& get() const { return document_; }

 private:
  Reference<css::lang::XComponent> document_;
};

// The page (1-based) where each run's bookmark is, and after it the page count.
std::vector<int> RunStartPages(const Reference<css::lang::XComponent>& document, int runs) {
  const auto controller = Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getCurrentController();
  const auto viewCursor =
      Reference<css::text::XTextViewCursorSupplier>(controller, UNO_QUERY_THROW)->getViewCursor();
  Reference<css::text::XPageCursor> pages(viewCursor, UNO_QUERY_THROW);
  const auto bookmarks = Reference<css::text::XBookmarksSupplier>(document, UNO_QUERY_THROW)->getBookmarks();
  std::vector<int> starts;
  for (int run = 0; run < runs; ++run) {
    Reference<css::text::XTextContent> bookmark(bookmarks->getByName(ToOUString(RunBookmark(run))), UNO_QUERY_THROW);
    viewCursor->gotoRange(bookmark->getAnchor(), false);
    starts.push_back(pages->getPage());
  }
  pages->jumpToLastPage();
  starts.push_back(pages->getPage() + 1);
  return starts;
}

}  // namespace

std::vector<RunPages> ExportTextPages(const Reference<css::uno::XComponentContext>& context, const TextPages& text,
                                      const std::filesystem::path& folder, const std::filesystem::path& pdf) {
  const std::filesystem::path source = folder / "text.fodt";
  WriteFile(source, text.flatDocument());
  const LoadedDocument document(context, source);
  const std::vector<int> starts = RunStartPages(document.get(), text.runCount());
  ExportDocumentPages(document.get(), "writer_pdf_Export", pdf);
  std::vector<RunPages> runs;
  for (int run = 0; run < text.runCount(); ++run) runs.push_back({starts[run] - 1, starts[run + 1] - starts[run]});
  return runs;
}

}  // namespace pelvantz::office
