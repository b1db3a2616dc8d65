// A sweep's second listing of a folder is served from the first one's snapshot, and the attributes of the entry
// just listed come from the listing. None of that may hide a change on disk from a later listing.

#include <windows.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_services.h"
#include "repair/file_sweep.h"
#include "scratch_folder.h"
#include "test_files.h"

namespace velstrand::testing {
namespace {

std::vector<std::wstring> ListAll(Win32Services& services, const std::wstring& pattern, ListingFilter filter) {
    std::vector<std::wstring> names;
    for (auto name = services.FindFirstName(pattern, filter); name && !name->empty(); name = services.FindNextName()) {
        names.push_back(*name);
    }
    return names;
}

class ListingSnapshot : public ::testing::Test {
  protected:
    ListingSnapshot() {
        WriteFile(scratch.Below(L"a.tdl"), "x");
        WriteFile(scratch.Below(L"b.txt"), "x");
        fs::create_directories(scratch.Below(L"sub"));
    }

    std::wstring Pattern(const wchar_t* name) const { return scratch.Below(name); }

    ScratchFolder scratch;
    Win32Services services;
};

TEST_F(ListingSnapshot, AFileRemovedBetweenListingsIsNotListedAgain) {
    EXPECT_EQ(ListAll(services, Pattern(L"*.tdl"), ListingFilter::PlainFiles), std::vector<std::wstring>{L"a.tdl"});
    ASSERT_EQ(services.RemoveFile(scratch.Path().wstring(), L"a.tdl"), Removal::Deleted);
    EXPECT_EQ(ListAll(services, Pattern(L"*.*"), ListingFilter::PlainFilesAndFolders),
              (std::vector<std::wstring>{L".", L"..", L"b.txt", L"sub"}));
}

TEST_F(ListingSnapshot, ASnapshotServesOneFurtherListingOnly) {
    ListAll(services, Pattern(L"*.spk"), ListingFilter::PlainFiles);
    ListAll(services, Pattern(L"*.*"), ListingFilter::PlainFilesAndFolders);
    WriteFile(scratch.Below(L"new.spk"), "x");  // written by the game between two sweeps
    EXPECT_EQ(ListAll(services, Pattern(L"*.spk"), ListingFilter::PlainFiles), std::vector<std::wstring>{L"new.spk"});
    ::DeleteFileW(scratch.Below(L"new.spk").c_str());
    EXPECT_TRUE(ListAll(services, Pattern(L"*.spk"), ListingFilter::PlainFiles).empty());
}

TEST_F(ListingSnapshot, AttributesComeFromTheListingOnlyForTheEntryJustListed) {
    auto name = services.FindFirstName(Pattern(L"s*"), ListingFilter::PlainFilesAndFolders);
    ASSERT_EQ(name, std::wstring(L"sub"));
    const auto folder = services.GetAttributes(scratch.Below(L"sub"));
    ASSERT_TRUE(folder);
    EXPECT_NE(*folder & attribute::kFolder, 0u);

    // Any other path is asked of the disk, as it is now.
    ::SetFileAttributesW(scratch.Below(L"b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    const auto other = services.GetAttributes(scratch.Below(L"b.txt"));
    ASSERT_TRUE(other);
    EXPECT_NE(*other & attribute::kReadOnly, 0u);
    EXPECT_FALSE(services.GetAttributes(scratch.Below(L"sub\\missing")));
    EXPECT_FALSE(services.GetAttributes(scratch.Below(L"SUB\\..\\nothing")));
    ::SetFileAttributesW(scratch.Below(L"b.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

    // Once the listing has ended, its last entry is asked of the disk too: the next run's check of a game folder
    // removed since must not be answered from this one's listing.
    ASSERT_EQ(services.FindNextName(), std::wstring());
    ASSERT_TRUE(::RemoveDirectoryW(scratch.Below(L"sub").c_str()));
    EXPECT_FALSE(services.GetAttributes(scratch.Below(L"sub")));
}

// An independent plain walk: every folder listed once with FindFirstFileW, names matched here, links not entered.
void PlainWalk(const std::wstring& folder, std::vector<std::wstring>& tdl) {
    std::vector<std::wstring> subFolders;
    WIN32_FIND_DATAW data;
    const UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.Get(), &data)) {
        const std::wstring name = data.cFileName;
        const DWORD attributes = data.dwFileAttributes;
        if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            continue;
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            if (name.size() > 4 && ::_wcsicmp(name.c_str() + name.size() - 4, L".tdl") == 0) {
                tdl.push_back(folder + L"\\" + name);
            }
        } else if (name.front() != L'.' && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            subFolders.push_back(folder + L"\\" + name);
        }
    }
    for (const std::wstring& subFolder : subFolders) {
        PlainWalk(subFolder, tdl);
    }
}

// The snapshot and the attributes served from it must find exactly what reading the disk plainly finds.
TEST_F(ListingSnapshot, ASweepFindsWhatAPlainWalkFinds) {
    for (const wchar_t* file : {L"sub\\x.tdl", L"sub\\deep\\y.tdl", L"sub\\deep\\z.tdlx", L"q.TDL"}) {
        WriteFile(scratch.Below(file), "x");
    }
    WriteFile(scratch.Below(L"Secret\\hidden-below.tdl"), "x");
    ::SetFileAttributesW(scratch.Below(L"Secret").c_str(), FILE_ATTRIBUTE_HIDDEN);

    std::vector<std::wstring> swept;
    TreeSearch(services, scratch.Path().wstring(), L"*.tdl", swept);
    std::vector<std::wstring> walked;
    PlainWalk(scratch.Path().wstring(), walked);
    std::sort(walked.begin(), walked.end());
    std::sort(swept.begin(), swept.end());
    EXPECT_EQ(swept, walked);
    EXPECT_EQ(swept.size(), 4u);
}

}  // namespace
}  // namespace velstrand::testing
