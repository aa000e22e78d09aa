#pragma once
#include <filesystem>
#include <string>

namespace pelvantz::testing {

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Creates or replaces the file with exactly these bytes.
void WriteFile(const std::filesystem::path& path, const std::string& content);

}  // namespace pelvantz::testing
