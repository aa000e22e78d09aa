#include "platform/printer/PdfSheets.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "base/RuntimeFailure.h"
#include "platform/AtomicFile.h"

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

PdfRect OnPage(const layout::Rect& where, layout::Size sheet) {
  return {Points(where.x), Points(sheet.height - where.bottom()), Points(where.width), Points(where.height)};
}

std::string RectangleOperands(const PdfRect& r) {
  return Number(r.x) + " " + Number(r.y) + " " + Number(r.width) + " " + Number(r.height);
}

RuntimeFailure PdfFailure(const std::string& what, const std::exception& cause) {
  return RuntimeFailure(ErrorNumber::AutomationFailed, what + ": " + cause.what());
}

// The file's bytes go to its descriptor with every write and the close
// checked: a disk that fills must fail the print, not leave a file cut short
// behind a success.
class CheckedFile : public Pipeline {
 public:
  explicit CheckedFile(const std::filesystem::path& path)
      : Pipeline("print file", nullptr),
        descriptor_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {
    if (descriptor_ < 0) throw std::system_error(errno, std::generic_category());
  }
  ~CheckedFile() override {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  CheckedFile(const CheckedFile&) = delete;
  CheckedFile& operator=(const CheckedFile&) = delete;

  void write(unsigned char const* data, size_t size) override {
    buffer_.append(reinterpret_cast<const char*>(data), size);
    if (buffer_.size() >= kChunk) flush();
  }
  // The writer finishes its pipelines whenever it pops one, not only at the end.
  void finish() override { flush(); }
  void close() {
    flush();
    if (::close(std::exchange(descriptor_, -1)) != 0) throw std::system_error(errno, std::generic_category());
  }

 private:
  static constexpr size_t kChunk = 1 << 16;
  void flush() {
    if (!WriteAll(descriptor_, buffer_.data(), buffer_.size()))
      throw std::system_error(errno, std::generic_category());
    buffer_.clear();
  }

  int descriptor_;
  std::string buffer_;
};

}  // namespace

// Where a source page went: on which sheet, scaled and moved how, inside what.
struct Placed {
  int sheet = 0;
  int source = 0;
  int page = 0;
  double scaleX = 1, scaleY = 1, moveX = 0, moveY = 0;
  PdfRect visible;  // the page's place, cut to the sheet

  QPDFObjectHandle::Rectangle map(const QPDFObjectHandle::Rectangle& r) const {
    return {r.llx * scaleX + moveX, r.lly * scaleY + moveY, r.urx * scaleX + moveX, r.ury * scaleY + moveY};
  }
  bool shows(const QPDFObjectHandle::Rectangle& r) const {
    const double slack = 0.01;
    return r.llx >= visible.x - slack && r.lly >= visible.y - slack &&
           r.urx <= visible.x + visible.width + slack && r.ury <= visible.y + visible.height + slack;
  }
};

PdfRect Intersection(const PdfRect& a, const PdfRect& b) {
  const double left = std::max(a.x, b.x), bottom = std::max(a.y, b.y);
  const double right = std::min(a.x + a.width, b.x + b.width), top = std::min(a.y + a.height, b.y + b.height);
  return {left, bottom, std::max(0.0, right - left), std::max(0.0, top - bottom)};
}

// The page a link leads to inside its own file: an explicit destination, or a
// go-to action with one. Nothing for named destinations and other actions.
QPDFObjectHandle LinkTargetPage(QPDFObjectHandle link) {
  QPDFObjectHandle destination = link.getKey("/Dest");
  if (QPDFObjectHandle action = link.getKey("/A");
      action.isDictionary() && action.getKey("/S").isNameAndEquals("/GoTo"))
    destination = action.getKey("/D");
  if (destination.isArray() && destination.getArrayNItems() > 0 && destination.getArrayItem(0).isDictionary())
    return destination.getArrayItem(0);
  return QPDFObjectHandle::newNull();
}

QPDFObjectHandle NewLink(const QPDFObjectHandle::Rectangle& rect) {
  auto link = QPDFObjectHandle::newDictionary();
  link.replaceKey("/Type", QPDFObjectHandle::newName("/Annot"));
  link.replaceKey("/Subtype", QPDFObjectHandle::newName("/Link"));
  link.replaceKey("/Rect", QPDFObjectHandle::newFromRectangle(rect));
  link.replaceKey("/Border", QPDFObjectHandle::parse("[0 0 0]"));
  return link;
}

QPDFObjectHandle FitDestination(QPDFObjectHandle page) {
  auto destination = QPDFObjectHandle::newArray();
  destination.appendItem(page);
  destination.appendItem(QPDFObjectHandle::newName("/Fit"));
  return destination;
}

struct PdfSheets::Document {
  std::vector<std::unique_ptr<QPDF>> sources;
  std::vector<std::vector<QPDFPageObjectHelper>> sourcePages;
  // Read once a source: each helper maps the source's bookmarks by page on first use.
  std::vector<std::unique_ptr<QPDFOutlineDocumentHelper>> sourceOutlines;
  QPDF output;
  // Each source page is copied once, however often it is placed.
  std::map<std::pair<int, int>, QPDFObjectHandle> placedForms;
  std::vector<QPDFObjectHandle> sheets;
  std::vector<Placed> placed;
  std::vector<std::pair<std::string, int>> bookmarks;  // title, sheet

  // The first sheet that shows the source page, if any does.
  std::optional<int> sheetShowing(int source, QPDFObjGen page) const {
    for (const Placed& p : placed)
      if (p.source == source && sourcePages[source][p.page].getObjectHandle().getObjGen() == page) return p.sheet;
    return std::nullopt;
  }

  QPDFObjectHandle formFor(int source, int page) {
    const auto key = std::make_pair(source, page);
    if (auto found = placedForms.find(key); found != placedForms.end()) return found->second;
    auto form = output.copyForeignObject(sourcePages.at(source).at(page).getFormXObjectForPage());
    placedForms.emplace(key, form);
    return form;
  }

  // The form's box scaled into the rectangle: "q a 0 0 d e f cm /Name Do Q".
  std::string place(const PagePlacement& page, layout::Size sheet, const std::string& name,
                    QPDFObjectHandle form) {
    const auto box = form.getDict().getKey("/BBox").getArrayAsRectangle();
    const PdfRect where = OnPage(page.where, sheet);
    Placed p;
    p.sheet = static_cast<int>(sheets.size());
    p.source = page.source;
    p.page = page.page;
    p.scaleX = where.width / (box.urx - box.llx);
    p.scaleY = where.height / (box.ury - box.lly);
    p.moveX = where.x - box.llx * p.scaleX;
    p.moveY = where.y - box.lly * p.scaleY;
    p.visible = Intersection(where, {0, 0, Points(sheet.width), Points(sheet.height)});
    placed.push_back(p);
    return "q " + Number(p.scaleX) + " 0 0 " + Number(p.scaleY) + " " + Number(p.moveX) + " " + Number(p.moveY) +
           " cm /" + name + " Do Q\n";
  }

  // The link as it lands on the sheet, or nothing when it cannot land honestly.
  std::optional<QPDFObjectHandle> moved(QPDFObjectHandle link, const Placed& p) {
    if (!link.isDictionary() || !link.getKey("/Subtype").isNameAndEquals("/Link") ||
        !link.getKey("/Rect").isArray())
      return std::nullopt;
    const auto rect = p.map(link.getKey("/Rect").getArrayAsRectangle());
    if (!p.shows(rect)) return std::nullopt;
    auto landed = NewLink(rect);
    if (QPDFObjectHandle action = link.getKey("/A");
        action.isDictionary() && action.getKey("/S").isNameAndEquals("/URI")) {
      auto uri = QPDFObjectHandle::newDictionary();
      uri.replaceKey("/S", QPDFObjectHandle::newName("/URI"));
      uri.replaceKey("/URI", QPDFObjectHandle::newString(action.getKey("/URI").getStringValue()));
      landed.replaceKey("/A", uri);
      return landed;
    }
    QPDFObjectHandle target = LinkTargetPage(link);
    if (target.isNull()) return std::nullopt;
    const auto sheet = sheetShowing(p.source, target.getObjGen());
    if (!sheet) return std::nullopt;
    landed.replaceKey("/Dest", FitDestination(sheets[*sheet]));
    return landed;
  }
};

PdfSheets::PdfSheets() : document_(std::make_unique<Document>()) { document_->output.emptyPDF(); }

PdfSheets::~PdfSheets() = default;

int PdfSheets::addSource(const std::filesystem::path& pdf) {
  try {
    auto source = std::make_unique<QPDF>();
    source->processFile(pdf.c_str());
    document_->sourcePages.push_back(QPDFPageDocumentHelper(*source).getAllPages());
    document_->sourceOutlines.push_back(std::make_unique<QPDFOutlineDocumentHelper>(*source));
    document_->sources.push_back(std::move(source));
  } catch (const std::exception& failure) {
    throw PdfFailure("The rendered pages \"" + pdf.string() + "\" cannot be read", failure);
  }
  return static_cast<int>(document_->sources.size()) - 1;
}

int PdfSheets::pageCount(int source) const { return static_cast<int>(document_->sourcePages.at(source).size()); }

layout::Size PdfSheets::pageSize(int source, int page) const {
  auto box = document_->sourcePages.at(source).at(page).getTrimBox().getArrayAsRectangle();
  return {HundredthsOfMm(box.urx - box.llx), HundredthsOfMm(box.ury - box.lly)};
}

std::string PdfSheets::pageTitle(int source, int page) const {
  auto found = document_->sourceOutlines.at(source)->getOutlinesForPage(
      document_->sourcePages.at(source).at(page).getObjectHandle().getObjGen());
  return found.empty() ? std::string() : found.front().getTitle();
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
    content += document_->place(sheet.pages[i], sheet.size, name, form);
  }
  if (!sheet.frames.empty()) {
    content += "q 0 G 0.5 w\n";
    for (const layout::Rect& frame : sheet.frames)
      content += RectangleOperands(OnPage(frame, sheet.size)) + " re S\n";
    content += "Q\n";
  }
  if (!sheet.rules.empty()) {
    content += "q 0.5 G 0.5 w\n";
    for (const layout::Line& rule : sheet.rules) {
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
  page.replaceKey("/MediaBox",
                  QPDFObjectHandle::newFromRectangle({0, 0, Points(sheet.size.width), Points(sheet.size.height)}));
  page.replaceKey("/Resources", resources);
  page.replaceKey("/Contents", out.newStream(content));
  document_->sheets.push_back(out.makeIndirectObject(page));
  QPDFPageDocumentHelper(out).addPage(QPDFPageObjectHelper(document_->sheets.back()), false);
}

int PdfSheets::sheetCount() const { return static_cast<int>(document_->sheets.size()); }

void PdfSheets::setInfo(const DocumentInfo& info) {
  auto dictionary = QPDFObjectHandle::newDictionary();
  const std::pair<const char*, const std::string&> entries[] = {{"/Title", info.title},
                                                                {"/Author", info.author},
                                                                {"/Subject", info.subject},
                                                                {"/Keywords", info.keywords},
                                                                {"/Creator", info.creator}};
  for (const auto& [key, value] : entries)
    if (!value.empty()) dictionary.replaceKey(key, QPDFObjectHandle::newUnicodeString(value));
  document_->output.getTrailer().replaceKey("/Info", document_->output.makeIndirectObject(dictionary));
}

void PdfSheets::addBookmark(const std::string& title, int sheet) {
  document_->bookmarks.emplace_back(title, sheet);
}

void PdfSheets::addLinks() {
  auto& d = *document_;
  for (const Placed& p : d.placed) {
    QPDFObjectHandle annotations = d.sourcePages[p.source][p.page].getObjectHandle().getKey("/Annots");
    if (!annotations.isArray()) continue;
    for (const auto& annotation : annotations.aitems()) {
      const auto link = d.moved(annotation, p);
      if (!link) continue;
      QPDFObjectHandle sheet = d.sheets[p.sheet];
      if (!sheet.getKey("/Annots").isArray()) sheet.replaceKey("/Annots", QPDFObjectHandle::newArray());
      sheet.getKey("/Annots").appendItem(d.output.makeIndirectObject(*link));
    }
  }
}

// One flat list, in the order asked, each opening its sheet whole.
void PdfSheets::addBookmarks() {
  auto& d = *document_;
  if (d.bookmarks.empty()) return;
  auto outlines = d.output.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Outlines >>"));
  std::vector<QPDFObjectHandle> items;
  for (const auto& [title, sheet] : d.bookmarks) {
    auto item = QPDFObjectHandle::newDictionary();
    item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title));
    item.replaceKey("/Parent", outlines);
    item.replaceKey("/Dest", FitDestination(d.sheets.at(sheet)));
    items.push_back(d.output.makeIndirectObject(item));
  }
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) items[i].replaceKey("/Prev", items[i - 1]);
    if (i + 1 < items.size()) items[i].replaceKey("/Next", items[i + 1]);
  }
  outlines.replaceKey("/First", items.front());
  outlines.replaceKey("/Last", items.back());
  outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(items.size())));
  d.output.getRoot().replaceKey("/Outlines", outlines);
}

void PdfSheets::write(const std::filesystem::path& target) {
  try {
    addLinks();
    addBookmarks();
  } catch (const std::exception& failure) {
    throw PdfFailure("The links and bookmarks cannot be laid out", failure);
  }
  try {
    CheckedFile file(target);
    QPDFWriter writer(document_->output);
    writer.setOutputPipeline(&file);
    writer.write();
    file.close();
  } catch (const std::exception& failure) {
    // What was written is no print file: nothing may take it for one.
    std::error_code ignored;
    std::filesystem::remove(target, ignored);
    throw RuntimeFailure(ErrorNumber::FileAccess,
                         "The print file \"" + target.string() + "\" cannot be written: " + failure.what() + ".");
  }
}

}  // namespace pelvantz::printer
