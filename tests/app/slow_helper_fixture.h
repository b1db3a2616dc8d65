#pragma once

#include <cstdlib>
#include <functional>
#include <set>

#include "repair_click_fixture.h"

namespace velstrand::testing {

// A run on the official server that waits for a slow taskkill, long enough for a test to act in the wait. The
// taskkill.exe beside the tool is a stand-in that starts its work only after the tool has stopped waiting for it
// (see slow_taskkill.cpp), and then ends DNFChina.exe, the official client, among the others; its bytes stand at
// System32's taskkill.exe too, so that the tool takes it for the system's own. The experience server's folder, a
// game tree of its own, stands ready beside the official one, and the official client holds once started until the
// test lets it end. Under Wine only: on Windows, System32 is not a test's to change.
class SlowHelperTest : public RepairClickTest {
  protected:
    SlowHelperTest() : otherGame_(Scratch() / L"Games" / L"DNF Test"), helper_(ToolFolder() / L"taskkill.exe") {
        MakeGameTree(otherGame_);
        WriteFile(HoldMarkerOf(ClientPath(game_, kOfficialClient)), "");
        official_.SetString(game_.wstring());
        experience_.SetString(otherGame_.wstring());
        before_ = FilesBelow(game_);
        otherBefore_ = FilesBelow(otherGame_);
    }

    void SetUp() override {
        RepairClickTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        if (!UnderWine()) {
            GTEST_SKIP() << "the tool starts the taskkill.exe beside it only when it is System32's own, and System32 "
                            "is not this test's to change: a slow taskkill stands there under Wine alone";
        }
        if (std::getenv("VELSTRAND_KIT_AFTER_CTEST") != nullptr) {
            GTEST_SKIP() << "ctest has just run this case on this Wine; the kit under Wine repeats it for nothing";
        }
        ASSERT_TRUE(CopyOver(systemTaskkill_, winesTaskkill_));
        ASSERT_TRUE(CopyOver(SlowTaskkillProgram(), systemTaskkill_));
        ASSERT_TRUE(CopyOver(SlowTaskkillProgram(), helper_));
    }

    void TearDown() override {
        if (fs::exists(winesTaskkill_)) {
            // A helper of a run that went wrong would end the next test's clients.
            EXPECT_TRUE(WaitUntilNoneRunsFrom(helper_, std::chrono::seconds(20)));
            EXPECT_TRUE(CopyOver(winesTaskkill_, systemTaskkill_));
        }
    }

    // Clicks the start button and, once the run waits for the helper, does `act`; returns the message box the run
    // shows next.
    HWND ClickStartAndActWhileTheRunWaits(RunningApp& app, const std::function<void()>& act) const {
        Click(app.Control(app::kCommand1));
        EXPECT_TRUE(WaitUntil([&] { return fs::exists(RecordOf(helper_)); })) << "the helper did not start";
        act();
        return WaitForShownMessageBox(app.Id(), std::chrono::seconds(15));
    }

    // What a run on the official server's folder leaves, whatever was done to the window during it: that folder
    // swept and the other one left alone, the completion message up until the test presses OK, and the official
    // client started once the helper has ended, which otherwise would have ended it. `afterOk` runs as soon as the
    // message has gone, while the run still waits for the helper.
    void ExpectTheOfficialRun(
        RunningApp& app,
        HWND box,
        const std::function<void()>& afterOk = [] {}) {
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), kCompletionMessage);
        EXPECT_EQ(FilesBelow(game_), Without(before_, leftovers_));
        EXPECT_EQ(FilesBelow(otherGame_), otherBefore_);
        EXPECT_FALSE(WaitUntil([&] { return !::IsWindow(box); }, std::chrono::milliseconds(300)))
            << "the message went before it was read";
        ASSERT_TRUE(app.Dismiss(box));
        afterOk();

        const fs::path client = ClientPath(game_, kOfficialClient);
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(RecordOf(client)); })) << "the client did not start";
        EXPECT_TRUE(fs::exists(EndedMarkerOf(helper_))) << "the client started while the helper still ran";
        // The client holds until the helper has done its work, which includes ending a client started too early.
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(EndedMarkerOf(helper_)); })) << "the helper did not end";
        EXPECT_GE(std::stoull(ReadRecordValue(RecordOf(client), L"time").value_or(L"0")),
                  std::stoull(ReadRecordValue(EndedMarkerOf(helper_), L"time").value_or(L"0")));
        WriteFile(ReleaseMarkerOf(client), "");
        EXPECT_TRUE(WaitUntil([&] { return fs::exists(EndedMarkerOf(client)); })) << "the client was ended";
        EXPECT_FALSE(fs::exists(ClientMarker(game_, kExperienceClient)));
        EXPECT_FALSE(fs::exists(ClientMarker(otherGame_, kExperienceClient)));
    }

    // The official server still selected, and the folder box showing `folder`.
    void ExpectWindowShows(RunningApp& app, const fs::path& folder) {
        EXPECT_TRUE(IsChecked(app.Control(app::kOption1)));
        EXPECT_FALSE(IsChecked(app.Control(app::kOption2)));
        EXPECT_EQ(TextOf(app.Control(app::kText1)), folder.wstring());
    }

    fs::path otherGame_;
    fs::path helper_;

  private:
    // This mingw's std::filesystem fails to copy over an existing file.
    static bool CopyOver(const fs::path& from, const fs::path& to) {
        return ::CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
    }

    fs::path systemTaskkill_ = SystemFolder() / L"taskkill.exe";
    fs::path winesTaskkill_ = Scratch() / L"wine-taskkill.exe";
    std::set<fs::path> before_;
    std::set<fs::path> otherBefore_;
};

}  // namespace velstrand::testing
