#include "platform/win32/window_upkeep.h"

namespace velstrand {

namespace {

constexpr ULONGLONG kUpkeepIntervalMs = 200;
// A window that never validates what it paints would keep handing out WM_PAINT.
constexpr int kMostMessagesAtOnce = 100;

}  // namespace

void HandlePaintAndSentMessages() {
    // Peeking at all delivers the messages sent to this thread; PM_QS_PAINT retrieves nothing but WM_PAINT.
    MSG message;
    for (int i = 0; i < kMostMessagesAtOnce &&
                    ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE);
         ++i) {
        ::DispatchMessageW(&message);
    }
}

void WindowUpkeep::IfDue() {
    const ULONGLONG now = ::GetTickCount64();
    if (now - last_ >= kUpkeepIntervalMs) {
        last_ = now;
        HandlePaintAndSentMessages();
    }
}

bool WaitKeepingWindowsPainted(HANDLE handle, ULONGLONG deadline) {
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD remaining = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD result = ::MsgWaitForMultipleObjectsEx(1, &handle, remaining, QS_PAINT | QS_SENDMESSAGE, 0);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        if (result != WAIT_OBJECT_0 + 1) {
            return false;
        }
        HandlePaintAndSentMessages();
    }
}

}  // namespace velstrand
