#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/runtime_services.h"

namespace velstrand {

// What the shell is handed to start `program` with `arguments`, shown in `style`: the exact program path, no working
// folder of its own (it inherits this tool's), no error box of the shell's own (a start that fails is skipped
// without a word) and not asynchronous (the start is over once the call returns). `owner` is the window the consent
// prompt belongs to: without one, Windows may only flash the prompt in the taskbar. The strings must outlive the
// result.
SHELLEXECUTEINFOW ShellStartInfo(const std::wstring& program,
                                 const std::wstring& arguments,
                                 StartStyle style,
                                 HWND owner);

// Starts `program` through the shell, which asks the user for the rights it needs; false when it could not be
// started, a declined prompt (ERROR_CANCELLED) included.
bool StartThroughShell(const std::wstring& program, const std::wstring& arguments, StartStyle style, HWND owner);

}  // namespace velstrand
