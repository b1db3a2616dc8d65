#include "app_fixture.h"
#include "window_driver.h"

namespace velstrand::e2e {
namespace {

using app::kCommand1;
using app::kOption1;
using app::kOption2;
using app::kText1;

// What every start leaves: the official server selected and the focus on the start button.
void ExpectStartState(RunningApp& app) {
    EXPECT_TRUE(IsChecked(app.Control(kOption1)));
    EXPECT_FALSE(IsChecked(app.Control(kOption2)));
    EXPECT_TRUE(WaitUntil([&] { return FocusIn(app.Window()) == app.Control(kCommand1); }))
        << "focus is on " << FocusIn(app.Window());
}

TEST_F(AppTest, StartShowsTheRegistryFolderWithBackslashesAndNoWarning) {
    official_.SetString(L"C:/Games/Tencent\\DNF/");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    EXPECT_EQ(TextOf(app->Window()), L"Velstrand");
    // Escaped here, so that a source read in the wrong encoding shows up as a difference.
    EXPECT_EQ(TextOf(app->Control(app::kLabel1)), L"DNF\u76ee\u5f55\uff1a");  // DNF目录： (full-width colon)
    EXPECT_EQ(TextOf(app->Control(kCommand1)), L"\u5f00\u59cb\u6e05\u7406");  // 开始清理
    EXPECT_EQ(TextOf(app->Control(kOption1)), L"\u6b63\u5f0f\u670d");         // 正式服
    EXPECT_EQ(TextOf(app->Control(kOption2)), L"\u4f53\u9a8c\u670d");         // 体验服
    EXPECT_EQ(TextOf(app->Control(kText1)), L"C:\\Games\\Tencent\\DNF\\");
    // A warning would have come before the window.
    EXPECT_EQ(FindMessageBox(app->Id()), nullptr);
    ExpectStartState(*app);
}

TEST_F(AppTest, StartWithoutAFolderWarnsOnceBeforeTheWindowShows) {
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "value present but empty" : "value absent");
        if (present) {
            official_.SetString(L"");
        }
        const auto app = StartApp();
        const HWND box = app->WaitForMessageBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), app::kNoGameFolderMessage);
        // Nothing to own it yet: the window is not visible while the warning is up.
        EXPECT_EQ(::GetWindow(box, GW_OWNER), nullptr);
        const HWND hidden = app->Window();
        EXPECT_TRUE(hidden == nullptr || !::IsWindowVisible(hidden));

        ASSERT_TRUE(app->Dismiss(box));
        ASSERT_NE(app->WaitForShownWindow(), nullptr);
        EXPECT_EQ(TextOf(app->Control(kText1)), L"");
        ExpectStartState(*app);
        EXPECT_EQ(FindMessageBox(app->Id()), nullptr) << "warned twice";
    }
}

TEST_F(AppTest, StartWithABlankFolderShowsTheBlanksWithoutWarning) {
    official_.SetString(L"   ");
    const auto app = StartAppAndWaitForWindow();
    EXPECT_EQ(TextOf(app->Control(kText1)), L"   ");
    EXPECT_EQ(FindMessageBox(app->Id()), nullptr);
}

TEST_F(AppTest, ClosingTheWindowEndsTheProgram) {
    official_.SetString(L"C:\\Games\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    ::PostMessageW(app->Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(app->Process().WaitForEnd(std::chrono::seconds(10)));
}

// At the default 96 DPI the client area is 4380 x 1188 twips at 15 twips a pixel.
TEST_F(AppTest, TheClientAreaHasTheDesignedSize) {
    official_.SetString(L"C:\\Games\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    const SIZE client = ClientSize(app->Window());
    EXPECT_EQ(client.cx, 292);
    EXPECT_EQ(client.cy, 79);
}

TEST_F(AppTest, At120DpiEveryTwelveTwipsAreOnePixel) {
    // Read by each process when it starts.
    ScopedRegistryValue logPixels(L"Control Panel\\Desktop", L"LogPixels");
    logPixels.SetDword(120);
    official_.SetString(L"C:\\Games\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    const SIZE client = ClientSize(app->Window());
    EXPECT_EQ(client.cx, 365);
    EXPECT_EQ(client.cy, 99);
    const RECT command1 = RectInParent(app->Control(kCommand1));
    EXPECT_EQ(command1.left, 250);
    EXPECT_EQ(command1.top, 60);
    EXPECT_EQ(command1.right - command1.left, 81);
    EXPECT_EQ(command1.bottom - command1.top, 21);
    const RECT text1 = RectInParent(app->Control(kText1));
    EXPECT_EQ(text1.left, 10);
    EXPECT_EQ(text1.right - text1.left, 341);
}

}  // namespace
}  // namespace velstrand::e2e
