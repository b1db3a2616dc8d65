// The window in this test's own process, with the in-memory services: what start-up, the readings and a DPI
// change do, seen from inside, where the services' calls can be counted.

#include <windows.h>

#include <gtest/gtest.h>
#include <memory>

#include "app/form_layout.h"
#include "app/main_window.h"
#include "repair/repair_run.h"
#include "support/fake_services.h"
#include "window_driver.h"

namespace velstrand::app {
namespace {

using velstrand::testing::FakeServices;
using velstrand::testing::Operation;
using velstrand::testing::RegistryKind;
using velstrand::testing::ServiceCall;
using velstrand::testing::TextOf;

constexpr wchar_t kOfficialValue[] = L"HKCU\\Software\\Tencent\\DNF\\Path";
constexpr wchar_t kExperienceValue[] = L"HKCU\\Software\\Tencent\\DNFTest\\Path";

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void Open() {
        window_ = std::make_unique<MainWindow>(::GetModuleHandleW(nullptr), services_);
        ASSERT_TRUE(window_->Create());
    }
    HWND Control(ControlId id) const { return ::GetDlgItem(window_->Handle(), id); }

    FakeServices services_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, LoadReadsTheOfficialServerOnceAndNothingElse) {
    services_.SetRegistryValue(kOfficialValue, RegistryKind::String, L"C:/Games/DNF");
    services_.SetRegistryValue(kExperienceValue, RegistryKind::String, L"D:\\Test");
    Open();
    window_->Load();
    EXPECT_EQ(services_.Calls(), (std::vector<ServiceCall>{{Operation::ReadRegistryString, kOfficialValue}}));
    EXPECT_EQ(TextOf(Control(kText1)), L"C:\\Games\\DNF");
    EXPECT_TRUE(services_.Messages().empty());
}

TEST_F(MainWindowTest, LoadWarnsWithAnEmptyBoxWhileTheWindowIsStillHidden) {
    Open();
    bool visibleDuringMessage = true;
    std::wstring textDuringMessage = L"unread";
    services_.OnShowMessage([&](const std::wstring&) {
        visibleDuringMessage = ::IsWindowVisible(window_->Handle());
        textDuringMessage = TextOf(Control(kText1));
    });
    window_->Load();
    EXPECT_EQ(services_.Messages(), (std::vector<std::wstring>{std::wstring(kNoGameFolderMessage)}));
    EXPECT_FALSE(visibleDuringMessage);
    EXPECT_EQ(textDuringMessage, L"");

    window_->Show(SW_SHOWNORMAL);
    EXPECT_TRUE(::IsWindowVisible(window_->Handle()));
    EXPECT_EQ(services_.Messages().size(), 1u);
}

TEST_F(MainWindowTest, TheReadingsFollowTheControlsAndFailOnceTheWindowIsGone) {
    Open();
    window_->Show(SW_SHOWNORMAL);
    // Longer than an edit box takes by default.
    const std::wstring longFolder = L"C:\\" + std::wstring(40000, L'd');
    ::SetWindowTextW(Control(kText1), longFolder.c_str());
    EXPECT_EQ(window_->GameFolderText(), longFolder);
    ::SetWindowTextW(Control(kText1), L"");
    EXPECT_EQ(window_->GameFolderText(), L"");

    EXPECT_EQ(window_->IsOfficialServerSelected(), true);
    ::SendMessageW(Control(kOption2), BM_CLICK, 0, 0);
    EXPECT_EQ(window_->IsOfficialServerSelected(), false);
    EXPECT_EQ(::SendMessageW(Control(kOption1), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    ::DestroyWindow(window_->Handle());
    EXPECT_EQ(window_->Handle(), nullptr);
    EXPECT_EQ(window_->GameFolderText(), std::nullopt);
    EXPECT_EQ(window_->IsOfficialServerSelected(), std::nullopt);
}

TEST_F(MainWindowTest, OnlyTheStartButtonStartsARunNotTheDialogKeysCommands) {
    services_.SetRegistryValue(kOfficialValue, RegistryKind::String, L"C:\\Games\\DNF");
    services_.AddFolder(L"C:\\Games\\DNF");
    Open();
    window_->Load();
    window_->Show(SW_SHOWNORMAL);
    services_.ClearRecords();

    // What Enter and Escape turn into in the message loop.
    ::SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(services_.Calls().empty());

    // The fake tool folder has no taskkill.exe, so the run stops after saying so.
    ::SendMessageW(Control(kCommand1), BM_CLICK, 0, 0);
    EXPECT_EQ(services_.Messages(), (std::vector<std::wstring>{std::wstring(kMissingToolMessage)}));
}

// What the tests of the real program show under Wine with a slow taskkill, here with the system's own buttons: the
// kit's case for a real Windows, where System32 is not a test's to change.
TEST_F(MainWindowTest, DuringARunAServerClickIsPutBackAndACloseWaitsForItsEnd) {
    services_.SetRegistryValue(kOfficialValue, RegistryKind::String, L"C:\\Games\\DNF");
    services_.SetRegistryValue(kExperienceValue, RegistryKind::String, L"D:\\Test\\DNF");
    services_.AddFile(L"C:\\Games\\DNF\\start\\DNFchina.exe");
    services_.AddFile(L"C:\\Tools\\taskkill.exe");
    Open();
    window_->Load();
    window_->Show(SW_SHOWNORMAL);
    const HWND window = window_->Handle();
    bool officialDuringRun = false;
    bool openDuringRun = false;
    services_.OnShowMessage([&](const std::wstring&) {
        ::SendMessageW(Control(kOption2), BM_CLICK, 0, 0);
        officialDuringRun = ::SendMessageW(Control(kOption1), BM_GETCHECK, 0, 0) == BST_CHECKED;
        ::SendMessageW(window, WM_CLOSE, 0, 0);
        openDuringRun = ::IsWindow(window);
    });

    ::SendMessageW(Control(kCommand1), BM_CLICK, 0, 0);
    EXPECT_TRUE(officialDuringRun);
    EXPECT_TRUE(openDuringRun);
    ASSERT_FALSE(services_.StartedPrograms().empty());
    EXPECT_EQ(services_.StartedPrograms().back().commandLine, L"\"C:\\Games\\DNF\\start\\DNFchina.exe\"");
    EXPECT_EQ(TextOf(Control(kText1)), L"C:\\Games\\DNF");
    EXPECT_EQ(::SendMessageW(Control(kOption2), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    MSG message;
    while (::IsWindow(window) && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
    EXPECT_EQ(window_->Handle(), nullptr) << "the close was not honoured after the run";
}

TEST_F(MainWindowTest, ADpiChangeMovesResizesAndRescalesTheWindow) {
    Open();
    window_->Show(SW_SHOWNORMAL);
    const HFONT oldFont = reinterpret_cast<HFONT>(::SendMessageW(Control(kCommand1), WM_GETFONT, 0, 0));
    const LONG oldHeight = std::abs(FontOf(Control(kCommand1)).lfHeight);
    const UINT oldDpi = ::GetDpiForWindow(window_->Handle());
    ASSERT_NE(oldFont, nullptr);

    const UINT newDpi = oldDpi * 2;
    RECT suggested{40, 30, 40 + 800, 30 + 300};
    ::SendMessageW(window_->Handle(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));

    const FormLayout layout = LayOutForm(static_cast<int>(newDpi));
    RECT client{};
    ::GetClientRect(window_->Handle(), &client);
    EXPECT_EQ(client.right, layout.clientWidth);
    EXPECT_EQ(client.bottom, layout.clientHeight);
    RECT frame{};
    ::GetWindowRect(window_->Handle(), &frame);
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 30);
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        RECT rect{};
        const HWND control = Control(kControls[i].id);
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, window_->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ((PixelRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}), layout.controls[i])
            << "control " << kControls[i].id;
        EXPECT_EQ(std::abs(FontOf(control).lfHeight), std::abs(FontOf(Control(kCommand1)).lfHeight));
    }
    const LONG newHeight = std::abs(FontOf(Control(kCommand1)).lfHeight);
    EXPECT_NEAR(newHeight, oldHeight * 2, 1);
    // The font of the old DPI is released, not leaked.
    LOGFONTW released{};
    EXPECT_EQ(::GetObjectW(oldFont, sizeof(released), &released), 0);
}

}  // namespace
}  // namespace velstrand::app
