#include "platform/libreoffice/sheets/TextExport.h"

#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XPageCursor.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XRefreshable.hpp>
#include <fstream>

#include "base/RuntimeFailure.h"
#include "platform/libreoffice/session/UnoHelpers.h"
#include "platform/libreoffice/sheets/PdfExport.h"

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

// The page (1-based) of every bookmark, and the page count.
std::pair<std::map<std::string, int>, int> BookmarkPages(const Reference<css::lang::XComponent>& document,
                                                         const std::vector<std::string>& names) {
  // The word processor lays pages out bit by bit while it idles: the pages of
  // a half-made layout are not the ones the export prints, so the whole
  // layout is made first.
  Reference<css::util::XRefreshable>(document, UNO_QUERY_THROW)->refresh();
  const auto controller = Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getCurrentController();
  const auto viewCursor =
      Reference<css::text::XTextViewCursorSupplier>(controller, UNO_QUERY_THROW)->getViewCursor();
  Reference<css::text::XPageCursor> pages(viewCursor, UNO_QUERY_THROW);
  const auto bookmarks = Reference<css::text::XBookmarksSupplier>(document, UNO_QUERY_THROW)->getBookmarks();
  std::map<std::string, int> found;
  for (const auto& name : names) {
    Reference<css::text::XTextContent> bookmark(bookmarks->getByName(ToOUString(name)), UNO_QUERY_THROW);
    viewCursor->gotoRange(bookmark->getAnchor(), false);
    found[name] = pages->getPage();
  }
  pages->jumpToLastPage();
  return {found, pages->getPage()};
}

}  // namespace

TextLayout ExportTextPages(const Reference<css::uno::XComponentContext>& context, const TextPages& text,
                           const std::filesystem::path& folder, const std::filesystem::path& pdf) {
  const std::filesystem::path source = folder / "text.fodt";
  WriteFile(source, text.flatDocument());
  const LoadedDocument document(context, source);
  const auto [pages, pageCount] = BookmarkPages(document.get(), text.marks());
  ExportDocumentPages(document.get(), "writer_pdf_Export", pdf);
  TextLayout layout;
  for (const auto& [name, page] : pages) layout.marks[name] = page - 1;
  for (int run = 0; run < text.runCount(); ++run) {
    const int first = pages.at(RunBookmark(run));
    const int next = run + 1 < text.runCount() ? pages.at(RunBookmark(run + 1)) : pageCount + 1;
    layout.runs.push_back({first - 1, next - first});
  }
  return layout;
}

}  // namespace pelvantz::office
