#pragma once
// The system's default paper, found the way the paper library's own tools find
// it, so that every print job uses it whatever the office guesses on its own.
#include <filesystem>
#include <optional>
#include <string>

#include "layout/SheetLayout.h"

namespace pelvantz::printer {

// The size (1/100 mm, width first as the paper library gives it) of a paper it
// names ("a4", "letter", ...; any case); nothing for a name it does not know.
std::optional<layout::Size> PaperNamed(const std::string& name);

// The first paper name of a papersize file (comments and blank lines skipped).
std::optional<std::string> PaperNameInFile(const std::filesystem::path& file);

// From $PAPERSIZE, else the file $PAPERCONF names, else /etc/papersize, else
// the locale's paper (LC_PAPER), else A4.
layout::Size SystemPaper();

}  // namespace pelvantz::printer
