#include "toolbox/core/eventloop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loop_fixture.h"

namespace {

struct Windows {
    int a = 0, b = 0;
    EventReceiver receiverA{kReceiverWindow, nullptr, nullptr, 0};
    EventReceiver receiverB{kReceiverWindow, nullptr, nullptr, 0};
    std::string log;
    std::vector<void*> discarded;
    std::vector<std::string> modal;
    int16_t part = kPartNone;
};
Windows* g_w = nullptr;

int32_t Mark(EventCallRef*, EventObject event, void* data) {
    g_w->log += static_cast<const char*>(data);
    g_w->log += std::to_string((*event)->kind);
    g_w->log += ' ';
    return kEventResultOk;
}

int32_t Pass(EventCallRef*, EventObject, void*) {
    return kEventNotHandled;
}

class Routing : public LoopTest {
  protected:
    void SetUp() override {
        LoopTest::SetUp();
        g_w = &w_;
        LoopWindowHooks hooks{};
        hooks.findWindowPart = [](Point16, void** window) {
            *window = g_w->part == kPartMenuBar || g_w->part == kPartNone ? nullptr : &g_w->a;
            return g_w->part;
        };
        hooks.windowReceiver = [](void* window) {
            return window == &g_w->a   ? &g_w->receiverA
                   : window == &g_w->b ? &g_w->receiverB
                                       : nullptr;
        };
        hooks.frontNonFloatingWindow = [] { return static_cast<void*>(&g_w->b); };
        hooks.discardUpdate = [](void* window) { g_w->discarded.push_back(window); };
        hooks.beginNativeModal = [](void* window) {
            g_w->modal.push_back(window == &g_w->a ? "+a" : "+b");
            return 0;
        };
        hooks.endNativeModal = [](void* window) {
            g_w->modal.push_back(window == &g_w->a ? "-a" : "-b");
            return 0;
        };
        hooks.menuCommandKey = [](EventObject event) {
            char ch = 0;
            EventParamGet(event, kParamKeyChar, FourCC("TEXT"), 1, &ch);
            return ch == 'q';
        };
        SetLoopWindowHooks(&hooks);
        InstallEventLoopHandlers();
        EventReceiverPushHandler(&w_.receiverA, &Mark, 0, nullptr, const_cast<char*>("A"), nullptr);
        EventReceiverPushHandler(&w_.receiverB, &Mark, 0, nullptr, const_cast<char*>("B"), nullptr);
        EventReceiverPushHandler(ApplicationLevelReceiver(), &Mark, 0, nullptr,
                                 const_cast<char*>("P"), nullptr);
    }
    void TearDown() override {
        EventReceiverClearHandlers(&w_.receiverA);
        EventReceiverClearHandlers(&w_.receiverB);
        LoopTest::TearDown();
    }
    std::string Route(uint16_t what, uintptr_t message, uint16_t modifiers = 0) {
        OsEventRecord r{};
        r.what = what;
        r.message = message;
        r.modifiers = modifiers;
        EventObject e = nullptr;
        EXPECT_EQ(EventObjectFromOsEvent(&r, &e), kEventResultOk);
        w_.log.clear();
        int32_t result = SendEventToReceiver(e, ApplicationEventReceiver());
        if (result == kEventNotHandled) w_.log += "-";
        EventObjectRelease(e);
        return w_.log;
    }
    Windows w_;
};

TEST_F(Routing, ClicksByPartKeysToFocusWindowsByDirectObject) {
    struct Row {
        int16_t part;
        const char* expected;
    } clicks[] = {{kPartNone, "P1 "},
                  {kPartMenuBar, "P1 "},
                  {kPartContent, "A1 "},
                  {kPartCaption, "A1 "},
                  {kPartGrow, "A1 "},
                  {kPartClose, "A1 "},
                  {kPartZoomIn, "A1 "},
                  {kPartZoomOut, "A1 "},
                  {kPartMinimise, "A1 "},
                  {2, "P1 "},
                  {9, "P1 "}};
    for (const Row& row : clicks) {
        w_.part = row.part;
        EXPECT_EQ(Route(kOsWhatMouseDown, 0), row.expected) << row.part;
    }
    w_.part = kPartContent;
    EXPECT_EQ(Route(kOsWhatOs, kOsMessageMouseMoved), "A5 ");
    EXPECT_EQ(Route(kOsWhatMouseUp, 0), "B2 ");
    EXPECT_EQ(Route(kOsWhatWheel, 120), "B10 ");
    EXPECT_EQ(Route(kOsWhatAutoKey, 'x'), "B2 ");
    EXPECT_EQ(Route(kOsWhatKeyUp, 'x'), "B3 ");
    EXPECT_EQ(Route(kOsWhatKeyDown, 'x'), "B1 ");
    EXPECT_EQ(Route(kOsWhatKeyDown, 'q'), ""); // a menu key: taken by the menus
    EXPECT_EQ(Route(kOsWhatUpdate, uintptr_t(&w_.a)), "A1 ");
    EXPECT_EQ(Route(kOsWhatActivate, uintptr_t(&w_.b), kModActiveFlag), "B5 ");
    EXPECT_EQ(Route(kOsWhatOs, kOsMessageSuspendResume), "-");

    StartupRequest* open = MakeStartupRequest(kStartupOpenDocument, "x", nullptr, 0, 0);
    StartupRequest* drop = MakeStartupRequest(kStartupDroppedFile, "y", &w_.b, 0, 1);
    EXPECT_EQ(Route(kOsWhatHighLevel, uintptr_t(open)), "P1 ");
    EXPECT_EQ(Route(kOsWhatHighLevel, uintptr_t(drop)), "B1 ");
    FreeStartupBlock(open);
    FreeStartupBlock(drop);
}

TEST_F(Routing, ClickRecordsThePartForTheMenuBarHandler) {
    static Point16 clicked{-1, -1};
    LoopWindowHooks hooks = LoopHooks();
    hooks.menuBarClick = [](Point16 where, uint32_t) { clicked = where; };
    SetLoopWindowHooks(&hooks);
    EventReceiverClearHandlers(ApplicationLevelReceiver());
    EventReceiverAppendHandler(ApplicationLevelReceiver(), &MenuBarClickHandler);
    w_.part = kPartMenuBar;
    EXPECT_EQ(Route(kOsWhatMouseDown, kOsButtonRight), "-");
    EXPECT_EQ(clicked.v, -1);
    EXPECT_EQ(Route(kOsWhatMouseDown, kOsButtonLeft), "-");
    EXPECT_EQ(clicked.v, 0);
}

TEST_F(Routing, AnUpdateNobodyTakesIsDiscarded) {
    EventReceiverClearHandlers(&w_.receiverA);
    EventReceiverPushHandler(&w_.receiverA, &Pass, 0, nullptr, nullptr, nullptr);
    EventReceiverClearHandlers(ApplicationLevelReceiver());
    static int pending = 2;
    pending = 2;
    LoopWindowHooks hooks = LoopHooks();
    hooks.firstWindowNeedingUpdate = [] { return pending ? static_cast<void*>(&g_w->a) : nullptr; };
    hooks.discardUpdate = [](void* window) {
        g_w->discarded.push_back(window);
        pending = 0;
    };
    SetLoopWindowHooks(&hooks);
    EventTypeSpec updates{kEventClassWindow, kWindowUpdateKind};
    EXPECT_EQ(EventLoopStep(0.0, &updates, 1), kEventTimedOut);
    EXPECT_EQ(w_.discarded, (std::vector<void*>{&w_.a}));
}

// Modal loops driven by one-shot timer tasks, each a step.
void RunB(TimerTask* task, void*) {
    SetTimerTaskNextFire(task, kTimerTaskNoInterval);
    RunModalLoopForWindow(&g_w->b);
    g_w->log += "b returned ";
}
void QuitA(TimerTask* task, void*) {
    SetTimerTaskNextFire(task, kTimerTaskNoInterval);
    EXPECT_EQ(QuitModalLoopForWindow(&g_w->a), 0);
    g_w->log += "a ended ";
}
void QuitB(TimerTask* task, void*) {
    SetTimerTaskNextFire(task, kTimerTaskNoInterval);
    EXPECT_EQ(QuitModalLoopForWindow(&g_w->b), 0);
}

TEST_F(Routing, EndingAnOuterModalLoopEndsOnlyThatOne) {
    EXPECT_EQ(QuitModalLoopForWindow(&w_.a), kModalNoLoop);
    TimerTask* tasks[3] = {};
    ASSERT_EQ(InstallTimerTask(100, 0, &RunB, nullptr, &tasks[0]), 0);
    ASSERT_EQ(InstallTimerTask(200, 0, &QuitA, nullptr, &tasks[1]), 0);
    ASSERT_EQ(InstallTimerTask(300, 0, &QuitB, nullptr, &tasks[2]), 0);
    w_.log.clear();
    EXPECT_EQ(RunModalLoopForWindow(&w_.a), 0);
    EXPECT_EQ(w_.log, "P5 a ended b returned "); // the first wait reports the mouse
    EXPECT_EQ(w_.modal, (std::vector<std::string>{"+a", "+b", "-b", "-a"}));
    EXPECT_FALSE(CurrentLoopEnded());
    for (TimerTask* t : tasks)
        RemoveTimerTask(t);
}

TEST_F(Routing, LoopLevelsCountTokensAndEndInnermostFirst) {
    int32_t t1 = 0, t2 = 0, t3 = 0;
    EventLoopLevel* la = RunEventLoopLevel(&w_.a, &t1, false);
    EventLoopLevel* lb = RunEventLoopLevel(&w_.b, &t2, false);
    ASSERT_NE(la, nullptr);
    ASSERT_NE(lb, nullptr);
    EXPECT_EQ(t1, 1);
    EXPECT_EQ(t2, 2);
    EXPECT_EQ(RunEventLoopLevel(&w_.a, &t3, false), la);
    EXPECT_EQ(t3, 1);
    EXPECT_EQ(RunEventLoopLevel(nullptr, &t3, false), lb);
    EXPECT_EQ(InnermostLoopLevel(), lb);
    EXPECT_EQ(EndEventLoopLevel(kInnermostLevel, false), 0);
    EXPECT_EQ(InnermostLoopLevel(), la);
    EXPECT_EQ(EndEventLoopLevel(1, true), 0);
    EXPECT_EQ(InnermostLoopLevel(), nullptr);
    EXPECT_EQ(EndEventLoopLevel(1, false), kModalNoLoop);
    EXPECT_EQ(w_.modal, (std::vector<std::string>{"+a", "+b", "-b", "-a"}));
}

int g_deferredRuns = 0;
void DeferredTask(TimerTask*, void*) {
    ++g_deferredRuns;
}
void DispatchingStep(TimerTask* task, void*) {
    LoopDispatchEnter();
    EventTypeSpec none{FourCC("keyb"), 1};
    EventObject e = nullptr;
    EventReceiveNext(1, &none, 1.0, true, &e); // the deferring task must not run in here
    EXPECT_EQ(g_deferredRuns, 0);
    LoopDispatchLeave();
    RemoveTimerTask(task);
}

TEST_F(Routing, DispatchUnderwayDefersTasks) {
    int32_t token = 0;
    RunEventLoopLevel(&w_.a, &token, false);
    g_deferredRuns = 0;
    TimerTask* d = nullptr;
    TimerTask* s = nullptr;
    ASSERT_EQ(InstallTimerTask(200, 0, &DispatchingStep, nullptr, &s), 0);
    ASSERT_EQ(InstallTimerTask(300, 1, &DeferredTask, nullptr, &d), 0);
    EventTypeSpec none{FourCC("keyb"), 1};
    EventObject e = nullptr;
    EXPECT_EQ(EventReceiveNext(1, &none, 2.0, true, &e), kEventTimedOut);
    EXPECT_GE(g_deferredRuns, 1);
    RemoveTimerTask(d);
    EndEventLoopLevel(token, false);
}

} // namespace
