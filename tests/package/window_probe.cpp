// Starts the program named on its command line, as a player would start the unpacked Velstrand.exe, and waits for
// its main window, pressing OK on any message box that comes first (with no game folder in the registry, a warning
// does). Then closes the window and expects the program to end by itself. Exits 0 on success; otherwise says why
// on stderr.

#include <windows.h>

#include <cstdio>
#include <string>

#include "child_process.h"
#include "test_files.h"
#include "wait_until.h"
#include "window_driver.h"

int wmain(int argc, wchar_t** argv) {
    using namespace velstrand::testing;
    if (argc != 2) {
        std::fputs("usage: package_window_probe <program>\n", stderr);
        return 2;
    }
    // ctest hands over a Linux path.
    const std::string program(argv[1], argv[1] + std::wcslen(argv[1]));
    const fs::path exe = BuildPath(program);
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
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (!started.WaitForEnd(std::chrono::seconds(10))) {
        std::fputs("the program did not end once its window was closed\n", stderr);
        return 1;
    }
    return 0;
}
