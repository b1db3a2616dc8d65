#pragma once

#include <windows.h>

#include <functional>
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

// The two ways Windows starts a program, apart so that tests can see which way a failure takes.
struct StartMethods {
    // CreateProcessW: the process, or none with the error it failed with.
    std::function<UniqueKernelHandle(const std::wstring& program,
                                     const std::wstring& commandLine,
                                     StartStyle style,
                                     DWORD& error)>
        direct;
    // ShellExecuteExW: whether the program started.
    std::function<bool(const std::wstring& program, const std::wstring& arguments, StartStyle style)> shell;
};

const StartMethods& SystemStartMethods();

// Starts the program at the head of `commandLine` with the whole line as its command line, shown in `style`, and
// returns without waiting for it. The program is named to the system by its exact path, so an unquoted
// "C:\Program Files\x.exe" can never start "C:\Program.exe" in its place; it inherits this process's current
// folder. A program whose manifest asks for administrator rights cannot be started directly by a tool that runs
// without them; the shell starts it then, after the system has asked the user.
StartedProgram StartDetached(const std::wstring& commandLine,
                             StartStyle style,
                             const StartMethods& methods = SystemStartMethods());

}  // namespace velstrand
