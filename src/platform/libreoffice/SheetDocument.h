#pragma once
// A hidden Draw document whose pages are sheets of running text (outline,
// comments). Every page has one size, and the document is closed when this
// object goes, whatever happened.
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/libreoffice/UnoHelpers.h"
#include "platform/printer/SheetLayout.h"

namespace pelvantz::office::sheet {

using printer::Rect;
using printer::Size;

struct TextStyle {
  float points = 12.0f;
  bool bold = false;
};

class SheetDocument {
 public:
  SheetDocument(const css::uno::Reference<css::uno::XComponentContext>& context, Size sheetSize);
  ~SheetDocument();
  SheetDocument(const SheetDocument&) = delete;
  SheetDocument& operator=(const SheetDocument&) = delete;

  Size sheetSize() const { return sheetSize_; }
  int sheetCount() const { return sheets_; }

  // Appends a blank sheet and returns its index.
  int addSheet();

  // A text block of the given width that grows to its text; returns its shape
  // so that the caller can read the height and move it.
  css::uno::Reference<css::drawing::XShape> addTextBlock(int sheet, int32_t x, int32_t y, int32_t width,
                                                         const std::string& text, const TextStyle& style);
  void removeShape(int sheet, const css::uno::Reference<css::drawing::XShape>& shape);

  // Every sheet, in order, into a PDF file.
  void exportTo(const std::filesystem::path& pdf);

 private:
  css::uno::Reference<css::drawing::XDrawPage> page(int sheet) const;
  void sizeSheet(const css::uno::Reference<css::drawing::XDrawPages>& pages, sal_Int32 index) const;
  css::uno::Reference<css::drawing::XShape> create(const char* service);
  void close() noexcept;

  css::uno::Reference<css::lang::XComponent> document_;
  // Text is set and measured block by block: views following each block
  // cost most of the time.
  std::unique_ptr<ControllersLocked> locked_;
  Size sheetSize_;
  int sheets_ = 0;
};

}  // namespace pelvantz::office::sheet
