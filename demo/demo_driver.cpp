// Goes through one repair of the demo as a user would: starts Velstrand from its tool folder, waits for the
// window, presses 开始清理, reads and dismisses the completion message, and waits for the stand-in client. Leaves
// window.bmp and message.bmp in the picture folder and says what it saw. Exits 0 when all went as a user expects.
//
// Usage: velstrand_demo_driver <tool folder> <picture folder>

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/form_design.h"
#include "child_process.h"
#include "record_file.h"
#include "repair/repair_run.h"
#include "screen_picture.h"
#include "stand_in_copy.h"
#include "utf8_text.h"
#include "wait_until.h"
#include "window_driver.h"

namespace {

using namespace velstrand;
using namespace velstrand::testing;
using velstrand::demo::SaveScreenPicture;

constexpr std::chrono::seconds kPatience{30};

void Say(const std::wstring& line) {
    const std::string bytes = Utf8(line + L"\n");
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int Fail(const std::wstring& what) {
    Say(L"FAILED: " + what);
    return 1;
}

RECT FrameOf(HWND window) {
    RECT frame{};
    ::GetWindowRect(window, &frame);
    return frame;
}

// A little of the desktop around `area`, as a user would crop a screenshot.
RECT WithMargin(RECT area) {
    constexpr LONG kMargin = 12;
    area.left = std::max(0L, area.left - kMargin);
    area.top = std::max(0L, area.top - kMargin);
    area.right = std::min<LONG>(::GetSystemMetrics(SM_CXSCREEN), area.right + kMargin);
    area.bottom = std::min<LONG>(::GetSystemMetrics(SM_CYSCREEN), area.bottom + kMargin);
    return area;
}

// Lets every control paint its text before a picture is taken.
void LetItPaint() {
    ::Sleep(1000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return Fail(L"usage: velstrand_demo_driver <tool folder> <picture folder>");
    }
    const fs::path tool = argv[1];
    const fs::path pictures = argv[2];

    ChildProcess velstrand(tool / L"Velstrand.exe", tool);
    const HWND window = velstrand.Started() ? WaitForShownMainWindow(velstrand.Id(), kPatience) : nullptr;
    if (window == nullptr) {
        return Fail(L"the window did not show");
    }
    if (FindMessageBox(velstrand.Id()) != nullptr) {
        return Fail(L"a warning came up at start: " + MessageBoxText(FindMessageBox(velstrand.Id())));
    }
    // The folder the run will clean, as the window shows it.
    const std::wstring game = TextOf(::GetDlgItem(window, app::kText1));
    Say(L"The window shows the game folder " + game + L" and " +
        (IsChecked(::GetDlgItem(window, app::kOption1)) ? L"正式服" : L"体验服") + L" selected.");
    LetItPaint();
    SaveScreenPicture(WithMargin(FrameOf(window)), pictures / L"window.bmp");

    Say(L"Pressing " + TextOf(::GetDlgItem(window, app::kCommand1)) + L".");
    Click(::GetDlgItem(window, app::kCommand1));
    const HWND box = WaitForShownMessageBox(velstrand.Id(), kPatience);
    if (box == nullptr) {
        return Fail(L"no message after the run");
    }
    const std::wstring message = MessageBoxText(box);
    Say(L"The tool says: " + message);
    LetItPaint();
    RECT both = FrameOf(window);
    const RECT boxFrame = FrameOf(box);
    ::UnionRect(&both, &both, &boxFrame);
    SaveScreenPicture(WithMargin(both), pictures / L"message.bmp");
    if (message != kCompletionMessage) {
        return Fail(L"not the completion message");
    }

    // As a user takes longer to read the message than taskkill takes to end the game.
    WaitUntil([] { return !ProcessRunning(L"taskkill.exe"); }, kPatience);
    PressOk(box);
    Say(L"Pressed OK.");
    std::wstring_view started;
    std::optional<Record> record;
    WaitUntil(
        [&] {
            for (const std::wstring_view client : {kOfficialClient, kExperienceClient}) {
                if ((record = ReadRecord(RecordOf(game + std::wstring(client))))) {
                    started = client.substr(1);
                    return true;
                }
            }
            return false;
        },
        kPatience);
    if (!record) {
        return Fail(L"no client started");
    }
    const std::wstring shown = (*record)[L"cmdshow"] == L"2" ? L"minimised" : L"not minimised";
    Say(L"The client started: " + std::wstring(started) + L" (" + shown + L").");
    // It writes beside itself until it ends, and scripts/run.sh lists the game folder once this driver returns.
    WaitUntilNoneRunsFrom(game + L"\\" + std::wstring(started), kPatience);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    velstrand.WaitForEnd(std::chrono::seconds(10));
    return 0;
}
