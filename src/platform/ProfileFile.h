#pragma once
// INI files with the behaviour of the Windows profile calls
// (GetPrivateProfileStringA / WritePrivateProfileStringA):
//  - section and key names match without regard to letter case; the first
//    section and the first key of a name count;
//  - a value is returned without leading and trailing blanks, and without one
//    pair of surrounding double or single quotes;
//  - a value is cut to fit a buffer of `bufferSize` characters (bufferSize - 1
//    characters, the last place holds the terminator);
//  - lines starting with ';' are comments.
#include <cstddef>
#include <string>

namespace pelvantz {

class ProfileFile {
 public:
  explicit ProfileFile(std::string path);

  // The key's value, or `defaultValue` (without trailing blanks) when the
  // file, the section or the key is missing; either cut to bufferSize - 1.
  std::string getString(const std::string& section, const std::string& key, const std::string& defaultValue,
                        size_t bufferSize) const;

  // Stores the value, creating the file, the section or the key as needed and
  // keeping every other line as it was. The file is replaced in one step, so
  // it is never left half written. False when nothing was stored, also for
  // names or values holding a line break or names the format cannot hold
  // (a key with '=', a section with ']'), which would corrupt the file.
  bool writeString(const std::string& section, const std::string& key, const std::string& value);

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace pelvantz
