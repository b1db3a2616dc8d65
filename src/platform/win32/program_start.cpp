#include "platform/win32/program_start.h"

#include <windows.h>

#include <vector>

#include "platform/command_line.h"
#include "platform/win32/unique_handle.h"

namespace velstrand {

UniqueKernelHandle StartDetached(const std::wstring& commandLine, StartStyle style) {
    const std::wstring program = ProgramPathOf(commandLine);
    // CreateProcessW may write into the command line it is given.
    std::vector<wchar_t> writableLine(commandLine.begin(), commandLine.end());
    writableLine.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(style);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.c_str(), writableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        return UniqueKernelHandle();
    }
    UniqueKernelHandle thread(started.hThread);
    return UniqueKernelHandle(started.hProcess);
}

}  // namespace velstrand
