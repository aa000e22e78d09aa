#pragma once
// A compound document, the container of Office 97-2003 files: which streams
// it holds and how they begin, read without the office.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelvantz {

class CompoundFile {
 public:
  enum class State {
    Open,
    Unreadable,  // the file cannot be opened for reading
    Damaged,     // no compound document, or one whose structure is broken
  };

  explicit CompoundFile(const std::string& path);
  ~CompoundFile();
  CompoundFile(const CompoundFile&) = delete;
  CompoundFile& operator=(const CompoundFile&) = delete;

  State state() const { return state_; }
  // Whether the top storage holds an entry (a stream or a storage) of that name.
  bool holds(const std::string& name) const;
  // The first `size` bytes of that top-level stream; nothing when there is no
  // such stream or it is shorter.
  std::optional<std::vector<std::uint8_t>> streamStart(const std::string& name, std::size_t size) const;

 private:
  struct Container;
  std::unique_ptr<Container> container_;
  State state_ = State::Unreadable;
};

}  // namespace pelvantz
