#include <gtest/gtest.h>

#include "platform/command_line.h"

namespace velstrand {
namespace {

TEST(ProgramPathOf, QuotedPathIsTakenWholeBlanksIncluded) {
    EXPECT_EQ(ProgramPathOf(LR"("C:\Program Files\DNF\start\DNFchina.exe")"),
              LR"(C:\Program Files\DNF\start\DNFchina.exe)");
    EXPECT_EQ(ProgramPathOf(LR"("C:\My Tools\taskkill.exe" /F /IM a.exe)"), LR"(C:\My Tools\taskkill.exe)");
}

TEST(ProgramPathOf, UnquotedPathEndsAtTheFirstBlank) {
    EXPECT_EQ(ProgramPathOf(LR"(C:\Tools\taskkill.exe /F /IM a.exe)"), LR"(C:\Tools\taskkill.exe)");
    EXPECT_EQ(ProgramPathOf(LR"(C:\Program Files\x.exe)"), LR"(C:\Program)");
    EXPECT_EQ(ProgramPathOf(LR"(C:\x.exe)"), LR"(C:\x.exe)");
}

TEST(ProgramPathOf, UnterminatedQuoteTakesTheRest) {
    EXPECT_EQ(ProgramPathOf(LR"("C:\My Game\a.exe)"), LR"(C:\My Game\a.exe)");
    EXPECT_EQ(ProgramPathOf(L""), L"");
}

TEST(ArgumentsOf, AreWhatFollowsTheProgramPath) {
    EXPECT_EQ(ArgumentsOf(LR"("C:\My Tools\taskkill.exe" /F /IM a.exe)"), L"/F /IM a.exe");
    EXPECT_EQ(ArgumentsOf(LR"(C:\Tools\taskkill.exe  /F)"), L"/F");
    EXPECT_EQ(ArgumentsOf(LR"("C:\My Game\start\DNFchina.exe")"), L"");
    EXPECT_EQ(ArgumentsOf(LR"("C:\My Game\a.exe)"), L"") << "an unterminated quote takes the rest";
    EXPECT_EQ(ArgumentsOf(L""), L"");
}

TEST(Quoted, RoundTripsThroughProgramPathOf) {
    for (const wchar_t* path : {LR"(C:\My Game\start\DNFchina.exe)", LR"(D:\\taskkill.exe)", L"x"}) {
        EXPECT_EQ(ProgramPathOf(Quoted(path) + L" /F"), path);
    }
}

}  // namespace
}  // namespace velstrand
