#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/win32/program_start.h"
#include "platform/win32/scoped_com_init.h"
#include "platform/win32/shell_start.h"
#include "platform/win32/start_attributes.h"
#include "platform/win32/win32_services.h"
#include "scratch_folder.h"
#include "stand_in_copy.h"
#include "test_files.h"
#include "this_system.h"
#include "wait_until.h"

namespace velstrand::testing {
namespace {

// The console windows on the desktop: conhost's on Windows, Wine's own under Wine.
int ConsoleWindowCount() {
    static const std::wstring consoleClass = UnderWine() ? L"WineConsoleClass" : L"ConsoleWindowClass";
    int count = 0;
    ::EnumWindows(
        [](HWND window, LPARAM counter) {
            wchar_t name[32] = {};
            ::GetClassNameW(window, name, 32);
            *reinterpret_cast<int*>(counter) += name == consoleClass ? 1 : 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

class StartProgram : public ::testing::Test {
  protected:
    ScopedComInit com_;
    ScratchFolder scratch_;
    Win32Services services_;
};

TEST_F(StartProgram, TheProgramIsShownInTheStyleItIsGiven) {
    const PlacedStandIn hidden(scratch_.Below(L"hidden.exe"));
    const PlacedStandIn minimised(scratch_.Below(L"minimised.exe"));
    ASSERT_TRUE(hidden.Placed() && minimised.Placed());

    const std::wstring hiddenLine = Quoted(hidden.Path()) + L" /F /IM a.exe";
    ASSERT_TRUE(services_.StartProgram(hiddenLine, StartStyle::Hidden));
    ASSERT_TRUE(services_.StartProgram(Quoted(minimised.Path()), StartStyle::MinimisedWithFocus));

    const auto hiddenRecord = hidden.WaitForRecord();
    ASSERT_TRUE(hiddenRecord);
    EXPECT_EQ(hiddenRecord->at(L"show"), L"0");
    EXPECT_EQ(hiddenRecord->at(L"cmdshow"), L"0");
    EXPECT_EQ(hiddenRecord->at(L"visible"), L"0") << "a hidden program shows no window";
    EXPECT_EQ(hiddenRecord->at(L"active"), L"0");
    EXPECT_EQ(hiddenRecord->at(L"commandline"), hiddenLine) << "the whole line reaches the program";
    EXPECT_EQ(hiddenRecord->at(L"currentfolder"), CurrentFolder()) << "no working folder of its own";

    const auto minimisedRecord = minimised.WaitForRecord();
    ASSERT_TRUE(minimisedRecord);
    EXPECT_EQ(minimisedRecord->at(L"show"), L"2");
    EXPECT_EQ(minimisedRecord->at(L"cmdshow"), L"2");
    EXPECT_EQ(minimisedRecord->at(L"iconic"), L"1");
    EXPECT_EQ(minimisedRecord->at(L"active"), L"1") << "minimised, yet with the focus";

    EXPECT_TRUE(WaitUntil([&] { return hidden.Ended() && minimised.Ended(); }));
}

TEST_F(StartProgram, ReturnsWhileTheProgramStillRuns) {
    const PlacedStandIn held(scratch_.Below(L"held.exe"));
    ASSERT_TRUE(held.Placed());

    ASSERT_TRUE(services_.StartProgram(Quoted(held.Path()) + L" --hold", StartStyle::Hidden));
    // The program cannot end before it is released (or 10 s have passed), so a call that waited for it would
    // find it ended here.
    EXPECT_FALSE(held.Ended());
    EXPECT_TRUE(held.WaitForRecord());
    EXPECT_TRUE(held.ReleaseAndWaitForEnd());
}

// With "X:\...\My Game\start\client.exe" and "X:\...\My.exe" both present, the system's own reading of an
// unquoted command line would start My.exe.
TEST_F(StartProgram, APlantedProgramBeforeABlankNeverRuns) {
    const PlacedStandIn client(scratch_.Below(L"My Game\\start\\client.exe"));
    const PlacedStandIn planted(scratch_.Below(L"My.exe"));
    ASSERT_TRUE(client.Placed() && planted.Placed());

    EXPECT_FALSE(services_.StartProgram(client.Path(), StartStyle::Hidden));
    EXPECT_FALSE(services_.StartProgram(client.Path() + L" /F", StartStyle::MinimisedWithFocus));

    ASSERT_TRUE(services_.StartProgram(Quoted(client.Path()), StartStyle::Hidden));
    ASSERT_TRUE(client.WaitForRecord());
    EXPECT_TRUE(WaitUntil([&] { return client.Ended(); }));
    EXPECT_FALSE(planted.Started());
}

// Windows Terminal, when it is the default terminal, shows a console that SW_HIDE alone would have hidden. It
// opens a tab, often in a terminal window already open, so no new window need appear; the helper's own console
// window (the terminal's invisible stand-in then) is what tells.
TEST_F(StartProgram, AHiddenConsoleHelperGetsNoConsoleWindow) {
    const PlacedStandIn helper(scratch_.Below(L"helper.exe"), StandInKind::Console);
    ASSERT_TRUE(helper.Placed());
    // Like the tool, which is a windowed program: without a console of its own to share, a console program it
    // starts would get a new console.
    ::FreeConsole();
    const int before = ConsoleWindowCount();

    ASSERT_TRUE(services_.StartProgram(Quoted(helper.Path()) + L" --hold", StartStyle::Hidden));
    const auto record = helper.WaitForRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->at(L"consolewindow"), L"");
    EXPECT_FALSE(WaitUntil([&] { return ConsoleWindowCount() > before; }, std::chrono::milliseconds(500)));
    EXPECT_TRUE(helper.ReleaseAndWaitForEnd());
}

TEST(NeedsTheShell, OnlyAFailureForWantOfRights) {
    EXPECT_TRUE(NeedsTheShell(kElevationRequired));
    for (const DWORD error : {DWORD{ERROR_FILE_NOT_FOUND}, DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_BAD_EXE_FORMAT}}) {
        EXPECT_FALSE(NeedsTheShell(error)) << error;
    }
}

TEST(ShellStartInfo, NamesTheExactProgramItsArgumentsAndTheOwnerOfTheConsentPrompt) {
    const std::wstring program = LR"(C:\My Game\start\DNFchina.exe)";
    const std::wstring arguments = L"/x y";
    const HWND owner = ::GetDesktopWindow();
    const SHELLEXECUTEINFOW info = ShellStartInfo(program, arguments, StartStyle::MinimisedWithFocus, owner);
    EXPECT_EQ(info.cbSize, sizeof(info));
    EXPECT_EQ(info.hwnd, owner) << "without an owner the prompt may only flash in the taskbar";
    EXPECT_EQ(info.lpFile, program.c_str());
    EXPECT_EQ(info.lpParameters, arguments.c_str());
    EXPECT_EQ(info.nShow, SW_SHOWMINIMIZED);
    EXPECT_EQ(info.lpDirectory, nullptr) << "no working folder of its own";
    EXPECT_EQ(info.lpVerb, nullptr);
    EXPECT_EQ(info.fMask, static_cast<ULONG>(SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC)) << "no box, no process handle";
    EXPECT_EQ(ShellStartInfo(program, L"", StartStyle::Hidden, nullptr).lpParameters, nullptr);
}

// Wine accepts the policy and ignores it; only a real Windows shows its effect.
TEST(StartAttributes, AHiddenHelperLoadsFromSystem32FirstAndAClientAsItWould) {
    EXPECT_EQ(MitigationPolicyFor(StartStyle::Hidden),
              PROCESS_CREATION_MITIGATION_POLICY_IMAGE_LOAD_PREFER_SYSTEM32_ALWAYS_ON);
    const StartAttributes helper(MitigationPolicyFor(StartStyle::Hidden));
    EXPECT_NE(helper.List(), nullptr);
    EXPECT_EQ(helper.MitigationPolicy(), PROCESS_CREATION_MITIGATION_POLICY_IMAGE_LOAD_PREFER_SYSTEM32_ALWAYS_ON);

    EXPECT_EQ(MitigationPolicyFor(StartStyle::MinimisedWithFocus), std::nullopt) << "the game loads its own DLLs";
    EXPECT_EQ(StartAttributes(std::nullopt).List(), nullptr);
}

TEST_F(StartProgram, TheShellStartsTheExactProgramInTheStyleGivenAndTheCurrentFolder) {
    const PlacedStandIn client(scratch_.Below(L"My Game\\start\\client.exe"));
    const PlacedStandIn planted(scratch_.Below(L"My.exe"));
    ASSERT_TRUE(client.Placed() && planted.Placed());

    ASSERT_TRUE(StartThroughShell(client.Path(), L"--flag", StartStyle::MinimisedWithFocus, nullptr));
    const auto record = client.WaitForRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->at(L"show"), L"2");
    EXPECT_EQ(record->at(L"iconic"), L"1");
    EXPECT_EQ(record->at(L"currentfolder"), CurrentFolder()) << "no working folder of its own";
    EXPECT_NE(record->at(L"commandline").find(L"--flag"), std::wstring::npos);
    EXPECT_TRUE(WaitUntil([&] { return client.Ended(); }));
    EXPECT_FALSE(planted.Started());
}

TEST_F(StartProgram, AProgramThatIsNotThereFails) {
    EXPECT_FALSE(services_.StartProgram(Quoted(scratch_.Below(L"absent.exe")), StartStyle::Hidden));
    EXPECT_FALSE(services_.StartProgram(scratch_.Below(L"absent.exe"), StartStyle::Hidden));
    EXPECT_FALSE(services_.StartProgram(Quoted(scratch_.Path().wstring()), StartStyle::Hidden)) << "a folder";
    EXPECT_FALSE(services_.StartProgram(L"", StartStyle::Hidden));
}

}  // namespace
}  // namespace velstrand::testing
