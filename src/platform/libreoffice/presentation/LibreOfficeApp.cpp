#include "platform/libreoffice/presentation/LibreOfficeApp.h"

#include <algorithm>
#include <com/sun/star/awt/PrinterServer.hpp>

#include "platform/libreoffice/presentation/ImpressPresentation.h"
#include "platform/libreoffice/session/UnoHelpers.h"

namespace pelvantz::office {

LibreOfficeApp::LibreOfficeApp(std::shared_ptr<OfficeSession> session) : session_(std::move(session)) {}

LibreOfficeApp::~LibreOfficeApp() { quit(); }

// Headless: there is no window to show.
void LibreOfficeApp::setVisible(int32_t) {}

std::unique_ptr<Presentation> LibreOfficeApp::open(const std::string& fileName) {
  return std::make_unique<ImpressPresentation>(session_, fileName);
}

std::string LibreOfficeApp::activePrinter() {
  if (!session_->chosenPrinter().empty()) return session_->chosenPrinter();
  return session_->call(session_->limits().call, [&] {
    return ToStdString(css::awt::PrinterServer::create(session_->context())->getDefaultPrinterName());
  });
}

std::vector<std::string> LibreOfficeApp::installedPrinters() {
  auto names = session_->call(session_->limits().call, [&] {
    std::vector<std::string> result;
    for (const auto& name : css::awt::PrinterServer::create(session_->context())->getPrinterNames())
      result.push_back(ToStdString(name));
    return result;
  });
  std::sort(names.begin(), names.end());
  return names;
}

void LibreOfficeApp::quit() { session_->shutdown(); }

}  // namespace pelvantz::office
