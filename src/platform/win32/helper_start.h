#pragma once

#include <windows.h>

#include <string>

#include "platform/runtime_services.h"
#include "platform/win32/unique_handle.h"

namespace velstrand {

// The system's own folder, "C:\Windows\System32": where Windows keeps taskkill.exe, and what the copy script
// copies it from.
std::wstring SystemFolderPath();

// How a start of the helper went and, when this tool started it itself, its process.
struct HelperStarted {
    HelperStart outcome = HelperStart::NotStarted;
    UniqueKernelHandle process;
};

// Starts the program at the head of `commandLine` hidden (see StartDetached), provided it holds exactly the bytes of
// the file of the same name in `systemFolder`. A player's download folder is writable by any program the player
// runs, so from before the comparison until the start the program is held open sharing neither writing nor
// deletion: nothing can change, replace or rename it in between.
HelperStarted StartSystemCopy(const std::wstring& commandLine, const std::wstring& systemFolder, HWND owner);

}  // namespace velstrand
