#include "repair_click_fixture.h"

namespace velstrand::testing {
namespace {

using app::kOption2;
using app::kText1;

TEST_F(RepairClickTest, ARunOnTheOfficialServerCleansTheTreeAndStartsItsClient) {
    official_.SetString(game_.wstring());
    auto processes = StartGameProcesses();
    const std::set<fs::path> before = FilesBelow(game_);
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    const HWND box = ClickStart(*app);
    ExpectCompletedRun(*app, box, before, kOfficialClient, kExperienceClient);
    ExpectSixEndedAndOneSpared(processes);
}

TEST_F(RepairClickTest, ARunOnTheExperienceServerStartsTheExperienceClient) {
    official_.SetString(L"C:\\Elsewhere\\DNF");
    experience_.SetString(game_.wstring());
    auto processes = StartGameProcesses();
    const std::set<fs::path> before = FilesBelow(game_);
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    Click(app->Control(kOption2));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(app->Control(kText1)) == game_.wstring(); }));

    const HWND box = ClickStart(*app);
    ExpectCompletedRun(*app, box, before, kExperienceClient, kOfficialClient);
    ExpectSixEndedAndOneSpared(processes);
}

TEST_F(RepairClickTest, ASecondRunAfterTheFirstCleansWhatCameBack) {
    official_.SetString(game_.wstring());
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    std::set<fs::path> before = FilesBelow(game_);
    ExpectCompletedRun(*app, ClickStart(*app), before, kOfficialClient, kExperienceClient);

    fs::remove(ClientMarker(game_, kOfficialClient));
    WriteFile(game_ / L"came back.tdl");
    WriteFile(game_ / L"start\\TenProtect\\BugTrace.log");
    before = FilesBelow(game_);
    leftovers_ = {L"came back.tdl", L"start\\TenProtect\\BugTrace.log"};
    ExpectCompletedRun(*app, ClickStart(*app), before, kOfficialClient, kExperienceClient);
}

TEST_F(RepairClickTest, WithoutTaskkillBesideTheProgramTheRunOnlySaysSo) {
    fs::remove(ToolFolder() / L"taskkill.exe");
    // A copy elsewhere does not count.
    fs::copy_file(SystemFolder() / L"taskkill.exe", game_ / L"taskkill.exe");
    official_.SetString(game_.wstring());
    auto processes = StartGameProcesses();
    const std::set<fs::path> before = FilesBelow(game_);
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    const HWND box = ClickStart(*app);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), kMissingToolMessage);
    ASSERT_TRUE(app->Dismiss(box));
    EXPECT_EQ(FilesBelow(game_), before);
    EXPECT_EQ(FindMessageBox(app->Id()), nullptr) << "the run went on after the missing-tool message";
    EXPECT_FALSE(fs::exists(ClientMarker(game_, kOfficialClient)));
    for (const ChildProcess& process : processes) {
        EXPECT_FALSE(process.HasEnded());
    }
}

TEST_F(RepairClickTest, AFolderThatIsNoGameFolderIsRefused) {
    official_.SetString(game_.wstring());
    const std::set<fs::path> before = FilesBelow(game_);
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    // The last two exist as typed only in part: a pasted trailing blank, and a file.
    for (const std::wstring& folder :
         {std::wstring(L"D:\\"), std::wstring(), std::wstring(L"   "), std::wstring(L"Games\\DNF"),
          game_.wstring() + L" ", (game_ / L"keep.txt").wstring()}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(folder.begin(), folder.end())));
        SetText(app->Control(kText1), folder);
        const HWND box = ClickStart(*app);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), kUnsafeFolderMessage);
        ASSERT_TRUE(app->Dismiss(box));
        EXPECT_EQ(FindMessageBox(app->Id()), nullptr);
    }
    EXPECT_EQ(FilesBelow(game_), before);
    EXPECT_FALSE(fs::exists(ClientMarker(game_, kOfficialClient)));
}

}  // namespace
}  // namespace velstrand::testing
