#pragma once
// The office's user profile. A few profiles under the work folder (slots
// office-profile, office-profile-2, ...) are reused across jobs, so that the
// office of the current job and the one started ahead for the next job both
// start warm. Two offices must never share a profile: each slot is locked by
// its office, and when every slot is taken the office gets a private profile
// that is removed afterwards.
#include <filesystem>
#include <string>

namespace pelvantz::office {

class OfficeProfile {
 public:
  // `setupVersion` is the installed office's ooSetupVersion ("7.4"; empty when
  // unknown). Throws std::runtime_error when the work folder cannot hold a profile.
  OfficeProfile(const std::filesystem::path& workFolder, const std::string& setupVersion);
  ~OfficeProfile();
  OfficeProfile(const OfficeProfile&) = delete;
  OfficeProfile& operator=(const OfficeProfile&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  // The lock on the slot (-1 for a private profile). The office inherits it,
  // so that an office orphaned by a crash of ours still keeps others off.
  int lockDescriptor() const { return lockDescriptor_; }
  // Whether the profile was there before, from an earlier office.
  bool used() const { return used_; }
  // Replaces the profile by a new one, for an office that cannot start on it.
  void renew();

 private:
  void prepare();
  bool lockSlot(const std::filesystem::path& workFolder);
  void lockPrivate(const std::filesystem::path& workFolder);

  std::string setupVersion_;
  std::filesystem::path folder_;
  int lockDescriptor_ = -1;
  bool removeOnRelease_ = false;
  bool used_ = false;
};

// Folders of presentations' working copies start with this.
constexpr const char* WorkingCopyPrefix = "office-work";
// Folders an office keeps its temporary files in (instead of the system's) start with this.
constexpr const char* OfficeTemporaryPrefix = "office-tmp";

// A new folder under the work folder that belongs to this process:
// <prefix>-<process id>-<number>, so that leftovers of ended processes can be told apart.
std::filesystem::path NewProcessFolder(const std::filesystem::path& workFolder, const std::string& prefix);

// Removes the folders of processes that no longer run (a crash, a kill).
void RemoveFoldersOfEndedProcesses(const std::filesystem::path& workFolder);

// Writes our items into the profile's configuration layer, which the office
// reads at start: the highest macro security (documents' macros never run)
// and, with a known `setupVersion`, the version the profile was last set up
// for, which spares every start the office's first-start checks. Written
// before every start, so that the version follows an upgraded office.
void PrepareProfileFile(const std::filesystem::path& profileFolder, const std::string& setupVersion);

// The ooSetupVersion of the office the program belongs to ("7.4"), read from
// its share/registry/main.xcd; empty when it cannot be found.
std::string OfficeSetupVersion(const std::filesystem::path& officeProgram);

}  // namespace pelvantz::office
