// Run by run-tests.cmd before any test. Says what system and rights the tests get, and refuses (exit code 1) while
// a process runs under one of the names the tests end by image name: the kit did not start it and must not end
// it. With "--under-wine" it says nothing and exits 0 under Wine (where it first starts a copy of itself that holds
// Wine's desktop for as long as the calling cmd runs), 1 on Windows.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

#include "child_process.h"
#include "repair/repair_run.h"
#include "test_files.h"
#include "this_system.h"
#include "utf8_text.h"

namespace {

using namespace velstrand;
using namespace velstrand::testing;

const char* RightsText() {
    if (UnderWine()) {
        return "Under Wine: every program runs with full rights, and Windows' own checks of rights are not made.";
    }
    switch (RightsOfThisProcess()) {
        case Rights::Elevated:
            return "Running elevated: the tests that need an administrator who has not elevated are skipped.";
        case Rights::NotElevatedAdministrator:
            return "Running as an administrator who has not elevated: the tests that start Velstrand.exe are "
                   "skipped (Windows would ask for consent at each start). Run from an elevated prompt for them.";
        case Rights::Standard:
            break;
    }
    return "Running as a standard user: the tests that need an administrator who has not elevated are skipped.";
}

// Under Wine the first program that needs a desktop starts Wine's desktop process, which inherits that program's
// standard handles and keeps them while it runs: cmd could then neither read nor write a test's output file again.
// Held by a process of this program whose handles go nowhere, the desktop starts once, for as long as `cmd` runs.
int KeepWineDesktopWhile(DWORD cmd) {
    const UniqueKernelHandle running(::OpenProcess(SYNCHRONIZE, FALSE, cmd));
    const HWND window = ::CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (running) {
        ::WaitForSingleObject(running.Get(), INFINITE);
    }
    ::DestroyWindow(window);
    return 0;
}

DWORD ParentProcessId() {
    const auto self =
        FindProcess([](const PROCESSENTRY32W& entry) { return entry.th32ProcessID == ::GetCurrentProcessId(); });
    return self ? self->th32ParentProcessID : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring_view(argv[1]) == L"--under-wine") {
        if (!UnderWine()) {
            return 1;
        }
        ChildProcess(OwnPath(), CurrentFolder(), L"--keep-wine-desktop " + std::to_wstring(ParentProcessId()))
            .LeaveRunning();
        return 0;
    }
    if (argc == 3 && std::wstring_view(argv[1]) == L"--keep-wine-desktop") {
        return KeepWineDesktopWhile(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    }
    std::printf("%s\n", RightsText());
    std::string running;
    for (const std::wstring_view name : kEndedImageNames) {
        if (ProcessRunning(std::wstring(name))) {
            running.append(" ").append(Utf8(name));
        }
    }
    if (!running.empty()) {
        std::printf(
            "Not running the tests: they end processes by these image names, and some run now:%s. Close "
            "the game, its launcher and companions, and start run-tests.cmd again.\n",
            running.c_str());
        return 1;
    }
    return 0;
}
