// Drawing focus on window surfaces over fake native windows: the deferred
// clip and origin, settings kept per surface list, origins moved through
// the surfaces, and saved focus.
#include <gtest/gtest.h>

#include "toolbox/core/picture.h"
#include "toolbox/core/region.h"
#include "toolbox/core/windowsurface.h"
#include "toolbox/core/window_fixture.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/fontlist.h"
#include "toolbox/ui/portfocus.h"
#include "toolbox/ui/portstack.h"
#include "toolbox/ui/systemlook.h"
#include "toolbox/ui/windowbackcolour.h"

namespace {

class PortFocus : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        saved_ = DrawingLayer();
        InstallPortFocusProcs();
    }
    void TearDown() override {
        SetCurrentPort(nullptr);
        for (DrawingState* state : states_) {
            if (state->clip) DisposeRegion(state->clip);
            state->clip = nullptr;
        }
        WindowFixture::TearDown();
        SetDrawingLayerProcs(&saved_);
    }
    // A document whose state has its defaults and a clip, as a bound
    // window state has.
    WindowObject* MakeDrawingWindow() {
        WindowObject* w = MakeWindow(kKindDocument, 0, 200, 300);
        auto* state = static_cast<DrawingState*>(GraphicsPortOf(w));
        InitDrawingState(state);
        states_.push_back(state);
        return w;
    }
    static SurfaceList* ListOf(WindowObject* w) {
        return static_cast<SurfaceList*>(w->surfaceList);
    }
    static DrawingState* StateOfWindow(WindowObject* w) {
        return static_cast<DrawingState*>(GraphicsPortOf(w));
    }
    static Rect32 ClipBounds(const DrawingState* state) { return state->clip->bounds; }
    // The origin and clip bounds a settled surface must give.
    static void ExpectSettledOn(WindowObject* w, int32_t index) {
        SurfaceList* list = ListOf(w);
        const SurfaceRecord* s = SurfaceAt(list, index);
        ASSERT_NE(s, nullptr);
        const DrawingState* state = StateOfWindow(w);
        int32_t oh = s->positionH - s->rect.left, ov = s->positionV - s->rect.top;
        EXPECT_EQ(state->origin.h, oh);
        EXPECT_EQ(state->origin.v, ov);
        Rect32 b = ClipBounds(state);
        EXPECT_EQ(b.top, s->rect.top + ov);
        EXPECT_EQ(b.left, s->rect.left + oh);
        EXPECT_EQ(b.bottom, s->rect.bottom + ov);
        EXPECT_EQ(b.right, s->rect.right + oh);
    }
    DrawingLayerProcs saved_{};
    std::vector<DrawingState*> states_;
};

TEST_F(PortFocus, SelectingSetsNothingUntilTheFirstDrawingSettlesOnce) {
    WindowObject* w = MakeDrawingWindow();
    SurfaceList* list = ListOf(w);
    Rect16 heading{0, 40, 20, 250};
    ASSERT_NE(SetSurfaceRect(list, 0, &heading), nullptr);
    ScrollSurfacesTo(list, 30, 70, 0);
    DrawingState* state = StateOfWindow(w);

    SetCurrentPort(w);
    EXPECT_EQ(CurrentState(), state);
    EXPECT_EQ(state->procTable, &DeferredFocusPrimitives());
    EXPECT_EQ(state->origin.h, 0);
    EXPECT_EQ(state->origin.v, 0);
    DrawLineToPoint(5, 5);
    ExpectSettledOn(w, kMainSurfaceIndex);
    EXPECT_EQ(PortOf(w)->focusedSurface, list);

    // Settled: a second drawing sets nothing again.
    state->dirty = 0;
    DrawLineToPoint(6, 6);
    EXPECT_EQ(state->dirty & (kStateDirtyClip | kStateDirtyOrigin), 0u);

    // Another surface of the list: its own origin (it follows h only).
    EXPECT_EQ(SelectNativeSurface(list, 0), state);
    DrawLineToPoint(1, 1);
    ExpectSettledOn(w, 0);
    EXPECT_EQ(GetPortOriginPoint(w).h, 70);
    EXPECT_EQ(GetPortOriginPoint(w).v, 0);

    // A scroll of the focused surface drops the focus: settled again.
    MoveSurfaceScroll(list, 0, 10, 0);
    EXPECT_EQ(PortOf(w)->focusedSurface, nullptr);
    DrawRectShape(&heading, kVerbFrame);
    ExpectSettledOn(w, 0);

    // A missing surface selects the main one.
    SelectNativeSurface(list, 2);
    EXPECT_EQ(list->current, kMainSurfaceIndex);
}

TEST_F(PortFocus, SettingsStayWithTheSurfaceWhileTheFocusIsAway) {
    WindowObject* w = MakeDrawingWindow();
    PortRecord* port = PortOf(w);
    SetCurrentPort(w);
    SetForegroundColour(0xC00000);
    SetPenSize(3, 3);
    DrawLineToPoint(2, 2);
    Point32 focusedOrigin = CurrentState()->origin;

    EXPECT_TRUE(FocusPort(port, nullptr));
    EXPECT_FALSE(FocusPort(port, nullptr));
    EXPECT_EQ(GetForegroundColourValue(), 0x000000u);
    EXPECT_EQ(CurrentState()->settings.penSize, 1);
    EXPECT_EQ(CurrentState()->procTable, nullptr);
    EXPECT_TRUE(IsWideOpenRegion(CurrentState()->clip));
    EXPECT_EQ(CurrentState()->origin.h, 0);

    SetCurrentPort(w);
    EXPECT_EQ(GetForegroundColourValue(), 0xC00000u);
    EXPECT_EQ(CurrentState()->settings.penSize, 3);
    DrawLineToPoint(3, 3);
    EXPECT_EQ(CurrentState()->origin.h, focusedOrigin.h);

    // Unfocusing keeps the current state and the selection: the next
    // drawing settles again.
    DrawingState* before = CurrentState();
    MakeStateCurrent(nullptr);
    UnfocusSurface(ListOf(w));
    EXPECT_EQ(port->focusedSurface, nullptr);
    EXPECT_EQ(StateOfWindow(w)->procTable, &DeferredFocusPrimitives());
    MakeStateCurrent(before);
    DrawLineToPoint(4, 4);
    EXPECT_EQ(port->focusedSurface, ListOf(w));
}

TEST_F(PortFocus, TwoWindowsKeepTheirOwnSurfaceSettings) {
    WindowObject* a = MakeDrawingWindow();
    WindowObject* b = MakeDrawingWindow();
    SetCurrentPort(a);
    SetForegroundColour(0x0000C0);
    SetCurrentPort(b);
    EXPECT_EQ(GetForegroundColourValue(), 0x000000u);
    SetForegroundColour(0x00C000);
    SetCurrentPort(a);
    EXPECT_EQ(GetForegroundColourValue(), 0x0000C0u);
    SetCurrentPort(b);
    EXPECT_EQ(GetForegroundColourValue(), 0x00C000u);
}

TEST_F(PortFocus, SetDrawingOriginMovesTheSurfacesAlongTheirAxes) {
    WindowObject* w = MakeDrawingWindow();
    SurfaceList* list = ListOf(w);
    Rect16 columns{0, 40, 20, 250}, rows{20, 0, 180, 40};
    SetSurfaceRect(list, 0, &columns);
    SetSurfaceRect(list, 1, &rows);
    SetCurrentPort(w);
    SetDrawingOrigin(w, 25, 60);
    Point32 o = GetPortOriginPoint(w);
    EXPECT_EQ(o.h, 25);
    EXPECT_EQ(o.v, 60);
    EXPECT_EQ(SurfaceAt(list, 0)->positionH, 25);
    EXPECT_EQ(SurfaceAt(list, 0)->positionV, 0);
    EXPECT_EQ(SurfaceAt(list, 1)->positionH, 0);
    EXPECT_EQ(SurfaceAt(list, 1)->positionV, 60);
    EXPECT_EQ(CurrentPort(), w);
    DrawLineToPoint(0, 0);
    ExpectSettledOn(w, kMainSurfaceIndex);
    SetDrawingOrigin(w, 5, 60);
    EXPECT_EQ(GetPortOriginPoint(w).h, 5);
    EXPECT_EQ(SurfaceAt(list, 1)->positionV, 60);
}

TEST_F(PortFocus, SavedFocusComesBackToTheSurfaceAndIndex) {
    WindowObject* w = MakeDrawingWindow();
    SurfaceList* list = ListOf(w);
    Rect16 columns{0, 40, 20, 250};
    SetSurfaceRect(list, 0, &columns);
    SelectNativeSurface(list, 0);
    DrawLineToPoint(1, 1);
    FocusSaveRecord record;
    SaveFocusState(&record);
    EXPECT_EQ(record.surface, list);
    EXPECT_EQ(record.scrollIndex, 0);
    EXPECT_EQ(record.surfaceFocused, 1);
    EXPECT_EQ(record.clipCopy, nullptr);

    FocusPort(PortOf(w), nullptr);
    SelectWindowSurface(w, kMainSurfaceIndex);
    RestoreFocusState(&record, kRestoreReleaseClip | kRestoreFocusIfFocused);
    EXPECT_EQ(list->current, 0);
    EXPECT_EQ(PortOf(w)->focusedSurface, list);
    ExpectSettledOn(w, 0);
}

TEST_F(PortFocus, TheEraseColourIsStoredInTheRootListAndAppliedOutsideItsFocus) {
    WindowObject* w = MakeDrawingWindow();
    PortRecord* port = PortOf(w);
    auto* pane = static_cast<PaneRecord*>(w->pane);
    SetCurrentPort(w);
    SetBackgroundColour(0x102030);
    StoreWindowBackColour(port);
    EXPECT_EQ(ListOf(w)->hasSavedBackground, 1);
    // The theme background is stored as well.
    SetBackgroundForThemeKind(0);
    EXPECT_EQ(WindowBackColour(port).red, 0xFFFF);
    SetBackgroundColour(0x102030);
    StoreWindowBackColour(port);

    // Not focused on the pane: the erase colour comes in force.
    FocusPort(port, nullptr);
    SetBackgroundColour(0x445566);
    ColourRGB16 before{};
    EXPECT_EQ(ApplyWindowBackColour(pane, true, &before), &before);
    EXPECT_EQ(GetBackgroundColourValue(), 0x102030u);
    EXPECT_EQ(before.red, 0x4444);
    EXPECT_EQ(ApplyWindowBackColour(pane, false, &before), nullptr);

    // Focused on it: the state's own background stays.
    SetCurrentPort(w);
    DrawLineToPoint(1, 1);
    SetBackgroundColour(0x000000);
    ApplyWindowBackColour(pane, false, nullptr);
    EXPECT_EQ(GetBackgroundColourValue(), 0x000000u);

    // A pane without a list has no colour.
    Rect16 r{10, 10, 50, 50};
    PaneRecord* child = NewChildPane(pane, &r, 0, nullptr);
    ASSERT_NE(child, nullptr);
    ApplyWindowBackColour(child, false, nullptr);
    EXPECT_EQ(GetBackgroundColourValue(), 0xFFFFFFu);
}

TEST_F(PortFocus, TheWindowLayerRestoresThePortOfAState) {
    DrawingState* offscreen = NewDrawingState();
    ASSERT_NE(offscreen, nullptr);
    WindowObject* o = NewWindowObject(Pool(), kWindowTypeOffscreen, 0, 0, offscreen);
    WindowObject* w = MakeDrawingWindow();
    SetCurrentPort(o);
    void* previous = MakeWindowCurrentPort(w);
    EXPECT_EQ(previous, offscreen);
    EXPECT_EQ(CurrentPort(), w);
    EXPECT_EQ(DrawingLayer().currentPort(), GraphicsPortOf(w));
    DrawingLayer().setCurrentPort(previous);
    EXPECT_EQ(CurrentPort(), o);
    EXPECT_EQ(CurrentState(), offscreen);
    DrawingLayer().setCurrentPort(GraphicsPortOf(w));
    EXPECT_EQ(CurrentPort(), w);
    // A state no port is known for: no current port.
    DrawingState loose{};
    DrawingLayer().setCurrentPort(&loose);
    EXPECT_EQ(CurrentPort(), nullptr);
    EXPECT_EQ(CurrentState(), &loose);
    FreeWindowObjectRecord(o);
    DrawingLayer().setCurrentPort(offscreen);
    EXPECT_EQ(CurrentPort(), nullptr); // its port is gone
    MakeStateCurrent(nullptr);
    DisposeDrawingState(offscreen);
}

TEST_F(PortFocus, NewListsCaptureTheCurrentOrTheDefaultSettings) {
    WindowObject* w = MakeDrawingWindow();
    auto* pane = static_cast<PaneRecord*>(w->pane);
    SetCurrentPort(w);
    SetForegroundColour(0xC00000);
    SetBackgroundColour(0x203040);
    Rect16 r{10, 10, 60, 60};
    PaneRecord* a = NewChildPane(pane, &r, 0, nullptr);
    PaneRecord* b = NewChildPane(pane, &r, 0, nullptr);
    ASSERT_TRUE(a && b);
    SurfaceList* captured = NewSurfaceList(nullptr, kSurfaceCaptureState, a, 0, 0);
    SurfaceList* fresh = NewSurfaceList(nullptr, 0, b, 0, 0);
    ASSERT_TRUE(captured && fresh);
    EXPECT_EQ(captured->flags & kSurfaceCaptureState, 0u);
    EXPECT_EQ(captured->settings.foreground.red, 0xC0C0);
    EXPECT_EQ(fresh->settings.foreground.red, 0);
    EXPECT_EQ(fresh->settings.fontNumber, kSystemFontNumber);
    // Both keep the port's background as their erase colour.
    EXPECT_EQ(fresh->savedBackground.blue, 0x4040);
    DisposeSurfaceList(captured);
    DisposeSurfaceList(fresh);
}

TEST_F(PortFocus, ASelectedListDisposedLeavesTheWholePortUnfocused) {
    WindowObject* w = MakeDrawingWindow();
    auto* pane = static_cast<PaneRecord*>(w->pane);
    Rect16 r{20, 30, 80, 130};
    PaneRecord* child = NewChildPane(pane, &r, 0, nullptr);
    ASSERT_NE(child, nullptr);
    SurfaceList* list = NewSurfaceList(nullptr, 0, child, 0, 0);
    ASSERT_NE(list, nullptr);
    SetCurrentPort(w);
    FocusSurface(list);
    DrawLineToPoint(1, 1);
    EXPECT_NE(CurrentState()->origin.h, 0);
    DisposeSurfaceList(list);
    EXPECT_EQ(PortOf(w)->selectedSurface, nullptr);
    DrawLineToPoint(2, 2);
    EXPECT_EQ(CurrentState()->origin.h, 0);
    EXPECT_EQ(CurrentState()->origin.v, 0);
    EXPECT_TRUE(IsWideOpenRegion(CurrentState()->clip));
    EXPECT_EQ(CurrentState()->procTable, nullptr);
}

TEST_F(PortFocus, ADisposedPortIsNoLongerCurrent) {
    WindowObject* w = MakeDrawingWindow();
    SetCurrentPort(w);
    EXPECT_EQ(CurrentPort(), w);
    states_.clear();
    auto* state = StateOfWindow(w);
    DisposeRegion(state->clip);
    state->clip = nullptr;
    MakeStateCurrent(nullptr);
    DisposeWindowObject(w);
    EXPECT_EQ(CurrentPort(), nullptr);
}

} // namespace
