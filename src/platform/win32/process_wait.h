#pragma once

#include <windows.h>

#include <span>
#include <string_view>

namespace velstrand {

// Waits until every process that runs now from an image named one of `imageNames` (letter case ignored) has ended,
// or the tick count reaches `deadline`, keeping the window painted meanwhile. Each is awaited through a handle to
// it, so a process that ends is seen at once and one that starts later is not waited for. A process this tool may
// not wait on, such as a protected anti-cheat, is not waited for either.
void WaitForProcessesNamed(std::span<const std::wstring_view> imageNames, ULONGLONG deadline);

}  // namespace velstrand
