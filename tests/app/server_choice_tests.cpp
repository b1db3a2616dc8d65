#include "app_fixture.h"
#include "repair/repair_run.h"

namespace velstrand::testing {
namespace {

using app::kCommand1;
using app::kOption1;
using app::kOption2;
using app::kText1;

bool TextBecomes(RunningApp& app, const std::wstring& expected) {
    return WaitUntil([&] { return TextOf(app.Control(kText1)) == expected; });
}

TEST_F(AppTest, SelectingAServerReplacesATypedFolderWithItsRegistryFolder) {
    official_.SetString(L"C:\\Games\\DNF");
    experience_.SetString(L"D:/Test/DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    SetText(app->Control(kText1), L"E:\\typed by hand");
    Click(app->Control(kOption2));
    EXPECT_TRUE(TextBecomes(*app, L"D:\\Test\\DNF")) << TextOf(app->Control(kText1));
    EXPECT_TRUE(IsChecked(app->Control(kOption2)));
    EXPECT_FALSE(IsChecked(app->Control(kOption1)));

    SetText(app->Control(kText1), L"E:\\typed again");
    Click(app->Control(kOption1));
    EXPECT_TRUE(TextBecomes(*app, L"C:\\Games\\DNF")) << TextOf(app->Control(kText1));
    EXPECT_TRUE(IsChecked(app->Control(kOption1)));
    EXPECT_FALSE(IsChecked(app->Control(kOption2)));

    // Each selection reads the registry anew.
    official_.SetString(L"C:\\Moved\\DNF");
    SetText(app->Control(kText1), L"");
    Click(app->Control(kOption1));
    EXPECT_TRUE(TextBecomes(*app, L"C:\\Moved\\DNF")) << TextOf(app->Control(kText1));
}

TEST_F(AppTest, AServerWithoutAFolderEmptiesTheBoxWithoutWarning) {
    official_.SetString(L"C:\\Games\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    Click(app->Control(kOption2));
    EXPECT_TRUE(TextBecomes(*app, L""));
    // The next click is handled only after the first has returned, so a warning from the first would be up now.
    Click(app->Control(kOption1));
    EXPECT_TRUE(TextBecomes(*app, L"C:\\Games\\DNF"));
    EXPECT_EQ(FindMessageBox(app->Id()), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(app->Window()));
}

TEST_F(AppTest, EnterInTheFolderBoxAndEscapeDoNotPressTheStartButton) {
    // Without taskkill.exe any run would say so at once, so a press would be seen.
    fs::remove(ToolFolder() / L"taskkill.exe");
    official_.SetString(L"C:\\Games\\DNF");
    experience_.SetString(L"D:\\Test\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    PostKey(app->Control(kCommand1), VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusIn(app->Window()) == app->Control(kText1); }));
    PostKey(app->Control(kText1), VK_RETURN);
    PostKey(app->Control(kText1), VK_ESCAPE);
    PostKey(app->Control(kCommand1), VK_ESCAPE);
    // Handled after the keys: by then a run they started would show its message.
    Click(app->Control(kOption2));
    ASSERT_TRUE(TextBecomes(*app, L"D:\\Test\\DNF"));
    EXPECT_EQ(FindMessageBox(app->Id()), nullptr);

    // The button itself still works: its run refuses the folder, which is not there.
    Click(app->Control(kCommand1));
    const HWND box = app->WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), kUnsafeFolderMessage);
}

TEST_F(AppTest, TabVisitsTheButtonTheFolderAndTheSelectedServer) {
    official_.SetString(L"C:\\Games\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    const auto focusReaches = [&](app::ControlId id) {
        return WaitUntil([&] { return FocusIn(app->Window()) == app->Control(id); });
    };
    const auto tab = [&] { PostKey(FocusIn(app->Window()), VK_TAB); };

    ASSERT_TRUE(focusReaches(kCommand1));
    tab();
    EXPECT_TRUE(focusReaches(kText1));
    tab();
    EXPECT_TRUE(focusReaches(kOption1));
    tab();
    EXPECT_TRUE(focusReaches(kCommand1)) << "the unselected server is no tab stop";

    Click(app->Control(kOption2));
    ASSERT_TRUE(TextBecomes(*app, L""));
    ASSERT_TRUE(focusReaches(kOption2));
    tab();
    EXPECT_TRUE(focusReaches(kCommand1));
    tab();
    EXPECT_TRUE(focusReaches(kText1));
    tab();
    EXPECT_TRUE(focusReaches(kOption2)) << "tab enters the group at the selected server";
    EXPECT_TRUE(IsChecked(app->Control(kOption2)));
}

}  // namespace
}  // namespace velstrand::testing
