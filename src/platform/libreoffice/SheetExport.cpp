#include "platform/libreoffice/SheetExport.h"

#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/document/XExporter.hpp>
#include <com/sun/star/document/XFilter.hpp>
#include <com/sun/star/drawing/GraphicExportFilter.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/RuntimeFailure.h"
#include "platform/libreoffice/SheetUno.h"

using rtl::OUString;

namespace pelvantz::office::sheet {

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

std::filesystem::path MakePrivateFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pelvantz-sheets-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    throw RuntimeFailure(ErrorNumber::FileAccess, "Cannot create a temporary folder for the slide images.");
  }
  return pattern;
}

// The export filter writes its default format for a media type it does not
// know, without any error; make sure we got a metafile.
bool IsMetafile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  char magic[6] = {};
  in.read(magic, sizeof magic);
  return in && std::string(magic, sizeof magic) == "VCLMTF";
}

// A page preview shape on the slide's notes page renders the slide with its
// master objects; exporting the slide's own page would leave them out. The
// shape is removed again whatever happens.
class TemporaryPageShape {
 public:
  TemporaryPageShape(const Reference<css::lang::XComponent>& presentation,
                     const Reference<css::drawing::XDrawPage>& host, int slideNumber, Size slideSize)
      : host_(host) {
    Reference<css::lang::XMultiServiceFactory> factory(presentation, UNO_QUERY_THROW);
    shape_.set(factory->createInstance("com.sun.star.drawing.PageShape"), UNO_QUERY_THROW);
    host_->add(shape_);
    SetProperty(shape_, "PageNumber", Any(static_cast<sal_Int32>(slideNumber)));
    shape_->setPosition({0, 0});
    shape_->setSize({slideSize.width, slideSize.height});
  }
  ~TemporaryPageShape() {
    try {
      host_->remove(shape_);
    } catch (const css::uno::Exception&) {
      // The office may be gone already; nothing is left to tidy then.
    }
  }
  TemporaryPageShape(const TemporaryPageShape&) = delete;
  TemporaryPageShape& operator=(const TemporaryPageShape&) = delete;
  const Reference<css::drawing::XShape>& shape() const { return shape_; }

 private:
  Reference<css::drawing::XDrawPage> host_;
  Reference<css::drawing::XShape> shape_;
};

}  // namespace

SlideImages::SlideImages(const Reference<css::uno::XComponentContext>& context,
                         const Reference<css::lang::XComponent>& presentation, const SlideSource& source)
    : context_(context),
      presentation_(presentation),
      source_(source),
      provider_(css::graphic::GraphicProvider::create(context)),
      folder_(MakePrivateFolder()) {}

SlideImages::~SlideImages() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

Reference<css::graphic::XGraphic> SlideImages::image(int slideNumber) {
  auto found = images_.find(slideNumber);
  if (found != images_.end()) return found->second;
  const auto file = exportSlide(slideNumber);
  auto graphic = provider_->queryGraphic(Properties({Property("URL", Any(FileUrl(file)))}));
  if (!graphic.is()) {
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         "The image of slide " + std::to_string(slideNumber) + " cannot be read back.");
  }
  images_.emplace(slideNumber, graphic);
  return graphic;
}

std::filesystem::path SlideImages::exportSlide(int slideNumber) {
  const auto file = folder_ / ("slide" + std::to_string(slideNumber) + ".svm");
  {
    TemporaryPageShape preview(presentation_, source_.notesPage(slideNumber), slideNumber, source_.slideSize());
    Reference<css::document::XExporter> exporter(css::drawing::GraphicExportFilter::create(context_),
                                                 UNO_QUERY_THROW);
    exporter->setSourceDocument(Reference<css::lang::XComponent>(preview.shape(), UNO_QUERY_THROW));
    Reference<css::document::XFilter> filter(exporter, UNO_QUERY_THROW);
    const bool written = filter->filter(
        Properties({Property("MediaType", Any(OUString("image/x-svm"))), Property("URL", Any(FileUrl(file)))}));
    if (!written) {
      throw RuntimeFailure(ErrorNumber::AutomationFailed,
                           "The office refused to export slide " + std::to_string(slideNumber) + ".");
    }
  }
  if (!IsMetafile(file)) {
    throw RuntimeFailure(ErrorNumber::AutomationFailed,
                         "The image of slide " + std::to_string(slideNumber) + " was not written as a metafile.");
  }
  return file;
}

}  // namespace pelvantz::office::sheet
