// What the contract suite cannot set up on every backend: a file held open by another handle, and a drive root.

#include <windows.h>

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_services.h"
#include "scratch_folder.h"
#include "test_files.h"
#include "this_system.h"

namespace velstrand::testing {
namespace {

TEST(RemoveFile, AFileInUseStays) {
    ScratchFolder scratch;
    const std::wstring path = scratch.Below(L"BugTrace.log");
    WriteFile(path, "trace");
    Win32Services services;
    {
        // Held as a running game holds its log: shared for reading and writing, not for deletion.
        UniqueFileHandle held(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(services.RemoveFile(scratch.Path().wstring(), L"BugTrace.log"), Removal::Stayed);
        EXPECT_TRUE(fs::exists(path));
    }
    EXPECT_EQ(services.RemoveFile(scratch.Path().wstring(), L"BugTrace.log"), Removal::Deleted) << "once let go";
}

// Held as a scanner holds a file it has just seen: reading it, sharing its deletion but not writing to it. The
// deletion is accepted at once.
TEST(RemoveFile, AFileHeldWithItsDeletionSharedIsDeleted) {
    ScratchFolder scratch;
    const std::wstring path = scratch.Below(L"a.dmp");
    WriteFile(path);
    Win32Services services;
    UniqueFileHandle held(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(services.RemoveFile(scratch.Path().wstring(), L"a.dmp"), Removal::Deleted);
    held.Reset();
    EXPECT_FALSE(fs::exists(path));
}

// Deleted with POSIX semantics, the name goes at once, though the scanner still holds the file.
TEST(RemoveFile, TheNameOfAHeldFileGoesAtOnce) {
    ScratchFolder scratch;
    if (UnderWine()) {
        GTEST_SKIP() << "Wine deletes no file with POSIX semantics (FileDispositionInfoEx fails with error 87): the "
                        "name stays until the last handle is closed";
    }
    if (FileSystemOf(scratch.Path()) != L"NTFS") {
        GTEST_SKIP() << "NTFS deletes with POSIX semantics, and the kit lies on another file system";
    }
    const std::wstring path = scratch.Below(L"a.dmp");
    WriteFile(path);
    Win32Services services;
    const UniqueFileHandle held(::CreateFileW(path.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(services.RemoveFile(scratch.Path().wstring(), L"a.dmp"), Removal::Deleted);
    EXPECT_FALSE(fs::exists(path)) << "the name stays while the file is held: no POSIX deletion";
}

TEST(FindFirstName, ADriveRootListsNoDotEntries) {
    Win32Services services;
    std::vector<std::wstring> names;
    std::optional<std::wstring> name = services.FindFirstName(L"C:\\*", ListingFilter::PlainFilesAndFolders);
    while (name && !name->empty() && names.size() < 1000) {
        names.push_back(*name);
        name = services.FindNextName();
    }
    ASSERT_TRUE(name);
    EXPECT_FALSE(names.empty());
    for (const std::wstring& listed : names) {
        EXPECT_NE(listed, L".");
        EXPECT_NE(listed, L"..");
    }
}

}  // namespace
}  // namespace velstrand::testing
