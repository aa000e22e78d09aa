#pragma once
// The text pages set by the office's word processor and exported as PDF.
#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>
#include <vector>

#include "platform/libreoffice/sheets/TextPages.h"

namespace pelvantz::office {

// Writes the text into the folder, has the office set it and export it into
// the PDF file; answers where its runs and marks are in that file.
TextLayout ExportTextPages(const css::uno::Reference<css::uno::XComponentContext>& context, const TextPages& text,
                           const std::filesystem::path& folder, const std::filesystem::path& pdf);

}  // namespace pelvantz::office
