#pragma once
// The office's user profile. One profile under the work folder is reused across
// jobs; two offices must never share a profile, so a profile in use by another
// process makes this one use a private profile that is removed afterwards.
#include <filesystem>
#include <string>

namespace pelvantz::office {

class OfficeProfile {
 public:
  // Throws std::runtime_error when the work folder cannot hold a profile.
  explicit OfficeProfile(const std::filesystem::path& workFolder);
  ~OfficeProfile();
  OfficeProfile(const OfficeProfile&) = delete;
  OfficeProfile& operator=(const OfficeProfile&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  // The lock on the shared profile (-1 for a private one). The office inherits
  // it, so that an office orphaned by a crash of ours still keeps others off.
  int lockDescriptor() const { return lockDescriptor_; }
  // Whether the profile was there before, from an earlier office.
  bool used() const { return used_; }
  // Replaces the profile by a new one, for an office that cannot start on it.
  void renew();

 private:
  void prepare();
  bool lockShared(const std::filesystem::path& workFolder);
  void lockPrivate(const std::filesystem::path& workFolder);

  std::filesystem::path folder_;
  int lockDescriptor_ = -1;
  bool removeOnRelease_ = false;
  bool used_ = false;
};

// Folders of presentations' working copies start with this.
constexpr const char* WorkingCopyPrefix = "office-work";

// A new folder under the work folder that belongs to this process:
// <prefix>-<process id>-<number>, so that leftovers of ended processes can be told apart.
std::filesystem::path NewProcessFolder(const std::filesystem::path& workFolder, const std::string& prefix);

// Removes the folders of processes that no longer run (a crash, a kill).
void RemoveFoldersOfEndedProcesses(const std::filesystem::path& workFolder);

// Highest macro security: documents' macros never run. Kept in the profile's
// configuration layer, which the office reads at start.
void EnforceMacroSecurity(const std::filesystem::path& profileFolder);

}  // namespace pelvantz::office
