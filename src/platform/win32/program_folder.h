#pragma once

#include <cstddef>
#include <string>

namespace velstrand {

// The folder that holds the running program, however long its path: no trailing backslash except at a drive
// root ("C:\").
std::wstring RunningProgramFolder();

// The running program's full path. `firstBufferSize` is only ever changed by tests, to make the path outgrow the
// buffer it is first read into.
std::wstring RunningProgramPath(std::size_t firstBufferSize = 260);

// The folder part of a file path, written the same way: "C:\Tools\a.exe" gives "C:\Tools", "C:\a.exe" gives "C:\".
std::wstring FolderOf(const std::wstring& filePath);

}  // namespace velstrand
