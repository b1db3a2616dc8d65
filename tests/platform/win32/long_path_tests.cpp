// Paths beyond MAX_PATH. Wine accepts long plain paths, which a default Windows refuses, but it parses an
// extended-length path as strictly as Windows does: a doubled separator, a "/" or a "\." inside one fails. So
// a path that reached the file system unconverted would pass here unnoticed, but one converted badly would not.

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/extended_length_path.h"
#include "platform/win32/win32_services.h"
#include "repair/file_sweep.h"
#include "scratch_folder.h"
#include "test_files.h"

namespace velstrand::testing {
namespace {

std::wstring FullPathName(const std::wstring& path) {
    std::wstring full(32768, L'\0');
    full.resize(::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full;
}

// The normalisation must be the system's own: a folder text means the same to a sweep as it did to Windows
// before the prefix switched Windows' own normalisation off. (Wine keeps a doubled separator after a share's name,
// which Windows collapses, and makes "..." into "..", which Windows keeps: those cases are held to Microsoft's
// documentation instead, natively.)
TEST(ExtendedLengthPath, NormalisesAsGetFullPathNameDoes) {
    const std::wstring current = CurrentFolder();
    const std::wstring drive = current.substr(0, 2);
    for (const std::wstring& path :
         {std::wstring(LR"(C:\a\b)"), std::wstring(LR"(C:\\a\\\b\)"), std::wstring(L"C:/a/b/c"),
          std::wstring(LR"(C:\a\.\b\..\c)"), std::wstring(LR"(C:\..\..\a)"), std::wstring(LR"(C:\dir.\x)"),
          std::wstring(LR"(C:\a..\x)"), std::wstring(LR"(C:\dir \x)"), std::wstring(LR"(D:\地下城与勇士\start)"),
          std::wstring(LR"(\\server\share\a\..\..\b)"), std::wstring(L"//server/share/x/"), std::wstring(L"dir\\x"),
          std::wstring(L"..\\x"), std::wstring(L"\\rooted\\x"), drive + L"dir\\x", std::wstring(L".")}) {
        const std::wstring full = FullPathName(path);
        const std::wstring expected = full.starts_with(L"\\\\") ? L"\\\\?\\UNC" + full.substr(1) : L"\\\\?\\" + full;
        EXPECT_EQ(ExtendedLengthPath(path, current), expected) << path;
    }
}

TEST(LongPaths, ASweepReachesLeftoversBeyond300CharactersExactly) {
    ScratchFolder scratch;
    std::wstring deep = scratch.Path().wstring();
    while (deep.size() < 300) {
        deep += L"\\a folder with a long name 地下城与勇士";
    }
    const std::vector<std::wstring> swept = {deep + L"\\a.tdl", deep + L"\\B.TDL", deep + L"\\below\\c.tdl"};
    const std::vector<std::wstring> kept = {deep + L"\\keep.tdlx", deep + L"\\keep.spk", deep + L"\\Secret\\d.tdl"};
    for (const std::wstring& file : swept) {
        WriteFile(file, "leftover");
    }
    for (const std::wstring& file : kept) {
        WriteFile(file, "keep");
    }
    ::SetFileAttributesW((deep + L"\\Secret").c_str(), FILE_ATTRIBUTE_HIDDEN);

    Win32Services services;
    // A folder text ending in a backslash doubles the separator in every path the sweep builds.
    const std::optional<GameFolder> folder = ReadGameFolder(scratch.Path().wstring() + L"\\");
    ASSERT_TRUE(folder);
    Search(services, *folder, L"tdl");

    for (const std::wstring& file : swept) {
        EXPECT_FALSE(fs::exists(file)) << file.size() << L" characters: " << file;
    }
    for (const std::wstring& file : kept) {
        EXPECT_TRUE(fs::exists(file)) << file;
    }
}

}  // namespace
}  // namespace velstrand::testing
