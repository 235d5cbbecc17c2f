// Folder helpers for the install folder, the channel file's folder and the temporary
// work folder that holds the copy of an earlier installation's uninstaller.
#pragma once

#include <string>

namespace Utils {

// Creates the folder and every missing parent, walking the path backslash by backslash.
// A path longer than MAX_PATH is refused. The first creation that fails ends the walk
// with false; folders made before it stay.
bool CreateDirectoryTree(const std::wstring& path);

// "<system temporary path>~ZarnTemp\", created (one level) when it does not exist yet.
// Empty when the folder cannot be had or its path would not fit MAX_PATH.
std::wstring GetTempWorkFolder();
// The same below a given temporary path (which ends with a backslash, as GetTempPathW's).
std::wstring GetTempWorkFolderIn(const std::wstring& tempPath);

}  // namespace Utils
