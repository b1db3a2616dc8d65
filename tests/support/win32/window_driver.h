#pragma once

#include <windows.h>

#include <chrono>
#include <string>

namespace velstrand::testing {

// Driving another process's windows with window messages, as a user's clicks and keys would.

// The process's top-level window with the tool's caption that is not a message box; null if there is none.
HWND FindMainWindow(DWORD processId);
// The process's message box (a top-level dialog window), shown or not; null if there is none.
HWND FindMessageBox(DWORD processId);
// The process's main window or message box once it is shown; null if none is shown within `timeout`.
HWND WaitForShownMainWindow(DWORD processId, std::chrono::milliseconds timeout = std::chrono::seconds(10));
HWND WaitForShownMessageBox(DWORD processId, std::chrono::milliseconds timeout = std::chrono::seconds(10));

std::wstring TextOf(HWND window);
// The message that a message box shows.
std::wstring MessageBoxText(HWND box);
void PressOk(HWND box);

void Click(HWND button);
void SetText(HWND control, const std::wstring& text);
void PostKey(HWND target, UINT virtualKey);
// Presses and releases a key as the keyboard does: into the input queue of the window in front, where a posted key
// never goes. False when the system did not take it.
bool PressKey(UINT virtualKey);
bool IsChecked(HWND button);
// The control that holds the keyboard focus in `window`'s thread.
HWND FocusIn(HWND window);

SIZE ClientSize(HWND window);
// `child`'s rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);

}  // namespace velstrand::testing
