#include "platform/libreoffice/presentation/ImpressPresentation.h"

#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XPrintable.hpp>

#include "platform/libreoffice/session/OfficeProfile.h"
#include "platform/libreoffice/session/UnoHelpers.h"
#include "platform/libreoffice/session/WorkLimits.h"

namespace pelvantz::office {
namespace fs = std::filesystem;
namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

RuntimeFailure Failed(const std::string& description) {
  return RuntimeFailure(ErrorNumber::AutomationFailed, description);
}

// A caller may hand over any number in a choice's type; it is named by that number.
template <typename Choice>
std::string AutomationValue(Choice value) {
  return std::to_string(static_cast<int32_t>(value));
}

bool IsOrientation(SlideOrientation value) {
  return value == SlideOrientation::Landscape || value == SlideOrientation::Portrait;
}

std::string PrinterNameOf(const Reference<css::lang::XComponent>& document) {
  Reference<css::view::XPrintable> printable(document, UNO_QUERY_THROW);
  for (const auto& property : printable->getPrinter())
    if (property.Name == "Name") return ToStdString(property.Value.get<OUString>());
  return {};
}

}  // namespace

ImpressPresentation::ImpressPresentation(std::shared_ptr<OfficeSession> session, const std::string& fileName)
    : session_(std::move(session)) {
  copyToWorkFolder(fs::path(fileName));
  try {
    load();
  } catch (...) {
    removeWorkingCopy();
    throw;
  }
}

ImpressPresentation::~ImpressPresentation() { removeWorkingCopy(); }

// The office may lock and change what it loads; the user's file is only read.
void ImpressPresentation::copyToWorkFolder(const fs::path& source) {
  std::error_code error;
  if (!fs::is_regular_file(source, error))
    throw Failed("The presentation \"" + source.string() + "\" could not be found.");
  // The office would open an empty file as a new, empty presentation.
  if (fs::file_size(source, error) == 0 && !error)
    throw Failed("The presentation \"" + source.string() + "\" is empty (0 bytes).");
  workingFolder_ = NewProcessFolder(session_->workFolder(), WorkingCopyPrefix);
  workingCopy_ = workingFolder_ / source.filename();
  if (!fs::copy_file(source, workingCopy_, fs::copy_options::overwrite_existing, error)) {
    removeWorkingCopy();
    throw Failed("The presentation \"" + source.string() + "\" could not be read: " + error.message());
  }
  // A read-only original must not make the copy read-only: the slide size is changed on it.
  fs::permissions(workingCopy_, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
}

// No interaction handler: a password-protected file fails instead of asking.
void ImpressPresentation::load() {
  const auto arguments =
      Properties({Property("Hidden", Any(true)),
                  Property("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
                  Property("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE))});
  const auto url = FileUrl(workingCopy_);
  std::error_code ignored;
  const auto limit = LoadLimit(session_->limits(), fs::file_size(workingCopy_, ignored));
  document_ = session_->call(
      limit, [&] { return session_->desktop()->loadComponentFromURL(url, "_blank", 0, arguments); });
  if (!document_.is())
    throw Failed("\"" + workingCopy_.filename().string() +
                 "\" could not be opened: it is damaged, protected by a password or not a presentation.");
  const bool presentation = session_->call(session_->limits().call, [&] {
    return Reference<css::lang::XServiceInfo>(document_, UNO_QUERY_THROW)
        ->supportsService("com.sun.star.presentation.PresentationDocument");
  });
  if (!presentation) {
    closeDocument(std::move(document_));
    throw Failed("\"" + workingCopy_.filename().string() + "\" is not a presentation.");
  }
  deck_ = session_->call(session_->limits().call, [&] { return MeasureDeck(document_); });
}

const Reference<css::lang::XComponent>& ImpressPresentation::document() const {
  if (!document_.is()) throw Failed("The presentation has been closed.");
  return document_;
}

// The office quietly keeps its previous printer for a name it does not know.
void ImpressPresentation::setActivePrinter(const std::string& printerName) {
  const std::string applied = session_->call(session_->limits().call, [&] {
    Reference<css::view::XPrintable>(document(), UNO_QUERY_THROW)
        ->setPrinter(Properties({Property("Name", Any(ToOUString(printerName)))}));
    return PrinterNameOf(document());
  });
  if (applied != printerName) throw Failed("The printer \"" + printerName + "\" is not installed.");
  session_->setChosenPrinter(printerName);
}

void ImpressPresentation::setFitToPage(int32_t value) { request_.fitToPage = value != 0; }

void ImpressPresentation::setPrintComments(int32_t value) { request_.printComments = value != 0; }

void ImpressPresentation::setOutputType(OutputType value) {
  const auto layout = layout::LayoutForOutputType(value);
  if (!layout) throw Failed("The output type " + AutomationValue(value) + " is not supported.");
  request_.layout = *layout;
}

void ImpressPresentation::setSlideOrientation(SlideOrientation value) {
  if (!IsOrientation(value)) throw Failed("The slide orientation " + AutomationValue(value) + " is not valid.");
  slideLandscape_ = value == SlideOrientation::Landscape;
}

void ImpressPresentation::setSlideSize(SlideSize value) {
  const auto size = ClassicSlideSize(value);
  if (!size) throw Failed("The slide size " + AutomationValue(value) + " is not supported.");
  slideSize_ = size;
}

void ImpressPresentation::setNotesOrientation(SlideOrientation value) {
  if (!IsOrientation(value)) throw Failed("The notes orientation " + AutomationValue(value) + " is not valid.");
  request_.notesLandscape = value == SlideOrientation::Landscape;
}

// Size first, then orientation, whichever was set first: one change of the
// page at most, and none when the aspect stays. Answers the size one slide
// measures when printed at its own size.
Size ImpressPresentation::applySlideGeometry() {
  return session_->call(workLimit(), [&] {
    const Size current = CurrentSlideSize(document());
    const bool landscape = slideLandscape_.value_or(layout::IsLandscape(current));
    const Size wanted = layout::Oriented(slideSize_.value_or(current), landscape);
    ResizeSlides(session_->context(), document(), wanted);
    return wanted;
  });
}

std::chrono::seconds ImpressPresentation::workLimit() const { return WorkLimit(session_->limits(), deck_); }

void ImpressPresentation::printOut(int32_t from, int32_t to, const std::string& printToFile) {
  const fs::path target = fs::absolute(fs::path(printToFile));
  if (!fs::is_directory(target.parent_path()))
    throw RuntimeFailure(ErrorNumber::FileAccess, "The folder of \"" + target.string() + "\" does not exist.");
  const Size printed = applySlideGeometry();
  SheetRequest request = request_;
  request.fromSlide = from;
  request.toSlide = to;
  request.slideSize = printed;
  request.documentName = workingCopy_.stem().string();
  std::optional<SheetPrint> print;
  session_->call(workLimit(), [&] { print.emplace(session_->context(), document(), request, workingFolder_); });
  session_->call(workLimit(), [&] { print->renderPages(); });
  session_->call(workLimit(), [&] { print->setText(); });
  print->compose(target);
  std::error_code ignored;
  if (!fs::is_regular_file(target, ignored) || fs::file_size(target, ignored) == 0)
    throw Failed("No print file \"" + target.string() + "\" was written.");
}

void ImpressPresentation::close() {
  if (!document_.is()) return;
  const auto closing = std::move(document_);
  try {
    closeDocument(closing);
  } catch (...) {
    removeWorkingCopy();
    throw;
  }
  removeWorkingCopy();
}

// Closed without saving: nothing of the working copy is ever written back.
void ImpressPresentation::closeDocument(const Reference<css::lang::XComponent>& document) {
  session_->call(session_->limits().call,
                 [&] { Reference<css::util::XCloseable>(document, UNO_QUERY_THROW)->close(true); });
}

void ImpressPresentation::removeWorkingCopy() {
  if (workingFolder_.empty()) return;
  std::error_code ignored;
  fs::remove_all(workingFolder_, ignored);
  workingFolder_.clear();
}

}  // namespace pelvantz::office
