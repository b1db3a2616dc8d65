#include <gtest/gtest.h>

#include "repair/game_folder_check.h"

namespace velstrand {
namespace {

TEST(IsUnsafeGameFolder, EmptyBlankOrRelativeTextsAreUnsafe) {
    for (const wchar_t* folder : {L"", L"   ", L"\t", L"\u3000", L"DNF", L"start\\DNF", L"\\DNF", L"/DNF", L"D:",
                                  L"D:DNF", L" D:\\DNF", L"1:\\DNF", L"\\\\server", L"\\\\server\\", L"\\\\\\share"}) {
        EXPECT_TRUE(IsUnsafeGameFolder(folder)) << folder;
    }
}

TEST(IsUnsafeGameFolder, RootsOfDrivesAndSharesAreUnsafe) {
    for (const wchar_t* folder : {L"D:\\", L"D:\\\\", L"D:/", L"d:\\", L"D:\\DNF\\..", L"D:\\DNF\\..\\", L"D:\\.\\",
                                  L"D:\\..\\..", L"D:/DNF/../", L"D:\\ ", L"D:\\...", L"\\\\server\\share",
                                  L"\\\\server\\share\\", L"\\\\server\\share\\dir\\..", L"//server/share/"}) {
        EXPECT_TRUE(IsUnsafeGameFolder(folder)) << folder;
    }
}

TEST(IsUnsafeGameFolder, FoldersBelowARootAreSafeAsTheyStand) {
    for (const wchar_t* folder :
         {L"D:\\DNF", L"D:\\DNF\\", L"D:/DNF", L"C:\\Program Files\\DNF", L"D:\\a\\..\\DNF", L"D:\\\\DNF",
          L"\\\\server\\share\\DNF", L"D:\\DNF ", L"D:\\地下城与勇士", L"D:\\.hidden", L"D:\\..\\DNF"}) {
        EXPECT_FALSE(IsUnsafeGameFolder(folder)) << folder;
    }
}

}  // namespace
}  // namespace velstrand
