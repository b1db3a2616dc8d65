#include <windows.h>

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>

#include "app/window_handles.h"
#include "platform/win32/win32_services.h"
#include "wait_until.h"
#include "window_driver.h"

namespace velstrand::testing {
namespace {

// What a box looked like while it was up.
struct SeenBox {
    bool found = false;
    HWND owner = nullptr;
    bool ownerEnabled = true;
    std::wstring caption;
    std::wstring text;
    int buttons = 0;
    bool okButton = false;
    bool icon = false;
};

BOOL CALLBACK CountControl(HWND control, LPARAM seenBox) {
    SeenBox& seen = *reinterpret_cast<SeenBox*>(seenBox);
    if (!::IsWindowVisible(control)) {
        return TRUE;
    }
    wchar_t className[64] = {};
    ::GetClassNameW(control, className, 64);
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    if (::lstrcmpiW(className, L"Button") == 0) {
        ++seen.buttons;
    } else if (::lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
               ::SendMessageW(control, STM_GETICON, 0, 0) != 0) {
        seen.icon = true;
    }
    return TRUE;
}

// Waits on its own thread for the box this process shows next, reads it and presses its OK button.
class BoxDismisser {
  public:
    BoxDismisser() : thread_([this] { Run(); }) {}
    ~BoxDismisser() { Join(); }

    const SeenBox& Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return seen_;
    }
    bool Pressed() const { return pressed_; }

  private:
    void Run() {
        HWND box = nullptr;
        seen_.found = WaitUntil([&] {
            box = FindMessageBox(::GetCurrentProcessId());
            return box != nullptr && ::IsWindowVisible(box);
        });
        if (!seen_.found) {
            return;
        }
        seen_.owner = ::GetWindow(box, GW_OWNER);
        seen_.ownerEnabled = seen_.owner != nullptr && ::IsWindowEnabled(seen_.owner);
        seen_.caption = TextOf(box);
        seen_.text = MessageBoxText(box);
        seen_.okButton = ::GetDlgItem(box, IDOK) != nullptr;
        ::EnumChildWindows(box, CountControl, reinterpret_cast<LPARAM>(&seen_));
        pressed_ = true;
        PressOk(box);
    }

    SeenBox seen_;
    std::atomic<bool> pressed_{false};
    std::thread thread_;
};

constexpr wchar_t kText[] = L"清理完毕。\n第二行";

void ExpectPlainOkBox(const SeenBox& seen) {
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, L"Velstrand");
    EXPECT_EQ(seen.text, kText);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_TRUE(seen.okButton);
    EXPECT_FALSE(seen.icon);
}

TEST(ShowMessage, BeforeTheWindowExistsTheBoxHasNoOwner) {
    Win32Services services;
    BoxDismisser dismisser;
    services.ShowMessage(kText);
    EXPECT_TRUE(dismisser.Pressed()) << "returned before the box was dismissed";
    const SeenBox& seen = dismisser.Join();
    ExpectPlainOkBox(seen);
    EXPECT_EQ(seen.owner, nullptr);
}

TEST(ShowMessage, OnceTheWindowExistsTheBoxIsItsOwnAndDisablesIt) {
    const app::UniqueWindow window(::CreateWindowW(L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                                                   200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window);
    Win32Services services;
    services.SetMessageOwner(window.Get());

    BoxDismisser dismisser;
    services.ShowMessage(kText);
    EXPECT_TRUE(dismisser.Pressed()) << "returned before the box was dismissed";
    const SeenBox& seen = dismisser.Join();
    ExpectPlainOkBox(seen);
    EXPECT_EQ(seen.owner, window.Get());
    EXPECT_FALSE(seen.ownerEnabled) << "the box is modal to its owner";
    EXPECT_TRUE(::IsWindowEnabled(window.Get()));
}

}  // namespace
}  // namespace velstrand::testing
