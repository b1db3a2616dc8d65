#pragma once

#include <windows.h>

#include <filesystem>
#include <set>
#include <string_view>

#include "platform/win32/unique_handle.h"

namespace velstrand::testing {

namespace fs = std::filesystem;

// Writes `content` to `path`, making the folders above it.
void WriteFile(const fs::path& path, std::string_view content = "leftover");
void SetHidden(const fs::path& path);
// Every file below `root`, as paths relative to it.
std::set<fs::path> FilesBelow(const fs::path& root);
// "NTFS", "FAT32", "exFAT": the file system of the volume `path` lies on, past any mount point on the way; empty
// text when it cannot be told.
std::wstring FileSystemOf(const fs::path& path);

// A path that the build wrote (UTF-8), "/x/y" under Wine or "C:/x/y" on Windows, as this process can open it.
fs::path BuildPath(std::string_view path);
// A file the build made, named by its path below the build folder ("tests/x.exe"); the test kit keeps the same
// layout. It is looked for from this program's own folder upwards, so that the tests run wherever the build or the
// kit lies.
fs::path BuiltFile(std::string_view relative);
// The system's own folder (C:\windows\system32), where taskkill.exe lives.
fs::path SystemFolder();
// Copies the system's taskkill.exe into `folder` as players copy it: with its message files, each
// <language>\taskkill.exe.mui of the system folder into the same <language> folder beside it.
void CopySystemTaskkill(const fs::path& folder);
// The running program's own full path, read independently of the code under test.
std::wstring OwnPath();
// This process's current folder.
std::wstring CurrentFolder();

}  // namespace velstrand::testing
