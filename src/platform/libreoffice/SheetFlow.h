#pragma once
// Running text (outline, comments) set as blocks down fresh sheets, a new
// sheet whenever the next block would not fit.
#include <string>

#include "platform/libreoffice/SheetDocument.h"
#include "platform/printer/SheetLayout.h"

namespace pelvantz::office::sheet {

class TextFlow {
 public:
  // The first block opens a new sheet; the flow never writes onto earlier sheets.
  explicit TextFlow(SheetDocument& sheets);
  void add(const std::string& text, const TextStyle& style, int32_t indent, int32_t spaceBefore);

 private:
  SheetDocument& sheets_;
  Rect area_;
  printer::TextColumn column_;
  int firstSheet_ = -1;
  int currentSheet_ = -1;
};

}  // namespace pelvantz::office::sheet
