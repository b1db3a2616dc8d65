#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <memory>
#include <string_view>
#include <vector>

#include "app/form_design.h"
#include "child_process.h"
#include "registry_value.h"
#include "scratch_folder.h"
#include "stand_in_copy.h"
#include "test_files.h"
#include "this_system.h"
#include "wait_until.h"
#include "window_driver.h"

namespace velstrand::testing {

// A running copy of Velstrand.exe. Closed, with any message box it shows, when the object goes.
class RunningApp {
  public:
    RunningApp(const fs::path& exe, const fs::path& currentFolder);
    ~RunningApp();
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    DWORD Id() const { return process_.Id(); }
    bool Started() const { return process_.Started(); }
    ChildProcess& Process() { return process_; }

    // The main window once it is visible; null if it does not show in time.
    HWND WaitForShownWindow();
    // The message box once it is up; null if none comes in time.
    HWND WaitForMessageBox();
    // Presses OK in `box` and waits until it has gone; false if it stays.
    bool Dismiss(HWND box);
    HWND Window() const { return FindMainWindow(process_.Id()); }
    HWND Control(app::ControlId id) const { return ::GetDlgItem(Window(), id); }

  private:
    ChildProcess process_;
};

// A temporary tool folder with a copy of Velstrand.exe (and taskkill.exe unless a test takes it away), a
// temporary game tree, and the registry values of both editions, put back afterwards. Skipped where Windows would
// ask for consent to start the program.
class AppTest : public ::testing::Test {
  protected:
    AppTest();
    void SetUp() override;

    const fs::path& ToolFolder() const { return toolFolder_; }
    const fs::path& Scratch() const { return scratch_.Path(); }

    std::unique_ptr<RunningApp> StartApp();
    // Starts the app and waits until its window shows; fails the test when it does not.
    std::unique_ptr<RunningApp> StartAppAndWaitForWindow();

    // A game folder with leftovers at several depths, files that must stay, and the two stand-in clients.
    // Returns the files that a run must delete, relative to the folder.
    std::vector<fs::path> MakeGameTree(const fs::path& root) const;
    // Stand-ins under the image names the run ends, and last one under a name it must spare.
    std::vector<ChildProcess> StartGameProcesses();

    // `client` is one of the clients' paths below the game folder.
    static fs::path ClientPath(const fs::path& game, std::wstring_view client);
    // The record the stand-in client writes once it has started.
    static fs::path ClientMarker(const fs::path& game, std::wstring_view client);

    ScopedRegistryValue official_{L"Software\\Tencent\\DNF", L"Path"};
    ScopedRegistryValue experience_{L"Software\\Tencent\\DNFTest", L"Path"};

  private:
    ScratchFolder scratch_;
    fs::path toolFolder_;
};

}  // namespace velstrand::testing
