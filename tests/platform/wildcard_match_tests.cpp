#include <gtest/gtest.h>

#include "platform/wildcard_match.h"

namespace velstrand {
namespace {

TEST(WildcardMatch, ExtensionPatternMatchesOwnNameOnlyIgnoringCase) {
    EXPECT_TRUE(MatchesWildcard(L"a.tdl", L"*.tdl"));
    EXPECT_TRUE(MatchesWildcard(L"CRASH.TDL", L"*.tdl"));
    EXPECT_TRUE(MatchesWildcard(L".tdl", L"*.tdl"));
    EXPECT_TRUE(MatchesWildcard(L"a.b.tdl", L"*.tdl"));
    // What an 8.3 alias would let through must not match.
    EXPECT_FALSE(MatchesWildcard(L"a.tdlx", L"*.tdl"));
    EXPECT_FALSE(MatchesWildcard(L"a.dmp_old", L"*.dmp"));
    EXPECT_FALSE(MatchesWildcard(L"tdl", L"*.tdl"));
    EXPECT_FALSE(MatchesWildcard(L"a.tdl.bak", L"*.tdl"));
}

TEST(WildcardMatch, StarDotStarMatchesEveryName) {
    for (const wchar_t* name : {L"a", L"a.b", L".", L"..", L"noextension", L".git"}) {
        EXPECT_TRUE(MatchesWildcard(name, L"*.*")) << name;
    }
}

TEST(WildcardMatch, QuestionMarkIsExactlyOneCharacter) {
    EXPECT_TRUE(MatchesWildcard(L"ab.spk", L"a?.spk"));
    EXPECT_FALSE(MatchesWildcard(L"a.spk", L"a?.spk"));
    EXPECT_FALSE(MatchesWildcard(L"abc.spk", L"a?.spk"));
}

TEST(WildcardMatch, ExactNamesAndBacktrackingStars) {
    EXPECT_TRUE(MatchesWildcard(L"TaskKill.EXE", L"taskkill.exe"));
    EXPECT_FALSE(MatchesWildcard(L"taskkill.exe.bak", L"taskkill.exe"));
    EXPECT_TRUE(MatchesWildcard(L"a.tdl.tdl", L"*.tdl"));
    EXPECT_TRUE(MatchesWildcard(L"xaxbx", L"*a*b*"));
    EXPECT_FALSE(MatchesWildcard(L"xbxax", L"*a*b*"));
    EXPECT_TRUE(MatchesWildcard(L"", L"*"));
    EXPECT_FALSE(MatchesWildcard(L"", L"?"));
}

TEST(WildcardMatch, NonAsciiNamesMatchByTheirExtension) {
    EXPECT_TRUE(MatchesWildcard(L"游戏.TDL", L"*.tdl"));
    EXPECT_TRUE(MatchesWildcard(L"存档.Dmp", L"存档.dMP"));
    EXPECT_FALSE(MatchesWildcard(L"存档.dmp", L"存档.dmpx"));
}

}  // namespace
}  // namespace velstrand
