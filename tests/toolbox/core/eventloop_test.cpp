#include "toolbox/core/eventloop.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "loop_fixture.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/droppedfiles.h"

namespace {

using EventLoopTest = LoopTest;

struct Seen {
    uint32_t eventClass;
    uint32_t kind;
};
std::vector<Seen> g_seen;

int32_t Recorder(EventCallRef*, EventObject event, void*) {
    g_seen.push_back({(*event)->eventClass, (*event)->kind});
    return kEventResultOk;
}

void QuitTask(TimerTask*, void*) {
    EventLoopQuit();
}

uint32_t Kind(EventObject e) {
    return (*e)->kind;
}
uint32_t Class(EventObject e) {
    return (*e)->eventClass;
}

TEST_F(EventLoopTest, MaskOfTheWaitedKinds) {
    struct Row {
        uint32_t eventClass, kind;
        uint16_t mask;
    } rows[] = {
        {FourCC("mous"), 1, 0x2},     {FourCC("mous"), 2, 0x4},   {FourCC("mous"), 5, 0x8000},
        {FourCC("mous"), 10, 0x4000}, {FourCC("keyb"), 1, 0x8},   {FourCC("keyb"), 2, 0x20},
        {FourCC("keyb"), 3, 0x10},    {FourCC("wind"), 1, 0x40},  {FourCC("wind"), 5, 0x100},
        {FourCC("wind"), 6, 0x100},   {FourCC("eppc"), 1, 0x400}, {FourCC("mous"), 6, 0},
        {FourCC("appl"), 1, 0},
    };
    for (const Row& row : rows) {
        EventTypeSpec spec{row.eventClass, row.kind};
        EXPECT_EQ(EventMaskFromTypes(1, &spec), row.mask) << row.kind;
    }
    EXPECT_EQ(EventMaskFromTypes(0, nullptr), 0xC17E);
    EventTypeSpec none{FourCC("appl"), 1};
    EventObject e = nullptr;
    EXPECT_EQ(EventReceiveNext(1, &none, 0.0, true, &e), kEventNoConversion);
    EXPECT_EQ(e, nullptr);
}

TEST_F(EventLoopTest, TimeoutsPollWaitOrEnd) {
    EventTypeSpec keys{FourCC("keyb"), 1};
    EventObject e = nullptr;
    uint32_t before = OsWaitReturnCount();
    EXPECT_EQ(EventReceiveNext(1, &keys, 0.5, true, &e), kEventTimedOut);
    EXPECT_EQ(OsWaitReturnCount(), before); // truncated to 0: polled once
    EXPECT_EQ(EventReceiveNext(1, &keys, 2.0, true, &e), kEventTimedOut);
    EXPECT_EQ(FakeInput().waits, (std::vector<uint32_t>{2000}));
    // No limit: the wait sets no timer until input arrives.
    FakeInput().waits.clear();
    InstallTimerTask(
        3000, 0, [](TimerTask*, void*) { PostOsEvent(kOsWhatKeyDown, 'x'); }, nullptr, nullptr);
    ASSERT_EQ(EventReceiveNext(1, &keys, kReceiveForever, true, &e), kEventResultOk);
    EXPECT_EQ(Kind(e), 1u);
    EventObjectRelease(e);
    EXPECT_EQ(FakeInput().waits, (std::vector<uint32_t>{3000}));
    EXPECT_EQ(EventReceiveNext(1, &keys, 3e6, false, &e), kEventResultOk)
        << "beyond 2,147,483 s waits without limit: the repeating task posts again";
    EventObjectRelease(e);
    EventLoopQuit();
    EXPECT_EQ(EventReceiveNext(1, &keys, 0.0, true, &e), kEventLoopEnded);
}

TEST_F(EventLoopTest, SourcesComeInTheirOrder) {
    int a = 0, b = 0;
    PostOsEvent(kOsWhatMouseDown, 0);
    SetWindowActivationPending(&a, true);
    SetWindowActivationPending(&b, false);
    OsEventRecord r;
    std::vector<std::pair<uint16_t, uintptr_t>> order;
    EventObject posted = nullptr;
    EventObject mine = nullptr;
    EventObjectNew(FourCC("cust"), 1, &mine);
    PostEventObject(mine, 0);
    EventObjectRelease(mine);
    while (EventWaitNext(0xFFFF, &r, nullptr, false, true, &posted)) {
        order.push_back({r.what, posted ? 99 : r.message});
        if (posted) EventObjectRelease(posted);
    }
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0], (std::pair<uint16_t, uintptr_t>{kOsWhatActivate, uintptr_t(&b)}));
    EXPECT_EQ(order[1], (std::pair<uint16_t, uintptr_t>{kOsWhatActivate, uintptr_t(&a)}));
    EXPECT_EQ(order[2].first, kOsWhatMouseDown);
    EXPECT_EQ(order[3].second, 99u);

    // Opposite states cancel; a suspend after a resume replaces it.
    SetWindowActivationPending(&a, true);
    SetWindowActivationPending(&a, false);
    ASSERT_TRUE(EventWaitNext(kOsMaskActivate, &r, nullptr, false, true, nullptr));
    EXPECT_EQ(r.modifiers & kModActiveFlag, 0);
    EXPECT_FALSE(EventWaitNext(kOsMaskActivate, &r, nullptr, false, true, nullptr));
    SetApplicationActive(true);
    SetApplicationActive(false);
    EXPECT_FALSE(IsApplicationActive());
    ASSERT_TRUE(EventWaitNext(kOsMaskOs, &r, nullptr, false, true, nullptr));
    EXPECT_EQ(r.message, uintptr_t(kOsMessageSuspendResume));
    EXPECT_FALSE(EventWaitNext(kOsMaskOs, &r, nullptr, false, true, nullptr));
}

TEST_F(EventLoopTest, MouseMovedOutsideTheRegionOnly) {
    OsEventRecord r;
    ASSERT_TRUE(EventWaitNext(kOsMaskOs, &r, AnyMouseMove(), false, true, nullptr));
    EXPECT_EQ(r.message, uintptr_t(kOsMessageMouseMoved));
    EXPECT_FALSE(EventWaitNext(kOsMaskOs, &r, AnyMouseMove(), false, true, nullptr));
    Rect16 box{0, 0, 100, 100};
    RegionRecord* region = NewRectRegion(&box);
    FakeInput().mouse = Point32{50, 50};
    EXPECT_FALSE(EventWaitNext(kOsMaskOs, &r, region, false, true, nullptr));
    FakeInput().mouse = Point32{150, 50};
    EXPECT_TRUE(EventWaitNext(kOsMaskOs, &r, region, false, true, nullptr));
    SetRegionEmpty(region);
    FakeInput().mouse = Point32{5, 5};
    EXPECT_TRUE(EventWaitNext(kOsMaskOs, &r, region, false, true, nullptr));
    EXPECT_FALSE(EventWaitNext(kOsMaskOs, &r, nullptr, false, true, nullptr));
    DisposeRegion(region);
}

TEST_F(EventLoopTest, StartupRequestsDeliveredThenFreed) {
    StartupRequest* open = MakeStartupRequest(kStartupOpenDocument, "C:\\a.pcb", nullptr, 0, 0);
    StartupRequest* print = MakeStartupRequest(kStartupPrintDocument, "C:\\b.pcb", nullptr, 0, 0);
    ASSERT_TRUE(QueueStartupRequest(kStartupOpenDocument, open));
    ASSERT_TRUE(QueueStartupRequest(kStartupPrintDocument, print));
    OsEventRecord r;
    ASSERT_TRUE(EventWaitNext(kOsMaskHighLevel, &r, nullptr, false, true, nullptr));
    EXPECT_EQ(r.message, uintptr_t(open));
    EXPECT_EQ(open->state, kStartupDelivered);
    EXPECT_EQ(StartupRequestCount(), 2); // still readable by its event
    ASSERT_TRUE(EventWaitNext(kOsMaskHighLevel, &r, nullptr, false, true, nullptr));
    EXPECT_EQ(r.message, uintptr_t(print));
    EXPECT_EQ(StartupRequestCount(), 1);
    EXPECT_FALSE(EventWaitNext(kOsMaskHighLevel, &r, nullptr, false, true, nullptr));
    EXPECT_EQ(StartupRequestCount(), 0);

    SetSystemEventMask(0xFFEF & ~kOsMaskHighLevel);
    StartupRequest* refused = MakeStartupRequest(kStartupOpenApplication, nullptr, nullptr, 0, 0);
    EXPECT_FALSE(QueueStartupRequest(kStartupOpenApplication, refused));
    FreeStartupBlock(refused);
    std::string longPath(kStartupPathLimit + 1, 'x');
    EXPECT_EQ(MakeStartupRequest(kStartupOpenDocument, longPath.c_str(), nullptr, 0, 0), nullptr);
}

TEST_F(EventLoopTest, QuitSeenEndsTheProcessAtAnEmptyRemovingWait) {
    OsNoteQuitSeen();
    PostOsEvent(kOsWhatKeyDown, 1);
    OsEventRecord r;
    EXPECT_TRUE(EventWaitNext(kOsMaskEvery, &r, nullptr, false, false, nullptr));
    ASSERT_TRUE(EventWaitNext(kOsMaskEvery, &r, nullptr, false, true, nullptr));
    EXPECT_FALSE(EventWaitNext(kOsMaskKeyDown, &r, nullptr, false, false, nullptr));
    try {
        EventWaitNext(kOsMaskKeyDown, &r, nullptr, false, true, nullptr);
        ADD_FAILURE() << "the process should have ended";
    } catch (const FakeExit& exit) {
        EXPECT_EQ(exit.code, 0);
    }
}

TEST_F(EventLoopTest, ConversionTable) {
    auto convert = [](uint16_t what, uintptr_t message, uint16_t modifiers) {
        OsEventRecord r{};
        r.what = what;
        r.message = message;
        r.modifiers = modifiers;
        r.where = Point16{3, 4};
        EventObject e = nullptr;
        EXPECT_EQ(EventObjectFromOsEvent(&r, &e), kEventResultOk) << what;
        return e;
    };
    EventObject e = convert(kOsWhatMouseUp, 2, kModShift);
    uint16_t button = 0;
    Point16 where{};
    uint32_t modifiers = 0;
    EXPECT_EQ(Class(e), kEventClassMouse);
    EXPECT_EQ(Kind(e), 2u);
    EventParamGet(e, kParamMouseButton, FourCC("mbtn"), 2, &button);
    EventParamGet(e, kParamMouseLocation, kEventTypeQdPoint, 4, &where);
    EventParamGet(e, kParamModifiers, FourCC("magn"), 4, &modifiers);
    EXPECT_EQ(button, 3);
    EXPECT_EQ(where.h, 4);
    EXPECT_EQ(modifiers, kModShift);
    EventObjectRelease(e);

    struct KeyRow {
        uint16_t what;
        uint32_t kind;
    } keys[] = {{kOsWhatKeyDown, 1}, {kOsWhatKeyUp, 3}, {kOsWhatAutoKey, 2}};
    for (const KeyRow& k : keys) {
        e = convert(k.what, (0x41 << 8) | 'a', 0);
        char ch = 0;
        uint32_t code = 0;
        EXPECT_EQ(Kind(e), k.kind);
        EventParamGet(e, kParamKeyChar, FourCC("TEXT"), 1, &ch);
        EventParamGet(e, kParamKeyCode, FourCC("magn"), 4, &code);
        EXPECT_EQ(ch, 'a');
        EXPECT_EQ(code, 0x41u);
        EventObjectRelease(e);
    }

    int window = 0;
    struct WindowRow {
        uint16_t what, modifiers;
        uint32_t kind;
    } windows[] = {{kOsWhatUpdate, 0, 1}, {kOsWhatActivate, 1, 5}, {kOsWhatActivate, 0, 6}};
    for (const WindowRow& w : windows) {
        e = convert(w.what, uintptr_t(&window), w.modifiers);
        void* direct = nullptr;
        EXPECT_EQ(Class(e), kEventClassWindow);
        EXPECT_EQ(Kind(e), w.kind);
        EventParamGet(e, kEventParamDirectObject, FourCC("wind"), sizeof(direct), &direct);
        EXPECT_EQ(direct, &window);
        EventObjectRelease(e);
    }

    for (uint16_t shift : {uint16_t(0), kModShift}) {
        e = convert(kOsWhatWheel, uintptr_t(uint32_t(-240)), shift);
        uint16_t axis = 9;
        int32_t delta = 0;
        EventParamGet(e, kParamWheelAxis, FourCC("mwax"), 2, &axis);
        EventParamGet(e, kParamWheelDelta, FourCC("long"), 4, &delta);
        EXPECT_EQ(Kind(e), 10u);
        EXPECT_EQ(axis, shift ? 0 : 1);
        EXPECT_EQ(delta, -2);
        EventObjectRelease(e);
    }

    LoopWindowHooks hooks{};
    static int front = 0;
    hooks.frontNonFloatingWindow = [] { return static_cast<void*>(&front); };
    SetLoopWindowHooks(&hooks);
    e = convert(kOsWhatOs, kOsMessageSuspendResume | 1, 0);
    void* resumed = nullptr;
    EXPECT_EQ(Class(e), kEventClassApplication);
    EXPECT_EQ(Kind(e), 1u);
    EventParamGet(e, kParamWindow, FourCC("wind"), sizeof(resumed), &resumed);
    EXPECT_EQ(resumed, &front);
    EventObjectRelease(e);
    e = convert(kOsWhatOs, kOsMessageSuspendResume, 0);
    EXPECT_EQ(Kind(e), 2u);
    EventObjectRelease(e);
    e = convert(kOsWhatOs, kOsMessageMouseMoved, 0);
    EXPECT_EQ(Class(e), kEventClassMouse);
    EXPECT_EQ(Kind(e), 5u);
    EventObjectRelease(e);

    StartupRequest* drop = MakeStartupRequest(kStartupDroppedFile, "C:\\d\\e.pcb", &window, 1, 2);
    e = convert(kOsWhatHighLevel, uintptr_t(drop), 0);
    int16_t kind = 0, index = 0, count = 0;
    char path[32] = {};
    uint32_t pathType = 0, pathSize = 0;
    void* dropWindow = nullptr;
    EXPECT_EQ(Class(e), kEventClassHighLevel);
    EventParamGet(e, kParamRequestKind, FourCC("shor"), 2, &kind);
    EventParamGet(e, kParamDropIndex, FourCC("shor"), 2, &index);
    EventParamGet(e, kParamDropCount, FourCC("shor"), 2, &count);
    EventParamGet(e, kParamWindow, FourCC("wind"), sizeof(dropWindow), &dropWindow);
    EventParamGet(e, kParamPath, kTypeCString, &pathType, sizeof(path), &pathSize, path);
    EXPECT_EQ(kind, 3);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(dropWindow, &window);
    EXPECT_EQ(pathType, kTypeCString);
    EXPECT_EQ(pathSize, 11u); // with the terminator
    EXPECT_STREQ(path, "C:\\d\\e.pcb");
    EventObjectRelease(e);
    FreeStartupBlock(drop);

    OsEventRecord unknown{};
    unknown.what = 9;
    EventObject none = nullptr;
    EXPECT_EQ(EventObjectFromOsEvent(&unknown, &none), kEventNoConversion);
    EXPECT_EQ(none, nullptr);
}

TEST_F(EventLoopTest, MainLoopSleepsUntilItsTimersAreDue) {
    // A one-shot 2 s task ends the loop: the wait returns once.
    EventReceiverPushHandler(ApplicationEventReceiver(), &Recorder, 0, nullptr, nullptr, nullptr);
    ResetEventWaitState();
    TimerTask* quit = nullptr;
    ASSERT_EQ(InstallTimerTask(2000, 0, &QuitTask, nullptr, &quit), 0);
    uint32_t before = OsWaitReturnCount();
    RunEventLoop();
    EXPECT_LE(OsWaitReturnCount() - before, 3u);
    EXPECT_EQ(FakeInput().waits.front(), 2000u);
    for (uint32_t ms : FakeInput().waits)
        EXPECT_GT(ms, 0u);
    uint32_t after = OsWaitReturnCount();
    RunEventLoop(); // once per process
    EXPECT_EQ(OsWaitReturnCount(), after);
    RemoveTimerTask(quit);
}

int g_fired = 0;
void CountTask(TimerTask*, void*) {
    ++g_fired;
}

TEST_F(EventLoopTest, RepeatingTaskWakesTheWaitOncePerFiring) {
    g_fired = 0;
    TimerTask* tick = nullptr;
    TimerTask* quit = nullptr;
    ASSERT_EQ(InstallTimerTask(250, 0, &CountTask, nullptr, &tick), 0);
    ASSERT_EQ(InstallTimerTask(2010, 0, &QuitTask, nullptr, &quit), 0);
    uint32_t before = OsWaitReturnCount();
    RunEventLoop();
    EXPECT_EQ(g_fired, 8);
    EXPECT_LE(OsWaitReturnCount() - before, uint32_t(g_fired) + 3);
    RemoveTimerTask(tick);
    RemoveTimerTask(quit);
}

} // namespace

namespace {

TEST_F(EventLoopTest, WaitTicksSleepsInMillisecondRounds) {
    uint32_t start = FakeInput().ms;
    WaitTicks(3); // 50 ms: under a second, still a sleep and not a spin
    EXPECT_GE(FakeInput().ms - start, 50u);
    ASSERT_FALSE(FakeInput().waits.empty());
    EXPECT_LE(FakeInput().waits.size(), 3u);
    // Queued events stay queued.
    PostOsEvent(kOsWhatKeyDown, 'k');
    WaitTicks(2);
    EXPECT_EQ(OsEventQueueCount(), 1);
    EXPECT_GT(DoubleClickTicks(), 0);
    EXPECT_GT(CaretBlinkTicks(), 0);
    EXPECT_GE(ScreenColourDepth(), 1);
}

} // namespace

namespace {

TEST_F(EventLoopTest, DroppedFilesQueueOneRequestPerExistingFile) {
    std::string tooLong(kStartupPathLimit + 1, 'f');
    std::string longest(kStartupPathLimit, 'g');
    const char* names[] = {"a.pcb", "missing.pcb", tooLong.c_str(), longest.c_str()};
    int window = 0;
    auto exists = [](const char* path) { return std::strcmp(path, "missing.pcb") != 0; };
    EXPECT_EQ(QueueDroppedFileRequests(&window, names, 4, exists), 2);
    OsEventRecord r;
    ASSERT_TRUE(EventWaitNext(kOsMaskHighLevel, &r, nullptr, false, true, nullptr));
    auto* request = reinterpret_cast<StartupRequest*>(r.message);
    EXPECT_EQ(request->kind, kStartupDroppedFile);
    EXPECT_EQ(StartupRequestDrop(request)->window, &window);
    EXPECT_EQ(StartupRequestDrop(request)->index, 0);
    EXPECT_EQ(StartupRequestDrop(request)->count, 4);
    EXPECT_STREQ(StartupRequestPath(request), "a.pcb");
    ASSERT_TRUE(EventWaitNext(kOsMaskHighLevel, &r, nullptr, false, true, nullptr));
    request = reinterpret_cast<StartupRequest*>(r.message);
    EXPECT_EQ(StartupRequestDrop(request)->index, 3);
    EXPECT_EQ(std::strlen(StartupRequestPath(request)), size_t(kStartupPathLimit));
}

} // namespace

namespace {

int32_t TakeKeys(EventCallRef*, EventObject event, void*) {
    return (*event)->eventClass == kEventClassKeyboard ? kEventResultOk : kEventNotHandled;
}

TEST_F(EventLoopTest, TimedWaitSendsEventsUntilOneIsNotTaken) {
    EventReceiverPushHandler(ApplicationEventReceiver(), &TakeKeys, 0, nullptr, nullptr, nullptr);
    PostOsEvent(kOsWhatKeyDown, 'a');
    PostOsEvent(kOsWhatMouseDown, 0);
    OsEventRecord r;
    ASSERT_TRUE(EventWaitTimed(kOsMaskKeyDown | kOsMaskMouseDown, &r, 60, nullptr));
    EXPECT_EQ(r.what, kOsWhatMouseDown);
    EXPECT_EQ(OsEventQueueCount(), 0);
    uint32_t start = FakeInput().ms;
    EXPECT_FALSE(EventWaitTimed(kOsMaskKeyDown, &r, 30, nullptr));
    EXPECT_EQ(r.what, kOsWhatNull);
    EXPECT_EQ(FakeInput().ms - start, 500u); // 30 ticks, slept in one round
    EXPECT_EQ(FakeInput().waits.size(), 1u);
}

} // namespace
