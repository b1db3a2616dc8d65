#include "child_process.h"

#include <windows.h>

#include "platform/win32/process_snapshot.h"
#include "test_files.h"
#include "wait_until.h"

namespace velstrand::testing {

ChildProcess::ChildProcess(const fs::path& program,
                           const fs::path& currentFolder,
                           const std::wstring& arguments,
                           const fs::path& outputFile) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    const UniqueFileHandle nowhere(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                                                 nullptr));
    const UniqueFileHandle output(outputFile.empty()
                                      ? INVALID_HANDLE_VALUE
                                      : ::CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!outputFile.empty() && !output) {
        startError_ = ::GetLastError();
        return;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nowhere.Get();
    startup.hStdOutput = output ? output.Get() : nowhere.Get();
    startup.hStdError = startup.hStdOutput;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info)) {
        const UniqueKernelHandle thread(info.hThread);
        process_.Reset(info.hProcess);
        id_ = info.dwProcessId;
    } else {
        startError_ = ::GetLastError();
    }
}

ChildProcess::~ChildProcess() {
    End();
}

bool ChildProcess::HasEnded() const {
    return WaitForEnd(std::chrono::milliseconds(0));
}

bool ChildProcess::WaitForEnd(std::chrono::milliseconds timeout) const {
    return !process_ || ::WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::optional<DWORD> ChildProcess::ExitCode() const {
    DWORD exitCode = 0;
    if (!process_ || !HasEnded() || !::GetExitCodeProcess(process_.Get(), &exitCode)) {
        return std::nullopt;
    }
    return exitCode;
}

void ChildProcess::End() {
    if (process_ && !HasEnded()) {
        ::TerminateProcess(process_.Get(), 1);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
}

std::optional<PROCESSENTRY32W> FindProcess(const std::function<bool(const PROCESSENTRY32W&)>& matches) {
    std::optional<PROCESSENTRY32W> found;
    ForEachProcess([&](const PROCESSENTRY32W& entry) {
        if (matches(entry)) {
            found = entry;
        }
        return !found;
    });
    return found;
}

bool ProcessRunning(const std::wstring& imageName) {
    return FindProcess(
               [&](const PROCESSENTRY32W& entry) { return ::_wcsicmp(entry.szExeFile, imageName.c_str()) == 0; })
        .has_value();
}

bool WaitUntilNoneRunsFrom(const fs::path& program, std::chrono::milliseconds timeout) {
    const auto runsProgram = [&](const PROCESSENTRY32W& entry) {
        if (::_wcsicmp(entry.szExeFile, program.filename().c_str()) != 0) {
            return false;
        }
        const UniqueKernelHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        std::wstring image(32768, L'\0');
        auto size = static_cast<DWORD>(image.size());
        if (!process || ::WaitForSingleObject(process.Get(), 0) != WAIT_TIMEOUT ||
            !::QueryFullProcessImageNameW(process.Get(), 0, image.data(), &size)) {
            return false;
        }
        image.resize(size);
        // The same file, however each path is spelt (a short name in the temporary folder's path, another case).
        std::error_code ignored;
        return fs::equivalent(image, program, ignored);
    };
    return WaitUntil([&] { return !FindProcess(runsProgram).has_value(); }, timeout);
}

}  // namespace velstrand::testing
