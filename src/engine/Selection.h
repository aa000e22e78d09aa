#pragma once
// The two Browse buttons' rules: which dialog each asks for, what it refuses,
// what it remembers, and what the source and target boxes show afterwards.
#include <optional>
#include <string>
#include <vector>

namespace pelvantz {

class Dialogs;
class ErrorHandler;
class SettingsStore;

// The new texts of the path boxes; a box without one keeps its text.
struct SelectionChange {
  std::optional<std::string> source;
  std::optional<std::string> target;
};

// The PDF beside a presentation, as Browse proposes it.
std::string ProposedTarget(const std::string& source);

// The presentations among dropped local files, in the order dropped: the
// files that Browse would accept, folders left out.
std::vector<std::string> PresentationsAmong(const std::vector<std::string>& localFiles);

class Selection {
 public:
  // All of them outlive the selection.
  Selection(Dialogs& dialogs, SettingsStore& settings, ErrorHandler& errors, std::string applicationFolder);

  // Browse for the source: a presentation, with its PDF proposed beside it.
  SelectionChange BrowseSource();
  // Browse for the target: a PDF.
  SelectionChange BrowseTarget();

 private:
  void chooseSource(SelectionChange& change);
  void chooseTarget(SelectionChange& change);

  Dialogs& dialogs_;
  SettingsStore& settings_;
  ErrorHandler& errors_;
  std::string applicationFolder_;
};

}  // namespace pelvantz
