#include "app/form_layout.h"
#include "app_fixture.h"

namespace velstrand::testing {
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

// The screen's colour at a point of `window`'s client area.
COLORREF ScreenPixel(HWND window, POINT point) {
    ::ClientToScreen(window, &point);
    const HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, point.x, point.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

// The label lies above the folder box (screen readers name the box after it) and reaches into its top edge.
TEST_F(AppTest, TheFolderBoxKeepsItsWholeBorderUnderTheLabel) {
    official_.SetString(L"C:\\Games\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    const RECT box = RectInParent(app->Control(kText1));
    const RECT label = RectInParent(app->Control(app::kLabel1));
    ASSERT_LT(box.top, label.bottom) << "the design has them overlap";
    const POINT underLabel{(box.left + label.right) / 2, box.top};
    const POINT pastLabel{(label.right + box.right) / 2, box.top};
    EXPECT_TRUE(
        WaitUntil([&] { return ScreenPixel(app->Window(), underLabel) == ScreenPixel(app->Window(), pastLabel); },
                  std::chrono::seconds(3)))
        << std::hex << ScreenPixel(app->Window(), underLabel) << " under the label, "
        << ScreenPixel(app->Window(), pastLabel) << " past it";
}

// What the window shows at `dpi`, control by control, against the layout of the stored design at that DPI.
void ExpectLayoutAt(RunningApp& app, int dpi) {
    const app::FormLayout layout = app::LayOutForm(dpi);
    const SIZE client = ClientSize(app.Window());
    EXPECT_EQ(client.cx, layout.clientWidth);
    EXPECT_EQ(client.cy, layout.clientHeight);
    for (std::size_t i = 0; i < app::kControls.size(); ++i) {
        const RECT rect = RectInParent(app.Control(app::kControls[i].id));
        const app::PixelRect shown{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
        EXPECT_EQ(shown, layout.controls[i]) << "control " << app::kControls[i].id << " at " << dpi << " DPI";
    }
}

// At the default 96 DPI the client area is 4380 x 1188 twips at 15 twips a pixel: 292 x 79. A Windows display may
// run at another DPI; the window is laid out for its own.
TEST_F(AppTest, TheClientAreaHasTheDesignedSize) {
    official_.SetString(L"C:\\Games\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    ExpectLayoutAt(*app, static_cast<int>(::GetDpiForWindow(app->Window())));
}

TEST_F(AppTest, At120DpiEveryTwelveTwipsAreOnePixel) {
    if (!UnderWine()) {
        GTEST_SKIP() << "Windows reads the display's DPI when the user signs in, not at each program's start as "
                        "Wine does; the test would change this user's display setting";
    }
    // Read by each process when it starts.
    ScopedRegistryValue logPixels(L"Control Panel\\Desktop", L"LogPixels");
    logPixels.SetDword(120);
    official_.SetString(L"C:\\Games\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    ExpectLayoutAt(*app, 120);
}

}  // namespace
}  // namespace velstrand::testing
