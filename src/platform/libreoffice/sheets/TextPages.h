#pragma once
// Running text (outline, comments) as a flat OpenDocument text: the office's
// word processor sets it on pages of the sheet's size in one go, however long
// it runs. Each run of text starts on a page of its own, so that its pages can
// follow the sheet they belong to.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "layout/SheetLayout.h"

namespace pelvantz::office {

enum class TextRole { Heading, Body, CommentHeader };

struct TextParagraph {
  std::string text;  // line ends break lines within the paragraph
  TextRole role = TextRole::Body;
  int32_t indent = 0;       // 1/100 mm
  int32_t spaceBefore = 0;  // 1/100 mm
};

class TextPages {
 public:
  explicit TextPages(layout::Size pageSize) : pageSize_(pageSize) {}

  // Starts a run on a new page and returns its number (0 for the first).
  int startRun();
  // Adds to the run started last; a mark names the paragraph so that its page can be found.
  void add(const TextParagraph& paragraph, const std::string& mark = {});
  int runCount() const { return runs_; }

  // The whole text; a bookmark named by RunBookmark opens each run, and each
  // marked paragraph has a bookmark of its mark's name.
  std::string flatDocument() const;
  std::vector<std::string> marks() const;

 private:
  std::string styleFor(const TextParagraph& paragraph, bool newPage);

  struct Paragraph {
    std::string style;
    std::string text;
    std::vector<std::string> bookmarks;
  };
  layout::Size pageSize_;
  int runs_ = 0;
  bool runOpen_ = false;
  std::vector<Paragraph> paragraphs_;
  std::map<std::tuple<TextRole, int32_t, int32_t, bool>, std::string> styles_;
};

std::string RunBookmark(int run);

struct RunPages {
  int first = 0;  // 0-based page of the exported file
  int count = 0;
};

// Where the text landed: each run's pages, and the page (0-based) of each mark.
struct TextLayout {
  std::vector<RunPages> runs;
  std::map<std::string, int> marks;
};

}  // namespace pelvantz::office
