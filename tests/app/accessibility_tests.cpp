// The window as an assistive tool such as Narrator or NVDA reads it, through Microsoft Active Accessibility from
// another process.

#include <windows.h>

#include <wrl/client.h>

#include <oleacc.h>

#include "app_fixture.h"
#include "platform/win32/com_values.h"
#include "platform/win32/scoped_com_init.h"

namespace velstrand::testing {
namespace {

// IAccessible's own identifier: the one mingw-w64 10's oleacc library exports under IID_IAccessible is not it.
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::optional<std::wstring> AccessibleNameOf(HWND control) {
    Microsoft::WRL::ComPtr<IAccessible> accessible;
    if (FAILED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                            reinterpret_cast<void**>(accessible.GetAddressOf())))) {
        return std::nullopt;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (accessible->get_accName(self, &name) != S_OK) {
        return std::nullopt;
    }
    const UniqueBstr owned(name);
    return std::wstring(name, ::SysStringLen(name));
}

TEST_F(AppTest, TheFolderBoxIsNamedByItsLabel) {
    const ScopedComInit com;
    official_.SetString(L"C:\\Games\\DNF");
    const auto app = StartAppAndWaitForWindow();
    ASSERT_NE(app->Window(), nullptr);
    EXPECT_EQ(AccessibleNameOf(app->Control(app::kText1)), TextOf(app->Control(app::kLabel1)));
    EXPECT_EQ(AccessibleNameOf(app->Control(app::kText1)), L"DNF\u76ee\u5f55\uff1a");  // DNF目录：
}

}  // namespace
}  // namespace velstrand::testing
