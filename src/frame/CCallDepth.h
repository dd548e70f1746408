// CCallDepth: how many frames of the library's code run on this thread's
// stack. Each window procedure of the bar's windows and each call of the C
// interface holds one while it runs. A host may close a bar from inside such
// a frame (in its answer to a message the bar sent, or in a nested message
// loop); freeing the bar then would leave the frame working on a dead
// object, so the C interface waits until no frame runs any more (Active).
#pragma once

class CCallDepth {
  public:
    CCallDepth() noexcept;
    ~CCallDepth();
    CCallDepth(const CCallDepth&) = delete;
    CCallDepth& operator=(const CCallDepth&) = delete;

    // True while any frame of the library runs on this thread.
    static bool Active();
};
