#include "window_driver.h"

#include <string_view>

#include "platform/application_title.h"
#include "wait_until.h"

namespace velstrand::testing {

namespace {

constexpr UINT kReplyTimeoutMs = 5000;
constexpr int kMessageTextId = 0xFFFF;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

struct Search {
    DWORD processId;
    bool messageBox;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
    Search& search = *reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId) {
        return TRUE;
    }
    const bool isBox = ClassOf(window) == L"#32770";
    if (isBox != search.messageBox || (!isBox && TextOf(window) != kApplicationTitle)) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

HWND FindTopLevel(DWORD processId, bool messageBox) {
    Search search{processId, messageBox, nullptr};
    ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForShownTopLevel(DWORD processId, bool messageBox, std::chrono::milliseconds timeout) {
    HWND window = nullptr;
    const bool shown = WaitUntil(
        [&] {
            window = FindTopLevel(processId, messageBox);
            return window != nullptr && ::IsWindowVisible(window);
        },
        timeout);
    return shown ? window : nullptr;
}

}  // namespace

HWND FindMainWindow(DWORD processId) {
    return FindTopLevel(processId, false);
}

HWND FindMessageBox(DWORD processId) {
    return FindTopLevel(processId, true);
}

HWND WaitForShownMainWindow(DWORD processId, std::chrono::milliseconds timeout) {
    return WaitForShownTopLevel(processId, false, timeout);
}

HWND WaitForShownMessageBox(DWORD processId, std::chrono::milliseconds timeout) {
    return WaitForShownTopLevel(processId, true, timeout);
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT, not GetWindowTextW, which gives nothing for another process's edit box.
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &length)) {
        return L"<no answer>";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          kReplyTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

std::wstring MessageBoxText(HWND box) {
    const HWND text = ::GetDlgItem(box, kMessageTextId);
    return text != nullptr ? TextOf(text) : L"<no text>";
}

void PressOk(HWND box) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

void Click(HWND button) {
    // Posted: a click may open a modal box, which would hold a sent message until it closes.
    ::PostMessageW(button, BM_CLICK, 0, 0);
}

void SetText(HWND control, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                          kReplyTimeoutMs, &ignored);
}

void PostKey(HWND target, UINT virtualKey) {
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(target, WM_KEYUP, virtualKey, (1u << 31) | (1u << 30) | 1);
}

bool PressKey(UINT virtualKey) {
    INPUT strokes[2]{};
    for (INPUT& stroke : strokes) {
        stroke.type = INPUT_KEYBOARD;
        stroke.ki.wVk = static_cast<WORD>(virtualKey);
        stroke.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    }
    strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return ::SendInput(2, strokes, sizeof(INPUT)) == 2;
}

bool IsChecked(HWND button) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &state);
    return state == BST_CHECKED;
}

HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

RECT RectInParent(HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace velstrand::testing
