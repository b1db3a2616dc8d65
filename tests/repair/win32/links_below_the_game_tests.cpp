// No deletion passes a link below the game folder, not even one put there while the run goes on; the game folder
// itself may be one. The links lead to a folder outside the game folder that holds files of the same names, which
// must all stay.
#include "folder_link.h"
#include "repair_under_wine_fixture.h"
#include "this_system.h"
#include "wait_until.h"

namespace velstrand::testing {
namespace {

const fs::path kTraceLogBelow = fs::path(L"start") / L"TenProtect" / L"BugTrace.log";

// Tried for a while: on Windows a scanner may hold a file just written for a moment, and a folder with a file open
// in it may not be renamed.
bool MoveFolder(const fs::path& from, const fs::path& to) {
    return WaitUntil([&] { return ::MoveFileW(from.c_str(), to.c_str()) != FALSE; }, std::chrono::seconds(5));
}

// Links that a run's client is started through stay until the fixture has waited for that client to end.
class LinksBelowTheGame : public RepairUnderWine {
  protected:
    bool MakeLink(const fs::path& link, const fs::path& target, LinkTo kind = LinkTo::Folder) {
        links_.push_back(std::make_unique<FolderLink>(link, target, kind));
        return links_.back()->Made();
    }

    // `linked` is a folder on the trace log's way, named below the game folder; what it held (the clients, for
    // "start") lies outside now, behind the link.
    void ExpectTheLogOutsideStays(const fs::path& linked) {
        fs::create_directories(game / linked);
        ASSERT_TRUE(MoveFolder(game / linked, outside));
        const fs::path outsideLog = outside / kTraceLogBelow.lexically_relative(linked);
        WriteFile(outsideLog);
        ASSERT_TRUE(MakeLink(game / linked, outside)) << "the test could not make a folder link";

        const auto services = Run(true);

        EXPECT_TRUE(fs::exists(outsideLog));
        // Kept on purpose: not one of the files the completion message counts as stayed.
        EXPECT_EQ(services->messages, std::vector<std::wstring>{std::wstring(kCompletionMessage)});
    }

  private:
    std::vector<std::unique_ptr<FolderLink>> links_;
};

TEST_F(LinksBelowTheGame, TheTraceLogStaysWhenStartIsALink) {
    ExpectTheLogOutsideStays(L"start");
}

TEST_F(LinksBelowTheGame, TheTraceLogStaysWhenTenProtectIsALink) {
    ExpectTheLogOutsideStays(fs::path(L"start") / L"TenProtect");
}

// A deletion that a link below the game folder leads out of is refused as the tool means to, not as a failure.
TEST_F(LinksBelowTheGame, ADeletionThroughAFolderLinkIsKeptOnPurpose) {
    WriteFile(outside / L"x.tdl");
    ASSERT_TRUE(MakeLink(game / L"linked", outside)) << "the test could not make a folder link";
    EXPECT_EQ(windows.RemoveFile(game.wstring(), L"linked\\x.tdl"), Removal::KeptOnPurpose);
    EXPECT_TRUE(fs::exists(outside / L"x.tdl"));
}

TEST_F(LinksBelowTheGame, AFileLinkIsKeptOnPurposeAndWhatItLeadsToStays) {
    WriteFile(outside / L"x.tdl");
    if (!MakeLink(game / L"x.tdl", outside / L"x.tdl", LinkTo::File)) {
        ASSERT_FALSE(UnderWine()) << "the test could not make a file link";
        GTEST_SKIP() << "Windows lets only an elevated process, or any in developer mode, make a symbolic link to a "
                        "file";
    }
    EXPECT_EQ(windows.RemoveFile(game.wstring(), L"x.tdl"), Removal::KeptOnPurpose);
    EXPECT_TRUE(fs::exists(outside / L"x.tdl"));
}

// At the first deletion, before anything of it is opened, a listed folder is moved away and a link to `outside`
// takes its place: what a program racing the sweep would do.
class SwappingServices : public RecordingServices {
  public:
    SwappingServices(RuntimeServices& inner,
                     fs::path toolFolder,
                     std::vector<fs::path> clientMarkers,
                     fs::path swapped,
                     fs::path outsideFolder)
        : RecordingServices(inner, std::move(toolFolder), std::move(clientMarkers)),
          swapped_(std::move(swapped)),
          outside_(std::move(outsideFolder)) {}

    Removal RemoveFile(const std::wstring& folder, const std::wstring& below) override {
        if (!link_) {
            MoveFolder(swapped_, swapped_.wstring() + L" moved away");
            link_ = std::make_unique<FolderLink>(swapped_, outside_);
        }
        return RecordingServices::RemoveFile(folder, below);
    }

    bool Swapped() const { return link_ && link_->Made(); }

  private:
    fs::path swapped_;
    fs::path outside_;
    std::unique_ptr<FolderLink> link_;
};

TEST_F(LinksBelowTheGame, AListedFolderSwappedForALinkBeforeItsDeletionsLeavesTheOutsideAlone) {
    // All of one extension, so that one sweep lists them all before the swap.
    const std::vector<fs::path> names = {L"x.tdl", fs::path(L"deeper") / L"y.tdl"};
    for (const fs::path& name : names) {
        WriteFile(game / L"sub" / name);
        WriteFile(outside / name);
    }

    const auto services = Run<SwappingServices>(true, game / L"sub", outside);

    ASSERT_TRUE(services->Swapped()) << "the test could not swap the folder for a link";
    for (const fs::path& name : names) {
        EXPECT_TRUE(fs::exists(outside / name)) << name;
    }
}

// A game moved to another drive, with a link left where it was: that one link is followed.
TEST_F(LinksBelowTheGame, AGameFolderThatIsALinkIsSweptInFull) {
    const std::vector<fs::path> swept = {L"a.tdl", fs::path(L"sub") / L"b.spk", fs::path(L"sub") / L"deeper" / L"c.dmp",
                                         kTraceLogBelow};
    const std::vector<fs::path> kept = {L"keep.txt", fs::path(L"sub") / L"deeper" / L"keep.tdlx"};
    for (const auto* files : {&swept, &kept}) {
        for (const fs::path& file : *files) {
            WriteFile(game / file);
        }
    }
    const fs::path moved = scratch.Path() / L"moved game";
    ASSERT_TRUE(MoveFolder(game, moved));
    ASSERT_TRUE(MakeLink(game, moved)) << "the test could not make a folder link";

    Run(true);

    for (const fs::path& file : swept) {
        EXPECT_FALSE(fs::exists(moved / file)) << file;
    }
    for (const fs::path& file : kept) {
        EXPECT_TRUE(fs::exists(moved / file)) << file;
    }
}

}  // namespace
}  // namespace velstrand::testing
