// Logical sizes and hit tests of window objects over fake ports.
#include "toolbox/core/windowdisplay.h"

#include <gtest/gtest.h>

#include "toolbox/core/loophooks.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/regiondrag.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/scrollaction.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/windowdrag.h"
#include "toolbox/core/windowrects.h"
#include "toolbox/core/windowscale.h"
#include "window_fixture.h"

namespace {

using WindowDisplay = WindowFixture;

TEST_F(WindowDisplay, TheLogicalSizeGivesTheDeviceExtentAndTheBarsMaximum) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    SetWindowScaleFactors(w, 2 * kScaleOne, 2 * kScaleOne);
    HostCalls().clear();
    ResizeWindowObject(w, 500, 100, 1);
    EXPECT_EQ(w->height, 500);
    EXPECT_EQ(list->contentHeight, 1000);
    EXPECT_EQ(list->contentWidth, 200);
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    EXPECT_EQ(SurfaceBarState(list, kBarVertical).maximum,
              1000 - (main->rect.bottom - main->rect.top));
    bool invalidated = false;
    for (const std::string& call : HostCalls())
        invalidated = invalidated || call.rfind("inval ", 0) == 0;
    EXPECT_TRUE(invalidated);
    // A smaller size pulls the position back within the new maximum.
    ScrollSurfacesTo(list, 600, 0, 0);
    ResizeWindowObject(w, 200, 100, 0);
    EXPECT_EQ(list->originV, SurfaceBarState(list, kBarVertical).maximum);
}

void* g_native = nullptr;
int16_t g_part = kPartContent;
Point16 g_asked{};
int16_t PartUnder(Point16 point, void** window) {
    g_asked = point;
    *window = g_native;
    return g_part;
}

// The part finder answers g_part over the window's native record.
void FindPartsOver(WindowObject* w) {
    g_native = static_cast<PortRecord*>(w->port)->nativeWindow;
    LoopWindowHooks hooks = LoopHooks();
    hooks.findWindowPart = &PartUnder;
    SetLoopWindowHooks(&hooks);
}

TEST_F(WindowDisplay, HitTestsFindPaneAndSurfaceButNeverAHiddenPane) {
    WindowObject* w = MakeWindow(kKindDocument, 0, 200, 300);
    FindPartsOver(w);
    Rect16 r{20, 20, 80, 120};
    WindowObject* pane = NewPaneWindow(0, 0, 0, w, &r, nullptr, &RecordingCallback);
    WindowHitRecord hit;
    // Created hidden: the point falls to the top window's surface.
    EXPECT_TRUE(WindowHitTest({50, 50}, &hit));
    EXPECT_EQ(hit.pane, w->pane);
    EXPECT_EQ(hit.surface, kMainSurfaceIndex);
    ShowPane(static_cast<PaneRecord*>(pane->pane));
    EXPECT_TRUE(WindowHitTest({50, 50}, &hit));
    EXPECT_EQ(hit.pane, pane->pane);
    EXPECT_EQ(WindowSurfaceAtPoint(w, {-5, -5}), kNoSurface);
    g_part = kPartCaption;
    EXPECT_FALSE(WindowHitTest({50, 50}, &hit));
    EXPECT_EQ(hit.surface, kNoSurface);
    g_part = kPartContent;
    SetLoopWindowHooks(nullptr);
}

} // namespace

namespace {

TEST_F(WindowDisplay, SplitPanesKeepTheirSplitPositionWhenTheExtentChanges) {
    WindowObject* w = MakeWindow(kKindDocument, 0, 300, 400);
    Rect16 r{0, 0, 200, 300};
    WindowObject* pane = NewPaneWindow(5, 0, 0, w, &r, nullptr, &RecordingCallback);
    WindowObject* split =
        NewSplitPaneWindow(5, 0, 0, pane, 120, kSplitVertical, nullptr, &RecordingCallback);
    ASSERT_NE(split, nullptr);
    auto* a = static_cast<PaneRecord*>(pane->pane);
    auto* b = static_cast<PaneRecord*>(split->pane);
    SeenEvents().clear();
    LayoutSplitPanes(a, 250, 300);
    EXPECT_EQ(RectText(a->localRect), "0,0,120,300");
    EXPECT_EQ(RectText(b->localRect), "120,0,250,300");
    // Only the pane whose size changed heard of it.
    EXPECT_TRUE(TypesSeenBy(pane->sequence).empty());
    ASSERT_EQ(TypesSeenBy(split->sequence), (std::vector<uint32_t>{kWindowEventResize}));
    EXPECT_EQ(SeenEvents().back().event.resize.height, 130);
    SetSplitPosition(split, 150);
    EXPECT_EQ(RectText(a->localRect), "0,0,150,300");
    EXPECT_EQ(RectText(b->localRect), "150,0,250,300");
    // Too little room: the pane after keeps its minimum.
    LayoutSplitPanes(a, 130, 300);
    EXPECT_EQ(a->localRect.bottom, 130 - kPaneMinSize);
    EXPECT_EQ(b->localRect.bottom, 130);
    EXPECT_EQ(b->windowRect.top, a->windowRect.bottom);
}

} // namespace

namespace {

} // namespace

namespace {

TEST_F(WindowDisplay, UpdatingAPartNowDrawsOnlyTheCurrentSurface) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    const Rect16 main = SurfaceAt(list, kMainSurfaceIndex)->rect;
    PendingUpdateRect() = {0, 0, 200, 300}; // bars' strip too
    SeenEvents().clear();
    HostCalls().clear();
    UpdateWindowPartNow(w);
    ASSERT_EQ(TypesSeenBy(w->sequence), (std::vector<uint32_t>{kWindowEventUpdate}));
    EXPECT_EQ(HostCalls().front(), "begin " + RectText(main));
    EXPECT_EQ(HostCalls().back(), "valid " + RectText(main));
}

} // namespace

namespace {

TEST_F(WindowDisplay, LocalRectanglesFollowTheScrollPositionAndTheScale) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    const Rect16 main = SurfaceAt(list, kMainSurfaceIndex)->rect;
    int16_t height = int16_t(main.bottom - main.top), width = int16_t(main.right - main.left);
    ResizeWindowObject(w, 1000, 1000, 0);
    ScrollSurfacesTo(list, 40, 20, 0);
    Rect16 r;
    WindowSurfaceRect(w, &r);
    EXPECT_EQ(RectText(r), RectText({40, 20, int16_t(40 + height), int16_t(20 + width)}));
    WindowContentRectAtOrigin(w, &r);
    EXPECT_EQ(RectText(r), RectText({0, 0, height, width}));
    EXPECT_EQ(WindowContentSize(w).v, height);
    SetWindowScaleFactors(w, 2 * kScaleOne, 2 * kScaleOne);
    WindowViewRect(w, &r);
    EXPECT_EQ(RectText(r),
              RectText({20, 10, int16_t((40 + height) / 2), int16_t((20 + width) / 2)}));
    Point32 p = PanePointToSurface(w, list, main.top + 10, main.left + 10);
    EXPECT_EQ(p.v, 25);
    EXPECT_EQ(p.h, 15);
}

TEST_F(WindowDisplay, InvalidatingATreeReachesTheOwnedWindowsOnlyWhenAsked) {
    WindowObject* w = MakeWindow(kKindDocument, 0, 200, 300);
    Rect16 r{20, 20, 80, 120};
    WindowObject* pane = NewPaneWindow(0, 0, 0, w, &r, nullptr, &RecordingCallback);
    ShowChildWindow(pane, true, false);
    auto count = [] {
        return std::count_if(HostCalls().begin(), HostCalls().end(),
                             [](const std::string& c) { return c.rfind("inval ", 0) == 0; });
    };
    HostCalls().clear();
    InvalidateWindowTree(w, 0);
    EXPECT_EQ(count(), 1);
    HostCalls().clear();
    InvalidateWindowTree(w, kTreeOwnedWindows | kTreeWholePane);
    EXPECT_EQ(count(), 2);
    ShowChildWindow(pane, false, false);
    EXPECT_FALSE(IsPaneShown(static_cast<PaneRecord*>(pane->pane)));
}

} // namespace

namespace {

std::vector<Point32> g_mouse;
size_t g_mouseAt = 0;
int g_polls = 0;
int g_inverts = 0;
void ScriptedMouse(Point32* out) {
    *out = g_mouse[std::min(g_mouseAt++, g_mouse.size() - 1)];
}
bool HeldForThreePolls(int32_t) {
    return g_polls++ < 3;
}
void NoWait(uint32_t) {}
void CountInvert(PortRecord*, const Rect16*) {
    ++g_inverts;
}
int g_regionInverts = 0;
void CountRegionInvert(PortRecord*, const RegionRecord*) {
    ++g_regionInverts;
}

// The recording host counting inverted outlines (scrolls noted by the
// procedure given), and the scripted mouse held for three polls.
void StartScriptedDrag(PaneHost* host, void (*scroll)(PortRecord*, const Rect16*, int32_t, int32_t,
                                                      RegionRecord*)) {
    *host = *RecordingPaneHost();
    host->invertFrame = &CountInvert;
    host->invertRegion = &CountRegionInvert;
    if (scroll) host->scrollRect = scroll;
    SetPaneHost(host);
    OsInputSource source{};
    source.mouseClient = &ScriptedMouse;
    source.buttonDown = &HeldForThreePolls;
    source.waitMessage = &NoWait;
    SetOsInputSource(&source);
    g_polls = 0;
    g_inverts = 0;
    g_regionInverts = 0;
    g_mouseAt = 0;
}

// The mouse at (10, 10), (30, 40) and (50, 80) of the window's main surface.
void ScriptThreeMovesIn(WindowObject* w) {
    const Rect16 main = SurfaceAt(static_cast<SurfaceList*>(w->surfaceList), -1)->rect;
    g_mouse = {{main.top + 10, main.left + 10},
               {main.top + 30, main.left + 40},
               {main.top + 50, main.left + 80}};
}

void EndScriptedDrag() {
    SetOsInputSource(nullptr);
    DisposeAllWindows();
    SetPaneHost(RecordingPaneHost());
}

TEST_F(WindowDisplay, ARegionOutlineFollowsInsideTheLimitAndAnswersInsideTheSlopOnly) {
    PaneHost host;
    const Rect16 bar{100, 50, 102, 150}, limit{50, 0, 200, 300}, slop{10, -40, 240, 340};
    struct Case {
        int32_t axis;
        std::vector<Point32> mouse;
        int32_t answer;
    } cases[] = {
        // Down 30 and right 10: only the vertical axis counts.
        {kDragVertical, {{111, 60}, {131, 70}, {131, 70}}, 30 << 16},
        {kDragHorizontal, {{111, 60}, {131, 70}, {131, 70}}, 10},
        {kDragBothAxes, {{111, 60}, {131, 70}, {131, 70}}, (30 << 16) | 10},
        // Past the limit but inside the slop: the outline stays where the
        // mouse last was inside the limit.
        {kDragVertical, {{121, 60}, {220, 60}, {220, 60}}, 20 << 16},
        // Released outside the slop.
        {kDragVertical, {{121, 60}, {300, 60}, {300, 60}}, kNoDragOffset},
        // Back up 5.
        {kDragVertical, {{96, 60}, {96, 60}, {96, 60}}, int32_t(uint32_t(uint16_t(-5)) << 16)},
    };
    for (const Case& c : cases) {
        StartScriptedDrag(&host, nullptr);
        g_mouse = c.mouse;
        RegionRecord* region = NewRectRegion(&bar);
        ASSERT_NE(region, nullptr);
        static int actions;
        actions = 0;
        int32_t answer = DragRegionOutline(
            nullptr, region, {101, 60}, &limit, &slop, c.axis, [](void*) { ++actions; }, nullptr);
        EXPECT_EQ(answer, c.answer) << c.axis << " " << c.mouse[1].v;
        EXPECT_EQ(actions, 3); // once for every mouse position
        EXPECT_GT(g_regionInverts, 0);
        EXPECT_EQ(g_regionInverts % 2, 0); // the outline is gone
        Rect16 after;
        RegionBounds(region, &after);
        EXPECT_EQ(RectText(after), RectText(bar)); // the region is where it was
        DisposeRegion(region);
    }
    EndScriptedDrag();
}

TEST_F(WindowDisplay, TrackSplitBarAppliesAReleaseInsideTheSlopOnly) {
    PaneHost host;
    StartScriptedDrag(&host, nullptr);
    WindowObject* w = MakeWindow(kKindDocument, 0, 300, 400);
    Rect16 r{0, 0, 200, 300};
    WindowObject* pane = NewPaneWindow(5, 0, 0, w, &r, nullptr, &RecordingCallback);
    WindowObject* split =
        NewSplitPaneWindow(5, 0, 0, pane, 120, kSplitVertical, nullptr, &RecordingCallback);
    auto* a = static_cast<PaneRecord*>(pane->pane);
    auto* b = static_cast<PaneRecord*>(split->pane);
    int32_t top = b->windowRect.top, x = b->windowRect.left + 50;
    // Released 30 below the bar.
    g_mouse = {{top + 10, x}, {top + 30, x}};
    TrackSplitBar(b, {int16_t(top), int16_t(x)});
    EXPECT_EQ(a->localRect.bottom, 150);
    EXPECT_EQ(b->localRect.top, 150);
    // Released far to the right, outside the slop: nothing moves.
    StartScriptedDrag(&host, nullptr);
    top = b->windowRect.top;
    g_mouse = {{top + 10, x}, {top + 10, x + 400}};
    TrackSplitBar(b, {int16_t(top), int16_t(x)});
    EXPECT_EQ(a->localRect.bottom, 150);
    // Down past the pane's minimum (inside the slop): the bar stops at the
    // last point inside the limit.
    StartScriptedDrag(&host, nullptr);
    g_mouse = {{top + 10, x}, {b->windowRect.bottom - 10, x}, {b->windowRect.bottom + 20, x}};
    TrackSplitBar(b, {int16_t(top), int16_t(x)});
    EXPECT_EQ(a->localRect.bottom, 150 + (b->windowRect.bottom - 10 - top));
    EndScriptedDrag();
}

TEST_F(WindowDisplay, ADragOutlineSpansTheStartAndTheReleaseAndRunsOneAtATime) {
    PaneHost host;
    StartScriptedDrag(&host, nullptr);
    WindowObject* w = MakeWindow(kKindDocument, 0, 200, 300);
    ScriptThreeMovesIn(w);
    static bool nestedRefused = false;
    Rect16 r;
    DragOutlineProcs procs{};
    procs.extra = [](WindowObject* window, Point32*, void*) {
        Rect16 inner;
        nestedRefused = !TrackDragOutline(window, false, nullptr, nullptr, &inner);
    };
    EXPECT_TRUE(TrackDragOutline(w, false, &procs, nullptr, &r));
    EXPECT_EQ(RectText(r), "10,10,50,80");
    EXPECT_TRUE(nestedRefused);
    EXPECT_GT(g_inverts, 0);
    EXPECT_EQ(g_inverts % 2, 0); // every outline drawn was erased
    EndScriptedDrag();
}

// Inverts so far when the content last scrolled under the mouse.
int g_invertsAtScroll = -1;
int g_scrollsWithOutlineShown = 0;
void NoteScroll(PortRecord*, const Rect16*, int32_t, int32_t, RegionRecord*) {
    if (g_inverts % 2) ++g_scrollsWithOutlineShown;
    g_invertsAtScroll = g_inverts;
}

TEST_F(WindowDisplay, AnAutoScrollingDragHidesTheOutlineWhileTheContentScrolls) {
    PaneHost host;
    StartScriptedDrag(&host, &NoteScroll);
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    ResizeWindowObject(w, 1000, 200, 0);
    w->scrollStep = 16;
    const Rect16 main = SurfaceAt(list, kMainSurfaceIndex)->rect;
    // Inside, then past the bottom edge twice.
    g_mouse = {{main.top + 10, main.left + 10},
               {main.top + 30, main.left + 40},
               {main.bottom + 5, main.left + 40},
               {main.bottom + 5, main.left + 40}};
    Rect16 r;
    TrackDragOutline(w, true, nullptr, nullptr, &r);
    EXPECT_GT(list->originV, 0);
    EXPECT_GE(g_invertsAtScroll, 0); // the content scrolled
    EXPECT_EQ(g_scrollsWithOutlineShown, 0);
    EXPECT_EQ(g_inverts % 2, 0);
    EndScriptedDrag();
}

TEST_F(WindowDisplay, AutoScrollMovesOneLineTowardTheEdgeReached) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    ResizeWindowObject(w, 1000, 200, 0);
    w->scrollStep = 16;
    const Rect16 main = SurfaceAt(list, kMainSurfaceIndex)->rect;
    const Point16 inside = {int16_t(main.top + 50), int16_t(main.left + 50)};
    const Point16 below = {int16_t(main.bottom + 5), int16_t(main.left + 50)};
    // The procedure is told before each line scrolls.
    static std::vector<int32_t> originsSeen;
    originsSeen.clear();
    AutoScrollProc note = [](WindowObject* window, void*) {
        originsSeen.push_back(static_cast<SurfaceList*>(window->surfaceList)->originV);
    };
    EXPECT_FALSE(AutoScrollToPoint(w, inside, note, nullptr));
    uint32_t began = CurrentTicks();
    EXPECT_TRUE(AutoScrollToPoint(w, below, note, nullptr));
    EXPECT_GE(TicksSince(began), kAutoScrollTicks); // a scroll lasts two ticks at least
    EXPECT_EQ(list->originV, 16);
    EXPECT_EQ(originsSeen, (std::vector<int32_t>{0}));
    EXPECT_TRUE(AutoScrollToPoint(w, {main.top, int16_t(main.left + 50)}, nullptr, nullptr));
    EXPECT_EQ(list->originV, 0);
    list->current = 2; // surface 2 never scrolls
    EXPECT_FALSE(AutoScrollToPoint(w, below, note, nullptr));
    EXPECT_EQ(originsSeen.size(), 1u);
}

TEST_F(WindowDisplay, ADragPinsByItsLimitAndItsActionTakesTheWindowsEvents) {
    PaneHost host;
    StartScriptedDrag(&host, nullptr);
    WindowObject* w = MakeWindow(kKindDocument, 0, 200, 300);
    ScriptThreeMovesIn(w);
    static std::vector<uint32_t> taken;
    taken.clear();
    DragOutlineProcs procs{};
    procs.limit = [](WindowObject*, Point32* p, void*) { p->h = std::min(p->h, 40); };
    procs.extra = [](WindowObject* window, Point32*, void*) {
        WindowEvent idle{};
        idle.type = kWindowEventIdle;
        EventDispatchToView(window, &idle);
    };
    procs.action = [](WindowObject* window, WindowEvent* event, void*) {
        taken.push_back(event->type);
        // Passed on from inside the action, it reaches the window.
        return EventDispatchToView(window, event);
    };
    SeenEvents().clear();
    Rect16 r;
    EXPECT_TRUE(TrackDragOutline(w, false, &procs, nullptr, &r));
    EXPECT_EQ(RectText(r), "10,10,50,40"); // the limit pinned the right edge
    EXPECT_EQ(taken, (std::vector<uint32_t>(3, kWindowEventIdle)));
    EXPECT_EQ(TypesSeenBy(w->sequence), (std::vector<uint32_t>(3, kWindowEventIdle)));
    // After the drag the events go straight to the window.
    WindowEvent idle{};
    idle.type = kWindowEventIdle;
    int32_t result = 0;
    EXPECT_FALSE(DragOutlineEventFilter(w, &idle, &result));
    EndScriptedDrag();
}

TEST_F(WindowDisplay, PenModeFollowsTheKind) {
    WindowObject* w = MakeWindow();
    auto* state = static_cast<DrawingState*>(GraphicsPortOf(w));
    for (int32_t kind : {0, 1, 2, 3}) {
        SetPenModeForKind(w, kind);
        EXPECT_EQ(state->settings.penMode, (kind == 1 || kind == 2) ? kPenModeXor : kPenModeCopy)
            << kind;
    }
    SetPenModeForKind(nullptr, 1); // nothing to draw into
}

} // namespace

namespace {

TEST_F(WindowDisplay, ThePartUnderTheMouseReadsTheMouseUnlessThePointIsKept) {
    WindowObject* w = MakeWindow(kKindDocument, 0, 200, 300);
    FindPartsOver(w);
    OsInputSource source{};
    source.mouseClient = [](Point32* out) { *out = {40, 70000}; };
    SetOsInputSource(&source);
    WindowHitRecord hit{};
    hit.point = {10, 20};
    EXPECT_TRUE(WindowPartUnderMouse(&hit, true));
    EXPECT_EQ(g_asked.v, 10);
    EXPECT_EQ(g_asked.h, 20);
    EXPECT_EQ(hit.pane, w->pane);
    EXPECT_FALSE(WindowPartUnderMouse(&hit, false)); // right of the window
    EXPECT_EQ(hit.point.v, 40);
    EXPECT_EQ(hit.point.h, 32767); // clamped into 16 bits
    EXPECT_EQ(g_asked.h, 32767);
    SetOsInputSource(nullptr);
    SetLoopWindowHooks(nullptr);
}

TEST_F(WindowDisplay, LineAndPageRequestsScrollTheirAxisOnlyWhereAllowed) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    ResizeWindowObject(w, 2000, 100, 0);
    int32_t line, page;
    w->scrollStep = 32;
    ScrollLineForward(w, kBarVertical);
    EXPECT_EQ(list->originV, 32);
    ScrollSteps(list, kBarVertical, &line, &page);
    ScrollPageForward(w, kBarVertical);
    EXPECT_EQ(list->originV, 32 + page);
    ScrollPageBack(w, kBarVertical);
    ScrollLineBack(w, kBarVertical);
    EXPECT_EQ(list->originV, 0);
    EXPECT_EQ(ScrollLineForward(w, kBarHorizontal), 0); // no bar, no action flag
    EXPECT_EQ(list->originH, 0);
}

} // namespace
