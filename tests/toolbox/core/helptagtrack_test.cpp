// Help-tag tracking: the decisions of a mouse-moved record, and the whole
// path of the cursor follow-up (record built, tag checked, record routed
// to the window's surface list) over a window without a native one, in
// simulated time.
#include "toolbox/core/helptagtrack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbox/core/clock.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/looptimer.h"
#include "toolbox/core/mousefollow.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/shellapphandler.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/windowidle.h"
#include "loop_fixture.h"
#include "window_fixture.h"

namespace {

TEST(HelpTagTracking, StepOfAMouseMovedRecord) {
    HelpTagList a{}, b{};
    struct Case {
        const char* what;
        HelpTagList* tracked;
        int32_t trackedEntry;
        HelpTagList* list;
        int32_t entry;
        bool forced;
        uint8_t armed;
        HelpTagStep step;
    } cases[] = {
        {"no entry, nothing tracked", nullptr, -1, &a, -1, false, 0, HelpTagStep::Nothing},
        {"no entry, another list tracked", &b, 0, &a, -1, false, 0, HelpTagStep::Nothing},
        {"no entry in the tracked list", &a, 0, &a, -1, false, 1, HelpTagStep::Cancel},
        {"first entry", nullptr, -1, &a, 2, false, 0, HelpTagStep::Track},
        {"another entry", &a, 1, &a, 2, false, 1, HelpTagStep::Track},
        {"another list", &b, 2, &a, 2, true, 1, HelpTagStep::Track},
        {"same entry", &a, 2, &a, 2, false, 1, HelpTagStep::Nothing},
        {"same entry forced while armed", &a, 2, &a, 2, true, 1, HelpTagStep::Restart},
        {"same entry forced once shown", &a, 2, &a, 2, true, 0, HelpTagStep::Nothing},
    };
    for (const Case& c : cases) {
        a.armed = c.armed;
        EXPECT_EQ(HelpTagTrackStep(c.tracked, c.trackedEntry, c.list, c.entry, c.forced), c.step)
            << c.what;
    }
}

uint32_t g_ms = 0;
Point32 g_mouse{0, 0};
void* g_underMouse = nullptr;
std::vector<std::string> g_shown;
int32_t g_hides = 0;

int16_t WindowUnderMouse(Point16, void** window) {
    *window = g_underMouse;
    return g_underMouse ? 3 : 0;
}

class HelpTagFollow : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        g_ms = 10000;
        g_mouse = {0, 0};
        g_shown.clear();
        g_hides = 0;
        ClockSource clock{};
        clock.milliseconds = [] { return g_ms; };
        SetClockSource(&clock);
        OsInputSource input{};
        input.mouseClient = [](Point32* out) { *out = g_mouse; };
        input.mouseScreen = [](Point32* out) { *out = g_mouse; };
        input.keyModifiers = []() -> uint16_t { return 0; };
        SetOsInputSource(&input);
        InstallHelpTagTracking();
        HelpTagPopupProcs popup{};
        popup.show = [](HelpTagList*, int32_t, const char* text) { g_shown.push_back(text); };
        popup.hide = [](bool) { ++g_hides; };
        SetHelpTagPopupProcs(&popup);
        window_ = MakeWindow();
        id_ = window_->sequence;
        list_ = static_cast<SurfaceList*>(window_->surfaceList);
        g_underMouse = PortOf(window_)->nativeWindow;
        LoopWindowHooks hooks = LoopHooks();
        hooks.findWindowPart = &WindowUnderMouse;
        SetLoopWindowHooks(&hooks);
        WindowIdleActivate(PortOf(window_), true);
        HelpTagAdd(list_, 0, kHelpTagKindRect, nullptr, &kTagA, 0, "Route all");
        HelpTagAdd(list_, 0, kHelpTagKindRect, nullptr, &kTagB, 0, "Place");
        HelpTagAdd(list_, 0, kHelpTagKindRect, nullptr, &kTagEmpty, 0, "");
    }
    void TearDown() override {
        HelpTagCancel();
        if (WindowObjectFromId(id_)) WindowIdleActivate(PortOf(window_), false);
        DisposeAllWindows(); // with the help-tag lists, while the hooks are in
        SetLoopWindowHooks(nullptr);
        SetHelpTagPopupProcs(nullptr);
        SetHelpTagHooks(nullptr);
        SetPortHooks(nullptr);
        SetShellAppProcs(nullptr);
        SetOsInputSource(nullptr);
        ClearMainLoopTimers();
        SetClockSource(nullptr);
        ResetEventLoopState();
        WindowFixture::TearDown();
    }
    // The mouse over the middle of r, then the follow-up (forced or not).
    static void MoveTo(const Rect16& r, bool forced = false) {
        g_mouse = {(r.top + r.bottom) / 2, (r.left + r.right) / 2};
        forced ? ForceMouseMovedUpdate() : RequestMouseMovedUpdate();
    }
    static void Wait(uint32_t ms) {
        g_ms += ms;
        RunDueLoopTimers(MainLoopTimerList());
    }
    static constexpr Rect16 kTagA{10, 10, 40, 100};
    static constexpr Rect16 kTagB{10, 120, 40, 200};
    static constexpr Rect16 kTagEmpty{60, 10, 90, 100};
    static constexpr Rect16 kNoTag{150, 10, 160, 100};
    WindowObject* window_ = nullptr;
    int32_t id_ = 0;
    SurfaceList* list_ = nullptr;
};

TEST_F(HelpTagFollow, ATagShowsAfterTheDelayAndAForcedRecordRestartsItOnlyWhileArmed) {
    MoveTo(kTagA);
    EXPECT_EQ(HelpTagTrackedEntry(), 0);
    Wait(300);
    MoveTo(kTagA); // the same entry: the delay runs on
    Wait(250);
    EXPECT_EQ(g_shown, (std::vector<std::string>{"Route all"}));
    MoveTo(kTagA, true); // shown, no longer armed: nothing again
    Wait(600);
    EXPECT_EQ(g_shown.size(), 1u);
    HelpTagCancel();

    g_shown.clear();
    MoveTo(kTagA);
    Wait(300);
    MoveTo(kTagA, true); // armed: the delay starts again
    Wait(300);
    EXPECT_TRUE(g_shown.empty());
    Wait(250);
    EXPECT_EQ(g_shown, (std::vector<std::string>{"Route all"}));
}

TEST_F(HelpTagFollow, MovingToAnotherTagHidesTheFirstAndShowsTheSecondAfterTheDelay) {
    MoveTo(kTagA);
    Wait(550);
    ASSERT_EQ(g_shown.size(), 1u);
    int32_t hides = g_hides;
    MoveTo(kTagB);
    EXPECT_GT(g_hides, hides);
    EXPECT_EQ(HelpTagTrackedEntry(), 1);
    Wait(300);
    EXPECT_EQ(g_shown.size(), 1u);
    Wait(250);
    EXPECT_EQ(g_shown, (std::vector<std::string>{"Route all", "Place"}));
}

TEST_F(HelpTagFollow, TheTagGoesWhenTheMouseLeavesItsEntryOrEveryWindow) {
    MoveTo(kTagA);
    MoveTo(kNoTag);
    EXPECT_EQ(HelpTagTrackedEntry(), -1);
    // An inactive window gets no record; the check still sees the mouse go.
    MoveTo(kTagA);
    WindowIdleActivate(PortOf(window_), false);
    MoveTo(kTagA);
    EXPECT_EQ(HelpTagTrackedEntry(), 0);
    MoveTo(kNoTag);
    EXPECT_EQ(HelpTagTrackedEntry(), -1);
    WindowIdleActivate(PortOf(window_), true);
    MoveTo(kTagA);
    g_underMouse = nullptr; // over another program's window
    MoveTo(kNoTag);
    EXPECT_EQ(HelpTagTrackedList(), nullptr);
    // Without any record, the repeating check notices the mouse gone.
    g_underMouse = PortOf(window_)->nativeWindow;
    MoveTo(kTagA);
    g_mouse = {500, 500};
    Wait(550);
    EXPECT_EQ(HelpTagTrackedEntry(), -1);
    EXPECT_TRUE(g_shown.empty());
}

TEST_F(HelpTagFollow, LayerTriggersAnEmptyTextAndADisposedListShowNothing) {
    MoveTo(kTagA);
    HidePortHelpTag(); // a mouse-down or a new window
    EXPECT_EQ(HelpTagTrackedEntry(), -1);
    MoveTo(kTagA);
    ShellApp().hideHelpTag(); // menu tracking begins
    EXPECT_EQ(HelpTagTrackedEntry(), -1);
    MoveTo(kTagEmpty);
    EXPECT_EQ(HelpTagTrackedEntry(), 2);
    Wait(600);
    EXPECT_TRUE(g_shown.empty());
    MoveTo(kTagB);
    SetHelpTagsOff(true);
    MoveTo(kTagB);
    Wait(600);
    EXPECT_TRUE(g_shown.empty());
    SetHelpTagsOff(false);
    MoveTo(kTagB);
    WindowIdleActivate(PortOf(window_), false);
    DisposeWindowObject(window_);
    EXPECT_EQ(HelpTagTrackedList(), nullptr);
    Wait(600);
    EXPECT_TRUE(g_shown.empty());
}

} // namespace
