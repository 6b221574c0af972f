// Test support for the event loop: a fake clock and a fake input source
// whose system wait records its bound and moves the clock on by it, so
// loops run in simulated time, plus reset of every piece of loop state.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "toolbox/core/activation.h"
#include "toolbox/core/clock.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/eventqueue.h"
#include "toolbox/core/eventwait.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/inputmessage.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/looptimer.h"
#include "toolbox/core/timertask.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/startuprequest.h"

struct FakeInputState {
    uint32_t ms = 0;
    Point32 mouse{10, 20};
    uint16_t modifiers = 0;
    bool buttons[3] = {false, false, false};
    std::vector<uint32_t> waits;
    std::vector<void*> captures;
    int32_t releases = 0;
    int32_t exitCode = -1;
    // A no-limit wait with nothing to come moves the clock on this far.
    uint32_t idleStep = 1000;
};

inline FakeInputState& FakeInput() {
    static FakeInputState state;
    return state;
}

struct FakeExit {
    int32_t code;
};
constexpr size_t kFakeWaitLimit = 100000;
constexpr int32_t kFakeWaitRunaway = -99;

// Removes every timer of the main loop's list and lets it start afresh.
inline void ClearMainLoopTimers() {
    LoopTimerList* list = MainLoopTimerList();
    while (list->firstActive)
        EventLoopTimerRemove(list->firstActive);
    while (list->firstIdle)
        EventLoopTimerRemove(list->firstIdle);
    list->started = false;
}

class LoopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MemInit(0, -1);
        SetHeapErrorHandler(&SilentHeapErrorHandler);
        FakeInput() = FakeInputState{};
        FakeInput().ms = 5000;
        ClockSource clock{};
        clock.milliseconds = [] { return FakeInput().ms; };
        SetClockSource(&clock);
        OsInputSource input{};
        input.mouseClient = [](Point32* out) { *out = FakeInput().mouse; };
        input.mouseScreen = [](Point32* out) { *out = FakeInput().mouse; };
        input.keyModifiers = [] { return FakeInput().modifiers; };
        input.buttonDown = [](int32_t b) { return b >= 0 && b < 3 && FakeInput().buttons[b]; };
        input.pump = [] {};
        input.messageQueued = [] { return false; };
        input.buttonMessageQueued = [] { return false; };
        input.waitMessage = [](uint32_t ms) {
            FakeInput().waits.push_back(ms);
            // A loop that never ends fails its test instead of hanging.
            if (FakeInput().waits.size() > kFakeWaitLimit) throw FakeExit{kFakeWaitRunaway};
            FakeInput().ms += ms == kOsWaitNoLimit ? FakeInput().idleStep : ms;
        };
        input.keyScan = [](uint8_t c) { return int16_t(c >= 'a' && c <= 'z' ? c - 32 : c); };
        input.captureMouse = [](void* w) { FakeInput().captures.push_back(w); };
        input.releaseMouse = [] { ++FakeInput().releases; };
        input.exitProcess = [](int32_t code) { throw FakeExit{code}; };
        SetOsInputSource(&input);
        ResetAll();
    }
    void TearDown() override {
        ResetAll();
        SetOsInputSource(nullptr);
        SetClockSource(nullptr);
    }
    static void ResetAll() {
        OsEventQueueReset();
        OsClearQuitSeen();
        ResetKeyMessageState();
        ResetActivationState();
        ResetEventWaitState();
        ResetEventLoopState();
        ClearStartupRequests();
        SetLoopWindowHooks(nullptr);
        while (EventObject e = TakeQueuedEventObject(true))
            EventObjectRelease(e);
        EventReceiverClearHandlers(ApplicationEventReceiver());
        EventReceiverClearHandlers(ApplicationLevelReceiver());
        SetFocusReceiverProvider(nullptr);
        ClearMainLoopTimers();
    }
};
