// Stands in for every program the tests have the tool start or end: the helper, the game's clients and its running
// processes. Each copy records how it was started (see RecordOf): the show style it was given, what its window
// became, the console window it got, its command line, its current folder and the time. Given "--hold", or with
// its hold marker beside it (for a copy started with no arguments, as the tool starts a client), it then stays, as a
// running game does, until its release marker appears (a minute at most, so that a test that fails half-way leaves
// nothing running for long); each file named as --open "<path>" it holds open meanwhile, as a running game holds its
// logs, sharing reading and writing but not deletion. When it ends by itself it leaves its ended marker; a copy
// that another program ends leaves none. Each copy records beside itself, so a test can tell which copy ran. Built
// as a windowed program, as a console one (a console helper such as taskkill) and as one whose manifest requires
// administrator rights.

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_handles.h"
#include "record_file.h"
#include "stand_in_copy.h"
#include "test_files.h"

namespace {

using namespace velstrand::testing;
using velstrand::UniqueFileHandle;

constexpr int kHoldPolls = 60 * 20;
constexpr DWORD kHoldPollMs = 50;

velstrand::app::UniqueWindow ShowOwnWindow(HINSTANCE instance, int showCommand) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"VelstrandStandInWindow";
    ::RegisterClassW(&windowClass);
    velstrand::app::UniqueWindow window(::CreateWindowW(L"VelstrandStandInWindow", L"Velstrand stand-in",
                                                        WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                                                        nullptr, nullptr, instance, nullptr));
    ::ShowWindow(window.Get(), showCommand);
    return window;
}

// The files named after --open, each in quotation marks, held open for as long as the handles live.
std::vector<UniqueFileHandle> OpenNamedFiles(const std::wstring& commandLine) {
    static constexpr std::wstring_view kOpen = L"--open \"";
    std::vector<UniqueFileHandle> held;
    for (std::size_t at = commandLine.find(kOpen); at != std::wstring::npos; at = commandLine.find(kOpen, at)) {
        at += kOpen.size();
        const std::size_t end = commandLine.find(L'"', at);
        const std::wstring path = commandLine.substr(at, end - at);
        held.emplace_back(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return held;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    if (window != nullptr) {
        ::GetClassNameW(window, name, 64);
    }
    return name;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const fs::path self = OwnPath();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    {
        const std::vector<UniqueFileHandle> held = OpenNamedFiles(::GetCommandLineW());
        const velstrand::app::UniqueWindow window = ShowOwnWindow(instance, showCommand);
        const HWND shown = window.Get();
        WriteRecord(RecordOf(self),
                    {{L"show", std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1)},
                     {L"cmdshow", std::to_wstring(showCommand)},
                     {L"visible", std::to_wstring(::IsWindowVisible(shown) ? 1 : 0)},
                     {L"iconic", std::to_wstring(::IsIconic(shown) ? 1 : 0)},
                     {L"active", std::to_wstring(::GetActiveWindow() == shown ? 1 : 0)},
                     // A console program started without a console window still has a console, but no window;
                     // when Windows Terminal hosts it, the window is the terminal's stand-in for one.
                     {L"consolewindow", ClassOf(::GetConsoleWindow())},
                     {L"commandline", ::GetCommandLineW()},
                     {L"currentfolder", CurrentFolder()},
                     {L"time", std::to_wstring(PreciseNow())}});

        if (std::wstring(::GetCommandLineW()).find(L"--hold") != std::wstring::npos || fs::exists(HoldMarkerOf(self))) {
            for (int poll = 0; poll < kHoldPolls && !fs::exists(ReleaseMarkerOf(self)); ++poll) {
                ::Sleep(kHoldPollMs);
            }
        }
    }
    WriteFile(EndedMarkerOf(self), "");
    return 0;
}
