#include "platform/libreoffice/session/WorkLimits.h"

namespace pelvantz::office {
namespace {

constexpr std::uintmax_t Megabyte = 1024 * 1024;

}  // namespace

std::chrono::seconds LoadLimit(const OfficeTimeLimits& limits, std::uintmax_t fileBytes) {
  const auto megabytes = static_cast<std::chrono::seconds::rep>((fileBytes + Megabyte - 1) / Megabyte);
  return limits.load + limits.loadPerMegabyte * megabytes;
}

std::chrono::seconds WorkLimit(const OfficeTimeLimits& limits, const DeckSize& deck) {
  const auto extra = limits.workPerSlide * deck.pages + limits.workPerShape * deck.shapes;
  return limits.work + std::chrono::ceil<std::chrono::seconds>(extra);
}

}  // namespace pelvantz::office
