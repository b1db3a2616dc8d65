// A stand-in for a program the tool starts. It records how it was started into "<its own path>.record": the show
// style it was given, what its window became, its command line and its current folder. Given "--hold" it then stays
// until "<its own path>.release" appears (10 s at most). Whenever it ends it leaves "<its own path>.ended". Each copy
// records beside itself, so a test can tell which copy ran. Built twice: as a windowed program and as a console one.

#include <windows.h>

#include <filesystem>
#include <string>

#include "app/window_handles.h"
#include "record_file.h"
#include "test_files.h"
#include "wait_until.h"

namespace {

using namespace velstrand::testing;

velstrand::app::UniqueWindow ShowOwnWindow(HINSTANCE instance, int showCommand) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"VelstrandStubWindow";
    ::RegisterClassW(&windowClass);
    velstrand::app::UniqueWindow window(::CreateWindowW(L"VelstrandStubWindow", L"Velstrand stub", WS_OVERLAPPEDWINDOW,
                                                        CW_USEDEFAULT, CW_USEDEFAULT, 200, 100, nullptr, nullptr,
                                                        instance, nullptr));
    ::ShowWindow(window.Get(), showCommand);
    return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const std::wstring self = OwnPath();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    {
        const velstrand::app::UniqueWindow window = ShowOwnWindow(instance, showCommand);
        const HWND shown = window.Get();
        WriteRecord(self + L".record",
                    {{L"show", std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1)},
                     {L"cmdshow", std::to_wstring(showCommand)},
                     {L"visible", std::to_wstring(::IsWindowVisible(shown) ? 1 : 0)},
                     {L"iconic", std::to_wstring(::IsIconic(shown) ? 1 : 0)},
                     {L"active", std::to_wstring(::GetActiveWindow() == shown ? 1 : 0)},
                     {L"commandline", ::GetCommandLineW()},
                     {L"currentfolder", CurrentFolder()}});

        if (std::wstring(::GetCommandLineW()).find(L"--hold") != std::wstring::npos) {
            WaitUntil([&] { return std::filesystem::exists(self + L".release"); });
        }
    }
    WriteFile(self + L".ended", "");
    return 0;
}
