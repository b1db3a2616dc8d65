#include "platform/win32/program_start.h"

#include <vector>

#include "platform/command_line.h"
#include "platform/win32/shell_start.h"
#include "platform/win32/start_attributes.h"

namespace velstrand {

namespace {

UniqueKernelHandle CreateProcessDirectly(const std::wstring& program,
                                         const std::wstring& commandLine,
                                         StartStyle style,
                                         const StartAttributes& attributes,
                                         DWORD& error) {
    // CreateProcessW may write into the command line it is given.
    std::vector<wchar_t> writableLine(commandLine.begin(), commandLine.end());
    writableLine.push_back(L'\0');

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = attributes.List() != nullptr ? sizeof(STARTUPINFOEXW) : sizeof(STARTUPINFOW);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = static_cast<WORD>(style);
    startup.lpAttributeList = attributes.List();
    // A hidden console helper such as taskkill gets no console at all, so that no terminal (Windows Terminal as
    // the default one ignores SW_HIDE) ever flashes up.
    DWORD flags = style == StartStyle::Hidden ? CREATE_NO_WINDOW : 0;
    flags |= attributes.List() != nullptr ? EXTENDED_STARTUPINFO_PRESENT : 0;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.c_str(), writableLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                          &startup.StartupInfo, &started)) {
        error = ::GetLastError();
        return UniqueKernelHandle();
    }
    UniqueKernelHandle thread(started.hThread);
    return UniqueKernelHandle(started.hProcess);
}

// A Windows that does not know the policy refuses the whole start.
bool RefusesTheAttributes(DWORD error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED;
}

}  // namespace

bool NeedsTheShell(DWORD createProcessError) {
    return createProcessError == kElevationRequired;
}

StartedProgram StartDetached(const std::wstring& commandLine, StartStyle style, HWND owner) {
    const std::wstring program = ProgramPathOf(commandLine);
    DWORD error = ERROR_SUCCESS;
    StartedProgram result;
    {
        const StartAttributes attributes(MitigationPolicyFor(style));
        result.process = CreateProcessDirectly(program, commandLine, style, attributes, error);
        if (!result.process && attributes.List() != nullptr && RefusesTheAttributes(error)) {
            result.process = CreateProcessDirectly(program, commandLine, style, StartAttributes(std::nullopt), error);
        }
    }
    result.started = static_cast<bool>(result.process);
    if (!result.started && NeedsTheShell(error)) {
        result.started = StartThroughShell(program, ArgumentsOf(commandLine), style, owner);
    }
    return result;
}

}  // namespace velstrand
