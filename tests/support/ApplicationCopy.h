#pragma once
// A private copy of the built application folder, for tests whose offices and
// work files must not meet another test's.
#include <filesystem>
#include <string>

namespace pelvantz::testing {

// The built application folder (PELVANTZ_APP_DIR, else the build's).
std::filesystem::path BuiltApplicationFolder();
// The folder of real presentations (PELVANTZ_CORPUS, else the shared corpus).
std::filesystem::path Corpus();

constexpr const char* InstalledGhostscript = "/usr/bin/gs";

// Copies everything but the work folder (and the program, unless asked) into
// `folder` (made as needed), with an empty temp/ and the registry naming `ghostscript`.
void CopyApplicationFolder(const std::filesystem::path& folder, const std::string& ghostscript,
                           bool withProgram = false);

}  // namespace pelvantz::testing
