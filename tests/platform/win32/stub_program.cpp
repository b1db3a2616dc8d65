// A stand-in for a program the tool starts. It records how it was started into "<its own path>.record": the show
// style it was given, what its window became, its command line, its current folder and the folder the services
// report for it. Given "--hold" it then stays until "<its own path>.release" appears (10 s at most). Whenever it
// ends it leaves "<its own path>.ended". Each copy records beside itself, so a test can tell which copy ran.

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/win32/program_folder.h"
#include "scratch_folder.h"

namespace {

using velstrand::testing::FileExists;
using velstrand::testing::WriteTextFile;

std::wstring OwnPath() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::wstring CurrentFolder() {
    std::wstring folder(32768, L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

HWND ShowOwnWindow(HINSTANCE instance, int showCommand) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"VelstrandStubWindow";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowW(L"VelstrandStubWindow", L"Velstrand stub", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 200, 100, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(window, showCommand);
    return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const std::wstring self = OwnPath();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    HWND window = ShowOwnWindow(instance, showCommand);

    std::wstring record;
    record += L"show=" + std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) + L"\n";
    record += L"cmdshow=" + std::to_wstring(showCommand) + L"\n";
    record += L"visible=" + std::to_wstring(::IsWindowVisible(window) ? 1 : 0) + L"\n";
    record += L"iconic=" + std::to_wstring(::IsIconic(window) ? 1 : 0) + L"\n";
    record += L"active=" + std::to_wstring(::GetActiveWindow() == window ? 1 : 0) + L"\n";
    record += L"commandline=" + std::wstring(::GetCommandLineW()) + L"\n";
    record += L"currentfolder=" + CurrentFolder() + L"\n";
    record += L"programfolder=" + velstrand::RunningProgramFolder() + L"\n";
    // Written whole under another name first, so that a reader never sees half a record.
    WriteTextFile(self + L".partial", record);
    ::MoveFileExW((self + L".partial").c_str(), (self + L".record").c_str(), MOVEFILE_REPLACE_EXISTING);

    if (std::wstring(::GetCommandLineW()).find(L"--hold") != std::wstring::npos) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!FileExists(self + L".release") && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ::DestroyWindow(window);
    WriteTextFile(self + L".ended", L"");
    return 0;
}
