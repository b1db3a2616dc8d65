#pragma once

#include <windows.h>

#include <string>

namespace velstrand {

// The caption of every box the tool shows.
inline constexpr wchar_t kApplicationTitle[] = L"Velstrand";

// A modal box with `text`, one OK button and no icon, owned by `owner` (which may be null); returns once it has
// been dismissed.
void ShowMessageBox(HWND owner, const std::wstring& text);

}  // namespace velstrand
