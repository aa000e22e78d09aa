#pragma once
// Makes the presentation applications: a new office for each, started ahead
// when the caller says another is coming.
#include <future>
#include <memory>
#include <mutex>

#include "platform/PresentationApp.h"
#include "platform/libreoffice/session/OfficeSession.h"

namespace pelvantz::office {

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
