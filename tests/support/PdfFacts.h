#pragma once
// What a PDF carries, read back with poppler's pdftotext and with qpdf.
#include <filesystem>
#include <string>

namespace pelvantz::testing {

// The text pdftotext reads from the PDF, as it prints it; of one page (from 1) when asked.
std::string PdfText(const std::filesystem::path& pdf, int page = 0);

// "<title> <page>" per bookmark, in order, one a line (pages from 1).
std::string PdfBookmarks(const std::filesystem::path& pdf);

// "link <page> <left> <bottom> <right> <top> <address or 'page N'>" per link
// annotation, page by page, one a line (points, rounded).
std::string PdfLinks(const std::filesystem::path& pdf);

}  // namespace pelvantz::testing
