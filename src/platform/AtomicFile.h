#pragma once
// Replacing a small configuration file so that a crash or a full disk never
// leaves it half written: readers see either the old content or the new.
#include <functional>
#include <string>

namespace pelvantz {

// Fills a fresh file in the same folder through `write` (given its descriptor;
// false with errno set on failure), flushes it to disk and renames it over
// `path` (through a symbolic link, onto its target). An existing file keeps
// its permissions. Answers 0, or the errno of the step that failed, with `path`
// untouched and no temporary file left; EACCES when the existing file is
// read-only (IsReadOnlyFile).
int ReplaceFileWith(const std::string& path, const std::function<bool(int descriptor)>& write);

// ReplaceFileWith for content in memory; false on any failure.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);

// Writes all of the bytes, retrying interrupted and partial writes.
bool WriteAll(int descriptor, const char* data, size_t size);

// Whether an existing file may not be written: we lack write access, or it has
// no write permission for anyone (read-only even for the administrator). A
// rename would replace it regardless, so replacing code asks first.
bool IsReadOnlyFile(const std::string& path);

// Reads the whole content of a file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace pelvantz
