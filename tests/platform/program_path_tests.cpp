#include <gtest/gtest.h>
#include <string>

#include "platform/folder_of.h"
#include "platform/growing_read.h"

namespace velstrand {
namespace {

TEST(FolderOf, KeepsABackslashOnlyAtADriveRoot) {
    EXPECT_EQ(FolderOf(L"C:\\Tools\\Velstrand.exe"), L"C:\\Tools");
    EXPECT_EQ(FolderOf(L"C:\\Velstrand.exe"), L"C:\\");
    EXPECT_EQ(FolderOf(L"\\\\?\\D:\\Velstrand.exe"), L"\\\\?\\D:\\");
    EXPECT_EQ(FolderOf(L"\\\\?\\D:\\Tools\\Velstrand.exe"), L"\\\\?\\D:\\Tools");
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\Velstrand.exe"), L"\\\\server\\share");
    EXPECT_EQ(FolderOf(L"Velstrand.exe"), L"");
}

// As GetModuleFileNameW answers: the path cut to the buffer, filling it exactly, when it does not fit.
std::size_t ReadLikeTheSystem(const std::wstring& path, wchar_t* buffer, std::size_t size) {
    const std::size_t copied = std::min(path.size(), size);
    path.copy(buffer, copied);
    return copied;
}

// Wine cannot start a program whose path is longer than MAX_PATH, so only here can the path outgrow the buffer.
TEST(ReadGrowing, APathLongerThanTheBufferIsReadWhole) {
    for (const std::size_t length : {0u, 259u, 260u, 261u, 520u, 32767u}) {
        const std::wstring path(length, L'x');
        EXPECT_EQ(ReadGrowing([&](wchar_t* buffer, std::size_t size) { return ReadLikeTheSystem(path, buffer, size); }),
                  path)
            << length;
    }
}

}  // namespace
}  // namespace velstrand
