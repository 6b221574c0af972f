// Try frames: a non-local exit for readers and services that fail deep down.
//
// A frame is opened by a scope object (TryFrameScope) or by TryRun; failing
// code calls ThrowToFrame(code), which unwinds (destructors run) straight
// back to the innermost open frame, where the code becomes the result of
// the try. Frames nest; a throw reaches only the innermost one.
//
// The unwinding is a C++ exception. It must never cross a Win32 callback
// (window procedure, hook, timer procedure, dialog procedure): the system
// cannot unwind through its own frames. Open and close a frame entirely on
// one side of such a boundary.
#pragma once
#include <cstdint>
#include <utility>

// Once per process (count 0 or less: 16 frames kept ready). Idempotent.
void InitTryFrames(int32_t count);

// Number of open frames.
int32_t TryFrameDepth();

// Code of the innermost frame; 0 when none is open.
int32_t InnermostTryFrameCode();

// Closes the innermost frame and returns its code; 0 when none is open.
int32_t PopExceptionFrame();

// Code 0 or no open frame: returns and nothing happens. Otherwise the code
// is stored in the innermost frame and execution unwinds to it.
void ThrowToFrame(int32_t code);

// The exception object behind ThrowToFrame; only TryFrameScope catches it.
struct TryFrameThrow {
    uint32_t serial;
    int32_t code;
};

// Opens a frame for its lifetime. A frame still open when the scope ends
// (the opener returned without popping) is dropped.
class TryFrameScope {
  public:
    TryFrameScope();
    ~TryFrameScope();
    TryFrameScope(const TryFrameScope&) = delete;
    TryFrameScope& operator=(const TryFrameScope&) = delete;

    // 0 when the frame is open; -1 when no frame could be had.
    int32_t status() const { return status_; }
    // True when a throw addressed to this frame is the given exception.
    bool owns(const TryFrameThrow& t) const { return status_ == 0 && t.serial == serial_; }
    bool isOpen() const;

  private:
    uint32_t serial_ = 0;
    int32_t status_ = -1;
};

// Runs body under a new frame and returns 0, or the code thrown to this
// frame (the frame is popped either way). Throws addressed to outer frames
// pass through.
template <class F> int32_t TryRun(F&& body) {
    TryFrameScope scope;
    if (scope.status() != 0) return scope.status();
    try {
        std::forward<F>(body)();
    } catch (const TryFrameThrow& t) {
        if (!scope.owns(t)) throw;
    }
    return scope.isOpen() ? PopExceptionFrame() : 0;
}
