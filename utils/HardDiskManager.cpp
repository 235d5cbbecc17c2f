#include "utils/HardDiskManager.h"

#include <windows.h>

namespace Utils {

bool HardDiskManager::Query(const std::wstring& directory) {
  ULARGE_INTEGER available{}, total{}, totalFree{};
  if (!::GetDiskFreeSpaceExW(directory.c_str(), &available, &total, &totalFree)) return false;
  freeBytesAvailable_ = available.QuadPart;
  totalBytes_ = total.QuadPart;
  totalFreeBytes_ = totalFree.QuadPart;
  return true;
}

}  // namespace Utils
