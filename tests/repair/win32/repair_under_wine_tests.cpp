// One whole repair through the Windows realisation on real files and processes: the real taskkill.exe from the
// system folder, stand-ins for the game's processes and clients, and a link out of the game folder.
#include <windows.h>

#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "e2e_support.h"
#include "folder_link.h"
#include "platform/win32/scoped_com_init.h"
#include "platform/win32/win32_services.h"
#include "repair/repair_run.h"
#include "support/fake_window.h"
#include "support/forwarding_services.h"

namespace velstrand {
namespace {

namespace fs = std::filesystem;
using e2e::ChildProcess;
using e2e::ScratchFolder;
using e2e::WaitUntil;
using e2e::WriteFile;

const wchar_t* const kGameProcesses[] = {L"TenSafe.exe",  L"QQDL.exe",         L"TXPlatform.exe",
                                         L"DNFChina.exe", L"DNFchinaTest.exe", L"QQLogin.exe"};

// Message boxes are recorded instead of shown, with whether the client had started by the time the user read
// the box; the tool folder is a scratch folder holding a copy of taskkill.exe.
class RecordingServices final : public testing::ForwardingServices {
  public:
    RecordingServices(RuntimeServices& inner, fs::path toolFolder, std::vector<fs::path> clientMarkers)
        : ForwardingServices(inner), toolFolder_(std::move(toolFolder)), clientMarkers_(std::move(clientMarkers)) {}

    void ShowMessage(const std::wstring& text) override {
        messages.push_back(text);
        for (const fs::path& marker : clientMarkers_) {
            clientStartedBeforeDismissal = clientStartedBeforeDismissal || fs::exists(marker);
        }
        dismissedAt = e2e::PreciseNow();
    }
    std::wstring ProgramFolder() override { return toolFolder_.wstring(); }

    std::vector<std::wstring> messages;
    bool clientStartedBeforeDismissal = false;
    unsigned long long dismissedAt = 0;

  private:
    fs::path toolFolder_;
    std::vector<fs::path> clientMarkers_;
};

class RepairUnderWine : public ::testing::Test {
  protected:
    void SetUp() override {
        tool = scratch.Path() / L"tool";
        game = scratch.Path() / L"game";
        outside = scratch.Path() / L"outside";
        fs::create_directories(tool);
        fs::copy_file(e2e::SystemFolder() / L"taskkill.exe", tool / L"taskkill.exe");
        fs::create_directories(game / L"start");
        fs::copy_file(e2e::BuildPath(STUB_CLIENT_EXE), game / L"start" / L"DNFchina.exe");
        fs::copy_file(e2e::BuildPath(STUB_CLIENT_EXE), game / L"start" / L"DNFchinaTest.exe");
    }

    fs::path Marker(const wchar_t* client) const { return game / L"start" / (std::wstring(client) + L".started"); }

    // Starts idle stand-ins under the six game names and one other name.
    void StartGameProcesses() {
        const fs::path folder = scratch.Path() / L"processes";
        fs::create_directories(folder);
        for (const wchar_t* name : kGameProcesses) {
            fs::copy_file(e2e::BuildPath(STUB_IDLE_EXE), folder / name);
            gameProcesses.emplace_back(folder / name, folder);
        }
        fs::copy_file(e2e::BuildPath(STUB_IDLE_EXE), folder / L"Bystander.exe");
        bystander = std::make_unique<ChildProcess>(folder / L"Bystander.exe", folder);
    }

    std::unique_ptr<RecordingServices> Run(bool official) {
        auto services = std::make_unique<RecordingServices>(
            windows, tool, std::vector<fs::path>{Marker(L"DNFchina.exe"), Marker(L"DNFchinaTest.exe")});
        testing::FakeWindow window{game.wstring(), official};
        RunRepair(*services, window);
        return services;
    }

    ScopedComInit com;
    ScratchFolder scratch;
    fs::path tool, game, outside;
    Win32Services windows;
    std::vector<ChildProcess> gameProcesses;
    std::unique_ptr<ChildProcess> bystander;
};

TEST_F(RepairUnderWine, EndsTheGameSweepsTheTreeAndStartsTheOfficialClientLast) {
    const std::vector<fs::path> swept = {
        L"a.tdl", L"B.TDL", L"sub/deep/x.spk", L"sub/y.dmp", L"folder.tdl/inner.dmp", L"start/TenProtect/BugTrace.log"};
    const std::vector<fs::path> kept = {L"c.tdlx",       L"d.tdl.bak",          L"crash.dmp_old",
                                        L"keep.txt",     L"hidden.dmp",         L"Secret/z.tdl",
                                        L"readonly.spk", L"start/DNFchina.exe", L"start/DNFchinaTest.exe"};
    for (const fs::path& file : swept) {
        WriteFile(game / file);
    }
    for (const fs::path& file : kept) {
        if (!fs::exists(game / file)) {
            WriteFile(game / file);
        }
    }
    e2e::SetHidden(game / L"hidden.dmp");
    e2e::SetHidden(game / L"Secret");
    ::SetFileAttributesW((game / L"readonly.spk").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteFile(outside / L"precious.tdl");
    WriteFile(outside / L"nested" / L"precious.dmp");
    const testing::FolderLink link(game / L"outside-link", outside);
    ASSERT_TRUE(link.Made()) << "the test could not make a folder link";
    StartGameProcesses();

    const auto services = Run(true);

    EXPECT_EQ(services->messages, std::vector<std::wstring>{L"处理完毕，可以运行游戏了"});
    for (const fs::path& file : swept) {
        EXPECT_FALSE(fs::exists(game / file)) << file;
    }
    for (const fs::path& file : kept) {
        EXPECT_TRUE(fs::exists(game / file)) << file;
    }
    EXPECT_TRUE(fs::is_directory(game / L"folder.tdl"));
    EXPECT_TRUE(fs::exists(outside / L"precious.tdl"));
    EXPECT_TRUE(fs::exists(outside / L"nested" / L"precious.dmp"));

    for (const ChildProcess& process : gameProcesses) {
        EXPECT_TRUE(process.WaitForEnd(std::chrono::seconds(10)));
    }
    EXPECT_FALSE(bystander->HasEnded());

    ASSERT_TRUE(WaitUntil([&] { return fs::exists(Marker(L"DNFchina.exe")); }));
    EXPECT_FALSE(services->clientStartedBeforeDismissal);
    EXPECT_EQ(e2e::ReadValue(Marker(L"DNFchina.exe"), "cmdshow"), "2");
    EXPECT_GT(std::stoull(e2e::ReadValue(Marker(L"DNFchina.exe"), "time").value_or("0")), services->dismissedAt);
    EXPECT_FALSE(fs::exists(Marker(L"DNFchinaTest.exe")));
    ::SetFileAttributesW((game / L"readonly.spk").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(RepairUnderWine, ExperienceServerStartsTheOtherClient) {
    const auto services = Run(false);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(Marker(L"DNFchinaTest.exe")); }));
    EXPECT_EQ(e2e::ReadValue(Marker(L"DNFchinaTest.exe"), "cmdshow"), "2");
    EXPECT_FALSE(fs::exists(Marker(L"DNFchina.exe")));
}

TEST_F(RepairUnderWine, WithoutTaskkillBesideTheToolNothingHappens) {
    fs::remove(tool / L"taskkill.exe");
    WriteFile(game / L"a.tdl");
    const auto services = Run(true);
    EXPECT_EQ(services->messages, std::vector<std::wstring>{L"taskkill.exe文件丢失，请重新下载"});
    EXPECT_TRUE(fs::exists(game / L"a.tdl"));
    ::Sleep(200);
    EXPECT_FALSE(fs::exists(Marker(L"DNFchina.exe")));
}

}  // namespace
}  // namespace velstrand
