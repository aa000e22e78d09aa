#include "platform/libreoffice/SheetFlow.h"

namespace pelvantz::office::sheet {

TextFlow::TextFlow(SheetDocument& sheets)
    : sheets_(sheets), area_(printer::ContentArea(sheets.sheetSize())), column_(area_) {}

void TextFlow::add(const std::string& text, const TextStyle& style, int32_t indent, int32_t spaceBefore) {
  if (currentSheet_ < 0) {
    currentSheet_ = firstSheet_ = sheets_.addSheet();
  }
  const int32_t x = area_.x + indent;
  const int32_t width = area_.width - indent;
  // The block's height is known only once the office has set its text.
  auto block = sheets_.addTextBlock(currentSheet_, x, area_.y, width, text, style);
  const auto placement = column_.place(block->getSize().Height, spaceBefore);
  if (firstSheet_ + placement.sheet != currentSheet_) {
    sheets_.removeShape(currentSheet_, block);
    currentSheet_ = sheets_.addSheet();
    block = sheets_.addTextBlock(currentSheet_, x, placement.top, width, text, style);
  } else {
    block->setPosition({x, placement.top});
  }
}

}  // namespace pelvantz::office::sheet
