#include "platform/PdfCheck.h"

#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <exception>
#include <set>
#include <vector>

namespace pelvantz {

namespace {

// Reads content streams for what they draw, following forms (each once):
// a text-showing operator, an inline image, or an image XObject painted.
// With `untilBoth`, stops as soon as both text and an image were seen.
class MarksReader : public QPDFObjectHandle::ParserCallbacks {
 public:
  explicit MarksReader(bool untilBoth) : untilBoth_(untilBoth) {}

  void read(QPDFObjectHandle content, QPDFObjectHandle resources) {
    if (untilBoth_ && marks.text && marks.images) return;
    QPDFObjectHandle saved = resources_;
    resources_ = resources;
    content.parseAsContents(this);
    resources_ = saved;
  }
  void readPage(QPDFPageObjectHelper& page) {
    if (untilBoth_ && marks.text && marks.images) return;
    resources_ = page.getAttribute("/Resources", false);
    page.parseContents(this);
  }

  void handleObject(QPDFObjectHandle object) override {
    if (object.isInlineImage()) {
      seen(marks.images);
    } else if (object.isName()) {
      lastName_ = object.getName();
    } else if (object.isOperator()) {
      const std::string op = object.getOperatorValue();
      if (op == "Tj" || op == "TJ" || op == "'" || op == "\"") seen(marks.text);
      if (op == "Do") paint(lastName_);
    }
  }
  void handleEOF() override {}

  PdfMarks marks;

 private:
  void seen(bool& mark) {
    mark = true;
    if (untilBoth_ && marks.text && marks.images) terminateParsing();
  }
  void paint(const std::string& name) {
    if (!resources_.isDictionary()) return;
    QPDFObjectHandle xobjects = resources_.getKey("/XObject");
    if (!xobjects.isDictionary()) return;
    QPDFObjectHandle xobject = xobjects.getKey(name);
    if (!xobject.isStream()) return;
    QPDFObjectHandle subtype = xobject.getDict().getKey("/Subtype");
    if (subtype.isNameAndEquals("/Image")) {
      seen(marks.images);
    } else if (subtype.isNameAndEquals("/Form") && readForms_.insert(xobject.getObjGen()).second) {
      QPDFObjectHandle own = xobject.getDict().getKey("/Resources");
      read(xobject, own.isDictionary() ? own : resources_);
      // The form's own parse stopped itself; this one must stop too.
      if (untilBoth_ && marks.text && marks.images) terminateParsing();
    }
  }

  bool untilBoth_;
  QPDFObjectHandle resources_;
  std::string lastName_;
  std::set<QPDFObjGen> readForms_;
};

// Every stream of the file through its filters, images included (JPEG too),
// as a viewer would have to; false at the first one that does not decode.
bool EveryStreamDecodes(QPDF& pdf) {
  Pl_Discard discard;
  for (QPDFObjectHandle& object : pdf.getAllObjects()) {
    if (!object.isStream()) continue;
    if (!object.pipeStreamData(&discard, 0, qpdf_dl_all, true)) return false;
  }
  return true;
}

PdfMarks ReadMarks(std::vector<QPDFPageObjectHelper>& pages, bool untilBoth) {
  MarksReader reader(untilBoth);
  for (QPDFPageObjectHelper& page : pages) reader.readPage(page);
  return reader.marks;
}

}  // namespace

// A truncated file or one with a damaged table would be silently rebuilt by
// the library's recovery: that is exactly what must count as broken here.
PdfInspection InspectPdf(const std::string& path, PdfReading reading) {
  QPDF pdf;
  try {
    pdf.setSuppressWarnings(true);
    pdf.setAttemptRecovery(false);
    pdf.processFile(path.c_str());
  } catch (const std::exception&) {
    return {std::nullopt, "it is cut short or its cross-reference table is damaged", {}};
  }
  try {
    auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    if (pdf.anyWarnings()) return {std::nullopt, "its page tree is damaged", {}};
    PdfMarks marks;
    if (reading == PdfReading::EveryStream && (!EveryStreamDecodes(pdf) || pdf.anyWarnings()))
      return {std::nullopt, "the data of an image or a page cannot be decoded", {}};
    if (reading != PdfReading::Structure) {
      marks = ReadMarks(pages, reading == PdfReading::Marks);
      if (pdf.anyWarnings()) return {std::nullopt, "the content of a page is damaged", {}};
    }
    return {static_cast<int>(pages.size()), {}, marks};
  } catch (const std::exception&) {
    return {std::nullopt, "the content of a page is damaged", {}};
  }
}

}  // namespace pelvantz
