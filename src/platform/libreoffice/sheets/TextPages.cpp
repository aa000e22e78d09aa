#include "platform/libreoffice/sheets/TextPages.h"

#include <cstdio>

namespace pelvantz::office {
namespace {

std::string Millimetres(int32_t hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2fmm", hundredths / 100.0);
  return text;
}

const char* FontSize(TextRole role) { return role == TextRole::Heading ? "14pt" : "12pt"; }

bool Bold(TextRole role) { return role != TextRole::Body; }

// Characters XML reserves are escaped; line ends, tabs and runs of blanks
// become the elements that keep them, as the format folds white space.
std::string ParagraphContent(const std::string& text) {
  std::string content;
  int blanks = 0;
  const auto flushBlanks = [&] {
    if (blanks > 1) content += "<text:s text:c=\"" + std::to_string(blanks - 1) + "\"/>";
    blanks = 0;
  };
  for (char c : text) {
    if (c == ' ') {
      if (blanks++ == 0) content += ' ';
      continue;
    }
    flushBlanks();
    switch (c) {
      case '\n':
        content += "<text:line-break/>";
        break;
      case '\t':
        content += "<text:tab/>";
        break;
      case '&':
        content += "&amp;";
        break;
      case '<':
        content += "&lt;";
        break;
      case '>':
        content += "&gt;";
        break;
      default:
        content += c;
    }
  }
  flushBlanks();
  return content;
}

}  // namespace

std::string RunBookmark(int run) { return "run" + std::to_string(run); }

int TextPages::startRun() {
  runOpen_ = true;
  return runs_++;
}

void TextPages::add(const TextParagraph& paragraph, const std::string& mark) {
  const bool opensRun = runOpen_;
  runOpen_ = false;
  std::vector<std::string> bookmarks;
  if (opensRun) bookmarks.push_back(RunBookmark(runs_ - 1));
  if (!mark.empty()) bookmarks.push_back(mark);
  paragraphs_.push_back({styleFor(paragraph, opensRun && runs_ > 1), ParagraphContent(paragraph.text), bookmarks});
}

std::vector<std::string> TextPages::marks() const {
  std::vector<std::string> marks;
  for (const auto& paragraph : paragraphs_)
    marks.insert(marks.end(), paragraph.bookmarks.begin(), paragraph.bookmarks.end());
  return marks;
}

// One automatic style for every kind of paragraph that occurs.
std::string TextPages::styleFor(const TextParagraph& paragraph, bool newPage) {
  const auto key = std::make_tuple(paragraph.role, paragraph.indent, paragraph.spaceBefore, newPage);
  if (const auto found = styles_.find(key); found != styles_.end()) return found->second;
  const std::string name = "P" + std::to_string(styles_.size() + 1);
  styles_.emplace(key, name);
  return name;
}

std::string TextPages::flatDocument() const {
  std::string document =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
      "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
      "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
      "office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.text\">\n"
      "<office:font-face-decls><style:font-face style:name=\"Liberation Sans\" "
      "svg:font-family=\"'Liberation Sans'\" style:font-family-generic=\"swiss\"/></office:font-face-decls>\n"
      "<office:styles><style:default-style style:family=\"paragraph\"><style:text-properties "
      "style:font-name=\"Liberation Sans\" fo:font-size=\"12pt\"/></style:default-style></office:styles>\n"
      "<office:automatic-styles>\n";
  const layout::Rect area = layout::ContentArea(pageSize_);
  document += "<style:page-layout style:name=\"Sheet\"><style:page-layout-properties fo:page-width=\"" +
              Millimetres(pageSize_.width) + "\" fo:page-height=\"" + Millimetres(pageSize_.height) +
              "\" fo:margin-left=\"" + Millimetres(area.x) + "\" fo:margin-right=\"" + Millimetres(area.x) +
              "\" fo:margin-top=\"" + Millimetres(area.y) + "\" fo:margin-bottom=\"" + Millimetres(area.y) +
              "\"/></style:page-layout>\n";
  for (const auto& [key, name] : styles_) {
    const auto& [role, indent, spaceBefore, newPage] = key;
    document += "<style:style style:name=\"" + name +
                "\" style:family=\"paragraph\"><style:paragraph-properties fo:margin-left=\"" +
                Millimetres(indent) + "\" fo:margin-top=\"" + Millimetres(spaceBefore) + "\"" +
                (newPage ? " fo:break-before=\"page\"" : "") + "/><style:text-properties fo:font-size=\"" +
                FontSize(role) + "\"" + (Bold(role) ? " fo:font-weight=\"bold\"" : "") + "/></style:style>\n";
  }
  document +=
      "</office:automatic-styles>\n"
      "<office:master-styles><style:master-page style:name=\"Standard\" style:page-layout-name=\"Sheet\"/>"
      "</office:master-styles>\n<office:body><office:text>\n";
  for (const auto& paragraph : paragraphs_) {
    document += "<text:p text:style-name=\"" + paragraph.style + "\">";
    for (const auto& bookmark : paragraph.bookmarks) document += "<text:bookmark text:name=\"" + bookmark + "\"/>";
    document += paragraph.text + "</text:p>\n";
  }
  document += "</office:text></office:body></office:document>\n";
  return document;
}

}  // namespace pelvantz::office
