#pragma once

namespace velstrand {

// Joins the calling thread to a single-threaded COM apartment for the lifetime of the object. The registry read
// creates a COM object on each call, so the program's start-up (and each test) holds one of these around it.
// CoInitializeEx reports S_FALSE when the thread had already joined; that, too, must be balanced.
class ScopedComInit {
  public:
    ScopedComInit();
    ~ScopedComInit();

    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

  private:
    bool initialised_ = false;
};

}  // namespace velstrand
