#pragma once
// Reads from the loaded presentation what the text sheets show: the outline
// and the comments, and which slides are hidden.
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <string>
#include <vector>

#include "platform/printer/PdfSheets.h"

namespace pelvantz::office::sheet {

struct OutlineParagraph {
  bool title = false;  // the slide's title (or the first line standing for it)
  int level = 0;       // outline level, 0 for top-level body text
  std::string text;
};

struct SlideComment {
  std::string author;
  std::string initials;
  std::string date;  // "YYYY-MM-DD HH:MM"
  std::string text;
};

class SlideSource {
 public:
  explicit SlideSource(const css::uno::Reference<css::lang::XComponent>& presentation);

  int slideCount() const;
  css::uno::Reference<css::drawing::XDrawPage> slide(int number) const;  // 1-based
  bool hidden(int number) const;
  std::vector<OutlineParagraph> outline(int number) const;
  std::vector<SlideComment> comments(int number) const;

 private:
  css::uno::Reference<css::drawing::XDrawPages> slides_;
};

// The presentation's title, author, subject and keywords (comma-separated).
printer::DocumentInfo DocumentInfoOf(const css::uno::Reference<css::lang::XComponent>& presentation);

}  // namespace pelvantz::office::sheet
