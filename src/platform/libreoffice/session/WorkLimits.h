#pragma once
// How long one step of a job may take in the office, grown with the work the
// deck gives it, so that a healthy large deck never comes near its limit.
#include <chrono>
#include <cstdint>

#include "platform/OfficeFactory.h"

namespace pelvantz::office {

struct DeckSize {
  int pages = 0;   // slides and masters
  int shapes = 0;  // top-level shapes on them
};

std::chrono::seconds LoadLimit(const OfficeTimeLimits& limits, std::uintmax_t fileBytes);
std::chrono::seconds WorkLimit(const OfficeTimeLimits& limits, const DeckSize& deck);

}  // namespace pelvantz::office
