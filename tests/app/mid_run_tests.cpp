// What other programs and the player do to the window while a run waits for the helper: none of it steers the run.

#include <windows.h>

#include "slow_helper_fixture.h"

namespace velstrand::testing {
namespace {

using app::kOption1;
using app::kOption2;
using app::kText1;

constexpr UINT kReplyTimeoutMs = 5000;

LRESULT Send(HWND window, UINT message) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

bool InFront(HWND window) {
    ::SetForegroundWindow(window);
    return WaitUntil([&] { return ::GetForegroundWindow() == window; });
}

TEST_F(SlowHelperTest, TextSentToTheFolderBoxStaysShownAndTheRunSweepsTheFolderOfTheClick) {
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    const HWND box = ClickStartAndActWhileTheRunWaits(*app, [&] {
        SetText(app->Control(kText1), otherGame_.wstring());
        EXPECT_EQ(TextOf(app->Control(kText1)), otherGame_.wstring());
    });
    ExpectTheOfficialRun(*app, box);
    ExpectWindowShows(*app, otherGame_);
}

TEST_F(SlowHelperTest, AServerClickedByAnotherProgramIsPutBack) {
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    const HWND box = ClickStartAndActWhileTheRunWaits(*app, [&] {
        // Sent, not posted: handled at once, while the run waits.
        Send(app->Control(kOption2), BM_CLICK);
        EXPECT_TRUE(IsChecked(app->Control(kOption1)));
    });
    ExpectTheOfficialRun(*app, box);
    ExpectWindowShows(*app, game_);
}

TEST_F(SlowHelperTest, ASpacePressedDuringTheRunNeitherDismissesTheMessageNorStartsAnotherRun) {
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    const auto pressSpaceInFront = [&] {
        ASSERT_TRUE(InFront(app->Window()));
        ASSERT_TRUE(PressKey(VK_SPACE));
    };

    const HWND box = ClickStartAndActWhileTheRunWaits(*app, pressSpaceInFront);
    const std::optional<std::wstring> helperStart = ReadRecordValue(RecordOf(helper_), L"time");
    ExpectTheOfficialRun(*app, box, [&] {
        // On the start button, which has the focus again.
        pressSpaceInFront();
        ASSERT_FALSE(fs::exists(EndedMarkerOf(helper_))) << "pressed too late: the run was over";
    });
    EXPECT_FALSE(
        WaitUntil([&] { return ReadRecordValue(RecordOf(helper_), L"time") != helperStart; }, std::chrono::seconds(1)))
        << "a second run started";
    EXPECT_EQ(FindMessageBox(app->Id()), nullptr);
    ExpectWindowShows(*app, game_);
}

TEST_F(SlowHelperTest, ACloseWaitsForTheRunAndIsHonouredAfterIt) {
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    const HWND window = app->Window();

    const HWND box = ClickStartAndActWhileTheRunWaits(*app, [&] {
        Send(window, WM_CLOSE);
        EXPECT_TRUE(::IsWindow(window)) << "closed while the run worked";
    });
    ExpectTheOfficialRun(*app, box);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(window); })) << "the close was not honoured after the run";
    EXPECT_TRUE(app->Process().WaitForEnd(std::chrono::seconds(5)));
}

}  // namespace
}  // namespace velstrand::testing
