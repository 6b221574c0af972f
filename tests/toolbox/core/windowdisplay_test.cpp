// Logical sizes and hit tests of window objects over fake ports.
#include "toolbox/core/windowdisplay.h"

#include <gtest/gtest.h>

#include "toolbox/core/loophooks.h"
#include "toolbox/core/osinput.h"
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

int32_t g_dragAnswer = 0;
std::string g_dragSeen;
int32_t RecordDrag(PortRecord*, const RegionRecord* region, Point16, const Rect16* limit,
                   const Rect16* slop, int32_t axis) {
    Rect16 b;
    RegionBounds(region, &b);
    g_dragSeen =
        RectText(b) + " " + RectText(*limit) + " " + RectText(*slop) + " " + std::to_string(axis);
    return g_dragAnswer;
}

TEST_F(WindowDisplay, TrackSplitBarAppliesAReleaseInsideTheSlopOnly) {
    PaneHost host = *RecordingPaneHost();
    host.dragOutline = &RecordDrag;
    SetPaneHost(&host);
    WindowObject* w = MakeWindow(kKindDocument, 0, 300, 400);
    Rect16 r{0, 0, 200, 300};
    WindowObject* pane = NewPaneWindow(5, 0, 0, w, &r, nullptr, &RecordingCallback);
    WindowObject* split =
        NewSplitPaneWindow(5, 0, 0, pane, 120, kSplitVertical, nullptr, &RecordingCallback);
    auto* a = static_cast<PaneRecord*>(pane->pane);
    auto* b = static_cast<PaneRecord*>(split->pane);
    g_dragAnswer = kNoDragOffset;
    TrackSplitBar(b, {120, 50});
    EXPECT_EQ(a->localRect.bottom, 120);
    // The bar, the limits (both panes keep 4 pixels) and the slop 40 wider.
    int16_t top = a->windowRect.top;
    EXPECT_EQ(g_dragSeen, RectText({int16_t(b->windowRect.top - 1), b->windowRect.left,
                                    int16_t(b->windowRect.top + 1), b->windowRect.right}) +
                              " " +
                              RectText({int16_t(top + 4), b->windowRect.left,
                                        int16_t(b->windowRect.bottom - 4), b->windowRect.right}) +
                              " " +
                              RectText({int16_t(top + 4 - 40), int16_t(b->windowRect.left - 40),
                                        int16_t(b->windowRect.bottom - 4 + 40),
                                        int16_t(b->windowRect.right + 40)}) +
                              " 2");
    g_dragAnswer = int32_t(uint32_t(uint16_t(30)) << 16);
    TrackSplitBar(b, {120, 50});
    EXPECT_EQ(a->localRect.bottom, 150);
    EXPECT_EQ(b->localRect.top, 150);
    DisposeAllWindows();
    SetPaneHost(RecordingPaneHost());
}

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

// The recording host counting inverted outlines (scrolls noted by the
// procedure given), and the scripted mouse held for three polls.
void StartScriptedDrag(PaneHost* host, void (*scroll)(PortRecord*, const Rect16*, int32_t, int32_t,
                                                      RegionRecord*)) {
    *host = *RecordingPaneHost();
    host->invertFrame = &CountInvert;
    if (scroll) host->scrollRect = scroll;
    SetPaneHost(host);
    OsInputSource source{};
    source.mouseClient = &ScriptedMouse;
    source.buttonDown = &HeldForThreePolls;
    source.waitMessage = &NoWait;
    SetOsInputSource(&source);
    g_polls = 0;
    g_inverts = 0;
    g_mouseAt = 0;
}

TEST_F(WindowDisplay, ADragOutlineSpansTheStartAndTheReleaseAndRunsOneAtATime) {
    PaneHost host;
    StartScriptedDrag(&host, nullptr);
    WindowObject* w = MakeWindow(kKindDocument, 0, 200, 300);
    const Rect16 main = SurfaceAt(static_cast<SurfaceList*>(w->surfaceList), -1)->rect;
    g_mouse = {{main.top + 10, main.left + 10},
               {main.top + 30, main.left + 40},
               {main.top + 50, main.left + 80}};
    static bool nestedRefused = false;
    Rect16 r;
    EXPECT_TRUE(TrackDragOutline(
        w, false,
        [](WindowObject* window, Point32*, void*) {
            Rect16 inner;
            nestedRefused = !TrackDragOutline(window, false, nullptr, nullptr, &inner);
        },
        nullptr, &r));
    EXPECT_EQ(RectText(r), "10,10,50,80");
    EXPECT_TRUE(nestedRefused);
    EXPECT_GT(g_inverts, 0);
    EXPECT_EQ(g_inverts % 2, 0); // every outline drawn was erased
    SetOsInputSource(nullptr);
    DisposeAllWindows();
    SetPaneHost(RecordingPaneHost());
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
    SetOsInputSource(nullptr);
    DisposeAllWindows();
    SetPaneHost(RecordingPaneHost());
}

TEST_F(WindowDisplay, AutoScrollMovesOneLineTowardTheEdgeReached) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    ResizeWindowObject(w, 1000, 200, 0);
    w->scrollStep = 16;
    const Rect16 main = SurfaceAt(list, kMainSurfaceIndex)->rect;
    EXPECT_FALSE(AutoScrollToPoint(w, {int16_t(main.top + 50), int16_t(main.left + 50)}));
    EXPECT_TRUE(AutoScrollToPoint(w, {int16_t(main.bottom + 5), int16_t(main.left + 50)}));
    EXPECT_EQ(list->originV, 16);
    EXPECT_TRUE(AutoScrollToPoint(w, {main.top, int16_t(main.left + 50)}));
    EXPECT_EQ(list->originV, 0);
    list->current = 2; // surface 2 never scrolls
    EXPECT_FALSE(AutoScrollToPoint(w, {int16_t(main.bottom + 5), int16_t(main.left + 50)}));
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
