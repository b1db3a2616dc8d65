#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/form_design.h"
#include "e2e_support.h"
#include "window_driver.h"

namespace velstrand::e2e {

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
// temporary game tree, and the registry values of both editions, put back afterwards.
class AppTest : public ::testing::Test {
  protected:
    AppTest();

    const fs::path& ToolFolder() const { return toolFolder_; }
    fs::path Scratch() const { return scratch_.Path(); }

    std::unique_ptr<RunningApp> StartApp();
    // Starts the app and waits until its window shows; fails the test when it does not.
    std::unique_ptr<RunningApp> StartAppAndWaitForWindow();

    // A game folder with leftovers at several depths, files that must stay, and the two stub clients.
    // Returns the files that a run must delete, relative to the folder.
    std::vector<fs::path> MakeGameTree(const fs::path& root) const;
    // Copies of the idle stub under the six image names the run ends, and under one it must spare.
    std::vector<ChildProcess> StartGameProcesses();
    fs::path SparedProcessName() const { return L"Bystander.exe"; }

    static fs::path ClientMarker(const fs::path& game, const wchar_t* client);

    ScopedRegistryValue official_{L"Software\\Tencent\\DNF", L"Path"};
    ScopedRegistryValue experience_{L"Software\\Tencent\\DNFTest", L"Path"};

  private:
    ScratchFolder scratch_;
    fs::path toolFolder_;
};

inline constexpr const wchar_t* kOfficialClient = L"DNFchina.exe";
inline constexpr const wchar_t* kExperienceClient = L"DNFchinaTest.exe";
inline constexpr const wchar_t* kEndedImageNames[] = {L"TenSafe.exe",  L"QQDL.exe",         L"TXPlatform.exe",
                                                      L"DNFChina.exe", L"DNFchinaTest.exe", L"QQLogin.exe"};

}  // namespace velstrand::e2e
