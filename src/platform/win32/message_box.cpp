#include "platform/win32/message_box.h"

namespace velstrand {

void ShowMessageBox(HWND owner, const std::wstring& text) {
    ::MessageBoxW(owner, text.c_str(), kApplicationTitle, MB_OK);
}

}  // namespace velstrand
