#pragma once

#include <windows.h>

namespace velstrand {

// A repair keeps the window's thread for as long as it works. Windows marks a window whose thread has looked at no
// message for 5 seconds as not responding ("(未响应)") and offers to close it, and a window that is not painted
// shows whatever was last drawn over it. So while it works the run lets through the messages that paint the
// window and those that other threads and programs send it; input stays queued, so the window still takes none.
void HandlePaintAndSentMessages();

// Throws away the keys and clicks queued for this thread's windows, Alt+F4 and clicks on a caption's buttons
// included: what the player pressed while a run kept the thread goes nowhere, neither into a message box the run
// shows next nor into the window once the run has ended.
void DropQueuedInput();

// The same at most a few times a second, for a loop that asks at each of its steps.
class WindowUpkeep {
  public:
    void IfDue();

  private:
    ULONGLONG last_ = 0;
};

// Waits until `handle` is signalled or the tick count reaches `deadline`, handling paint and sent messages
// meanwhile. True when it was signalled.
bool WaitKeepingWindowsPainted(HANDLE handle, ULONGLONG deadline);

}  // namespace velstrand
