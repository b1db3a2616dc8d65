// One whole repair through the Windows realisation on real files and processes: the real taskkill.exe from the
// system folder, stand-ins for the game's processes and clients, and a link out of the game folder. (The program's
// own runs, other server and missing tool included, are driven through its window in tests/app.)
#include <fstream>

#include "folder_link.h"
#include "repair_under_wine_fixture.h"
#include "wait_until.h"

namespace velstrand::testing {
namespace {

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
    SetHidden(game / L"hidden.dmp");
    SetHidden(game / L"Secret");
    ::SetFileAttributesW((game / L"readonly.spk").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteFile(outside / L"precious.tdl");
    WriteFile(outside / L"nested" / L"precious.dmp");
    const FolderLink link(game / L"outside-link", outside);
    ASSERT_TRUE(link.Made()) << "the test could not make a folder link";
    StartGameProcesses();

    const auto services = Run(true);

    EXPECT_EQ(services->messages, std::vector<std::wstring>{std::wstring(kCompletionMessage)});
    for (const fs::path& file : swept) {
        EXPECT_FALSE(fs::exists(game / file)) << file;
    }
    for (const fs::path& file : kept) {
        EXPECT_TRUE(fs::exists(game / file)) << file;
    }
    EXPECT_TRUE(fs::is_directory(game / L"folder.tdl"));
    EXPECT_TRUE(fs::exists(outside / L"precious.tdl"));
    EXPECT_TRUE(fs::exists(outside / L"nested" / L"precious.dmp"));

    for (std::size_t i = 0; i + 1 < gameProcesses.size(); ++i) {
        EXPECT_TRUE(gameProcesses[i].WaitForEnd(std::chrono::seconds(10))) << i;
    }
    EXPECT_FALSE(gameProcesses.back().HasEnded()) << "the bystander was ended";

    ASSERT_TRUE(WaitUntil([&] { return fs::exists(Marker(kOfficialClient)); }));
    EXPECT_FALSE(services->clientStartedBeforeDismissal);
    EXPECT_EQ(ReadRecordValue(Marker(kOfficialClient), L"cmdshow"), L"2");
    EXPECT_GT(std::stoull(ReadRecordValue(Marker(kOfficialClient), L"time").value_or(L"0")), services->dismissedAt);
    EXPECT_FALSE(fs::exists(Marker(kExperienceClient)));
    ::SetFileAttributesW((game / L"readonly.spk").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A running game holds its logs and caches open, so nothing it holds can be deleted until it has ended.
TEST_F(RepairUnderWine, FilesTheRunningGameHoldsAreDeletedOnceItHasEnded) {
    const fs::path leftover = game / L"cache" / L"held.tdl";
    const fs::path log = Client(kTraceLog);
    WriteFile(leftover);
    WriteFile(log);
    const ChildProcess tenSafe = StartHolding(L"TenSafe.exe", {leftover, log});

    const auto services = Run(true);

    EXPECT_TRUE(tenSafe.HasEnded());
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_FALSE(fs::exists(log));
    EXPECT_EQ(services->messages, std::vector<std::wstring>{std::wstring(kCompletionMessage)});
}

// A program the run does not end (a scanner, a backup tool) may hold a leftover open: it stays, and the message
// says how many stayed instead of claiming success. The rest of the run goes on as ever.
TEST_F(RepairUnderWine, AFileAProgramOffTheListHoldsStaysAndTheMessageSaysSo) {
    const fs::path held = game / L"cache" / L"scanned.dmp";
    WriteFile(held);
    WriteFile(game / L"a.tdl");
    WriteFile(Client(kTraceLog));
    ChildProcess scanner = StartHolding(L"Scanner.exe", {held});

    const auto services = Run(true);

    EXPECT_EQ(services->messages, std::vector<std::wstring>{CompletionMessage(1)});
    EXPECT_TRUE(fs::exists(held));
    EXPECT_FALSE(fs::exists(game / L"a.tdl"));
    EXPECT_FALSE(fs::exists(Client(kTraceLog)));
    EXPECT_FALSE(scanner.HasEnded()) << "a program off the list was ended";
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(Marker(kOfficialClient)); })) << "the client did not start";
    WriteFile(ReleaseMarkerOf(scratch.Path() / L"processes" / L"Scanner.exe"), "");
    EXPECT_TRUE(scanner.WaitForEnd(std::chrono::seconds(10)));
}

// A browser saves downloads beside the tool, and anything could be saved there as taskkill.exe: only the system's
// own copy runs with the tool's rights. Neither runs, and nothing is ended, deleted or started.
TEST_F(RepairUnderWine, ATaskkillThatIsNotTheSystemsOwnNeverRuns) {
    WriteFile(game / L"a.tdl");
    StartGameProcesses();
    const fs::path taskkill = tool / L"taskkill.exe";
    fs::remove(taskkill);
    fs::copy_file(StandInProgram(StandInKind::Console), taskkill);
    EXPECT_EQ(Run(true)->messages, std::vector<std::wstring>{std::wstring(kForeignToolMessage)});
    EXPECT_FALSE(fs::exists(RecordOf(taskkill))) << "another program ran as taskkill";

    fs::remove(taskkill);
    fs::copy_file(SystemFolder() / L"taskkill.exe", taskkill);
    std::ofstream(taskkill, std::ios::binary | std::ios::app).put('\0');
    EXPECT_EQ(Run(true)->messages, std::vector<std::wstring>{std::wstring(kForeignToolMessage)});

    EXPECT_TRUE(fs::exists(game / L"a.tdl"));
    EXPECT_FALSE(fs::exists(Marker(kOfficialClient)));
    for (const ChildProcess& process : gameProcesses) {
        EXPECT_FALSE(process.HasEnded());
    }
}

// A junction left behind by a game moved to a disk that is now unplugged is no game folder: nothing is ended.
TEST_F(RepairUnderWine, AGameFolderWhoseLinkLeadsNowhereIsRefused) {
    const fs::path unplugged = scratch.Path() / L"unplugged";
    fs::create_directories(unplugged);
    const FolderLink moved(scratch.Path() / L"DNF", unplugged);
    ASSERT_TRUE(moved.Made()) << "the test could not make a folder link";
    fs::remove(unplugged);
    StartGameProcesses();

    RecordingServices services(windows, tool, {});
    RunRepair(services, RepairInputs{(scratch.Path() / L"DNF").wstring(), true});

    EXPECT_EQ(services.messages, std::vector<std::wstring>{std::wstring(kUnsafeFolderMessage)});
    for (const ChildProcess& process : gameProcesses) {
        EXPECT_FALSE(process.HasEnded());
    }
}

// What a listing returns is what the file system holds: a folder "foo." beside a link "foo", and "bar." beside a
// hidden "bar". Plain paths name "foo" and "bar" for both; a sweep must enter each twin as it was listed.
class FolderTwins : public RepairUnderWine {
  protected:
    // The file system's own spelling of a path below the scratch folder, which keeps a trailing period.
    static std::wstring AsListed(const fs::path& path) { return L"\\\\?\\" + path.wstring(); }

    static void WriteAsListed(const fs::path& path) {
        ::CreateDirectoryW(AsListed(path.parent_path()).c_str(), nullptr);
        const UniqueFileHandle file(::CreateFileW(AsListed(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    static bool ExistsAsListed(const fs::path& path) {
        return ::GetFileAttributesW(AsListed(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

TEST_F(FolderTwins, EachTwinIsSweptAsListedAndTheLinkAndTheHiddenFolderAreLeftAlone) {
    const std::vector<fs::path> outsideFiles = {outside / L"far.tdl", outside / L"far.dmp"};
    const std::vector<fs::path> hiddenFiles = {game / L"bar" / L"secret.spk", game / L"bar" / L"keep.txt"};
    const std::vector<fs::path> swept = {game / L"foo." / L"near.tdl", game / L"bar." / L"open.dmp"};
    const std::vector<fs::path> kept = {game / L"foo." / L"keep.txt", game / L"bar." / L"keep.txt"};
    for (const auto* files : {&outsideFiles, &hiddenFiles}) {
        for (const fs::path& file : *files) {
            WriteFile(file);
        }
    }
    SetHidden(game / L"bar");
    for (const auto* files : {&swept, &kept}) {
        for (const fs::path& file : *files) {
            WriteAsListed(file);
        }
    }
    const FolderLink link(game / L"foo", outside);
    ASSERT_TRUE(link.Made()) << "the test could not make a folder link";
    ASSERT_TRUE(ExistsAsListed(game / L"foo." / L"near.tdl")) << "the test could not make a folder \"foo.\"";

    Run(true);

    for (const auto* files : {&outsideFiles, &hiddenFiles, &kept}) {
        for (const fs::path& file : *files) {
            EXPECT_TRUE(ExistsAsListed(file)) << file;
        }
    }
    for (const fs::path& file : swept) {
        EXPECT_FALSE(ExistsAsListed(file)) << file;
    }
}

}  // namespace
}  // namespace velstrand::testing
