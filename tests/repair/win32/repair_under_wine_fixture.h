#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

#include "child_process.h"
#include "platform/win32/scoped_com_init.h"
#include "platform/win32/win32_services.h"
#include "record_file.h"
#include "repair/repair_run.h"
#include "scratch_folder.h"
#include "stand_in_copy.h"
#include "support/forwarding_services.h"
#include "test_files.h"
#include "wait_until.h"

namespace velstrand::testing {

// Message boxes are recorded instead of shown, with whether the client had started by the time the user read
// the box; the tool folder is a scratch folder holding a copy of taskkill.exe.
class RecordingServices : public ForwardingServices {
  public:
    RecordingServices(RuntimeServices& inner, fs::path toolFolder, std::vector<fs::path> clientMarkers)
        : ForwardingServices(inner), toolFolder_(std::move(toolFolder)), clientMarkers_(std::move(clientMarkers)) {}

    void ShowMessage(const std::wstring& text) override {
        messages.push_back(text);
        for (const fs::path& marker : clientMarkers_) {
            clientStartedBeforeDismissal = clientStartedBeforeDismissal || fs::exists(marker);
        }
        dismissedAt = PreciseNow();
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
        CopySystemTaskkill(tool);
        PlaceClients();
    }

    // Stand-ins for both clients in the game folder.
    void PlaceClients() {
        fs::create_directories(game / L"start");
        fs::copy_file(StandInProgram(), Client(kOfficialClient));
        fs::copy_file(StandInProgram(), Client(kExperienceClient));
    }

    // A client that a run started writes beside itself until it ends, and the scratch folder goes next.
    void TearDown() override {
        for (const std::wstring_view client : {kOfficialClient, kExperienceClient}) {
            EXPECT_TRUE(WaitUntilNoneRunsFrom(Client(client))) << "a client did not end";
        }
    }

    fs::path Client(std::wstring_view client) const { return fs::path(game.wstring() + std::wstring(client)); }
    fs::path Marker(std::wstring_view client) const { return RecordOf(Client(client)); }

    // Idle stand-ins under the six game names, and the bystander last.
    void StartGameProcesses() {
        std::vector<std::wstring_view> names(std::begin(kEndedImageNames), std::end(kEndedImageNames));
        names.push_back(L"Bystander.exe");
        gameProcesses = StartStandIns(scratch.Path() / L"processes", names);
    }

    // A stand-in running as `imageName` that holds `files` open, sharing reading and writing but not deletion, as a
    // running game holds its logs or a scanner what it reads; running, its files held, when this returns.
    ChildProcess StartHolding(const std::wstring& imageName, const std::vector<fs::path>& files) {
        const fs::path processes = scratch.Path() / L"processes";
        fs::create_directories(processes);
        fs::copy_file(StandInProgram(), processes / imageName);
        std::wstring arguments = L"--hold";
        for (const fs::path& file : files) {
            arguments += L" --open \"" + file.wstring() + L"\"";
        }
        ChildProcess process(processes / imageName, processes, arguments);
        EXPECT_TRUE(WaitUntil([&] { return fs::exists(RecordOf(processes / imageName)); })) << "not holding yet";
        return process;
    }

    // `Services` is RecordingServices or a test's own kind of it, made with `extra` after its usual arguments.
    template <typename Services = RecordingServices, typename... Extra>
    std::unique_ptr<Services> Run(bool official, Extra&&... extra) {
        auto services = std::make_unique<Services>(
            windows, tool, std::vector<fs::path>{Marker(kOfficialClient), Marker(kExperienceClient)},
            std::forward<Extra>(extra)...);
        RunRepair(*services, RepairInputs{game.wstring(), official});
        return services;
    }

    ScopedComInit com;
    ScratchFolder scratch;
    fs::path tool, game, outside;
    Win32Services windows;
    std::vector<ChildProcess> gameProcesses;
};

}  // namespace velstrand::testing
