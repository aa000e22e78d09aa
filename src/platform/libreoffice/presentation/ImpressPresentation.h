#pragma once
// A presentation opened in the office: a private working copy of the user's
// file, loaded hidden, with the print settings recorded until printOut.
#include <com/sun/star/lang/XComponent.hpp>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/PresentationApp.h"
#include "platform/libreoffice/presentation/SlideGeometry.h"
#include "platform/libreoffice/session/OfficeSession.h"
#include "platform/libreoffice/session/WorkLimits.h"
#include "platform/libreoffice/sheets/SheetPrint.h"

namespace pelvantz::office {

class ImpressPresentation : public Presentation {
 public:
  // Throws RuntimeFailure when the file cannot be opened as a presentation.
  ImpressPresentation(std::shared_ptr<OfficeSession> session, const std::string& fileName);
  ~ImpressPresentation() override;

  void setActivePrinter(const std::string& printerName) override;
  void setFitToPage(int32_t value) override;
  void setPrintComments(int32_t value) override;
  void setOutputType(OutputType value) override;
  void setSlideOrientation(SlideOrientation value) override;
  void setSlideSize(SlideSize value) override;
  void setNotesOrientation(SlideOrientation value) override;
  void printOut(int32_t from, int32_t to, const std::string& printToFile) override;
  void close() override;

 private:
  const css::uno::Reference<css::lang::XComponent>& document() const;
  void copyToWorkFolder(const std::filesystem::path& source);
  void load();
  Size applySlideGeometry();
  std::chrono::seconds workLimit() const;
  void closeDocument(const css::uno::Reference<css::lang::XComponent>& document);
  void removeWorkingCopy();

  std::shared_ptr<OfficeSession> session_;
  std::filesystem::path workingFolder_;
  std::filesystem::path workingCopy_;
  css::uno::Reference<css::lang::XComponent> document_;
  DeckSize deck_;
  SheetRequest request_;
  std::optional<bool> slideLandscape_;
  std::optional<Size> slideSize_;
};

}  // namespace pelvantz::office
