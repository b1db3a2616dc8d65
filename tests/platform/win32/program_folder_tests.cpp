#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "platform/wildcard_match.h"
#include "platform/win32/program_folder.h"
#include "platform/win32/win32_services.h"

namespace velstrand::testing {
namespace {

std::wstring OwnPath() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

TEST(ProgramFolder, IsTheFolderThatHoldsTheRunningProgram) {
    Win32Services services;
    const std::wstring folder = services.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    const std::wstring own = OwnPath();
    EXPECT_TRUE(EqualsIgnoringCase(folder + own.substr(own.find_last_of(L'\\')), own)) << own;
}

TEST(ProgramFolder, KeepsABackslashOnlyAtADriveRoot) {
    EXPECT_EQ(FolderOf(L"C:\\Tools\\Velstrand.exe"), L"C:\\Tools");
    EXPECT_EQ(FolderOf(L"C:\\Velstrand.exe"), L"C:\\");
    EXPECT_EQ(FolderOf(L"\\\\?\\D:\\Velstrand.exe"), L"\\\\?\\D:\\");
    EXPECT_EQ(FolderOf(L"\\\\?\\D:\\Tools\\Velstrand.exe"), L"\\\\?\\D:\\Tools");
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\Velstrand.exe"), L"\\\\server\\share");
}

// A path longer than the buffer it is first read into is read again, whole, into a larger one. (Wine cannot
// start a program whose path is longer than MAX_PATH, so the tests make the first buffer short instead.)
TEST(ProgramFolder, APathOutgrowingItsFirstBufferIsReadWhole) {
    const std::wstring path = RunningProgramPath();
    ASSERT_GT(path.size(), 8u);
    for (const std::size_t firstBufferSize : {0u, 1u, 2u, 7u}) {
        EXPECT_EQ(RunningProgramPath(firstBufferSize), path) << firstBufferSize;
    }
    EXPECT_EQ(RunningProgramPath(path.size()), path) << "exactly the path's length, without room for its null";
    EXPECT_EQ(RunningProgramPath(path.size() + 1), path);
}

}  // namespace
}  // namespace velstrand::testing
