#pragma once
// The presentation application: one office process for the life of the object.
#include <memory>

#include "platform/PresentationApp.h"
#include "platform/libreoffice/session/OfficeSession.h"

namespace pelvantz::office {

class LibreOfficeApp : public PresentationApp {
 public:
  explicit LibreOfficeApp(std::shared_ptr<OfficeSession> session);
  ~LibreOfficeApp() override;

  void setVisible(int32_t value) override;
  std::unique_ptr<Presentation> open(const std::string& fileName) override;
  std::string activePrinter() override;
  std::vector<std::string> installedPrinters() override;
  void quit() override;

 private:
  std::shared_ptr<OfficeSession> session_;
};

}  // namespace pelvantz::office
