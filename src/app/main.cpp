#include <windows.h>

#include <commctrl.h>

#include "app/main_window.h"
#include "platform/win32/scoped_com_init.h"
#include "platform/win32/win32_services.h"

namespace {

// Dialog keyboard handling (Tab, Shift+Tab, arrow keys in the option group) for a plain window. The IDOK and
// IDCANCEL commands it sends for Enter and Escape are ignored by the window.
int RunMessageLoop(const velstrand::app::MainWindow& window) {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        const HWND dialog = window.Handle();
        if (dialog != nullptr && ::IsDialogMessageW(dialog, &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // The registry lookup creates a COM object on this thread each time.
    const velstrand::ScopedComInit com;
    const INITCOMMONCONTROLSEX commonControls{sizeof(commonControls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&commonControls);

    velstrand::Win32Services services;
    velstrand::app::MainWindow window(instance, services);
    if (!window.Create()) {
        return 1;
    }
    // Before the window is shown: a warning here has no owner and comes first.
    window.Load();
    services.SetMessageOwner(window.Handle());
    window.Show(showCommand);
    return RunMessageLoop(window);
}
