// Windows looks for a DLL that is not one of its KnownDLLs in the program's folder first, and players run the tool
// from their Downloads folder: on Windows the planted DLLs are found that way with no help. Wine prefers its own
// DLLs; there it is told, for Velstrand.exe alone, to take a DLL of the planted names that it finds, as Windows
// would. Wine's own user32 also loads version.dll and imm32.dll before any code of the program runs, which
// Windows' user32 does not: both are out of the program's reach and not planted.

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <list>
#include <psapi.h>

#include "repair_click_fixture.h"

namespace velstrand::testing {
namespace {

// The names of DLLs the program loads after start-up that are not KnownDLLs on Windows.
constexpr const wchar_t* kPlantedNames[] = {L"uxtheme", L"scrrun", L"msimg32", L"shcore"};

// The full paths of the DLLs loaded into another process, in lower case.
std::vector<std::wstring> ModulesOf(DWORD processId) {
    const UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!process || !::K32EnumProcessModules(process.Get(), modules, sizeof(modules), &bytes)) {
        return {};
    }
    std::vector<std::wstring> paths;
    for (DWORD i = 0; i < std::min<DWORD>(bytes / sizeof(HMODULE), 512); ++i) {
        wchar_t path[MAX_PATH * 4] = {};
        ::K32GetModuleFileNameExW(process.Get(), modules[i], path, MAX_PATH * 4);
        std::wstring lower(path);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return std::towlower(c); });
        paths.push_back(lower);
    }
    return paths;
}

class DllPlanting : public RepairClickTest {
  protected:
    DllPlanting() {
        for (const wchar_t* name : kPlantedNames) {
            Plant(name);
            if (UnderWine()) {
                overrides_.emplace_back(L"Software\\Wine\\AppDefaults\\Velstrand.exe\\DllOverrides", name);
                overrides_.back().SetString(L"native,builtin");
            }
        }
    }

    void Plant(const std::wstring& name) const {
        fs::copy_file(BuiltFile(PLANTED_DLL), ToolFolder() / (name + L".dll"));
    }
    bool Loaded(const std::wstring& name) const { return fs::exists(ToolFolder() / (name + L".dll.loaded")); }

    void ExpectNoneLoaded(const char* when) const {
        for (const wchar_t* name : kPlantedNames) {
            EXPECT_FALSE(Loaded(name)) << name << " loaded " << when;
        }
    }

    // Wine's per-program DLL settings, put back afterwards.
    std::list<ScopedRegistryValue> overrides_;
};

TEST_F(DllPlanting, NoDllLyingBesideTheProgramIsLoadedThroughAWholeRun) {
    const std::set<fs::path> before = FilesBelow(game_);

    // Start-up with its warning, then a run on the folder the user typed.
    const auto app = StartApp();
    const HWND warning = app->WaitForMessageBox();
    ExpectNoneLoaded("at start-up");
    ASSERT_NE(warning, nullptr);
    ASSERT_TRUE(app->Dismiss(warning));
    ASSERT_NE(app->WaitForShownWindow(), nullptr);
    SetText(app->Control(app::kText1), game_.wstring());
    ExpectCompletedRun(*app, ClickStart(*app), before, kOfficialClient, kExperienceClient);
    ExpectNoneLoaded("in the run");
}

// taskkill.exe imports framedynos.dll, which is no KnownDLL: a copy beside the tool's taskkill.exe would run in the
// helper, with the tool's rights, but for the policy the helper is started with, which has Windows load its images
// from system32 first. This is the one check of that policy.
TEST_F(DllPlanting, TheHelperNeverLoadsAFramedynosLyingBesideIt) {
    if (UnderWine()) {
        GTEST_SKIP() << "Wine's taskkill.exe imports no framedynos.dll and Wine ignores the helper's mitigation "
                        "policy: only Windows shows whether the policy keeps a planted one out";
    }
    Plant(L"framedynos");
    official_.SetString(game_.wstring());
    auto processes = StartGameProcesses();
    const std::set<fs::path> before = FilesBelow(game_);
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);

    ExpectCompletedRun(*app, ClickStart(*app), before, kOfficialClient, kExperienceClient);
    ExpectSixEndedAndOneSpared(processes);
    EXPECT_FALSE(Loaded(L"framedynos"));
}

// The manifest's Common Controls 6 is no import of the program's: it must still be the one the window gets.
TEST_F(DllPlanting, TheWindowStillGetsCommonControls6) {
    official_.SetString(game_.wstring());
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    const std::vector<std::wstring> modules = ModulesOf(app->Id());
    // The side-by-side store names the assembly by its public key token and version.
    EXPECT_TRUE(std::any_of(modules.begin(), modules.end(), [](const std::wstring& path) {
        return path.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0.") != std::wstring::npos &&
               path.ends_with(L"\\comctl32.dll");
    })) << ::testing::PrintToString(modules);
}

}  // namespace
}  // namespace velstrand::testing
