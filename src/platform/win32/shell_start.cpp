#include "platform/win32/shell_start.h"

#include "platform/win32/system_library.h"

namespace velstrand {

SHELLEXECUTEINFOW ShellStartInfo(const std::wstring& program,
                                 const std::wstring& arguments,
                                 StartStyle style,
                                 HWND owner) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpFile = program.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.nShow = static_cast<int>(style);
    return info;
}

bool StartThroughShell(const std::wstring& program, const std::wstring& arguments, StartStyle style, HWND owner) {
    // Only a client that needs elevation comes here, so shell32, which brings a dozen DLLs of its own, is loaded
    // only then.
    static const SystemLibrary shell32(L"shell32.dll");
    using ShellExecuteFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    const auto shellExecute = shell32.Export<ShellExecuteFunction>("ShellExecuteExW");
    if (shellExecute == nullptr) {
        return false;
    }
    SHELLEXECUTEINFOW info = ShellStartInfo(program, arguments, style, owner);
    return shellExecute(&info) != FALSE;
}

}  // namespace velstrand
