#include "platform/PdfCheck.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <exception>

namespace pelvantz {

// A truncated file or one with a damaged table would be silently rebuilt by
// the library's recovery: that is exactly what must count as broken here.
PdfInspection InspectPdf(const std::string& path) {
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.setAttemptRecovery(false);
    pdf.processFile(path.c_str());
    const auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    if (pdf.anyWarnings()) return {std::nullopt, "the PDF is damaged"};
    return {static_cast<int>(pages.size()), {}};
  } catch (const std::exception& failure) {
    return {std::nullopt, failure.what()};
  }
}

}  // namespace pelvantz
