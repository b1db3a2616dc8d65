#include "app_fixture.h"

#include "repair/repair_run.h"

namespace velstrand::testing {

RunningApp::RunningApp(const fs::path& exe, const fs::path& currentFolder) : process_(exe, currentFolder) {}

RunningApp::~RunningApp() {
    for (HWND box = FindMessageBox(Id()); box != nullptr; box = FindMessageBox(Id())) {
        if (!Dismiss(box)) {
            break;
        }
    }
    if (const HWND window = Window(); window != nullptr) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (!process_.WaitForEnd(std::chrono::seconds(5))) {
        process_.End();
    }
}

HWND RunningApp::WaitForShownWindow() {
    return WaitForShownMainWindow(Id());
}

HWND RunningApp::WaitForMessageBox() {
    return WaitForShownMessageBox(Id());
}

bool RunningApp::Dismiss(HWND box) {
    PressOk(box);
    return WaitUntil([&] { return !::IsWindow(box); });
}

AppTest::AppTest() : toolFolder_(scratch_.Path() / L"tool") {
    fs::create_directories(toolFolder_);
    fs::copy_file(BuiltFile(VELSTRAND_EXE), toolFolder_ / L"Velstrand.exe");
    CopySystemTaskkill(toolFolder_);
    official_.Delete();
    experience_.Delete();
    // Window rectangles as the program itself sees them, not scaled down for a program unaware of DPI.
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

void AppTest::SetUp() {
    if (!UnderWine() && RightsOfThisProcess() == Rights::NotElevatedAdministrator) {
        GTEST_SKIP() << "Velstrand.exe asks for the highest rights its user has, and this administrator's prompt is "
                        "not elevated: Windows would ask for consent at every start. Run the kit from an elevated "
                        "prompt, or as a standard user";
    }
}

std::unique_ptr<RunningApp> AppTest::StartApp() {
    // Started in the scratch folder, so that even a path that named "the current drive" stays near it.
    auto app = std::make_unique<RunningApp>(toolFolder_ / L"Velstrand.exe", scratch_.Path());
    EXPECT_TRUE(app->Started());
    return app;
}

std::unique_ptr<RunningApp> AppTest::StartAppAndWaitForWindow() {
    auto app = StartApp();
    EXPECT_NE(app->WaitForShownWindow(), nullptr) << "the window did not show";
    return app;
}

std::vector<fs::path> AppTest::MakeGameTree(const fs::path& root) const {
    std::vector<fs::path> leftovers = {
        L"a.tdl",
        L"b.spk",
        L"c.dmp",
        L"data\\map\\deep\\d.TDL",
        L"data\\map\\e.spk",
        L"data\\f.Dmp",
        L"name with blanks\\g.tdl",
        L"start\\TenProtect\\BugTrace.log",
    };
    const std::vector<fs::path> keepers = {
        L"keep.tdlx",  // matches "*.tdl" through its short name on a volume that has them
        L"keep.txt",
        L"data\\tdl",  // the extension's name, but no extension
        L"data\\map\\keep.tdl.bak",
        L".git\\objects\\in-dot-folder.tdl",
        L"hidden folder\\inside.spk",
        L"hidden.dmp",
        L"folder.dmp\\inside.txt",  // a folder with the extension is not a file
        L"start\\TenProtect\\other.log",
        L"start\\BugTrace.log",
    };
    for (const fs::path& file : leftovers) {
        WriteFile(root / file);
    }
    for (const fs::path& file : keepers) {
        WriteFile(root / file);
    }
    SetHidden(root / L"hidden folder");
    SetHidden(root / L"hidden.dmp");
    fs::copy_file(StandInProgram(), ClientPath(root, kOfficialClient));
    fs::copy_file(StandInProgram(), ClientPath(root, kExperienceClient));
    return leftovers;
}

std::vector<ChildProcess> AppTest::StartGameProcesses() {
    std::vector<std::wstring_view> names(std::begin(kEndedImageNames), std::end(kEndedImageNames));
    names.push_back(L"Bystander.exe");
    std::vector<ChildProcess> processes = StartStandIns(Scratch() / L"processes", names);
    for (const ChildProcess& process : processes) {
        EXPECT_TRUE(process.Started());
    }
    return processes;
}

fs::path AppTest::ClientPath(const fs::path& game, std::wstring_view client) {
    return fs::path(game.wstring() + std::wstring(client));
}

fs::path AppTest::ClientMarker(const fs::path& game, std::wstring_view client) {
    return RecordOf(ClientPath(game, client));
}

}  // namespace velstrand::testing
