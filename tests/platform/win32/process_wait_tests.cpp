// The run waits for the game to end before it sweeps, and meanwhile the window must not turn into a ghost.

#include <windows.h>

#include <gtest/gtest.h>
#include <string_view>
#include <thread>

#include "platform/win32/process_wait.h"
#include "scratch_folder.h"
#include "stand_in_copy.h"
#include "test_files.h"

namespace velstrand::testing {
namespace {

TEST(WaitForProcessesNamed, WaitsUntilTheyEndWhileTheWindowAnswersAndItsInputStaysQueued) {
    ScratchFolder scratch;
    const fs::path folder = scratch.Path() / L"game";
    std::vector<ChildProcess> running = StartStandIns(folder, {L"Velstrand-Held.exe"});
    ASSERT_TRUE(running.front().Started());
    const HWND window =
        ::CreateWindowW(L"STATIC", L"waiting", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ::PostMessageW(window, WM_KEYDOWN, VK_SPACE, 1);

    // Past the moment Windows would call a window whose thread has not looked at its queue not responding, another
    // program asks the window something; then the game ends.
    bool hung = true;
    bool answered = false;
    std::thread other([&] {
        ::Sleep(5500);
        hung = ::IsHungAppWindow(window) != FALSE;
        DWORD_PTR result = 0;
        answered = ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
        WriteFile(ReleaseMarkerOf(folder / L"Velstrand-Held.exe"), "");
    });
    constexpr std::wstring_view names[] = {L"QQLogin.exe", L"VELSTRAND-HELD.EXE"};
    WaitForProcessesNamed(names, ::GetTickCount64() + 30'000);
    const bool ended = running.front().HasEnded();
    other.join();

    EXPECT_TRUE(ended);
    EXPECT_FALSE(hung);
    EXPECT_TRUE(answered);
    MSG queued{};
    EXPECT_TRUE(::PeekMessageW(&queued, window, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE)) << "the wait took input";
    ::DestroyWindow(window);
}

}  // namespace
}  // namespace velstrand::testing
