#pragma once

#include <set>
#include <vector>

#include "app_fixture.h"
#include "record_file.h"
#include "repair/repair_run.h"

namespace velstrand::testing {

inline std::set<fs::path> Without(std::set<fs::path> files, const std::vector<fs::path>& removed) {
    for (const fs::path& file : removed) {
        files.erase(file);
    }
    return files;
}

class RepairClickTest : public AppTest {
  protected:
    RepairClickTest() : game_(Scratch() / L"Games" / L"DNF") { leftovers_ = MakeGameTree(game_); }

    // Clicks the start button and returns the message box the run shows.
    HWND ClickStart(RunningApp& app) {
        Click(app.Control(app::kCommand1));
        return app.WaitForMessageBox();
    }

    // What a completed run on `client`'s server leaves, checked while its completion message is up and after OK.
    void ExpectCompletedRun(RunningApp& app,
                            HWND box,
                            const std::set<fs::path>& before,
                            std::wstring_view client,
                            std::wstring_view otherClient) {
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), kCompletionMessage);
        EXPECT_EQ(::GetWindow(box, GW_OWNER), app.Window());
        EXPECT_FALSE(::IsWindowEnabled(app.Window()));

        // The sweeps and the trace log are done before the message; the client waits for OK.
        EXPECT_EQ(FilesBelow(game_), Without(before, leftovers_));
        EXPECT_FALSE(fs::exists(ClientMarker(game_, client))) << "started before OK";

        // OK at once, as a player quick to read does: the run itself sees to it that taskkill has ended before the
        // client starts.
        const unsigned long long okPressed = PreciseNow();
        ASSERT_TRUE(app.Dismiss(box));
        const fs::path marker = ClientMarker(game_, client);
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(marker); })) << "the client did not start";
        // It writes beside itself until it ends: what reads the tree next must not see it half-way.
        EXPECT_TRUE(WaitUntilNoneRunsFrom(ClientPath(game_, client))) << "the client did not end";
        EXPECT_EQ(ReadRecordValue(marker, L"cmdshow"), L"2") << "not started minimised";
        EXPECT_GE(std::stoull(ReadRecordValue(marker, L"time").value_or(L"0")), okPressed);
        EXPECT_FALSE(fs::exists(ClientMarker(game_, otherClient)));
        EXPECT_TRUE(::IsWindowEnabled(app.Window()));
        EXPECT_EQ(FindMessageBox(app.Id()), nullptr);
    }

    static void ExpectSixEndedAndOneSpared(std::vector<ChildProcess>& processes) {
        for (std::size_t i = 0; i + 1 < processes.size(); ++i) {
            EXPECT_TRUE(processes[i].WaitForEnd(std::chrono::seconds(10))) << "not ended: " << i;
        }
        EXPECT_FALSE(processes.back().HasEnded()) << "the bystander was ended";
    }

    fs::path game_;
    std::vector<fs::path> leftovers_;
};

}  // namespace velstrand::testing
