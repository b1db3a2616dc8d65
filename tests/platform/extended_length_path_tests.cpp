#include <gtest/gtest.h>
#include <string>

#include "platform/extended_length_path.h"

namespace velstrand {
namespace {

constexpr const wchar_t* kFolder = LR"(C:\work\game)";

struct Case {
    const wchar_t* path;
    const wchar_t* currentFolder;
    const wchar_t* expected;
};

template <std::size_t N>
void ExpectAll(const Case (&cases)[N]) {
    for (const Case& c : cases) {
        EXPECT_EQ(ExtendedLengthPath(c.path, c.currentFolder), std::wstring(c.expected))
            << c.path << L" in " << c.currentFolder;
    }
}

TEST(ExtendedLengthPath, NormalisesAsWindowsWouldThenAddsThePrefix) {
    const Case cases[] = {
        {LR"(C:\a\b)", kFolder, LR"(\\?\C:\a\b)"},
        {LR"(c:\Program Files\DNF)", kFolder, LR"(\\?\c:\Program Files\DNF)"},
        {LR"(C:\)", kFolder, LR"(\\?\C:\)"},
        {LR"(\\server\share\a\..\b)", kFolder, LR"(\\?\UNC\server\share\b)"},
        {LR"(\\server\share)", kFolder, LR"(\\?\UNC\server\share)"},
        {LR"(\\server\share\)", kFolder, LR"(\\?\UNC\server\share\)"},
        {LR"(//server//share/x)", kFolder, LR"(\\?\UNC\server\share\x)"},
        {LR"(\\server\share\..\..\x)", kFolder, LR"(\\?\UNC\server\share\x)"},
        {LR"(\\?\C:\a\..\b.)", kFolder, LR"(\\?\C:\a\..\b.)"},
        {LR"(//?/C:/a/../b)", kFolder, LR"(\\?\C:\b)"},
        {LR"(C:\\a\\\b)", kFolder, LR"(\\?\C:\a\b)"},
        {LR"(C:\dir\)", kFolder, LR"(\\?\C:\dir\)"},
        {LR"(C:\dir\\)", kFolder, LR"(\\?\C:\dir\)"},
        {LR"(C:/a/b/)", kFolder, LR"(\\?\C:\a\b\)"},
        {LR"(C:\a\.\b\..\c)", kFolder, LR"(\\?\C:\a\c)"},
        {LR"(C:\a\b\.)", kFolder, LR"(\\?\C:\a\b)"},
        {LR"(C:\a\b\..)", kFolder, LR"(\\?\C:\a)"},
        {LR"(C:\..\..\a)", kFolder, LR"(\\?\C:\a)"},
        {LR"(C:\a\..\..)", kFolder, LR"(\\?\C:\)"},
    };
    ExpectAll(cases);
}

TEST(ExtendedLengthPath, RelativeFormsAreReadAgainstTheCurrentFolder) {
    const Case cases[] = {
        {LR"(C:dir)", kFolder, LR"(\\?\C:\work\game\dir)"},
        {LR"(c:dir)", kFolder, LR"(\\?\C:\work\game\dir)"},
        {LR"(C:..\x)", kFolder, LR"(\\?\C:\work\x)"},
        {LR"(C:)", kFolder, LR"(\\?\C:\work\game)"},
        {LR"(D:dir)", kFolder, LR"(\\?\D:\dir)"},
        {LR"(D:dir)", LR"(\\srv\sh\x)", LR"(\\?\D:\dir)"},
        {LR"(\dir)", kFolder, LR"(\\?\C:\dir)"},
        {LR"(\dir)", LR"(\\srv\sh\x)", LR"(\\?\UNC\srv\sh\dir)"},
        {LR"(dir\f)", kFolder, LR"(\\?\C:\work\game\dir\f)"},
        {LR"(..\..\..\x)", kFolder, LR"(\\?\C:\x)"},
        {LR"(.)", kFolder, LR"(\\?\C:\work\game)"},
        {LR"(.\)", kFolder, LR"(\\?\C:\work\game\)"},
        {LR"(..\x)", LR"(\\srv\sh)", LR"(\\?\UNC\srv\sh\x)"},
    };
    ExpectAll(cases);
}

// Only folder names are trimmed; the last name is joined as a listing returned it.
TEST(ExtendedLengthPath, TrailingPeriodsGoOnlyFromFolderNames) {
    const Case cases[] = {
        {LR"(C:\dir.\name.)", kFolder, LR"(\\?\C:\dir\name.)"},
        {LR"(C:\x\name. .)", kFolder, LR"(\\?\C:\x\name. .)"},
        {LR"(C:\x\folder.\)", kFolder, LR"(\\?\C:\x\folder\)"},
        {LR"(C:\a..\...\b)", kFolder, LR"(\\?\C:\a.\...\b)"},
        {LR"(C:\dir \b)", kFolder, LR"(\\?\C:\dir \b)"},
        {LR"(C:\a.\.)", kFolder, LR"(\\?\C:\a)"},
        {LR"(D:\地下城与勇士\start)", kFolder, LR"(\\?\D:\地下城与勇士\start)"},
        {LR"(start\..\存档.)", LR"(D:\地下城与勇士)", LR"(\\?\D:\地下城与勇士\存档.)"},
    };
    ExpectAll(cases);
}

// The rules of Microsoft's "File path formats on Windows systems" that Wine's own GetFullPathNameW does not follow
// (it makes "..." into ".." and keeps a doubled separator after a share's name), so they are held to the documented
// cases here, not to Wine.
TEST(ExtendedLengthPath, FollowsTheDocumentedRulesWhereWineDoesNot) {
    const Case cases[] = {
        // "A segment of three or more periods is not normalized and is actually a valid file/directory name."
        {LR"(C:\a\...\b)", kFolder, LR"(\\?\C:\a\...\b)"},
        {LR"(C:\a\....\)", kFolder, LR"(\\?\C:\a\....\)"},
        // A series of separators after the first two is collapsed, after a share's name too.
        {LR"(\\server\\share\\x)", kFolder, LR"(\\?\UNC\server\share\x)"},
        // A trailing blank goes only from a path that does not end in a separator: a folder keeps it.
        {LR"(C:\dir \)", kFolder, LR"(\\?\C:\dir \)"},
        // Only a path beginning exactly with "\\?\" skips normalisation; "\\.\" is normalised, and its root is
        // the prefix alone.
        {LR"(\\.\C:\Test\..\Foo.txt)", kFolder, LR"(\\.\C:\Foo.txt)"},
        {LR"(\\.\C:\..\..\x)", kFolder, LR"(\\.\x)"},
        {LR"(\\.\UNC\Server\Share\Test\Foo.txt)", kFolder, LR"(\\.\UNC\Server\Share\Test\Foo.txt)"},
        {LR"(\\.\Volume{b75e2c83}\dir.\Foo.txt)", kFolder, LR"(\\.\Volume{b75e2c83}\dir\Foo.txt)"},
        {LR"(\\?\C:\Test\..\Foo.txt)", kFolder, LR"(\\?\C:\Test\..\Foo.txt)"},
    };
    ExpectAll(cases);
}

TEST(ExtendedLengthPath, NoResultWithoutAnAbsoluteAnchor) {
    const Case cases[] = {
        {L"", kFolder, nullptr},  // not the current folder: a sweep must never land there by mistake
        {L"dir", L"", nullptr},   {L"dir", L"work", nullptr},   {LR"(\dir)", L"C:work", nullptr},
        {L"D:dir", L"", nullptr}, {LR"(\\)", kFolder, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtendedLengthPath(c.path, c.currentFolder), std::nullopt) << c.path << L" in " << c.currentFolder;
    }
}

TEST(ExtendedLengthPath, ResultIsAtMostTheExtendedLengthLimit) {
    constexpr std::size_t kLimit = 32767;
    const std::wstring prefix = LR"(\\?\C:\)";
    for (const std::wstring& head : {std::wstring(LR"(C:\)"), prefix}) {
        const std::wstring atLimit = head + std::wstring(kLimit - prefix.size(), L'x');
        const auto result = ExtendedLengthPath(atLimit, kFolder);
        ASSERT_TRUE(result) << head;
        EXPECT_EQ(result->size(), kLimit);
        EXPECT_EQ(ExtendedLengthPath(atLimit + L'x', kFolder), std::nullopt) << head;
    }
}

}  // namespace
}  // namespace velstrand
