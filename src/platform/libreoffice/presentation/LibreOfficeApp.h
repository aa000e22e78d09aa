#pragma once
// The presentation application: one office process for the life of the object.
#include <future>
#include <memory>
#include <mutex>

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

// Every application gets a new office. prepareNext() starts the next one on a
// thread of its own; create() hands it out, waiting for it while it starts,
// and starts afresh when it failed or has died since.
class LibreOfficeFactory : public PresentationAppFactory {
 public:
  explicit LibreOfficeFactory(const OfficeSettings& settings) : settings_(settings) {}
  ~LibreOfficeFactory() override;  // ends an office started ahead and never handed out
  std::unique_ptr<PresentationApp> create(const std::string& progId) override;
  void prepareNext() override;

 private:
  std::unique_ptr<OfficeSession> takePrepared();

  OfficeSettings settings_;
  std::mutex mutex_;
  std::future<std::unique_ptr<OfficeSession>> next_;
};

}  // namespace pelvantz::office
