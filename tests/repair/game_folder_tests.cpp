#include <gtest/gtest.h>

#include "repair/game_folder.h"

namespace velstrand {
namespace {

TEST(ReadGameFolder, EmptyBlankRelativeAndRootTextsNameNoGameFolder) {
    for (const wchar_t* text : {L"",
                                L"   ",
                                L"\t",
                                L"\u3000",
                                L"DNF",
                                L"start\\DNF",
                                L"\\DNF",
                                L"/DNF",
                                L"D:",
                                L"D:DNF",
                                L" D:\\DNF",
                                L"1:\\DNF",
                                L"\\\\server",
                                L"\\\\server\\",
                                L"\\\\\\share",
                                L"D:\\",
                                L"D:\\\\",
                                L"D:/",
                                L"d:\\",
                                L"D:\\DNF\\..",
                                L"D:\\DNF\\..\\",
                                L"D:\\.\\",
                                L"D:\\..\\..",
                                L"D:/DNF/../",
                                L"D:\\.",
                                L"\\\\server\\share",
                                L"\\\\server\\share\\",
                                L"\\\\server\\share\\dir\\..",
                                L"//server/share/",
                                L"\\\\.\\D:\\DNF",
                                L"\\\\?\\D:\\",
                                L"\\\\?\\D:\\DNF\\..",
                                L"\\\\?\\D:\\a\\\\DNF",
                                L"\\\\?\\Volume{1}\\DNF"}) {
        EXPECT_EQ(ReadGameFolder(text), std::nullopt) << text;
    }
}

// Read as Windows reads a folder path, then taken as the one folder everything names.
TEST(ReadGameFolder, AFolderIsReadAsWindowsReadsAFolderPath) {
    struct Case {
        const wchar_t* text;
        const wchar_t* onDisk;
        const wchar_t* plain;
    };
    const Case cases[] = {
        {L"D:\\DNF", L"\\\\?\\D:\\DNF", L"D:\\DNF"},
        {L"D:\\DNF\\", L"\\\\?\\D:\\DNF", L"D:\\DNF"},
        {L"D:/Games//DNF/", L"\\\\?\\D:\\Games\\DNF", L"D:\\Games\\DNF"},
        {L"D:\\a\\..\\DNF\\.", L"\\\\?\\D:\\DNF", L"D:\\DNF"},
        {L"D:\\..\\DNF", L"\\\\?\\D:\\DNF", L"D:\\DNF"},
        {L"D:\\DNF.", L"\\\\?\\D:\\DNF", L"D:\\DNF"},
        {L"D:\\Games.\\DNF.", L"\\\\?\\D:\\Games\\DNF", L"D:\\Games\\DNF"},
        {L"D:\\地下城与勇士 ", L"\\\\?\\D:\\地下城与勇士 ", L"D:\\地下城与勇士 "},
        {L"D:\\...", L"\\\\?\\D:\\...", L"D:\\..."},
        {L"D:\\.hidden", L"\\\\?\\D:\\.hidden", L"D:\\.hidden"},
        {L"C:\\Program Files\\DNF", L"\\\\?\\C:\\Program Files\\DNF", L"C:\\Program Files\\DNF"},
        {L"\\\\server\\share\\DNF", L"\\\\?\\UNC\\server\\share\\DNF", L"\\\\server\\share\\DNF"},
        {L"\\\\?\\D:\\DNF.", L"\\\\?\\D:\\DNF.", L"D:\\DNF."},
    };
    for (const Case& c : cases) {
        const std::optional<GameFolder> folder = ReadGameFolder(c.text);
        ASSERT_TRUE(folder) << c.text;
        EXPECT_EQ(folder->onDisk, c.onDisk) << c.text;
        EXPECT_EQ(folder->plain, c.plain) << c.text;
    }
}

}  // namespace
}  // namespace velstrand
