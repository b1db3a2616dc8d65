// Whole repairs that only a real Windows shows, run from the test kit: a game folder on a FAT32 and on an exFAT
// volume, which answer no reparse-tag query, and a leftover the player compressed with compact /exe, which is a
// reparse point but no link. Wine serves its drives as NTFS and makes no such files.
#include <windows.h>

#include <optional>
#include <string>

#include "repair_under_wine_fixture.h"
#include "system_tool.h"
#include "this_system.h"
#include "virtual_disk.h"

namespace velstrand::testing {
namespace {

// A file compressed through the Windows Overlay Filter.
constexpr DWORD kWofTag = 0x80000017;
constexpr std::size_t kLeftoverSize = std::size_t{64} * 1024;

std::optional<DWORD> ReparseTagOf(const fs::path& path) {
    const UniqueFileHandle entry(
        ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILE_ATTRIBUTE_TAG_INFO information;
    if (!entry ||
        !::GetFileInformationByHandleEx(entry.Get(), FileAttributeTagInfo, &information, sizeof(information))) {
        return std::nullopt;
    }
    return (information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? information.ReparseTag : 0;
}

class RepairOnEveryDisk : public RepairUnderWine {
  protected:
    // Why this case cannot run here, if it cannot.
    std::optional<std::string> Unable(const char* needsElevationBecause) {
        if (UnderWine()) {
            return "Wine serves every drive as NTFS, answering the queries that FAT32 and exFAT leave unanswered, and "
                   "has neither virtual disks nor compressed files";
        }
        if (RightsOfThisProcess() != Rights::Elevated) {
            return std::string("needs an elevated prompt: ") + needsElevationBecause;
        }
        if (FileSystemOf(scratch.Path()) != L"NTFS") {
            return "the kit lies on a volume that is not NTFS; unpack it onto an NTFS drive";
        }
        return std::nullopt;
    }

    // A whole repair of a game folder on a fresh volume of `format`, which Windows names `fileSystem`.
    void ExpectAGameFolderOnSweptInFull(std::wstring_view format, std::wstring_view fileSystem) {
        if (const auto reason = Unable("diskpart makes and attaches a virtual disk only for an administrator")) {
            GTEST_SKIP() << *reason;
        }
        if (!DiskpartCanName(scratch.Path())) {
            GTEST_SKIP() << "diskpart reads its script in a code page of its own: unpack the kit into a folder whose "
                            "path is plain ASCII";
        }
        const fs::path volume = scratch.Path() / L"volume";
        fs::create_directories(volume);
        disk_.emplace(scratch.Path() / L"game.vhd", volume, format);
        ASSERT_EQ(disk_->Failure(), "");
        ASSERT_EQ(FileSystemOf(volume), fileSystem) << "the test made a volume of another file system";
        game = volume / L"DNF";
        PlaceClients();
        // keep.tdlx matches *.tdl through its short name KEEP~1.TDL, which FAT always gives it.
        const std::vector<fs::path> swept = {L"a.tdl", fs::path(L"sub") / L"b.spk",
                                             fs::path(L"sub") / L"deeper" / L"c.dmp"};
        const std::vector<fs::path> kept = {L"keep.txt", fs::path(L"sub") / L"keep.tdlx"};
        for (const auto* files : {&swept, &kept}) {
            for (const fs::path& file : *files) {
                WriteFile(game / file);
            }
        }
        WriteFile(Client(kTraceLog));

        const auto services = Run(true);

        EXPECT_EQ(services->messages, std::vector<std::wstring>{std::wstring(kCompletionMessage)});
        for (const fs::path& file : swept) {
            EXPECT_FALSE(fs::exists(game / file)) << file;
        }
        EXPECT_FALSE(fs::exists(Client(kTraceLog)));
        for (const fs::path& file : kept) {
            EXPECT_TRUE(fs::exists(game / file)) << file;
        }
    }

    // The client that the run started from the disk has ended before the disk goes.
    void TearDown() override {
        RepairUnderWine::TearDown();
        if (disk_) {
            EXPECT_TRUE(disk_->Detach()) << disk_->Failure();
            disk_.reset();
        }
    }

  private:
    std::optional<VirtualDisk> disk_;
};

TEST_F(RepairOnEveryDisk, AGameFolderOnFat32IsSweptInFull) {
    ExpectAGameFolderOnSweptInFull(L"fat32", L"FAT32");
}

TEST_F(RepairOnEveryDisk, AGameFolderOnExfatIsSweptInFull) {
    ExpectAGameFolderOnSweptInFull(L"exfat", L"exFAT");
}

// compact /exe, as CompactGUI does, leaves a reparse point whose tag is no name surrogate.
TEST_F(RepairOnEveryDisk, ALeftoverThePlayerCompressedIsDeleted) {
    if (const auto reason = Unable("compact /exe is not sure to compress for a standard user")) {
        GTEST_SKIP() << *reason;
    }
    const fs::path leftover = game / L"sub" / L"compressed.dmp";
    std::string text;
    while (text.size() < kLeftoverSize) {
        text += "The same line of a crash dump, written again and again. ";
    }
    text.resize(kLeftoverSize);
    WriteFile(leftover, text);
    const ToolRun compact = RunSystemTool(L"compact.exe", L"/c /exe:xpress4k \"" + leftover.wstring() + L"\"",
                                          scratch.Path() / L"compact-output");
    ASSERT_TRUE(compact.Succeeded()) << compact.output;
    ASSERT_EQ(ReparseTagOf(leftover), kWofTag) << "compact did not compress the leftover through WOF:\n"
                                               << compact.output;

    const auto services = Run(true);

    EXPECT_EQ(services->messages, std::vector<std::wstring>{std::wstring(kCompletionMessage)});
    EXPECT_FALSE(fs::exists(leftover));
}

}  // namespace
}  // namespace velstrand::testing
