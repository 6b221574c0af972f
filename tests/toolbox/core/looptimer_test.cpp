#include "toolbox/core/looptimer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_clock.h"
#include "toolbox/core/timertask.h"

namespace {

// A fresh list per test; every timer installed through Install is removed
// at the end unless the test removed it.
class LoopTimers : public FakeClockTest {
  protected:
    void TearDown() override {
        for (LoopTimer* t = list_.firstActive; t;) {
            LoopTimer* next = t->next;
            EventLoopTimerRemove(t);
            t = next;
        }
        for (LoopTimer* t = list_.firstIdle; t;) {
            LoopTimer* next = t->next;
            EventLoopTimerRemove(t);
            t = next;
        }
        FakeClockTest::TearDown();
    }
    LoopTimer* Install(double delay, double interval, LoopTimerProc proc, void* data) {
        LoopTimer* t = nullptr;
        EXPECT_EQ(EventLoopTimerInstall(&list_, delay, interval, proc, data, &t), 0);
        return t;
    }
    std::vector<LoopTimer*> Active() const {
        std::vector<LoopTimer*> out;
        for (LoopTimer* t = list_.firstActive; t; t = t->next)
            out.push_back(t);
        return out;
    }
    bool Idle(LoopTimer* timer) const {
        for (LoopTimer* t = list_.firstIdle; t; t = t->next)
            if (t == timer) return true;
        return false;
    }
    LoopTimerList list_{};
};

std::string g_fired;
void Record(LoopTimer*, void* data) {
    g_fired += static_cast<const char*>(data);
}

TEST_F(LoopTimers, InstallIntervalsAndDelays) {
    LoopTimer* oneShot = Install(1.0, 0, &Record, (void*)"a");
    LoopTimer* negative = Install(1.0, -3, &Record, (void*)"b");
    LoopTimer* huge = Install(1.0, 4294968.0, &Record, (void*)"c");
    LoopTimer* rounded = Install(5000000.0, 0.0125, &Record, (void*)"d");
    EXPECT_TRUE(list_.started);
    EXPECT_EQ(list_.lastRun, 1000u);
    EXPECT_EQ(oneShot->intervalMs, kTimerOneShot);
    EXPECT_EQ(negative->intervalMs, kTimerOneShot);
    EXPECT_EQ(huge->intervalMs, kTimerBeyond);
    EXPECT_EQ(rounded->intervalMs, 13u);
    EXPECT_EQ(rounded->msLeft, kTimerBeyond);
    EXPECT_EQ(oneShot->msLeft, 1000u);
    EventLoopTimerSetNextFire(oneShot, -1);
    EXPECT_TRUE(Idle(oneShot));
    EXPECT_EQ(oneShot->msLeft, kTimerNever);
    // A later schedule counts from the list's last run.
    Advance(300);
    EventLoopTimerSetNextFire(oneShot, 0.2);
    EXPECT_EQ(oneShot->msLeft, 500u);
    EXPECT_EQ(LoopTimerListNextDue(&list_), 200u);
}

TEST_F(LoopTimers, EqualTimesFireInInsertionOrder) {
    g_fired.clear();
    Install(0.05, 0, &Record, (void*)"1");
    Install(0.02, 0, &Record, (void*)"2");
    Install(0.05, 0, &Record, (void*)"3");
    Install(0.05, 0, &Record, (void*)"4");
    Advance(50);
    RunDueLoopTimers(&list_);
    EXPECT_EQ(g_fired, "2134");
    EXPECT_TRUE(Active().empty());
}

TEST_F(LoopTimers, RepeatingTimerKeepsItsPhase) {
    g_fired.clear();
    LoopTimer* t = Install(0.1, 0.1, &Record, (void*)"r");
    Advance(130); // 30 ms overdue
    RunDueLoopTimers(&list_);
    EXPECT_EQ(g_fired, "r");
    ASSERT_EQ(Active().size(), 1u);
    EXPECT_EQ(t->msLeft, 70u);
    Advance(69);
    RunDueLoopTimers(&list_);
    EXPECT_EQ(g_fired, "r");
    EXPECT_EQ(t->msLeft, 1u);
    Advance(101); // overdue by its interval: due at once
    RunDueLoopTimers(&list_);
    EXPECT_EQ(g_fired, "rr");
    EXPECT_EQ(t->msLeft, 0u);
    RunDueLoopTimers(&list_);
    EXPECT_EQ(g_fired, "rrr");
    EXPECT_EQ(t->msLeft, 100u);
}

TEST_F(LoopTimers, OneShotGoesIdleAfterFiring) {
    g_fired.clear();
    LoopTimer* t = Install(0.01, 0, &Record, (void*)"o");
    Advance(10);
    RunDueLoopTimers(&list_);
    EXPECT_EQ(g_fired, "o");
    EXPECT_TRUE(Idle(t));
    EXPECT_EQ(t->flags & (kTimerFiring | kTimerActive), 0u);
    Advance(1000);
    RunDueLoopTimers(&list_);
    EXPECT_EQ(g_fired, "o");
}

TEST_F(LoopTimers, ElapsedAcrossTheClockWrap) {
    SetMs(0xFFFFFFF0u);
    LoopTimerList fresh{};
    LoopTimer* t = nullptr;
    g_fired.clear();
    ASSERT_EQ(EventLoopTimerInstall(&fresh, 0.05, 0, &Record, (void*)"w", &t), 0);
    SetMs(0x10); // 32 ms later; the wrapped difference counts one less
    RunDueLoopTimers(&fresh);
    EXPECT_EQ(t->msLeft, 50u - 31u);
    SetMs(0x10 + 19);
    RunDueLoopTimers(&fresh);
    EXPECT_EQ(g_fired, "w");
    EXPECT_EQ(EventLoopTimerRemove(t), 0);
}

// Procedures that edit the lists while firing.
struct Editor {
    LoopTimerList* list;
    LoopTimer* self = nullptr;
    LoopTimer* other = nullptr;
    LoopTimer* installed = nullptr;
    int32_t firstRemove = 1, secondRemove = 1;
    int calls = 0;
    bool nested = false;
};

void RemoveSelfTwice(LoopTimer* timer, void* data) {
    auto* e = static_cast<Editor*>(data);
    ++e->calls;
    e->firstRemove = EventLoopTimerRemove(timer);
    e->secondRemove = EventLoopTimerRemove(timer);
    EventLoopTimerSetNextFire(timer, 0.01); // left alone once marked
}

TEST_F(LoopTimers, RemovingItselfFreesAfterTheProcedure) {
    Editor e{&list_};
    Install(0.01, 0.01, &RemoveSelfTwice, &e);
    Advance(10);
    RunDueLoopTimers(&list_); // ASan reports a use after free or a leak
    EXPECT_EQ(e.calls, 1);
    EXPECT_EQ(e.firstRemove, 0);
    EXPECT_EQ(e.secondRemove, kTimerResultBeingRemoved);
    EXPECT_TRUE(Active().empty());
    EXPECT_EQ(list_.firstIdle, nullptr);
}

void EditOthersAndNest(LoopTimer*, void* data) {
    auto* e = static_cast<Editor*>(data);
    ++e->calls;
    EXPECT_EQ(EventLoopTimerRemove(e->other), 0); // due in this pass too
    EventLoopTimerInstall(e->list, 0, 0.05, &Record, (void*)"n", &e->installed);
    if (!e->nested) {
        e->nested = true;
        FakeClock().ms += 5;
        RunDueLoopTimers(e->list); // a nested wait
    }
}

TEST_F(LoopTimers, ProceduresThatEditTheListsAndNest) {
    g_fired.clear();
    Editor e{&list_};
    e.self = Install(0.02, 0.02, &EditOthersAndNest, &e);
    e.other = Install(0.02, 0.02, &Record, (void*)"x");
    LoopTimer* later = Install(0.5, 0, &Record, (void*)"L");
    Advance(20);
    RunDueLoopTimers(&list_);
    EXPECT_EQ(e.calls, 1);
    EXPECT_EQ(g_fired, "n"); // the removed timer never fired
    // self re-armed (20 ms from the outer run), the installed timer and the
    // later one remain; no removed timer is left on either list.
    std::vector<LoopTimer*> active = Active();
    ASSERT_EQ(active.size(), 3u);
    EXPECT_EQ(active[0], e.self);
    EXPECT_EQ(active[2], later);
    for (LoopTimer* t = list_.firstIdle; t; t = t->next)
        EXPECT_EQ(t->flags & kTimerDispose, 0u);
}

// Timer tasks and view timers on the main list.
class TimerTasks : public FakeClockTest {
  protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        MainLoopTimerList()->lastRun = FakeClock().ms;
    }
    void TearDown() override {
        SetMenuTrackingProvider(nullptr);
        SetDispatchUnderwayProvider(nullptr);
        FakeClockTest::TearDown();
    }
};

int g_taskCalls = 0;
void* g_taskData = nullptr;
void CountTask(TimerTask*, void* data) {
    ++g_taskCalls;
    g_taskData = data;
}
bool g_tracking = false;
bool Tracking() {
    return g_tracking;
}
bool NoDispatch() {
    return false;
}

TEST_F(TimerTasks, BadArgumentsAndFiring) {
    TimerTask* task = reinterpret_cast<TimerTask*>(1);
    EXPECT_EQ(InstallTimerTask(0, 0, &CountTask, nullptr, &task), kTimerResultBadArgument);
    EXPECT_EQ(task, nullptr);
    EXPECT_EQ(InstallTimerTask(100, 0, nullptr, nullptr, &task), kTimerResultBadArgument);

    g_taskCalls = 0;
    int data = 0;
    ASSERT_EQ(InstallTimerTask(100, 0, &CountTask, &data, &task), 0);
    EXPECT_EQ(task->timer->intervalMs, 100u);
    Advance(100);
    RunDueLoopTimers(MainLoopTimerList());
    EXPECT_EQ(g_taskCalls, 1);
    EXPECT_EQ(g_taskData, &data);
    SetTimerTaskNextFire(task, -1);
    Advance(1000);
    RunDueLoopTimers(MainLoopTimerList());
    EXPECT_EQ(g_taskCalls, 1);
    SetTimerTaskNextFire(task, 10);
    Advance(10);
    RunDueLoopTimers(MainLoopTimerList());
    EXPECT_EQ(g_taskCalls, 2);
    RemoveTimerTask(task);
}

TEST_F(TimerTasks, DeferringTaskWaitsHalfASecond) {
    g_taskCalls = 0;
    g_tracking = true;
    SetMenuTrackingProvider(&Tracking);
    SetDispatchUnderwayProvider(&NoDispatch);
    TimerTask* deferring = nullptr;
    TimerTask* plain = nullptr;
    ASSERT_EQ(InstallTimerTask(3333, 1, &CountTask, nullptr, &deferring), 0);
    ASSERT_EQ(InstallTimerTask(3333, 0, &CountTask, nullptr, &plain), 0);
    Advance(3333);
    RunDueLoopTimers(MainLoopTimerList());
    EXPECT_EQ(g_taskCalls, 1); // only the plain one
    EXPECT_EQ(deferring->timer->msLeft, 500u);
    g_tracking = false;
    Advance(500);
    RunDueLoopTimers(MainLoopTimerList());
    EXPECT_EQ(g_taskCalls, 2);
    RemoveTimerTask(deferring);
    RemoveTimerTask(plain);
}

ViewTimer* g_viewSeen = nullptr;
void* g_viewData = nullptr;
void ViewProc(ViewTimer* timer, void* data) {
    g_viewSeen = timer;
    g_viewData = data;
}

TEST_F(TimerTasks, ViewTimerCallsWithItselfAndItsData) {
    ViewTimer* view = nullptr;
    int data = 0;
    ASSERT_EQ(ViewTimerInstall(40, 0, &ViewProc, &data, &view), 0);
    Advance(40);
    RunDueLoopTimers(MainLoopTimerList());
    EXPECT_EQ(g_viewSeen, view);
    EXPECT_EQ(g_viewData, &data);
    ViewTimerRemove(view);
    EXPECT_EQ(MainLoopTimerList()->firstActive, nullptr);
}

} // namespace
