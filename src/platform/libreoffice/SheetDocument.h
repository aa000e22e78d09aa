#pragma once
// A hidden Draw document whose pages are the printed sheets. It is bound to
// one printer, every page has the system's paper size in one orientation,
// and the document is closed when this object goes, whatever happened.
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <string>

#include "platform/libreoffice/SheetLayout.h"

namespace pelvantz::office::sheet {

struct TextStyle {
  float points = 12.0f;
  bool bold = false;
  bool shrinkToFit = false;  // fixed box: scale the text down when it overflows
};

class SheetDocument {
 public:
  SheetDocument(const css::uno::Reference<css::uno::XComponentContext>& context, const std::string& printerName);
  ~SheetDocument();
  SheetDocument(const SheetDocument&) = delete;
  SheetDocument& operator=(const SheetDocument&) = delete;

  // The system's default paper: the sheets print on it, turned as they need.
  Size paper() const { return paper_; }
  // Gives every sheet this size; call before adding content.
  void setSheetSize(Size size);
  Size sheetSize() const { return sheetSize_; }

  // Appends a blank sheet and returns its index.
  int addSheet();

  // The image fills the rectangle; trim is cut off each of its edges first
  // (1/100 mm at the image's own size).
  void addImage(int sheet, const css::uno::Reference<css::graphic::XGraphic>& image, const Rect& where,
                int32_t trim);
  void addFrame(int sheet, const Rect& where);
  void addRule(int sheet, const Line& line);
  // A text box of fixed size.
  void addTextBox(int sheet, const Rect& where, const std::string& text, const TextStyle& style);
  // A text block of the given width that grows to its text; returns its shape
  // so that the caller can read the height and move it.
  css::uno::Reference<css::drawing::XShape> addTextBlock(int sheet, int32_t x, int32_t y, int32_t width,
                                                         const std::string& text, const TextStyle& style);
  void removeShape(int sheet, const css::uno::Reference<css::drawing::XShape>& shape);

  // Prints every sheet into the file (see PrepareTarget) and returns when it is written.
  void printTo(const std::string& file);

 private:
  css::uno::Reference<css::drawing::XDrawPage> page(int sheet) const;
  void sizeSheet(const css::uno::Reference<css::drawing::XDrawPages>& pages, sal_Int32 index) const;
  css::uno::Reference<css::drawing::XShape> create(const char* service);
  void bindPrinter(const std::string& printerName);
  void close() noexcept;

  css::uno::Reference<css::lang::XComponent> document_;
  Size paper_;
  Size sheetSize_;
  bool firstSheetUsed_ = false;
};

// Makes sure the print file can be written and that no earlier file of that
// name is left; RuntimeFailure(FileAccess) otherwise.
void PrepareTarget(const std::string& file);

}  // namespace pelvantz::office::sheet
