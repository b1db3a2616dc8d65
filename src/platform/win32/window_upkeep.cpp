#include "platform/win32/window_upkeep.h"

#include <algorithm>

namespace velstrand {

namespace {

constexpr ULONGLONG kUpkeepIntervalMs = 200;
constexpr ULONGLONG kLongestSliceMs = 1000;
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

void DropQueuedInput() {
    // Bounded, since input may keep arriving while this runs.
    constexpr int kMostInputAtOnce = 10000;
    MSG message;
    for (int i = 0; i < kMostInputAtOnce && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT); ++i) {
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
        if (now >= deadline) {
            return ::WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        }
        // Waiting for paint and sent messages is not waiting for input: Windows looks at when the thread last
        // peeked at its queue, so it peeks at least every slice, messages or not.
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kLongestSliceMs));
        const DWORD result = ::MsgWaitForMultipleObjectsEx(1, &handle, slice, QS_PAINT | QS_SENDMESSAGE, 0);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        if (result != WAIT_OBJECT_0 + 1 && result != WAIT_TIMEOUT) {
            return false;
        }
        HandlePaintAndSentMessages();
    }
}

}  // namespace velstrand
