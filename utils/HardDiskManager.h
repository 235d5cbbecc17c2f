// Free space of the drive the user chose: the installer refuses a drive with less than
// 1 GiB available to the user.
#pragma once

#include <cstdint>
#include <string>

namespace Utils {

class HardDiskManager {
 public:
  static constexpr double kBytesPerGigabyte = 1073741824.0;
  static constexpr double kMinimumFreeGigabytes = 1.0;

  virtual ~HardDiskManager() = default;

  // Fills the three counts from GetDiskFreeSpaceExW; on failure they keep their values
  // (0 for a fresh object), so a drive that cannot be asked counts as full.
  bool Query(const std::wstring& directory);
  double FreeGigabytes() const { return GigabytesOf(freeBytesAvailable_); }

  static double GigabytesOf(uint64_t bytes) { return static_cast<double>(bytes) / kBytesPerGigabyte; }
  // The installer's rule for a drive with the given bytes available: at least 1 GiB.
  static bool HasRoomForInstall(uint64_t freeBytesAvailable) {
    return GigabytesOf(freeBytesAvailable) >= kMinimumFreeGigabytes;
  }

  uint64_t FreeBytesAvailable() const { return freeBytesAvailable_; }
  uint64_t TotalBytes() const { return totalBytes_; }
  uint64_t TotalFreeBytes() const { return totalFreeBytes_; }

 private:
  uint64_t freeBytesAvailable_ = 0;
  uint64_t totalBytes_ = 0;
  uint64_t totalFreeBytes_ = 0;
};

}  // namespace Utils
