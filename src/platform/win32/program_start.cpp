#include "platform/win32/program_start.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "platform/command_line.h"
#include "platform/win32/system_library.h"

namespace velstrand {

namespace {

UniqueKernelHandle CreateProcessDirectly(const std::wstring& program,
                                         const std::wstring& commandLine,
                                         StartStyle style,
                                         DWORD& error) {
    // CreateProcessW may write into the command line it is given.
    std::vector<wchar_t> writableLine(commandLine.begin(), commandLine.end());
    writableLine.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(style);
    // A hidden console helper such as taskkill gets no console at all, so that no terminal (Windows Terminal as
    // the default one ignores SW_HIDE) ever flashes up.
    const DWORD flags = style == StartStyle::Hidden ? CREATE_NO_WINDOW : 0;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.c_str(), writableLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                          &startup, &started)) {
        error = ::GetLastError();
        return UniqueKernelHandle();
    }
    UniqueKernelHandle thread(started.hThread);
    return UniqueKernelHandle(started.hProcess);
}

bool ShellExecuteProgram(const std::wstring& program, const std::wstring& arguments, StartStyle style) {
    // Only a client that needs elevation comes here, so shell32, which brings a dozen DLLs of its own, is loaded
    // only then.
    static const SystemLibrary shell32(L"shell32.dll");
    using ShellExecuteFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    const auto shellExecute = shell32.Export<ShellExecuteFunction>("ShellExecuteExW");
    if (shellExecute == nullptr) {
        return false;
    }
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No error box of the shell's own: a start that fails is skipped without a word. Not asynchronous, because
    // the start is over once this returns.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpFile = program.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.nShow = static_cast<int>(style);
    return shellExecute(&info) != FALSE;
}

}  // namespace

const StartMethods& SystemStartMethods() {
    static const StartMethods methods{CreateProcessDirectly, ShellExecuteProgram};
    return methods;
}

StartedProgram StartDetached(const std::wstring& commandLine, StartStyle style, const StartMethods& methods) {
    const std::wstring program = ProgramPathOf(commandLine);
    DWORD error = ERROR_SUCCESS;
    StartedProgram result;
    result.process = methods.direct(program, commandLine, style, error);
    result.started = static_cast<bool>(result.process);
    // Only this failure means that the exact program was found and can run, with rights this tool lacks.
    if (!result.started && error == kElevationRequired) {
        result.started = methods.shell(program, ArgumentsOf(commandLine), style);
    }
    return result;
}

}  // namespace velstrand
