#pragma once

#include <string>

#include "platform/runtime_services.h"
#include "platform/win32/unique_handle.h"

namespace velstrand {

// Starts the program at the head of `commandLine` with the whole line as its command line, shown in `style`, and
// returns without waiting for it. The program is named to the system by its exact path, so an unquoted
// "C:\Program Files\x.exe" can never start "C:\Program.exe" in its place; it inherits this process's current
// folder. The started process's handle, or none when it could not be started.
UniqueKernelHandle StartDetached(const std::wstring& commandLine, StartStyle style);

}  // namespace velstrand
