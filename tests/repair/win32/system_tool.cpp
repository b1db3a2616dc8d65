#include "system_tool.h"

#include <fstream>
#include <iterator>

#include "platform/win32/unique_handle.h"
#include "test_files.h"

namespace velstrand::testing {

ToolRun RunSystemTool(std::wstring_view program,
                      const std::wstring& arguments,
                      const std::filesystem::path& outputFile) {
    const std::filesystem::path path = SystemFolder() / program;
    std::wstring commandLine = L"\"" + path.wstring() + L"\" " + arguments;
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    ToolRun run;
    {
        const UniqueFileHandle output(::CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const UniqueFileHandle nothing(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     &inheritable, OPEN_EXISTING, 0, nullptr));
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nothing.Get();
        startup.hStdOutput = output.Get();
        startup.hStdError = output.Get();
        PROCESS_INFORMATION info{};
        if (!output || !::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                         nullptr, nullptr, &startup, &info)) {
            run.output = "it did not start: error " + std::to_string(::GetLastError());
            return run;
        }
        const UniqueKernelHandle thread(info.hThread);
        const UniqueKernelHandle process(info.hProcess);
        ::WaitForSingleObject(process.Get(), INFINITE);
        DWORD exitCode = 0;
        if (::GetExitCodeProcess(process.Get(), &exitCode)) {
            run.exitCode = exitCode;
        }
    }
    std::ifstream written(outputFile, std::ios::binary);
    run.output.assign(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>());
    return run;
}

}  // namespace velstrand::testing
