#include "engine/PresentationFile.h"

#include <gsf/gsf.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

// The CurrentUserAtom's header token tells an encrypted document from a plain one.
constexpr uint32_t PlainToken = 0xE391C05F;
constexpr uint32_t EncryptedToken = 0xF3D1C4DF;
constexpr std::size_t TokenOffset = 12;  // after the record header and the atom's size

constexpr std::array<unsigned char, 8> CompoundSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::array<unsigned char, 4> ZipSignature = {'P', 'K', 3, 4};

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

template <std::size_t N>
bool StartsWith(const std::string& path, const std::array<unsigned char, N>& signature) {
  std::array<char, N> head{};
  std::ifstream file(path, std::ios::binary);
  if (!file.read(head.data(), N)) return false;
  for (std::size_t i = 0; i < N; ++i)
    if (static_cast<unsigned char>(head[i]) != signature[i]) return false;
  return true;
}

bool HasStream(GsfInfile& container, const char* name) {
  return Input(gsf_infile_child_by_name(&container, name)) != nullptr;
}

PresentationFileKind KindOfCurrentUser(GsfInfile& container) {
  const Input currentUser(gsf_infile_child_by_name(&container, "Current User"));
  std::array<guint8, TokenOffset + 4> atom{};
  if (!currentUser || !gsf_input_read(currentUser.get(), atom.size(), atom.data()))
    return PresentationFileKind::Damaged;
  const uint32_t token = atom[TokenOffset] | atom[TokenOffset + 1] << 8 | atom[TokenOffset + 2] << 16 |
                         static_cast<uint32_t>(atom[TokenOffset + 3]) << 24;
  if (token == EncryptedToken) return PresentationFileKind::PasswordProtected;
  if (token == PlainToken) return PresentationFileKind::PowerPoint97;
  return PresentationFileKind::Damaged;
}

PresentationFileKind KindOfCompoundFile(const std::string& path) {
  QuietenContainerLibrary();
  const Input input(gsf_input_stdio_new(path.c_str(), nullptr));
  if (!input) return PresentationFileKind::Unreadable;
  const Infile container(gsf_infile_msole_new(input.get(), nullptr));
  if (!container) return PresentationFileKind::Damaged;
  // A protected 2007+ file travels inside a compound document.
  if (HasStream(*container, "EncryptedPackage")) return PresentationFileKind::PasswordProtected;
  if (!HasStream(*container, "PowerPoint Document"))
    return HasStream(*container, "PP40") ? PresentationFileKind::PowerPoint4 : PresentationFileKind::OtherDocument;
  return KindOfCurrentUser(*container);
}

}  // namespace

PresentationFileKind InspectPresentationFile(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status)) return PresentationFileKind::Missing;
  if (!fs::is_regular_file(status) || access(path.c_str(), R_OK) != 0) return PresentationFileKind::Unreadable;
  if (fs::file_size(path, error) == 0) return PresentationFileKind::Empty;
  if (StartsWith(path, ZipSignature)) return PresentationFileKind::OpenXml;
  if (!StartsWith(path, CompoundSignature)) return PresentationFileKind::Unknown;
  return KindOfCompoundFile(path);
}

}  // namespace pelvantz
