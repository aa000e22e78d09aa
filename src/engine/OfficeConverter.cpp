#include "engine/OfficeConverter.h"

#include <memory>

#include "engine/Converter.h"

namespace pelvantz {

MakeConverter OfficeConverter(const OfficeServices& services) {
  return [services](const WorkerThreadServices& worker) -> JobRunner {
    // Shared, as a JobRunner is copied; the application object it holds
    // carries over from one job to the next.
    auto converter = std::make_shared<Converter>(ConversionEnvironment{
        services.office, worker.dialogs, services.errors, services.shell, worker.jobs, services.registry,
        services.systemVersion, services.applicationFolder, worker.endProgram});
    return [converter](const std::string& source, const std::string& target, int16_t position,
                       const ConversionOptions& options, bool anotherJobFollows) {
      converter->ConvertPresentation(source, target, position, options, anotherJobFollows);
    };
  };
}

}  // namespace pelvantz
