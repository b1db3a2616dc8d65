#pragma once

namespace velstrand {

// The tool's name, as the main window's caption and every message box's caption show it.
inline constexpr wchar_t kApplicationTitle[] = L"Velstrand";

}  // namespace velstrand
