#include "engine/PresentationFile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/CompoundFile.h"
#include "platform/FilePermissions.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

// The CurrentUserAtom's header token tells an encrypted document from a plain one.
constexpr uint32_t PlainToken = 0xE391C05F;
constexpr uint32_t EncryptedToken = 0xF3D1C4DF;
constexpr std::size_t TokenOffset = 12;  // after the record header and the atom's size

constexpr std::array<unsigned char, 8> CompoundSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::array<unsigned char, 4> ZipSignature = {'P', 'K', 3, 4};

template <std::size_t N>
bool StartsWith(const std::string& path, const std::array<unsigned char, N>& signature) {
  std::array<char, N> head{};
  std::ifstream file(path, std::ios::binary);
  if (!file.read(head.data(), N)) return false;
  for (std::size_t i = 0; i < N; ++i)
    if (static_cast<unsigned char>(head[i]) != signature[i]) return false;
  return true;
}

PresentationFileKind KindOfCurrentUser(const CompoundFile& container) {
  const auto atom = container.streamStart("Current User", TokenOffset + 4);
  if (!atom) return PresentationFileKind::Damaged;
  const std::vector<uint8_t>& bytes = *atom;
  const uint32_t token = bytes[TokenOffset] | bytes[TokenOffset + 1] << 8 | bytes[TokenOffset + 2] << 16 |
                         static_cast<uint32_t>(bytes[TokenOffset + 3]) << 24;
  if (token == EncryptedToken) return PresentationFileKind::PasswordProtected;
  if (token == PlainToken) return PresentationFileKind::PowerPoint97;
  return PresentationFileKind::Damaged;
}

PresentationFileKind KindOfCompoundFile(const std::string& path) {
  const CompoundFile container(path);
  if (container.state() == CompoundFile::State::Unreadable) return PresentationFileKind::Unreadable;
  if (container.state() == CompoundFile::State::Damaged) return PresentationFileKind::Damaged;
  // A protected 2007+ file travels inside a compound document.
  if (container.holds("EncryptedPackage")) return PresentationFileKind::PasswordProtected;
  if (!container.holds("PowerPoint Document"))
    return container.holds("PP40") ? PresentationFileKind::PowerPoint4 : PresentationFileKind::OtherDocument;
  return KindOfCurrentUser(container);
}

}  // namespace

PresentationFileKind InspectPresentationFile(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status)) return PresentationFileKind::Missing;
  if (!fs::is_regular_file(status) || !MayRead(path)) return PresentationFileKind::Unreadable;
  if (fs::file_size(path, error) == 0) return PresentationFileKind::Empty;
  if (StartsWith(path, ZipSignature)) return PresentationFileKind::OpenXml;
  if (!StartsWith(path, CompoundSignature)) return PresentationFileKind::Unknown;
  return KindOfCompoundFile(path);
}

}  // namespace pelvantz
