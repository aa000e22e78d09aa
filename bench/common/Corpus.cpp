#include "common/Corpus.h"

#include <fstream>

namespace pelvantz::bench {

std::vector<std::string> SoundCorpusFiles(const std::filesystem::path& corpus) {
  std::vector<std::string> files;
  std::ifstream manifest(corpus / "manifest.tsv");
  for (std::string line; std::getline(manifest, line);) {
    const auto tab = line.find('\t');
    if (tab != std::string::npos && line.substr(tab + 1) == "sound") files.push_back(line.substr(0, tab));
  }
  return files;
}

}  // namespace pelvantz::bench
