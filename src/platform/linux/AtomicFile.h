#pragma once
// Replacing a small configuration file so that a crash or a full disk never
// leaves it half written: readers see either the old content or the new.
#include <string>

namespace pelvantz {

// Writes `content` to a temporary file in the same folder, flushes it to disk
// and renames it over `path` (through a symbolic link, onto its target). An
// existing file keeps its permissions. False, with `path` untouched, on any
// failure, also when the existing file is read-only (IsReadOnlyFile).
bool ReplaceFileAtomically(const std::string& path, const std::string& content);

// Whether an existing file may not be written: we lack write access, or it has
// no write permission for anyone (read-only even for the administrator). A
// rename would replace it regardless, so replacing code asks first.
bool IsReadOnlyFile(const std::string& path);

// Reads the whole content of a file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace pelvantz
