#pragma once
// The shared corpus of real decks, as its manifest describes it.
#include <filesystem>
#include <string>
#include <vector>

namespace pelvantz::bench {

// The files (paths inside the corpus) that manifest.tsv calls sound, in its order.
std::vector<std::string> SoundCorpusFiles(const std::filesystem::path& corpus);

}  // namespace pelvantz::bench
