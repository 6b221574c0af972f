#include "toolbox/core/eventreceiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbox/core/eventqueue.h"
#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"

namespace {

std::string g_calls;

struct Answer {
    char mark;
    int32_t result;
};

int32_t Handler(EventCallRef*, EventObject, void* data) {
    auto* a = static_cast<Answer*>(data);
    g_calls += a->mark;
    return a->result;
}

int32_t OtherHandler(EventCallRef* call, EventObject event, void* data) {
    return Handler(call, event, data);
}

// Lets the rest of the chain run first, then answers after them.
int32_t AroundHandler(EventCallRef* call, EventObject event, void* data) {
    g_calls += '(';
    int32_t inner = CallNextEventHandler(call, event);
    g_calls += ')';
    auto* a = static_cast<Answer*>(data);
    return inner == kEventNotHandled ? a->result : inner;
}

EventReceiver* g_controlWindow = nullptr;
EventReceiver* ControlWindow(const EventReceiver*) {
    return g_controlWindow;
}

class Receivers : public ::testing::Test {
  protected:
    void SetUp() override {
        MemInit(0, -1);
        SetHeapErrorHandler(&SilentHeapErrorHandler);
        g_calls.clear();
        EventObjectNew(FourCC("keyb"), 1, 0, 0, &event_);
    }
    void TearDown() override {
        for (EventReceiver* r :
             {&window_, &control_, &menu_, ApplicationLevelReceiver(), ApplicationEventReceiver()})
            EventReceiverClearHandlers(r);
        SetControlWindowReceiverProvider(nullptr);
        SetFocusReceiverProvider(nullptr);
        EventObjectRelease(event_);
    }
    EventReceiver window_{kReceiverWindow, nullptr, nullptr, 0};
    EventReceiver control_{kReceiverControl, nullptr, nullptr, 0};
    EventReceiver menu_{kReceiverMenu, nullptr, nullptr, 0};
    EventObject event_ = nullptr;
};

TEST_F(Receivers, PushPutsFirstAndRefusesDuplicates) {
    Answer a{'a', kEventNotHandled}, b{'b', kEventNotHandled};
    EventHandlerEntry* entry = nullptr;
    EXPECT_EQ(EventReceiverPushHandler(&window_, &Handler, 0, nullptr, &a, &entry), 0);
    EXPECT_EQ(entry->receiver, &window_);
    EXPECT_EQ(EventReceiverPushHandler(&window_, &Handler, 0, nullptr, &a, nullptr),
              kEventHandlerInstalled);
    EventTypeSpec types[] = {{FourCC("keyb"), 1}};
    EXPECT_EQ(EventReceiverPushHandler(&window_, &Handler, 1, types, &b, nullptr), 0);
    EXPECT_EQ(EventReceiverPushHandler(nullptr, &Handler, 0, nullptr, &a, nullptr),
              kEventBadArgument);
    EventReceiver odd{FourCC("xxxx"), nullptr, nullptr, 0};
    EXPECT_EQ(EventReceiverPushHandler(&odd, &Handler, 0, nullptr, &a, nullptr), kEventBadArgument);
    EXPECT_EQ(SendEventToReceiver(event_, &window_), kEventNotHandled);
    EXPECT_EQ(g_calls, "ba");
}

TEST_F(Receivers, AppendGoesLastUnlessBusy) {
    Answer a{'a', kEventNotHandled};
    ASSERT_EQ(EventReceiverPushHandler(&window_, &Handler, 0, nullptr, &a, nullptr), 0);
    ASSERT_EQ(EventReceiverAppendHandler(&window_, &OtherHandler), 0);
    EXPECT_EQ(window_.first->next->procedure, &OtherHandler);
    EXPECT_EQ(window_.first->next->userData, nullptr);
    window_.busy = 1;
    EXPECT_EQ(EventReceiverAppendHandler(&window_, &OtherHandler), kEventHandlerInstalled);
}

TEST_F(Receivers, DispatchStopsAtTheFirstAnswerAndClimbsToParents) {
    Answer pass{'p', kEventNotHandled}, stop{'s', 5}, app{'A', 0};
    ASSERT_EQ(EventReceiverPushHandler(&window_, &Handler, 0, nullptr, &stop, nullptr), 0);
    ASSERT_EQ(EventReceiverPushHandler(&window_, &Handler, 0, nullptr, &pass, nullptr), 0);
    ASSERT_EQ(
        EventReceiverPushHandler(ApplicationLevelReceiver(), &Handler, 0, nullptr, &app, nullptr),
        0);
    EXPECT_EQ(SendEventToReceiver(event_, &window_), 5);
    EXPECT_EQ(g_calls, "ps");

    g_calls.clear();
    EXPECT_EQ(SendEventToReceiver(event_, &menu_), 0); // empty chain: the application level
    EXPECT_EQ(g_calls, "A");

    // A control without a window climbs to the application level; with
    // one, to its window.
    g_calls.clear();
    ASSERT_EQ(EventReceiverPushHandler(&control_, &Handler, 0, nullptr, &pass, nullptr), 0);
    EXPECT_EQ(SendEventToReceiver(event_, &control_), 0);
    EXPECT_EQ(g_calls, "pA");
    g_calls.clear();
    g_controlWindow = &window_;
    SetControlWindowReceiverProvider(&ControlWindow);
    EXPECT_EQ(SendEventToReceiver(event_, &control_), 5);
    EXPECT_EQ(g_calls, "pps");

    // The application level and the toolbox receiver have no parent.
    EXPECT_EQ(EventReceiverParent(ApplicationLevelReceiver()), nullptr);
    EXPECT_EQ(EventReceiverParent(ApplicationEventReceiver()), nullptr);
    EXPECT_EQ(ApplicationEventReceiver()->receiverClass, kReceiverToolbox);
    EXPECT_EQ(ApplicationEventReceiver()->first, nullptr);
    EXPECT_EQ(FocusEventReceiver(), ApplicationLevelReceiver());
}

TEST_F(Receivers, CallNextRunsTheRestFirstAndTheParentOnce) {
    Answer pass{'p', kEventNotHandled}, around{'x', kEventNotHandled}, app{'A', kEventNotHandled};
    ASSERT_EQ(EventReceiverPushHandler(&window_, &Handler, 0, nullptr, &pass, nullptr), 0);
    ASSERT_EQ(EventReceiverPushHandler(&window_, &AroundHandler, 0, nullptr, &around, nullptr), 0);
    ASSERT_EQ(
        EventReceiverPushHandler(ApplicationLevelReceiver(), &Handler, 0, nullptr, &app, nullptr),
        0);
    EXPECT_EQ(SendEventToReceiver(event_, &window_), kEventNotHandled);
    EXPECT_EQ(g_calls, "(pA)");
}

TEST_F(Receivers, PostedQueueOrderAndReferences) {
    EventObject e[4];
    for (auto& x : e)
        ASSERT_EQ(EventObjectNew(FourCC("AppC"), 1, 0, 0, &x), 0);
    ASSERT_EQ(PostEventObject(e[0], 0), 0);
    ASSERT_EQ(PostEventObject(e[1], 0), 0);
    ASSERT_EQ(PostEventObject(int16_t(5), e[2]), 0); // the (priority, event) form
    ASSERT_EQ(PostEventObject(e[3], -1), 0);
    EXPECT_EQ((*e[0])->retainCount, 2);
    EXPECT_EQ(PostEventObject(e[0], 9), kEventAlreadyQueued);
    EXPECT_EQ((*e[0])->retainCount, 2);
    EXPECT_EQ((*e[0])->priority, 0);

    EventObject peek = TakeQueuedEventObject(false);
    EXPECT_EQ(peek, e[2]);
    EXPECT_EQ((*peek)->retainCount, 3);
    EventObjectRelease(peek);
    EXPECT_EQ(UnqueueEventObject(e[1]), 0);
    EXPECT_EQ((*e[1])->retainCount, 1);
    EXPECT_EQ(UnqueueEventObject(e[1]), kEventNotInQueue);
    EXPECT_FALSE(EventObjectIsQueued(e[1]));

    std::vector<EventObject> order;
    while (EventObject taken = TakeQueuedEventObject(true)) {
        order.push_back(taken);
        EXPECT_EQ((*taken)->retainCount, 2); // the queue's reference passed on
        EventObjectRelease(taken);
    }
    EXPECT_EQ(order, (std::vector<EventObject>{e[2], e[0], e[3]}));
    for (auto& x : e)
        EventObjectRelease(x);
}

TEST_F(Receivers, PushWithoutMemoryAnswers8) {
    Answer a{'a', 0};
    HeapPool* pool = PointerBlockPool();
    int32_t old = SetPoolCeiling(pool, int32_t(PoolBytesHeld(pool)));
    std::vector<void*> held;
    while (void* p = NewPointerBlock(nullptr, sizeof(EventHandlerEntry)))
        held.push_back(p);
    EventHandlerEntry* entry = reinterpret_cast<EventHandlerEntry*>(1);
    int32_t pushed = EventReceiverPushHandler(&window_, &Handler, 0, nullptr, &a, &entry);
    int32_t appended = EventReceiverAppendHandler(&window_, &OtherHandler);
    SetPoolCeiling(pool, old);
    for (void* p : held)
        FreeHeapBlock(p);
    EXPECT_EQ(pushed, kEventNoMemory);
    EXPECT_EQ(entry, nullptr);
    EXPECT_EQ(appended, kEventNoMemory);
    EXPECT_EQ(window_.first, nullptr);
}

} // namespace
