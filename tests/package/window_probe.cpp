// Starts the program named on its command line, as a player would start the unpacked Velstrand.exe, and waits for
// its main window, pressing OK on any message box that comes first (with no game folder in the registry, a warning
// does). With "repair" after the program, it then runs one repair on an empty game folder of its own and expects
// the completion message, which only comes when taskkill.exe lies beside the program. Then closes the window and
// expects the program to end by itself. Exits 0 on success; otherwise says why on stderr.

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/form_design.h"
#include "child_process.h"
#include "repair/repair_run.h"
#include "scratch_folder.h"
#include "test_files.h"
#include "utf8_text.h"
#include "wait_until.h"
#include "window_driver.h"

namespace {

using namespace velstrand::testing;

bool RepairRuns(HWND window, DWORD processId) {
    const ScratchFolder game;
    SetText(::GetDlgItem(window, velstrand::app::kText1), game.Path().wstring());
    Click(::GetDlgItem(window, velstrand::app::kCommand1));
    const HWND box = WaitForShownMessageBox(processId);
    if (box == nullptr) {
        std::fputs("no message box after 开始清理\n", stderr);
        return false;
    }
    const std::wstring said = MessageBoxText(box);
    PressOk(box);
    if (said != velstrand::kCompletionMessage) {
        std::fprintf(stderr, "the run said \"%s\", not the completion message\n", Utf8(said).c_str());
        return false;
    }
    // The missing client is started and nothing is said about it; the window is free again.
    return WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool repair = argc == 3 && std::wstring(argv[2]) == L"repair";
    if (argc != 2 && !repair) {
        std::fputs("usage: package_window_probe <program> [repair]\n", stderr);
        return 2;
    }
    // ctest hands over a Linux path, which Wine has decoded from UTF-8.
    const fs::path exe = BuildPath(Utf8(argv[1]));
    ChildProcess started(exe, exe.parent_path());
    if (!started.Started()) {
        std::fputs("the program did not start\n", stderr);
        return 1;
    }
    HWND window = nullptr;
    const bool shown = WaitUntil(
        [&] {
            if (const HWND box = FindMessageBox(started.Id()); box != nullptr && ::IsWindowVisible(box)) {
                PressOk(box);
            }
            window = FindMainWindow(started.Id());
            return window != nullptr && ::IsWindowVisible(window);
        },
        std::chrono::seconds(20));
    if (!shown) {
        std::fputs("no window captioned Velstrand within 20 s\n", stderr);
        return 1;
    }
    if (repair && !RepairRuns(window, started.Id())) {
        return 1;
    }
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (!started.WaitForEnd(std::chrono::seconds(10))) {
        std::fputs("the program did not end once its window was closed\n", stderr);
        return 1;
    }
    return 0;
}
