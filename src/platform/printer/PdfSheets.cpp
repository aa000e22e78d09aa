#include "platform/printer/PdfSheets.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "platform/RuntimeFailure.h"

namespace pelvantz::printer {
namespace {

constexpr double PointsPerHundredthMm = 72.0 / 2540.0;

double Points(int32_t hundredthsOfMm) { return hundredthsOfMm * PointsPerHundredthMm; }

int32_t HundredthsOfMm(double points) { return static_cast<int32_t>(std::lround(points / PointsPerHundredthMm)); }

// Numbers in content streams: fixed notation, no locale.
std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

// A PDF rectangle (points, origin bottom left) from a sheet rectangle (1/100 mm, origin top left).
struct PdfRect {
  double x, y, width, height;
};

PdfRect OnPage(const Rect& where, Size sheet) {
  return {Points(where.x), Points(sheet.height - where.bottom()), Points(where.width), Points(where.height)};
}

std::string RectangleOperands(const PdfRect& r) {
  return Number(r.x) + " " + Number(r.y) + " " + Number(r.width) + " " + Number(r.height);
}

RuntimeFailure PdfFailure(const std::string& what, const std::exception& cause) {
  return RuntimeFailure(ErrorNumber::AutomationFailed, what + ": " + cause.what());
}

}  // namespace

struct PdfSheets::Document {
  std::vector<std::unique_ptr<QPDF>> sources;
  std::vector<std::vector<QPDFPageObjectHelper>> sourcePages;
  QPDF output;
  // Each source page is copied once, however often it is placed.
  std::map<std::pair<int, int>, QPDFObjectHandle> placedForms;
  int sheets = 0;

  QPDFObjectHandle formFor(int source, int page) {
    const auto key = std::make_pair(source, page);
    if (auto found = placedForms.find(key); found != placedForms.end()) return found->second;
    auto form = output.copyForeignObject(sourcePages.at(source).at(page).getFormXObjectForPage());
    placedForms.emplace(key, form);
    return form;
  }

  // "q a 0 0 d e f cm /Name Do Q": the form's box scaled into the rectangle.
  std::string placement(const PagePlacement& placed, Size sheet, const std::string& name,
                        QPDFObjectHandle form) {
    const auto box = form.getDict().getKey("/BBox").getArrayAsRectangle();
    const PdfRect where = OnPage(placed.where, sheet);
    const double scaleX = where.width / (box.urx - box.llx);
    const double scaleY = where.height / (box.ury - box.lly);
    return "q " + Number(scaleX) + " 0 0 " + Number(scaleY) + " " + Number(where.x - box.llx * scaleX) + " " +
           Number(where.y - box.lly * scaleY) + " cm /" + name + " Do Q\n";
  }
};

PdfSheets::PdfSheets() : document_(std::make_unique<Document>()) { document_->output.emptyPDF(); }

PdfSheets::~PdfSheets() = default;

int PdfSheets::addSource(const std::filesystem::path& pdf) {
  try {
    auto source = std::make_unique<QPDF>();
    source->processFile(pdf.c_str());
    document_->sourcePages.push_back(QPDFPageDocumentHelper(*source).getAllPages());
    document_->sources.push_back(std::move(source));
  } catch (const std::exception& failure) {
    throw PdfFailure("The rendered pages \"" + pdf.string() + "\" cannot be read", failure);
  }
  return static_cast<int>(document_->sources.size()) - 1;
}

int PdfSheets::pageCount(int source) const {
  return static_cast<int>(document_->sourcePages.at(source).size());
}

Size PdfSheets::pageSize(int source, int page) const {
  auto box = document_->sourcePages.at(source).at(page).getTrimBox().getArrayAsRectangle();
  return {HundredthsOfMm(box.urx - box.llx), HundredthsOfMm(box.ury - box.lly)};
}

void PdfSheets::addSheet(const SheetContent& sheet) {
  try {
    addSheetContent(sheet);
  } catch (const std::exception& failure) {
    throw PdfFailure("A sheet cannot be laid out", failure);
  }
}

void PdfSheets::addSheetContent(const SheetContent& sheet) {
  auto& out = document_->output;
  auto xobjects = QPDFObjectHandle::newDictionary();
  std::string content;
  for (size_t i = 0; i < sheet.pages.size(); ++i) {
    const std::string name = "P" + std::to_string(i);
    auto form = document_->formFor(sheet.pages[i].source, sheet.pages[i].page);
    xobjects.replaceKey("/" + name, form);
    content += document_->placement(sheet.pages[i], sheet.size, name, form);
  }
  if (!sheet.frames.empty()) {
    content += "q 0 G 0.5 w\n";
    for (const Rect& frame : sheet.frames) content += RectangleOperands(OnPage(frame, sheet.size)) + " re S\n";
    content += "Q\n";
  }
  if (!sheet.rules.empty()) {
    content += "q 0.5 G 0.5 w\n";
    for (const Line& rule : sheet.rules) {
      const double top = Points(sheet.size.height);
      content += Number(Points(rule.x1)) + " " + Number(top - Points(rule.y1)) + " m " + Number(Points(rule.x2)) +
                 " " + Number(top - Points(rule.y2)) + " l S\n";
    }
    content += "Q\n";
  }
  auto resources = QPDFObjectHandle::newDictionary();
  resources.replaceKey("/XObject", xobjects);
  auto page = QPDFObjectHandle::newDictionary();
  page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
  page.replaceKey("/MediaBox", QPDFObjectHandle::newFromRectangle(
                                   {0, 0, Points(sheet.size.width), Points(sheet.size.height)}));
  page.replaceKey("/Resources", resources);
  page.replaceKey("/Contents", out.newStream(content));
  QPDFPageDocumentHelper(out).addPage(QPDFPageObjectHelper(out.makeIndirectObject(page)), false);
  ++document_->sheets;
}

int PdfSheets::sheetCount() const { return document_->sheets; }

void PdfSheets::write(const std::filesystem::path& target) {
  try {
    QPDFWriter writer(document_->output, target.c_str());
    writer.write();
  } catch (const std::exception& failure) {
    throw RuntimeFailure(ErrorNumber::FileAccess,
                         "The print file \"" + target.string() + "\" cannot be written: " + failure.what());
  }
}

}  // namespace pelvantz::printer
