// Window events through the real dispatch: creation events, the default
// handling of close requests, climbing to owners and to command
// processing, clicks and double clicks, updates, scroll requests, and
// callbacks that dispose their window at every step.
#include <gtest/gtest.h>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/mousefollow.h"
#include "toolbox/core/windowidle.h"
#include "toolbox/core/scrollaction.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/timertask.h"
#include "toolbox/core/windowfocus.h"
#include "toolbox/core/printport.h"
#include "toolbox/core/windowdisplay.h"
#include "toolbox/core/windowrects.h"
#include "toolbox/core/windowscale.h"
#include "toolbox/core/windowsurface.h"
#include "window_fixture.h"

namespace {

int32_t DisposeIt(WindowObject* w, WindowEvent*) {
    DisposeWindowObject(w);
    return 1;
}

using WindowDispatch = WindowFixture;

TEST_F(WindowDispatch, CreationSendsSelectThenResizeAndClearsTheOneShotWords) {
    SetNextWindowPaneFlags(0x8);
    SetNextWindowSurfaceFlags(kSurfaceActionsVertical | kSurfaceActionsHorizontal);
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(TypesSeenBy(w->sequence), (std::vector<uint32_t>{1, 6}));
    const WindowEvent& select = SeenEvents()[0].event;
    EXPECT_EQ(select.select.item, 0);
    EXPECT_EQ(select.select.bringForward, 0);
    const WindowEvent& resize = SeenEvents()[1].event;
    EXPECT_EQ(resize.resize.height, 200);
    EXPECT_EQ(resize.resize.width, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    EXPECT_EQ(list->flags & (kSurfaceBarVertical | kSurfaceActionsVertical),
              kSurfaceBarVertical | kSurfaceActionsVertical);
    EXPECT_EQ(static_cast<PaneRecord*>(w->pane)->flags & kPaneFramed, kPaneFramed);
    OneShotCreationWords left = TakeOneShotCreationWords();
    EXPECT_EQ(left.paneFlags | left.surfaceFlags | left.nativeFlags, 0u);
    EXPECT_EQ(w->scrollStep, kDefaultScrollStep);
    EXPECT_EQ(WindowObjectOfPort(DrawingLayer().currentPort()), w);
}

TEST_F(WindowDispatch, ARecordDisposedByItsSelectEventGivesNull) {
    Reactions()[kWindowEventSelectItem] = &DisposeIt;
    EXPECT_EQ(MakeWindow(), nullptr);
    EXPECT_EQ(WindowIdCount(), baseline_);
}

TEST_F(WindowDispatch, CloseRequestDisposesAPlainWindowAndCancelsADialog) {
    static int16_t dismissed = 0;
    DialogLayerProcs dialog{};
    dialog.dismiss = [](WindowObject*, int16_t item) { dismissed = item; };
    SetDialogLayerProcs(&dialog);
    WindowObject* plain = MakeWindow();
    WindowObject* box = MakeWindow(kKindDialog);
    int32_t plainId = plain->sequence, boxId = box->sequence;
    OsEventRecord close = Record(kPortWhatClose);
    DispatchToEventHandlers(PortOf(box), &close);
    EXPECT_EQ(dismissed, kItemCancel);
    EXPECT_NE(WindowObjectFromId(boxId), nullptr);
    close = Record(kPortWhatClose);
    DispatchToEventHandlers(PortOf(plain), &close);
    EXPECT_EQ(WindowObjectFromId(plainId), nullptr);
    // The callback saw the request and then the dispose notice.
    EXPECT_EQ(TypesSeenBy(plainId), (std::vector<uint32_t>{1, 6, 2, 3}));
}

TEST_F(WindowDispatch, KeysAndCommandsClimbToTheOwnerAndThenToCommandProcessing) {
    static int commands = 0;
    SetProcessCommandProc([](const WindowEvent* e) {
        commands += e->command.command;
        return 1;
    });
    WindowObject* top = MakeWindow();
    Rect16 r{10, 10, 60, 110};
    WindowObject* pane = NewPaneWindow(0, 0, 0, top, &r, nullptr, &RecordingCallback);
    ASSERT_NE(pane, nullptr);
    ASSERT_TRUE(MoveKeyboardFocusToWindow(pane, false));
    SeenEvents().clear();
    OsEventRecord key = Record(kOsWhatKeyDown, (0x41 << 8) | 'a');
    DispatchToEventHandlers(PortOf(top), &key);
    EXPECT_EQ(TypesSeenBy(pane->sequence), (std::vector<uint32_t>{11}));
    EXPECT_EQ(TypesSeenBy(top->sequence), (std::vector<uint32_t>{11}));
    EXPECT_EQ(SeenEvents().back().event.key.character, 'a');
    WindowEvent command{};
    command.type = kWindowEventCommand;
    command.command.command = 7;
    EventDispatchToView(pane, &command);
    EXPECT_EQ(commands, 7);
}

TEST_F(WindowDispatch, AnUnhandledKeyCommandClimbsToTheOwner) {
    WindowObject* top = MakeWindow();
    Rect16 r{10, 10, 60, 110};
    WindowObject* pane = NewPaneWindow(0, 0, 0, top, &r, nullptr, &RecordingCallback);
    ASSERT_NE(pane, nullptr);
    WindowEvent command{};
    command.type = kWindowEventKeyCommand;
    command.keyCommand.command = 5;
    SeenEvents().clear();
    EventDispatchToView(pane, &command);
    EXPECT_EQ(TypesSeenBy(pane->sequence), (std::vector<uint32_t>{kWindowEventKeyCommand}));
    EXPECT_EQ(TypesSeenBy(top->sequence), (std::vector<uint32_t>{kWindowEventKeyCommand}));
    EXPECT_EQ(SeenEvents().back().event.keyCommand.command, 5);
    // Handled by the pane's callback: the owner hears nothing.
    int32_t paneId = pane->sequence;
    Reactions()[kWindowEventKeyCommand] = [paneId](WindowObject* w, WindowEvent*) {
        return w->sequence == paneId ? 1 : 0;
    };
    SeenEvents().clear();
    EventDispatchToView(pane, &command);
    EXPECT_TRUE(TypesSeenBy(top->sequence).empty());
}

TEST_F(WindowDispatch, AKeyCallbackThatDisposesItsWindowStopsTheClimb) {
    WindowObject* top = MakeWindow();
    Rect16 r{10, 10, 60, 110};
    WindowObject* pane = NewPaneWindow(0, 0, 0, top, &r, nullptr, &RecordingCallback);
    ASSERT_TRUE(MoveKeyboardFocusToWindow(pane, false));
    int32_t paneId = pane->sequence;
    // The pane's callback disposes the pane and answers "not handled".
    Reactions()[kWindowEventKey] = [paneId](WindowObject* w, WindowEvent*) {
        if (w->sequence == paneId) DisposeWindowObject(w);
        return 0;
    };
    SeenEvents().clear();
    OsEventRecord key = Record(kOsWhatKeyDown, (0x41 << 8) | 'a');
    DispatchToEventHandlers(PortOf(top), &key);
    EXPECT_EQ(WindowObjectFromId(paneId), nullptr);
    // The owner never saw the key; it took the focus back instead.
    EXPECT_EQ(TypesSeenBy(top->sequence), (std::vector<uint32_t>{kWindowEventFocus}));
    EXPECT_EQ(PortOf(top)->focusPane, top->pane);
}

TEST_F(WindowDispatch, TabCommandsSwitchTheTabsOfADialog) {
    static int32_t stepped = 0;
    DialogLayerProcs dialog{};
    dialog.switchTab = [](WindowObject*, int32_t step) {
        stepped = step;
        return true;
    };
    SetDialogLayerProcs(&dialog);
    WindowObject* box = MakeWindow(kKindDialog);
    WindowEvent e{};
    e.type = kWindowEventKeyCommand;
    e.keyCommand.command = kCommandPreviousTab;
    EXPECT_EQ(EventDispatchToView(box, &e), 1);
    EXPECT_EQ(stepped, -1);
    e.keyCommand.command = kCommandNextTab;
    EventDispatchToView(box, &e);
    EXPECT_EQ(stepped, 1);
    // Control+Left registered as the previous-tab command reaches the dialog
    // as a key command; a command without modifier is refused.
    SetKeyCommandSender(&SendKeyCommandToFocus);
    constexpr int16_t kLeft = 37, kControl = 2;
    ASSERT_EQ(KeyCommandRegister(kLeft, kControl, kCommandPreviousTab), 0);
    EXPECT_EQ(KeyCommandRegister(kLeft, 0, kCommandPreviousTab), 87);
    OsEventRecord key = Record(kOsWhatKeyDown, uintptr_t(kLeft) << 8, {0, 0}, 0x1800);
    DispatchToEventHandlers(PortOf(box), &key);
    EXPECT_EQ(stepped, -1);
    ClearKeyCommands();
    SetKeyCommandSender(nullptr);
}

TEST_F(WindowDispatch, ClicksWithinTheSlopAreDoubleClicks) {
    WindowObject* w = MakeWindow();
    uint32_t t = 1000;
    struct Case {
        Point16 first, second;
        uint32_t expected;
    } cases[] = {{{50, 50}, {53, 53}, kWindowEventDoubleClick},
                 {{50, 50}, {54, 50}, kWindowEventMouseDown}};
    for (const Case& c : cases) {
        ResetClickHistory();
        SeenEvents().clear();
        OsEventRecord down = Record(kOsWhatMouseDown, 0, c.first, 0, t);
        DispatchToEventHandlers(PortOf(w), &down);
        down = Record(kOsWhatMouseDown, 0, c.second, 0, t + 1);
        DispatchToEventHandlers(PortOf(w), &down);
        ASSERT_EQ(SeenEvents().size(), 2u);
        EXPECT_EQ(SeenEvents()[0].event.type, kWindowEventMouseDown);
        EXPECT_EQ(SeenEvents()[1].event.type, c.expected);
    }
}

TEST_F(WindowDispatch, AClickIsInSurfaceCoordinatesAndMayDisposeTheWindow) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    list->contentHeight = 1000;
    ScrollSurfacesTo(list, 40, 0, 0);
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    Point16 at{int16_t(main->rect.top + 10), int16_t(main->rect.left + 5)};
    Reactions()[kWindowEventMouseDown] = &DisposeIt;
    int32_t id = w->sequence;
    OsEventRecord down = Record(kOsWhatMouseDown, 0, at, 0, 10);
    DispatchToEventHandlers(PortOf(w), &down);
    ASSERT_EQ(SeenEvents().back().event.type, kWindowEventDispose);
    const WindowEvent& e = SeenEvents()[SeenEvents().size() - 2].event;
    EXPECT_EQ(e.type, kWindowEventMouseDown);
    EXPECT_EQ(e.mouse.v, 50);
    EXPECT_EQ(e.mouse.h, 5);
    EXPECT_EQ(WindowObjectFromId(id), nullptr);
}

TEST_F(WindowDispatch, UpdatesGiveTheLocalRectanglePaintTheUncoveredPartAndMayDispose) {
    WindowObject* w = MakeWindow(kKindDocument, 0, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    list->contentHeight = 100;
    list->contentWidth = 150;
    const Rect16 main = SurfaceAt(list, kMainSurfaceIndex)->rect;
    PendingUpdateRect() = main;
    HostCalls().clear();
    Reactions()[kWindowEventUpdate] = &DisposeIt;
    int32_t id = w->sequence;
    OsEventRecord update = Record(kOsWhatUpdate);
    DispatchToEventHandlers(PortOf(w), &update);
    ASSERT_EQ(SeenEvents().back().event.type, kWindowEventDispose);
    const WindowEvent& e = SeenEvents()[SeenEvents().size() - 2].event;
    ASSERT_EQ(e.type, kWindowEventUpdate);
    EXPECT_EQ(RectText(e.update.rect),
              RectText({0, 0, int16_t(main.bottom - main.top), int16_t(main.right - main.left)}));
    EXPECT_EQ(WindowObjectFromId(id), nullptr);
    // The uncovered part was painted grey before the callback, then the
    // content was framed in black.
    bool grey = false, black = false;
    for (const std::string& call : HostCalls()) {
        grey = grey || call.rfind("paint " + std::to_string(kPaintMidGrey), 0) == 0;
        black = black || call.rfind("paint 0 ", 0) == 0;
    }
    EXPECT_TRUE(grey);
    EXPECT_TRUE(black);
}

TEST_F(WindowDispatch, ScrollRequestsStopAtTheMaximumAndUnchangedOnesSendNothing) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    int32_t visible = main->rect.bottom - main->rect.top;
    list->contentHeight = visible + 50;
    w->scrollStep = 32;
    SeenEvents().clear();
    EXPECT_EQ(ScrollAction(w, kScrollLineForward, kBarVertical, {0, 0}, 0), 32);
    EXPECT_EQ(ScrollAction(w, kScrollLineForward, kBarVertical, {0, 0}, 0), 50);
    EXPECT_EQ(list->originV, 50);
    auto scrolls = [] {
        std::vector<WindowEvent> seen;
        for (const SeenEvent& e : SeenEvents())
            if (e.event.type == kWindowEventScroll) seen.push_back(e.event);
        return seen;
    };
    ASSERT_EQ(scrolls().size(), 2u);
    EXPECT_EQ(scrolls()[0].scroll.action, 1);
    // Set value to the bar's own value: nothing sent; no horizontal bar:
    // nothing either.
    size_t before = SeenEvents().size();
    EXPECT_EQ(ScrollAction(w, kScrollSetValue, kBarVertical, {0, 0}, 50), 0);
    EXPECT_EQ(ScrollAction(w, kScrollLineForward, kBarHorizontal, {0, 0}, 0), 0);
    EXPECT_EQ(SeenEvents().size(), before);
}

TEST_F(WindowDispatch, ScrollingDrawsTheUncoveredPartAtOnceEvenIfTheCallbackDisposes) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    list->contentHeight = 1000;
    w->scrollStep = 32;
    const Rect16 main = SurfaceAt(list, kMainSurfaceIndex)->rect;
    int32_t visible = main.bottom - main.top;
    SeenEvents().clear();
    HostCalls().clear();
    EXPECT_EQ(ScrollAction(w, kScrollLineForward, kBarVertical, {0, 0}, 0), 32);
    // Without a host that moves bits the whole surface is uncovered; the
    // update arrives inside the scroll, in content coordinates.
    ASSERT_EQ(TypesSeenBy(w->sequence),
              (std::vector<uint32_t>{kWindowEventScroll, kWindowEventUpdate}));
    const WindowEvent& update = SeenEvents().back().event;
    EXPECT_EQ(update.update.rect.top, 32);
    EXPECT_EQ(update.update.rect.bottom, 32 + visible);
    EXPECT_EQ(HostCalls().back(), "valid " + RectText(main));
    Reactions()[kWindowEventUpdate] = [](WindowObject* window, WindowEvent*) {
        DisposeWindowObject(window);
        return 1;
    };
    int32_t id = w->sequence;
    ScrollAction(w, kScrollLineForward, kBarVertical, {0, 0}, 0);
    EXPECT_EQ(WindowObjectFromId(id), nullptr);
}

TEST_F(WindowDispatch, WheelNotchScrollsByItsAmount) {
    WindowObject* w = MakeWindow(kKindDocument, kOptionVerticalBar, 200, 300);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    list->contentHeight = 2000;
    OsEventRecord wheel = Record(kPortWhatWheel, uintptr_t(uint32_t(-120)));
    DispatchToEventHandlers(PortOf(w), &wheel);
    EXPECT_EQ(list->originV, 120);
    EXPECT_EQ(TypesSeenBy(w->sequence),
              (std::vector<uint32_t>{kWindowEventSelectItem, kWindowEventResize, kWindowEventWheel,
                                     kWindowEventUpdate}));
}

TEST_F(WindowDispatch, AViewTimerKeepsTheCurrentWindowPortUnlessItDisposedTheWindow) {
    WindowObject* first = MakeWindow();
    WindowObject* second = MakeWindow();
    static WindowObject* other = nullptr;
    other = second;
    ViewTimer view{nullptr, [](ViewTimer*, void*) { MakeWindowCurrentPort(other); }, nullptr};
    MakeWindowCurrentPort(first);
    ViewTimerFire(nullptr, &view);
    EXPECT_EQ(WindowObjectOfPort(DrawingLayer().currentPort()), first);
    // A procedure that disposes the current window: the port falls back.
    other = first;
    view.procedure = [](ViewTimer*, void*) { DisposeWindowObject(other); };
    ViewTimerFire(nullptr, &view);
    EXPECT_EQ(WindowObjectOfPort(DrawingLayer().currentPort()), second);
}

} // namespace

namespace {

void* g_underMouse = nullptr;
int16_t ContentUnderMouse(Point16, void** window) {
    *window = g_underMouse;
    return 3;
}

TEST_F(WindowDispatch, AMouseMovedFollowUpWaitsUntilTheDispatchDepthReturnsToZero) {
    WindowObject* w = MakeWindow();
    g_underMouse = PortOf(w)->nativeWindow;
    LoopWindowHooks hooks = LoopHooks();
    hooks.findWindowPart = &ContentUnderMouse;
    SetLoopWindowHooks(&hooks);
    WindowIdleActivate(PortOf(w), true);
    InstallMouseFollowUp();
    int32_t token = 0;
    ASSERT_NE(RunEventLoopLevel(nullptr, &token, false), nullptr);
    SeenEvents().clear();
    LoopDispatchEnter();
    RequestMouseMovedUpdate();
    EXPECT_TRUE(MouseMovedUpdatePending());
    EXPECT_TRUE(SeenEvents().empty());
    LoopDispatchLeave();
    EXPECT_FALSE(MouseMovedUpdatePending());
    EXPECT_EQ(TypesSeenBy(w->sequence), (std::vector<uint32_t>{kWindowEventIdle}));
    // A changed cursor asks for the follow-up; the same one does not.
    SeenEvents().clear();
    SetWindowCursor(w, 5);
    SetWindowCursor(w, 5);
    EXPECT_EQ(TypesSeenBy(w->sequence).size(), 1u);
    WindowIdleActivate(PortOf(w), false);
    SetDispatchDepthZeroProc(nullptr);
    SetLoopWindowHooks(nullptr);
    ResetEventLoopState();
}

TEST_F(WindowDispatch, TheNativeStateLeadsToTheTopLevelWindowOnly) {
    WindowObject* top = MakeWindow();
    Rect16 r{10, 10, 60, 110};
    WindowObject* pane = NewPaneWindow(0, 0, 0, top, &r, nullptr, &RecordingCallback);
    ASSERT_NE(pane, nullptr);
    void* state = GraphicsPortOf(top);
    EXPECT_EQ(GraphicsPortOf(pane), state);
    EXPECT_EQ(WindowObjectFromNative(state), top);
    EXPECT_EQ(FindPortListEntry(state), PortOf(top));
    int unknown = 0;
    EXPECT_EQ(WindowObjectFromNative(&unknown), nullptr);
    EXPECT_EQ(WindowObjectFromNative(nullptr), nullptr);
    EXPECT_EQ(FindPortListEntry(nullptr), nullptr);
    DisposeWindowObject(top);
    EXPECT_EQ(WindowObjectFromNative(state), nullptr);
}

TEST_F(WindowDispatch, AFocusedItemIsFoundInTheFocusPanesWindow) {
    static WindowObject* withItem = nullptr;
    DialogLayerProcs dialog{};
    dialog.focusedItem = [](WindowObject* w) { return int16_t(w == withItem ? 3 : 0); };
    SetDialogLayerProcs(&dialog);
    WindowObject* top = MakeWindow(kKindDialog);
    Rect16 r{10, 10, 60, 110};
    WindowObject* pane = NewPaneWindow(0, 0, 0, top, &r, nullptr, &RecordingCallback);
    ASSERT_NE(pane, nullptr);
    WindowObject* focus = top;
    WindowObject* owner = top;
    withItem = nullptr;
    EXPECT_FALSE(FocusedControlOfWindow(top, &focus, &owner));
    EXPECT_EQ(focus, nullptr);
    EXPECT_EQ(owner, nullptr);
    withItem = top; // no pane has the focus: the dialog's own items
    EXPECT_TRUE(FocusedControlOfWindow(pane, &focus, &owner));
    EXPECT_EQ(owner, top);
    ASSERT_TRUE(MoveKeyboardFocusToWindow(pane, false));
    EXPECT_FALSE(FocusedControlOfWindow(top, &focus, &owner));
    EXPECT_EQ(focus, pane);
    withItem = pane;
    EXPECT_TRUE(FocusedControlOfWindow(top, &focus, &owner));
    EXPECT_EQ(owner, pane);
}

TEST_F(WindowDispatch, APrintPortAnswersItsPageAndEndsItsJobAtDisposal) {
    EXPECT_EQ(NewPrintPort(nullptr, "Board", true), nullptr);
    static int ends = 0;
    ends = 0;
    PrintJob job{};
    job.page = {0, 0, 3300, 2550};
    job.end = [](PrintJob*) { ++ends; };
    WindowObject* w = NewWindowObject(Pool(), kWindowTypePrint, kKindDocument, 0, &job);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(PrintJobOf(w), &job);
    EXPECT_EQ(GraphicsPortOf(w), &job);
    Rect16 r{};
    WindowSurfaceRect(w, &r);
    EXPECT_EQ(r.bottom, 3300);
    EXPECT_EQ(r.right, 2550);
    double h = 0, v = 0;
    WindowScaleFactors(w, &h, &v);
    EXPECT_EQ(h, 1.0);
    EXPECT_EQ(v, 1.0);
    EXPECT_FALSE(IsWindowShown(w, 0));
    SetPenModeForKind(w, 2);
    EXPECT_EQ(job.state.settings.penMode, kPenModeXor);
    int32_t id = w->sequence;
    DisposeWindowObject(w);
    EXPECT_EQ(WindowObjectFromId(id), nullptr);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(PrintJobOf(nullptr), nullptr);
}

TEST_F(WindowDispatch, ChildPanesMarkedForWholeRedrawAreDrawnAtOnceEvenIfOneDisposes) {
    WindowObject* top = MakeWindow(kKindDocument, 0, 200, 300);
    Rect16 a{10, 10, 60, 110}, b{70, 10, 120, 110};
    WindowObject* first = NewPaneWindow(0, 0, 0, top, &a, nullptr, &RecordingCallback);
    WindowObject* second = NewPaneWindow(0, 0, 0, top, &b, nullptr, &RecordingCallback);
    ASSERT_TRUE(first && second);
    ShowChildWindow(first, true, false);
    ShowChildWindow(second, true, false);
    static_cast<PaneRecord*>(first->pane)->flags |= kPaneRedrawWhole;
    HostCalls().clear();
    SeenEvents().clear();
    RedrawChildPanes(top);
    int begins = 0, ends = 0;
    for (const std::string& call : HostCalls()) {
        begins += call.rfind("begin", 0) == 0;
        ends += call == "end";
    }
    EXPECT_EQ(begins, 1); // the second pane is not marked
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(TypesSeenBy(first->sequence).empty());
    EXPECT_TRUE(TypesSeenBy(second->sequence).empty());
    // A callback disposing the whole window while its pane draws.
    int32_t id = top->sequence;
    Reactions()[kWindowEventUpdate] = [](WindowObject* w, WindowEvent*) {
        DisposeWindowObject(RootWindowObject(w));
        return 1;
    };
    RedrawChildPanes(top);
    EXPECT_EQ(WindowObjectFromId(id), nullptr);
}

} // namespace
