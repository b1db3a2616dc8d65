#pragma once

#include <windows.h>

#include <string>

#include "platform/application_title.h"

namespace velstrand {

// A modal box with `text`, one OK button and no icon, owned by `owner` (which may be null); returns once it has
// been dismissed.
void ShowMessageBox(HWND owner, const std::wstring& text);

}  // namespace velstrand
