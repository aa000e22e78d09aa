#pragma once
// A stand-in for the Windows registry: one text file in the registry-export
// format ("REGEDIT4"), read afresh by every call and replaced in one step by
// every write. The calls mirror the registry API: open or create a key and get
// a handle (0 when it fails), query and set values by type and raw bytes,
// close the handle. Status codes are the platform's (0 success).
//
// File format, as regedit writes it:
//   REGEDIT4
//   [HKEY_LOCAL_MACHINE\SOFTWARE\GS]          key path, '\' separates keys
//   "GSPath"="/usr/bin/gs"                    REG_SZ, stored with its NUL; escapes \\ and \"
//   @="text"                                  the key's default (unnamed) value
//   "Count"=dword:0000000a                    REG_DWORD
//   "Raw"=hex:01,02                           REG_BINARY
//   "Exact"=hex(1):41,42,43                   any type by number, exact bytes (here REG_SZ without NUL)
//   "Long"=hex(2):25,48,\                     a trailing '\' continues a hex list on the next line
//     4f,00
//   ; comment
// A file that breaks these rules is treated as holding nothing and is never
// overwritten; a missing file holds nothing and is created by the first write.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pelvantz {

using RegistryHandle = uint32_t;
constexpr RegistryHandle NullRegistryHandle = 0;

namespace RegistryStatus {
constexpr int32_t Success = 0;
constexpr int32_t FileNotFound = 2;  // no such key or value
constexpr int32_t AccessDenied = 5;  // the handle lacks the access asked for
constexpr int32_t InvalidHandle = 6;
constexpr int32_t InvalidParameter = 87;
constexpr int32_t BadPathName = 161;
constexpr int32_t MoreData = 234;      // the buffer is too small; the size tells what is needed
constexpr int32_t BadDatabase = 1009;  // the store file is damaged
constexpr int32_t WriteFault = 29;     // the store file could not be written
}  // namespace RegistryStatus

namespace RegistryRoot {
constexpr uint32_t ClassesRoot = 0x80000000u;
constexpr uint32_t CurrentUser = 0x80000001u;
constexpr uint32_t LocalMachine = 0x80000002u;
constexpr uint32_t Users = 0x80000003u;
constexpr uint32_t CurrentConfig = 0x80000005u;
}  // namespace RegistryRoot

namespace RegistryAccess {
constexpr uint32_t QueryValue = 0x1;
constexpr uint32_t SetValue = 0x2;
constexpr uint32_t CreateSubKey = 0x4;
}  // namespace RegistryAccess

namespace RegistryType {
constexpr uint32_t None = 0;
constexpr uint32_t String = 1;        // REG_SZ
constexpr uint32_t ExpandString = 2;  // REG_EXPAND_SZ
constexpr uint32_t Binary = 3;        // REG_BINARY
constexpr uint32_t Dword = 4;         // REG_DWORD
constexpr uint32_t MultiString = 7;   // REG_MULTI_SZ
}  // namespace RegistryType

class RegistryStore {
 public:
  static constexpr const char* DefaultFileName = "pelvantz.reg";
  // The store of an application folder: <folder>/pelvantz.reg.
  static std::string PathIn(const std::string& applicationFolder);

  explicit RegistryStore(std::string filePath);
  // The calls are virtual so that a test can watch which keys a caller opens.
  virtual ~RegistryStore() = default;

  // Opens an existing key (a key exists when it or a key below it is in the file).
  virtual int32_t openKey(uint32_t root, const std::string& keyPath, uint32_t access, RegistryHandle& handle);
  // Opens the key, creating it and the keys above it when missing.
  virtual int32_t createKey(uint32_t root, const std::string& keyPath, uint32_t access, RegistryHandle& handle);
  // With `data` null: reports the value's type and size in bytes. With `data`:
  // copies the bytes into it when `size` is large enough and sets `size` to the
  // count copied; otherwise MoreData, and `size` holds the count needed.
  virtual int32_t queryValue(RegistryHandle handle, const std::string& valueName, uint32_t& type, uint8_t* data,
                             uint32_t& size);
  virtual int32_t setValue(RegistryHandle handle, const std::string& valueName, uint32_t type,
                           const std::vector<uint8_t>& data);
  // Harmless on the null handle.
  virtual int32_t closeKey(RegistryHandle handle);

  const std::string& filePath() const { return filePath_; }

 private:
  struct OpenKey {
    std::string path;  // with its root's name, e.g. "HKEY_LOCAL_MACHINE\SOFTWARE\GS"
    uint32_t access;
  };
  int32_t issueHandle(std::string path, uint32_t access, RegistryHandle& handle);

  std::string filePath_;
  std::map<RegistryHandle, OpenKey> openKeys_;
  RegistryHandle nextHandle_ = 1;
};

}  // namespace pelvantz
