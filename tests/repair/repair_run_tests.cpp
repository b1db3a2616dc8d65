#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <new>

#include "repair/repair_run.h"
#include "support/fake_services.h"

namespace velstrand {
namespace {

using testing::FakeServices;
using testing::Operation;
using testing::ServiceCall;
using testing::StartedProgram;

const std::wstring kTaskkillCommand =
    LR"("C:\Tools\taskkill.exe" /F /IM TenSafe.exe /IM QQDL.exe /IM TXPlatform.exe /IM DNFChina.exe)"
    LR"( /IM DNFchinaTest.exe /IM QQLogin.exe)";

class RepairRun : public ::testing::Test {
  protected:
    RepairRun() { AddToolAndGame(fake); }

    static void AddToolAndGame(FakeServices& services) {
        services.AddFile(L"C:\\Tools\\taskkill.exe");
        services.AddFile(L"C:\\Tools\\Velstrand.exe");
        services.AddFile(L"D:\\DNF\\start\\DNFchina.exe");
        services.AddFile(L"D:\\DNF\\start\\DNFchinaTest.exe");
        services.AddFile(L"D:\\DNF\\start\\TenProtect\\BugTrace.log");
        services.AddFile(L"D:\\DNF\\a.tdl");
        services.AddFile(L"D:\\DNF\\b.spk");
        services.AddFile(L"D:\\DNF\\c.dmp");
        services.AddFile(L"D:\\DNF\\keep.txt");
    }

    FakeServices fake;
    RepairInputs inputs{L"D:\\DNF", true};
};

TEST_F(RepairRun, RunsTheWholeSequenceInOrder) {
    fake.OnShowMessage([&](const std::wstring&) {
        // Everything is done by the time the user reads the message but the client, which waits for it.
        EXPECT_EQ(fake.RemovedFiles().size(), 4u);
        EXPECT_EQ(fake.StartedPrograms().size(), 1u);
    });
    RunRepair(fake, inputs);

    EXPECT_EQ(fake.RemovedFiles(),
              (std::vector<std::wstring>{LR"(\\?\D:\DNF\a.tdl)", LR"(\\?\D:\DNF\b.spk)", LR"(\\?\D:\DNF\c.dmp)",
                                         LR"(\\?\D:\DNF\start\TenProtect\BugTrace.log)"}));
    EXPECT_EQ(fake.Messages(), std::vector<std::wstring>{L"处理完毕，可以运行游戏了"});
    EXPECT_EQ(fake.StartedPrograms(),
              (std::vector<StartedProgram>{{kTaskkillCommand, StartStyle::Hidden},
                                           {LR"("D:\DNF\start\DNFchina.exe")", StartStyle::MinimisedWithFocus}}));
    EXPECT_TRUE(fake.Exists(L"D:\\DNF\\keep.txt"));
    // The helper may still be at work when the message is dismissed, and the client is on its list.
    const auto& calls = fake.Calls();
    EXPECT_EQ(calls[calls.size() - 2], (ServiceCall{Operation::WaitForHelper, {}}));
}

TEST_F(RepairRun, ExperienceServerStartsTheOtherClientAfterTheSameTaskkill) {
    RunRepair(fake, RepairInputs{L"D:\\DNF", false});
    EXPECT_EQ(fake.StartedPrograms(),
              (std::vector<StartedProgram>{{kTaskkillCommand, StartStyle::Hidden},
                                           {LR"("D:\DNF\start\DNFchinaTest.exe")", StartStyle::MinimisedWithFocus}}));
}

TEST_F(RepairRun, AMissingToolOnlySaysSo) {
    for (const std::uint32_t concealed : {attribute::kHidden, attribute::kSystem}) {
        fake.AddFile(L"C:\\Tools\\taskkill.exe", concealed);
        fake.ClearRecords();
        RunRepair(fake, inputs);
        EXPECT_EQ(fake.Messages(), std::vector<std::wstring>{L"taskkill.exe文件丢失，请重新下载"});
        EXPECT_TRUE(fake.StartedPrograms().empty());
        EXPECT_TRUE(fake.RemovedFiles().empty());
    }

    FakeServices elsewhere;
    elsewhere.AddFolder(L"C:\\Tools\\taskkill.exe");  // a folder of that name is not the tool
    elsewhere.AddFile(L"C:\\Windows\\System32\\taskkill.exe");
    elsewhere.AddFile(L"D:\\DNF\\a.tdl");
    RunRepair(elsewhere, inputs);
    EXPECT_EQ(elsewhere.Messages(), std::vector<std::wstring>{std::wstring(kMissingToolMessage)});
    EXPECT_TRUE(elsewhere.Exists(L"D:\\DNF\\a.tdl"));
}

TEST_F(RepairRun, AFailedPresenceListingCountsAsAMissingTool) {
    fake.FailWhen([](Operation op, const std::wstring& argument) {
        return op == Operation::FindFirstName && argument == L"C:\\Tools\\taskkill.exe";
    });
    RunRepair(fake, inputs);
    EXPECT_EQ(fake.Messages(), std::vector<std::wstring>{std::wstring(kMissingToolMessage)});
    EXPECT_TRUE(fake.StartedPrograms().empty());
}

TEST_F(RepairRun, FailingStepsAreSkippedAndTheRunGoesOn) {
    fake.AddFile(L"D:\\DNF\\start\\TenProtect\\BugTrace.log", attribute::kReadOnly);
    fake.FailWhen([](Operation op, const std::wstring& argument) {
        return op == Operation::StartHelper || (op == Operation::FindFirstName && argument == LR"(\\?\D:\DNF\*.spk)");
    });
    inputs.officialServer.reset();
    RunRepair(fake, inputs);

    EXPECT_EQ(fake.RemovedFiles(), (std::vector<std::wstring>{LR"(\\?\D:\DNF\a.tdl)", LR"(\\?\D:\DNF\c.dmp)"}));
    EXPECT_TRUE(fake.Exists(L"D:\\DNF\\start\\TenProtect\\BugTrace.log"));
    EXPECT_EQ(fake.Messages(), std::vector<std::wstring>{std::wstring(kCompletionMessage)});
    // An unreadable server choice starts the official client.
    EXPECT_EQ(fake.StartedPrograms(),
              (std::vector<StartedProgram>{{LR"("D:\DNF\start\DNFchina.exe")", StartStyle::MinimisedWithFocus}}));
}

// A mistyped or stale folder must not end the player's game and then report success for deleting nothing.
TEST_F(RepairRun, AFolderThatIsNotThereIsRefusedBeforeAnythingIsEnded) {
    // The last one is "D:\DNF" pasted with a trailing blank: a folder of another name.
    for (const wchar_t* folder : {L"D:\\NoGame", L"D:\\DNF\\keep.txt", L"Q:\\DNF", L"D:\\DNF "}) {
        fake.ClearRecords();
        RunRepair(fake, RepairInputs{folder, true});
        EXPECT_EQ(fake.Messages(), std::vector<std::wstring>{std::wstring(kUnsafeFolderMessage)}) << folder;
        EXPECT_TRUE(fake.StartedPrograms().empty()) << folder;
        EXPECT_TRUE(fake.RemovedFiles().empty()) << folder;
    }
}

// A running game holds its logs and caches open: they can go only once it has ended.
TEST_F(RepairRun, FilesTheGameHoldsAreDeletedOnceItHasEnded) {
    fake.HoldOpen(L"D:\\DNF\\a.tdl", L"TenSafe.exe");
    fake.HoldOpen(L"D:\\DNF\\start\\TenProtect\\BugTrace.log", L"tensafe.exe");
    fake.AddFile(L"D:\\DNF\\other.dmp");
    fake.HoldOpen(L"D:\\DNF\\other.dmp", L"Bystander.exe");
    RunRepair(fake, inputs);
    EXPECT_FALSE(fake.Exists(L"D:\\DNF\\a.tdl"));
    EXPECT_FALSE(fake.Exists(L"D:\\DNF\\start\\TenProtect\\BugTrace.log"));
    EXPECT_TRUE(fake.Exists(L"D:\\DNF\\other.dmp")) << "held by a program the run does not end";
}

// "处理完毕" over files that are still there would be a failure reported as success. What the tool keeps on purpose,
// and what had gone before the run came to it, is no failure.
TEST_F(RepairRun, TheCompletionMessageCountsTheFilesThatStayed) {
    EXPECT_EQ(CompletionMessage(0), L"处理完毕，可以运行游戏了");
    EXPECT_EQ(CompletionMessage(12),
              L"处理完毕，可以运行游戏了\n\n另有12个文件未能删除（可能正被其他程序占用），如游戏仍不正常，请重启电脑后"
              L"再运行一次。");

    struct Row {
        const char* what;
        std::function<void(FakeServices&)> arrange;
        std::size_t stayed;
    };
    const Row rows[] = {
        {"held by a program the run does not end",
         [](FakeServices& f) {
             f.HoldOpen(L"D:\\DNF\\a.tdl", L"Scanner.exe");
             f.HoldOpen(L"D:\\DNF\\start\\TenProtect\\BugTrace.log", L"Scanner.exe");
         },
         2},
        {"denied",
         [](FakeServices& f) {
             f.FailWhen([](Operation op, const std::wstring& path) {
                 return op == Operation::RemoveFile && path.ends_with(L"b.spk");
             });
         },
         1},
        {"read-only", [](FakeServices& f) { f.AddFile(L"D:\\DNF\\c.dmp", attribute::kReadOnly); }, 0},
        {"below a link",
         [](FakeServices& f) {
             f.AddFile(L"E:\\Elsewhere\\BugTrace.log");
             f.AddFolderLink(L"D:\\DNF\\start\\TenProtect", L"E:\\Elsewhere");
             f.AddFile(L"D:\\DNF\\link.dmp", attribute::kReparsePoint);
         },
         0},
        {"gone before the run came to it",
         [](FakeServices& f) {
             f.FailWhen([&f](Operation op, const std::wstring&) {
                 if (op == Operation::RemoveFile) {
                     f.Erase(L"D:\\DNF\\sub\\z.tdl");
                     f.Erase(L"D:\\DNF\\start\\TenProtect\\BugTrace.log");
                 }
                 return false;
             });
             f.AddFile(L"D:\\DNF\\sub\\z.tdl");
         },
         0},
        {"never tried: its sweep ran out of memory",
         [](FakeServices& f) {
             f.AddFile(L"D:\\DNF\\sub\\z.tdl");
             f.FailWhen([](Operation op, const std::wstring& path) {
                 if (op == Operation::RemoveFile && path.ends_with(L"a.tdl")) {
                     throw std::bad_alloc();
                 }
                 return false;
             });
         },
         2},
    };
    for (const Row& row : rows) {
        FakeServices services;
        AddToolAndGame(services);
        row.arrange(services);
        RunRepair(services, inputs);
        EXPECT_EQ(services.Messages(), std::vector<std::wstring>{CompletionMessage(row.stayed)}) << row.what;
        EXPECT_EQ(services.StartedPrograms().size(), 2u) << row.what << ": the client starts all the same";
    }
}

// Any program may lie beside the tool under taskkill's name: only the system's own runs with the tool's rights.
TEST_F(RepairRun, ATaskkillThatIsNotTheSystemsOwnNeverRuns) {
    for (const wchar_t* contents : {L"another program", L"a changed copy"}) {
        fake.AddFile(L"C:\\Tools\\taskkill.exe", 0, contents);
        fake.ClearRecords();
        RunRepair(fake, inputs);
        EXPECT_EQ(fake.Messages(), std::vector<std::wstring>{std::wstring(kForeignToolMessage)});
        EXPECT_TRUE(fake.StartedPrograms().empty());
        EXPECT_TRUE(fake.RemovedFiles().empty());
    }
}

// The game folder may itself be a junction to where the game was moved; below it nothing is followed.
TEST_F(RepairRun, TheGameFolderMayBeALinkButNothingBelowIt) {
    fake.AddFile(L"E:\\Games\\DNF\\a.tdl");
    fake.AddFile(L"E:\\Games\\DNF\\start\\DNFchina.exe");
    fake.AddFolderLink(L"D:\\Moved", L"E:\\Games\\DNF");
    fake.AddFile(L"F:\\Elsewhere\\BugTrace.log");
    fake.AddFolderLink(L"E:\\Games\\DNF\\start\\TenProtect", L"F:\\Elsewhere");
    RunRepair(fake, RepairInputs{L"D:\\Moved", true});
    EXPECT_EQ(fake.RemovedFiles(), std::vector<std::wstring>{LR"(\\?\D:\Moved\a.tdl)"});
    EXPECT_TRUE(fake.Exists(L"F:\\Elsewhere\\BugTrace.log"));
}

// Running out of memory fails the step it happens in, not the run.
TEST_F(RepairRun, RunningOutOfMemoryFailsOneStepNotTheRun) {
    fake.AddFile(L"D:\\DNF\\sub1\\x.spk");
    fake.AddFile(L"D:\\DNF\\sub2\\y.spk");
    fake.FailWhen([](Operation op, const std::wstring& argument) {
        if ((op == Operation::FindFirstName && argument == LR"(\\?\D:\DNF\*.tdl)") ||
            (op == Operation::FindFirstName && argument == LR"(\\?\D:\DNF\sub1\*.spk)") ||
            op == Operation::WaitUntilEnded) {
            throw std::bad_alloc();
        }
        return false;
    });
    RunRepair(fake, inputs);
    EXPECT_EQ(fake.RemovedFiles(),
              (std::vector<std::wstring>{LR"(\\?\D:\DNF\b.spk)", LR"(\\?\D:\DNF\sub2\y.spk)", LR"(\\?\D:\DNF\c.dmp)",
                                         LR"(\\?\D:\DNF\start\TenProtect\BugTrace.log)"}));
    EXPECT_EQ(fake.Messages(), std::vector<std::wstring>{std::wstring(kCompletionMessage)});
    EXPECT_EQ(fake.StartedPrograms().size(), 2u);
}

TEST_F(RepairRun, AFolderWithoutAClientIsSweptAndTheClientStartFailsSilently) {
    fake.AddFile(L"D:\\Bare\\a.tdl");
    RunRepair(fake, RepairInputs{L"D:\\Bare", true});
    EXPECT_EQ(fake.RemovedFiles(), std::vector<std::wstring>{LR"(\\?\D:\Bare\a.tdl)"});
    EXPECT_EQ(fake.Messages(), std::vector<std::wstring>{std::wstring(kCompletionMessage)});
    EXPECT_EQ(fake.StartedPrograms(), (std::vector<StartedProgram>{{kTaskkillCommand, StartStyle::Hidden}}));
    EXPECT_EQ(fake.Calls().back(), (ServiceCall{Operation::StartProgram, LR"("D:\Bare\start\DNFchina.exe")"}));
}

// The program folder is joined as it stands; the game folder is read once, as Windows reads a folder, and every
// path under it names that one folder.
TEST_F(RepairRun, TheProgramFolderIsJoinedAsItStandsAndTheGameFolderAsRead) {
    fake.SetProgramFolder(L"C:\\");
    fake.AddFile(L"C:\\taskkill.exe");
    RunRepair(fake, RepairInputs{L"D:/DNF.\\", true});
    const auto& calls = fake.Calls();
    for (const ServiceCall& expected :
         {ServiceCall{Operation::FindFirstName, L"C:\\\\taskkill.exe"},
          ServiceCall{Operation::RemoveFile, LR"(\\?\D:\DNF\a.tdl)"},
          ServiceCall{Operation::RemoveFile, LR"(\\?\D:\DNF\start\TenProtect\BugTrace.log)"},
          ServiceCall{Operation::StartProgram, LR"("D:\DNF\start\DNFchina.exe")"}}) {
        EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end()) << expected.argument;
    }
    EXPECT_TRUE(fake.StartedPrograms().front().commandLine.starts_with(LR"("C:\\taskkill.exe" /F /IM TenSafe.exe)"));
}

TEST_F(RepairRun, FolderWithBlanksGetsQuotedProgramPaths) {
    fake.AddFile(L"D:\\My Game\\start\\DNFchina.exe");
    fake.AddFile(L"D:\\My.exe");
    fake.SetProgramFolder(L"C:\\My Tools");
    fake.AddFile(L"C:\\My Tools\\taskkill.exe");
    fake.AddFile(L"C:\\My.exe");
    RunRepair(fake, RepairInputs{L"D:\\My Game", true});
    ASSERT_EQ(fake.StartedPrograms().size(), 2u);
    EXPECT_TRUE(fake.StartedPrograms()[0].commandLine.starts_with(LR"("C:\My Tools\taskkill.exe" /F)"));
    EXPECT_EQ(fake.StartedPrograms()[1].commandLine, LR"("D:\My Game\start\DNFchina.exe")");
}

TEST_F(RepairRun, UnsafeFolderIsRefusedBeforeAnythingElse) {
    fake.AddFile(L"D:\\stray.tdl");
    fake.AddFile(L"C:\\start\\TenProtect\\BugTrace.log");
    for (const wchar_t* folder : {L"", L"   ", L"D:\\", L"D:/", L"D:\\DNF\\..", L"\\\\server\\share\\", L"DNF"}) {
        fake.ClearRecords();
        RunRepair(fake, RepairInputs{folder, true});
        EXPECT_EQ(fake.Calls(),
                  (std::vector<ServiceCall>{{Operation::ShowMessage, L"DNF目录无效，请填写游戏所在文件夹的完整路径"}}))
            << folder;
    }
    fake.ClearRecords();
    RunRepair(fake, RepairInputs{std::nullopt, true});
    EXPECT_EQ(fake.Messages(), std::vector<std::wstring>{std::wstring(kUnsafeFolderMessage)});
    EXPECT_TRUE(fake.StartedPrograms().empty());
}

TEST_F(RepairRun, ASecondRunStartsFromScratch) {
    RunRepair(fake, inputs);
    fake.ClearRecords();
    fake.AddFile(L"D:\\DNF\\later.tdl");
    RunRepair(fake, inputs);
    EXPECT_EQ(fake.RemovedFiles(), std::vector<std::wstring>{LR"(\\?\D:\DNF\later.tdl)"});
    EXPECT_EQ(fake.StartedPrograms().size(), 2u);
}

}  // namespace
}  // namespace velstrand
