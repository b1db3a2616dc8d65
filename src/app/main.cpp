#include <windows.h>

#include <commctrl.h>

#include "app/main_window.h"
#include "platform/win32/scoped_com_init.h"
#include "platform/win32/system_library.h"
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

// Common Controls 6, which the manifest names, comes from the system's side-by-side store.
void InitialiseCommonControls(const velstrand::SystemLibrary& comctl32) {
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (const auto init = comctl32.Export<InitFunction>("InitCommonControlsEx")) {
        const INITCOMMONCONTROLSEX commonControls{sizeof(commonControls), ICC_STANDARD_CLASSES};
        init(&commonControls);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Before anything else. Players start the tool from their Downloads folder, where any file may lie, and
    // Windows looks for a DLL that is not one of its KnownDLLs in the program's own folder first: from here on,
    // every DLL loaded for this process comes from system32 alone. (The import table holds KnownDLLs only.)
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Before anything touches a path: a game folder on an empty card reader or DVD drive, which a registry value
    // can name, is then a folder that is not there, not the system's "There is no disk in the drive" box.
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS);
    // A DLL already loaded is taken by its name. uxtheme delay-loads msimg32 when it first draws, and Wine's loader
    // resolves such loads of its own DLLs without the restriction above, so msimg32 is taken from system32 now.
    const velstrand::SystemLibrary msimg32(L"msimg32.dll");
    const velstrand::SystemLibrary comctl32(L"comctl32.dll");
    InitialiseCommonControls(comctl32);
    // The registry lookup creates a COM object on this thread each time.
    const velstrand::ScopedComInit com;

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
