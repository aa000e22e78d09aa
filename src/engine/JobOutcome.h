#pragma once
// Why a job ended as it did, in plain words for the user. The row's status
// stays "Completed" or "Failed"; this is the sentence shown beside it.
#include <string>

#include "base/RuntimeFailure.h"
#include "engine/ConversionOptions.h"

namespace pelvantz {

std::string CompletedReason(const std::string& targetPath);

// A job that ended in a failure, with how far it had got.
struct FailedJob {
  const RuntimeFailure& failure;
  const std::string& sourcePath;
  const std::string& targetPath;
  const ConversionOptions& options;
  bool presentationOpened;  // the office had opened the presentation
  bool pdfCreated;          // Ghostscript had written the PDF: only delivering it was left
};

std::string FailureReason(const FailedJob& job);

}  // namespace pelvantz
