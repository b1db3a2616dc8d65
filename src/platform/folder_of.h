#pragma once

#include <string>

namespace velstrand {

// The folder part of a file path, written as the program folder is: no trailing backslash except at a drive root.
// "C:\Tools\a.exe" gives "C:\Tools", "C:\a.exe" gives "C:\".
std::wstring FolderOf(const std::wstring& filePath);

// The last name of a path, after its last separator: "C:\Tools\taskkill.exe" gives "taskkill.exe".
std::wstring FileNameOf(const std::wstring& path);

}  // namespace velstrand
