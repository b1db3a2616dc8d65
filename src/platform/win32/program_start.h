#pragma once

#include <windows.h>

#include <string>

#include "platform/runtime_services.h"
#include "platform/win32/unique_handle.h"

namespace velstrand {

// ERROR_ELEVATION_REQUIRED, "The requested operation requires elevation", which mingw-w64 10's winerror.h lacks.
inline constexpr DWORD kElevationRequired = 740;

// A program that has been started: with its process handle when this tool started it itself, without one when
// the shell started it on the tool's behalf.
struct StartedProgram {
    bool started = false;
    UniqueKernelHandle process;
};

// Whether a program that CreateProcessW refused with `error` goes to the shell. Only this failure means that the
// exact program was found and can run, with rights this tool lacks; any other would only let the shell's own
// reading of a command line start another program in its place.
bool NeedsTheShell(DWORD createProcessError);

// Starts the program at the head of `commandLine` with the whole line as its command line, shown in `style`, and
// returns without waiting for it. The program is named to the system by its exact path, so an unquoted
// "C:\Program Files\x.exe" can never start "C:\Program.exe" in its place; it inherits this process's current
// folder. A hidden helper loads its DLLs from System32 first (see MitigationPolicyFor). A program whose manifest
// asks for administrator rights cannot be started directly by a tool that runs without them; the shell starts it
// then, after the system has asked the user in a prompt owned by `owner`.
StartedProgram StartDetached(const std::wstring& commandLine, StartStyle style, HWND owner);

}  // namespace velstrand
