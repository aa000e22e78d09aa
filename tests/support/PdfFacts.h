#pragma once
// What a PDF carries besides its pages, read back with qpdf.
#include <filesystem>
#include <string>

namespace pelvantz::testing {

// "<title> <page>" per bookmark, in order, one a line (pages from 1).
std::string PdfBookmarks(const std::filesystem::path& pdf);

// "link <page> <left> <bottom> <right> <top> <address or 'page N'>" per link
// annotation, page by page, one a line (points, rounded).
std::string PdfLinks(const std::filesystem::path& pdf);

}  // namespace pelvantz::testing
