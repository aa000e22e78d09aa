#include "platform/CompoundFile.h"

#include <gsf/gsf.h>

#include <mutex>

namespace pelvantz {
namespace {

struct GObjectRelease {
  void operator()(void* object) const { g_object_unref(object); }
};
using Input = std::unique_ptr<GsfInput, GObjectRelease>;
using Infile = std::unique_ptr<GsfInfile, GObjectRelease>;

// A broken container makes the library complain on standard error; the
// answer "damaged" says all there is to say.
void QuietenContainerLibrary() {
  static std::once_flag once;
  std::call_once(once, [] {
    g_log_set_handler(
        "libgsf:msole", static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
        [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
  });
}

}  // namespace

// The file's input outlives the container read from it.
struct CompoundFile::Container {
  Input input;
  Infile storage;
};

CompoundFile::CompoundFile(const std::string& path) : container_(std::make_unique<Container>()) {
  QuietenContainerLibrary();
  container_->input.reset(gsf_input_stdio_new(path.c_str(), nullptr));
  if (!container_->input) return;
  container_->storage.reset(gsf_infile_msole_new(container_->input.get(), nullptr));
  state_ = container_->storage ? State::Open : State::Damaged;
}

CompoundFile::~CompoundFile() = default;

bool CompoundFile::holds(const std::string& name) const {
  return state_ == State::Open &&
         Input(gsf_infile_child_by_name(container_->storage.get(), name.c_str())) != nullptr;
}

std::optional<std::vector<std::uint8_t>> CompoundFile::streamStart(const std::string& name,
                                                                   std::size_t size) const {
  if (state_ != State::Open) return std::nullopt;
  const Input stream(gsf_infile_child_by_name(container_->storage.get(), name.c_str()));
  std::vector<std::uint8_t> start(size);
  if (!stream || !gsf_input_read(stream.get(), start.size(), start.data())) return std::nullopt;
  return start;
}

}  // namespace pelvantz
