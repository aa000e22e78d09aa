#pragma once
// Pages rendered by the office's own PDF writer, the renderer its own
// conversion to PDF uses: fonts embedded with their text, gradients,
// transparency, master footers and slide numbers as the office draws them.
#include <com/sun/star/lang/XComponent.hpp>
#include <filesystem>

#include "layout/SheetLayout.h"

namespace pelvantz::office {

enum class RenderedPages { Slides, NotesPages };

// The presentation's slides (or their notes pages) first..last, hidden slides
// left out, one page each, into the file.
void ExportPresentationPages(const css::uno::Reference<css::lang::XComponent>& presentation, RenderedPages pages,
                             const layout::SlideRange& range, const std::filesystem::path& file);

// Every page of a document, at its own size, into the file, with the PDF
// filter of the document's kind ("writer_pdf_Export", ...).
void ExportDocumentPages(const css::uno::Reference<css::lang::XComponent>& document, const char* filter,
                         const std::filesystem::path& file);

}  // namespace pelvantz::office
