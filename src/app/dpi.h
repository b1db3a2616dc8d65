#pragma once

#include <windows.h>

namespace velstrand::app {

// The DPI functions of Windows 10 are looked up when first needed, so that the program still starts on older
// Windows, where it falls back to the system DPI.

// The DPI `window` is shown at.
UINT WindowDpi(HWND window);

// The outer size of a window with `style` whose client area is `clientWidth` x `clientHeight` pixels at `dpi`.
SIZE FrameSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// The system's message-box font as it should be at `dpi`; false when the system does not say.
bool MessageFontAt(UINT dpi, LOGFONTW& font);

}  // namespace velstrand::app
