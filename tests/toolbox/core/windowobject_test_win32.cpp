// Window objects over real windows under Wine: creation and disposal with
// their scroll-bar children, a real click through the main loop to a
// callback that disposes its window, and update drawing read back as
// pixels. Cases that run the loop run one per process.
#include "toolbox/core/windowobject_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process_win32.h"
#include "native_fixture_win32.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/growarray.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/timertask.h"
#include "toolbox/core/windowclass.h"
#include "toolbox/core/windowcreate.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowfocus.h"
#include "toolbox/core/windowdisplay.h"
#include "toolbox/core/scrollaction.h"
#include "toolbox/core/surfaceproc.h"
#include "toolbox/core/surfacescroll.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowidle.h"
#include "toolbox/core/windowkinds.h"
#include "toolbox/core/windowsurface.h"

namespace {

constexpr char kSuite[] = "WineWindowObjectChild";

std::vector<WindowEvent>& Events() {
    static std::vector<WindowEvent> events;
    return events;
}

int32_t Record(WindowObject*, WindowEvent* event) {
    Events().push_back(*event);
    return 0;
}

HWND HandleOf(WindowObject* window) {
    auto* port = static_cast<PortRecord*>(window->port);
    return NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
}

std::string RectText(const Rect16& r) {
    return std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) +
           "," + std::to_string(r.right);
}

int CountChildrenOfClass(HWND parent, const char* className) {
    int count = 0;
    for (HWND child = FindWindowExA(parent, nullptr, className, nullptr); child;
         child = FindWindowExA(parent, child, className, nullptr))
        ++count;
    return count;
}

bool PrepareLayer() {
    if (!PrepareNativeWindowTest()) return false;
    InstallEventLoopHandlers();
    InstallWindowObjectLayer();
    return true;
}

TEST(WineWindowObject, CreationMakesBarsAndSendsSelectThenResizeDisposalLeavesNothing) {
    ASSERT_TRUE(PrepareLayer());
    int32_t ids = WindowIdCount();
    Events().clear();
    Rect16 content{40, 40, 240, 340};
    WindowObject* w = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0,
                                        kOptionVerticalBar | kOptionHorizontalBar, 0, 0,
                                        kBehindNone, &content, "Board", 0, nullptr, &Record);
    ASSERT_NE(w, nullptr);
    HWND window = HandleOf(w);
    ASSERT_TRUE(IsWindow(window));
    ASSERT_EQ(Events().size(), 2u);
    EXPECT_EQ(Events()[0].type, kWindowEventSelectItem);
    EXPECT_EQ(Events()[1].type, kWindowEventResize);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(Events()[1].resize.height, client.bottom);
    EXPECT_EQ(Events()[1].resize.width, client.right);
    EXPECT_EQ(CountChildrenOfClass(window, "ScrollBar"), 2);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    EXPECT_EQ(list->flags & (kSurfaceBarVertical | kSurfaceBarHorizontal | kSurfaceGrowBox),
              kSurfaceBarVertical | kSurfaceBarHorizontal | kSurfaceGrowBox);
    // A one-shot word set before a failed creation does not reach the next.
    SetNextWindowPaneFlags(kPaneFramed);
    EXPECT_EQ(NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, 0, 0, 0, kBehindNone, nullptr,
                                "", 0, nullptr, &Record),
              nullptr);
    WindowObject* next = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, 0, 0, 0,
                                           kBehindNone, &content, "", 0, nullptr, &Record);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(static_cast<PaneRecord*>(next->pane)->flags & kPaneFramed, 0u);
    DisposeWindowObject(next);
    DisposeWindowObject(w);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(WindowIdCount(), ids);
    EXPECT_EQ(Events().back().type, kWindowEventDispose);
}

TEST(WineWindowObject, ScrollingToAPointStopsAtTheRealBarsMaximum) {
    ASSERT_TRUE(PrepareLayer());
    Rect16 content{40, 40, 240, 340};
    WindowObject* w = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, kOptionVerticalBar, 0,
                                        0, kBehindNone, &content, "Scroll", 0, nullptr, &Record);
    ASSERT_NE(w, nullptr);
    ResizeWindowObject(w, 1000, 100, 0);
    auto* list = static_cast<SurfaceList*>(w->surfaceList);
    int32_t maximum = SurfaceBarState(list, kBarVertical).maximum;
    ASSERT_GT(maximum, 0);
    ScrollSurfaceTo(list, 5000, 0);
    EXPECT_EQ(list->originV, maximum);
    EXPECT_EQ(GetScrollPos(static_cast<HWND>(list->barV), SB_CTL), maximum);
    ScrollSurfaceTo(list, 40, 0);
    EXPECT_EQ(ControlValueCache(list, kBarVertical), 40);
    EXPECT_EQ(list->originV, 40);
    DisposeWindowObject(w);
}

TEST(WineWindowObject, TheSystemCloseAndResizeReachTheCallback) {
    ASSERT_TRUE(PrepareLayer());
    int32_t ids = WindowIdCount();
    Rect16 content{40, 40, 240, 340};
    WindowObject* w = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, kOptionGrowBox, 0, 0,
                                        kBehindNone, &content, "", 0, nullptr, &Record);
    ASSERT_NE(w, nullptr);
    HWND window = HandleOf(w);
    SelectWindowObject(w);
    Events().clear();
    SetWindowPos(window, nullptr, 0, 0, 420, 330, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(window, &client);
    ASSERT_FALSE(Events().empty());
    EXPECT_EQ(Events().back().type, kWindowEventResize);
    EXPECT_EQ(Events().back().resize.height, client.bottom);
    EXPECT_EQ(Events().back().resize.width, client.right);
    // Title, zoom state, the walk and the content size.
    SetWindowTitle(w, "Renamed");
    char title[32] = {};
    GetWindowTextA(window, title, sizeof(title));
    EXPECT_STREQ(title, "Renamed");
    EXPECT_EQ(WindowZoomState(w), kZoomNormal);
    bool walked = false;
    for (WindowObject* o = FirstWindowObject(); o; o = NextWindowObject(o))
        walked = walked || o == w;
    EXPECT_TRUE(walked);
    Rect16 size{0, 0, 150, 250};
    SetWindowContentSize(w, &size);
    GetClientRect(window, &client);
    // A grow box without bars makes room for both bars.
    EXPECT_EQ(client.bottom, 150 + PaneBarThickness());
    EXPECT_EQ(client.right, 250 + PaneBarThickness());
    // The callback leaves the close request to the default handling,
    // which disposes the window from inside its own system command.
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(WindowIdCount(), ids);
    ASSERT_GE(Events().size(), 2u);
    EXPECT_EQ(Events()[Events().size() - 2].type, kWindowEventClose);
    EXPECT_EQ(Events().back().type, kWindowEventDispose);
}

TEST(WineWindowObject, AModalWindowDisablesTheWindowsBehindAndTheFrameUntilReenabled) {
    ASSERT_TRUE(PrepareLayer());
    Rect16 box{60, 60, 160, 260};
    WindowObject* behind = NewWindowObjectEx(DefaultHeapPool(), kKindDialog, 2, 0, 0, 0,
                                             kBehindNone, &box, "", 0, nullptr, &Record);
    WindowObject* modal = NewWindowObjectEx(DefaultHeapPool(), kKindDialog, 2, 0, 0, 0, kBehindNone,
                                            &box, "", 0, nullptr, &Record);
    ASSERT_TRUE(behind && modal);
    SelectWindowObject(behind);
    SelectWindowObject(modal);
    MessagePump();
    DisableOtherWindows(modal);
    ASSERT_NE(modal->disabledList, nullptr);
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < GrowArrayCount(modal->disabledList); ++i)
        ids.push_back(*static_cast<int32_t*>(GrowArrayAt(modal->disabledList, i)));
    EXPECT_EQ(ids, (std::vector<int32_t>{behind->sequence, -1}));
    EXPECT_FALSE(IsWindowEnabled(HandleOf(behind)));
    EXPECT_FALSE(IsWindowEnabled(FrameWindowHandle()));
    // Nested: a second disabling needs a second enabling.
    SetWindowDisabled(FrameWindowHandle(), false);
    HWND behindHandle = HandleOf(behind);
    DisposeWindowObject(behind); // gone before the modal window ends
    ReenableOtherWindows(modal);
    EXPECT_FALSE(IsWindowEnabled(FrameWindowHandle()));
    SetWindowDisabled(FrameWindowHandle(), true);
    EXPECT_TRUE(IsWindowEnabled(FrameWindowHandle()));
    EXPECT_FALSE(IsWindow(behindHandle));
    EXPECT_EQ(modal->disabledList, nullptr);
    EXPECT_EQ(NativeWindowClassBit(static_cast<NativeWindowRecord*>(
                  static_cast<PortRecord*>(modal->port)->nativeWindow)),
              kClassModal);
    EXPECT_EQ(FrontWindowOfClass(kClassModal), static_cast<PortRecord*>(modal->port)->nativeWindow);
    DisposeWindowObject(modal);
}

TEST(WineWindowObject, OpeningLimitsTheOptionsToTheTypeAndLinksAPort) {
    ASSERT_TRUE(PrepareLayer());
    Rect16 box{50, 50, 150, 250};
    int32_t (*proc)(PortRecord*, OsEventRecord*) = [](PortRecord*, OsEventRecord*) { return 0; };
    PortRecord* port = nullptr;
    // A sizable document: the options beyond those type 6 allows go.
    ASSERT_EQ(WindowObjectOpen(false, kNativeTypeDocument, 0x10 | 0x40000000, &box, nullptr, 0x400,
                               proc, &port),
              0);
    ASSERT_NE(port, nullptr);
    auto* record = static_cast<NativeWindowRecord*>(port->nativeWindow);
    EXPECT_EQ(record->options, 0x10u | kOptionEventTarget);
    EXPECT_EQ(port->flags, 0x400u | 2u);
    EXPECT_EQ(port->eventProc, proc);
    EXPECT_EQ(FindPortOfNativeWindow(record), port);
    EXPECT_NE(record->eventTarget.first, nullptr);
    DisposePortRecord(port);
    DisposeNativeWindow(record);
    FreeHeapBlock(port);
    // A type without a definition makes nothing.
    HWND before = GetWindow(MdiClientHandle(), GW_CHILD);
    port = reinterpret_cast<PortRecord*>(1);
    EXPECT_NE(WindowObjectOpen(false, 99, 0, &box, nullptr, 0, proc, &port), 0);
    EXPECT_EQ(port, nullptr);
    EXPECT_EQ(GetWindow(MdiClientHandle(), GW_CHILD), before);
}

TEST(WineWindowObject, TheDefaultPositionIsTheMdiAreaForDocumentsElseTheWorkArea) {
    ASSERT_TRUE(PrepareLayer());
    RECT mdi;
    GetClientRect(MdiClientHandle(), &mdi);
    Rect16 r;
    DefaultWindowPosition(kKindDocument, 0, 0, &r);
    EXPECT_EQ(RectText(r), RectText({int16_t(mdi.top + 2), int16_t(mdi.left + 2),
                                     int16_t(mdi.bottom - 2), int16_t(mdi.right - 2)}));
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    DefaultWindowPosition(kKindFloating, 0, 0, &r);
    EXPECT_EQ(RectText(r), RectText({int16_t(work.top + 2), int16_t(work.left + 2),
                                     int16_t(work.bottom - 2), int16_t(work.right - 2)}));
    // Whether a content rectangle's outer rectangle lies in that area.
    struct Row {
        Rect16 content;
        int32_t answer;
    } rows[] = {
        {{60, 60, 160, 260}, kRectWhollyOnScreen},
        {{int16_t(mdi.bottom - 50), 60, int16_t(mdi.bottom + 50), 260}, kRectPartlyOnScreen},
        {{int16_t(mdi.bottom + 100), 60, int16_t(mdi.bottom + 200), 260}, kRectOffScreen},
        {{60, 60, 60, 260}, kRectOffScreen}};
    for (const Row& row : rows)
        EXPECT_EQ(WindowRectOnScreen(kKindDocument, 0, 0, &row.content), row.answer)
            << RectText(row.content);
}

// ---- cases with the main loop, one per process ----------------------------

WindowObject* g_window = nullptr;
int32_t g_windowId = 0;
Point32 g_clickAt{0, 0};
bool g_clicked = false;

void StartLoopCase() {
    StartChildCaseWatchdog();
    SetMainFrameParameters(nullptr, 0, 20, 20, 900, 700, true);
    if (!PrepareLayer()) ExitProcess(kChildCaseFailedExit);
    // Other test programs' windows share the virtual desktop: this frame
    // stays above them.
    SetWindowPos(FrameWindowHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(FrameWindowHandle());
}

WindowObject* ShownDocument(WindowEventCallback callback) {
    Rect16 content{30, 30, 230, 330};
    WindowObject* w = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, 0, 0, 0, kBehindNone,
                                        &content, "Case", 0, nullptr, callback);
    if (!w) ExitProcess(kChildCaseFailedExit);
    SelectWindowObject(w);
    return w;
}

void Quit(TimerTask*, void*) {
    EventLoopQuit();
}

int32_t DisposeOnClick(WindowObject* w, WindowEvent* event) {
    if (event->type != kWindowEventMouseDown) return 0;
    g_clicked = true;
    g_clickAt = {event->mouse.v, event->mouse.h};
    DisposeWindowObject(w);
    return 1;
}

// Timer tasks repeat: the click is given again until it arrived (the
// system's cursor is asynchronous on a busy machine).
void ClickContent(TimerTask* task, void*) {
    if (g_clicked) {
        RemoveTimerTask(task);
        return;
    }
    POINT p{50, 60}; // content point (h, v)
    ClientToScreen(HandleOf(g_window), &p);
    SetCursorPos(p.x, p.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

TEST(WineWindowObjectChild, ARealClickReachesACallbackThatDisposesItsWindow) {
    if (!IsChildCase("ARealClickReachesACallbackThatDisposesItsWindow"))
        GTEST_SKIP() << "runs in its own process";
    StartLoopCase();
    g_window = ShownDocument(&DisposeOnClick);
    g_windowId = g_window->sequence;
    HWND window = HandleOf(g_window);
    TimerTask* click = nullptr;
    TimerTask* quit = nullptr;
    InstallTimerTask(800, 0, &ClickContent, nullptr, &click);
    InstallTimerTask(2500, 0, &Quit, nullptr, &quit);
    RunEventLoop();
    std::printf("clicked %d at %d,%d\n", g_clicked, g_clickAt.v, g_clickAt.h);
    // The main surface starts at the pane's top-left (1, 1 inside the
    // frame's outer edge): the point arrives in surface coordinates.
    bool ok = g_clicked && !WindowObjectFromId(g_windowId) && !IsWindow(window) &&
              std::abs(g_clickAt.v - 60) <= 2 && std::abs(g_clickAt.h - 50) <= 2;
    ExitProcess(ok ? 0 : kChildCaseFailedExit);
}

int g_updates = 0;
int32_t CountUpdates(WindowObject*, WindowEvent* event) {
    if (event->type == kWindowEventUpdate) ++g_updates;
    return 0;
}

COLORREF g_grey = 0, g_frame = 0, g_inside = 0;
void ReadPixels(TimerTask* task, void*) {
    RemoveTimerTask(task);
    HWND window = HandleOf(g_window);
    HDC dc = GetDC(window);
    auto* list = static_cast<SurfaceList*>(g_window->surfaceList);
    const SurfaceRecord* main = SurfaceAt(list, kMainSurfaceIndex);
    int top = main->rect.top, left = main->rect.left;
    // Content 100 x 120 at the surface's top-left: inside, its frame, grey.
    g_inside = GetPixel(dc, left + 50, top + 50);
    g_frame = GetPixel(dc, left + 121, top + 50);
    g_grey = GetPixel(dc, left + 180, top + 150);
    ReleaseDC(window, dc);
    EventLoopQuit();
}

TEST(WineWindowObjectChild, UpdatesPaintTheUncoveredPartGreyInsideABlackFrame) {
    if (!IsChildCase("UpdatesPaintTheUncoveredPartGreyInsideABlackFrame"))
        GTEST_SKIP() << "runs in its own process";
    StartLoopCase();
    g_window = ShownDocument(&CountUpdates);
    auto* list = static_cast<SurfaceList*>(g_window->surfaceList);
    list->contentHeight = 100;
    list->contentWidth = 120;
    InvalidateWindowArea(g_window, nullptr, kAreaInvalidate);
    TimerTask* read = nullptr;
    InstallTimerTask(1200, 0, &ReadPixels, nullptr, &read);
    RunEventLoop();
    std::printf("updates %d inside %06lx frame %06lx grey %06lx\n", g_updates,
                (unsigned long)g_inside, (unsigned long)g_frame, (unsigned long)g_grey);
    bool ok = g_updates > 0 && g_grey == RGB(0x70, 0x70, 0x70) && g_frame == RGB(0, 0, 0) &&
              g_inside != RGB(0x70, 0x70, 0x70) && g_inside != RGB(0, 0, 0);
    ExitProcess(ok ? 0 : kChildCaseFailedExit);
}

int g_idles = 0;
int g_idlesWhenDeactivated = 0;
uint32_t g_wakeupsActive = 0;
uint32_t g_wakeupsStart = 0;
int32_t CountIdles(WindowObject*, WindowEvent* event) {
    if (event->type == kWindowEventIdle) ++g_idles;
    return 0;
}

void SendActivation(bool active) {
    OsEventRecord record;
    OsNullRecord(&record);
    record.what = kOsWhatActivate;
    record.modifiers = active ? kModActiveFlag : 0;
    DispatchToEventHandlers(static_cast<PortRecord*>(g_window->port), &record);
}

// At 2 s the interval becomes -1 (still active), at 2.5 s the window is
// deactivated with its interval back at 8 ticks: no idle event after 2 s.
void StopIdles(TimerTask* task, void*) {
    RemoveTimerTask(task);
    g_wakeupsActive = OsWaitReturnCount() - g_wakeupsStart;
    WindowSetIdleInterval(static_cast<PortRecord*>(g_window->port), kIdleNone);
    g_idlesWhenDeactivated = g_idles;
}

void Deactivate(TimerTask* task, void*) {
    RemoveTimerTask(task);
    SendActivation(false);
    WindowSetIdleInterval(static_cast<PortRecord*>(g_window->port), 8);
}

void QuitOnce(TimerTask* task, void*) {
    RemoveTimerTask(task);
    EventLoopQuit();
}

TEST(WineWindowObjectChild, AnActiveWindowGetsIdleEventsAtItsIntervalOnly) {
    if (!IsChildCase("AnActiveWindowGetsIdleEventsAtItsIntervalOnly"))
        GTEST_SKIP() << "runs in its own process";
    StartLoopCase();
    g_window = ShownDocument(&CountIdles);
    auto* port = static_cast<PortRecord*>(g_window->port);
    constexpr int32_t kTicks = 8; // 135 ms
    WindowSetIdleInterval(port, kTicks);
    SendActivation(true);
    g_idles = 0;
    g_wakeupsStart = OsWaitReturnCount();
    TimerTask* stop = nullptr;
    TimerTask* off = nullptr;
    TimerTask* quit = nullptr;
    InstallTimerTask(2000, 0, &StopIdles, nullptr, &stop);
    InstallTimerTask(2500, 0, &Deactivate, nullptr, &off);
    InstallTimerTask(3000, 0, &QuitOnce, nullptr, &quit);
    RunEventLoop();
    int expected = 2000 / IdleIntervalMs(kTicks); // 14
    constexpr int kSlack = 4;
    std::printf("idles %d (after deactivation %d), wake-ups %u, expected about %d\n",
                g_idlesWhenDeactivated, g_idles - g_idlesWhenDeactivated, g_wakeupsActive,
                expected);
    bool ok = g_idlesWhenDeactivated >= expected - kSlack &&
              g_idlesWhenDeactivated <= expected + kSlack && g_idles == g_idlesWhenDeactivated &&
              g_wakeupsActive <= uint32_t(expected + 3 * kSlack);
    ExitProcess(ok ? 0 : kChildCaseFailedExit);
}

TEST(WineWindowObject, AnActiveWindowGetsIdleEventsAtItsIntervalOnly) {
    EXPECT_EQ(RunChildCase(kSuite, "AnActiveWindowGetsIdleEventsAtItsIntervalOnly"), 0);
}

std::vector<Rect16> g_updates16;
bool g_disposeOnUpdate = false;
int32_t KeepUpdates(WindowObject* w, WindowEvent* event) {
    if (event->type != kWindowEventUpdate) return 0;
    g_updates16.push_back(event->update.rect);
    if (g_disposeOnUpdate) DisposeWindowObject(w);
    return 0;
}

bool g_scrollOk = false;
void ScrollTwice(TimerTask* task, void*) {
    RemoveTimerTask(task);
    g_updates16.clear();
    ScrollAction(g_window, kScrollLineForward, kBarVertical, {0, 0}, 0);
    // Bits moved: only the strip of one line (32) at the bottom is drawn.
    bool strip =
        g_updates16.size() == 1 && g_updates16[0].bottom - g_updates16[0].top == kDefaultScrollStep;
    std::printf("updates %zu, first %d..%d\n", g_updates16.size(),
                g_updates16.empty() ? 0 : g_updates16[0].top,
                g_updates16.empty() ? 0 : g_updates16[0].bottom);
    g_disposeOnUpdate = true;
    ScrollAction(g_window, kScrollLineForward, kBarVertical, {0, 0}, 0);
    g_scrollOk = strip && !WindowObjectFromId(g_windowId);
    EventLoopQuit();
}

TEST(WineWindowObjectChild, ScrollingMovesTheBitsAndDrawsTheUncoveredStripAtOnce) {
    if (!IsChildCase("ScrollingMovesTheBitsAndDrawsTheUncoveredStripAtOnce"))
        GTEST_SKIP() << "runs in its own process";
    StartLoopCase();
    Rect16 content{30, 30, 230, 330};
    g_window = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, kOptionVerticalBar, 0, 0,
                                 kBehindNone, &content, "Scroll", 0, nullptr, &KeepUpdates);
    if (!g_window) ExitProcess(kChildCaseFailedExit);
    g_windowId = g_window->sequence;
    SelectWindowObject(g_window);
    ResizeWindowObject(g_window, 1000, 200, 1);
    TimerTask* scroll = nullptr;
    InstallTimerTask(800, 0, &ScrollTwice, nullptr, &scroll);
    RunEventLoop();
    ExitProcess(g_scrollOk ? 0 : kChildCaseFailedExit);
}

TEST(WineWindowObject, ScrollingMovesTheBitsAndDrawsTheUncoveredStripAtOnce) {
    EXPECT_EQ(RunChildCase(kSuite, "ScrollingMovesTheBitsAndDrawsTheUncoveredStripAtOnce"), 0);
}

int32_t g_paneId = 0;
bool g_paneSawKey = false, g_topSawKey = false;
int32_t DisposePaneOnKey(WindowObject* w, WindowEvent* event) {
    if (event->type != kWindowEventKey) return 0;
    if (w->sequence == g_paneId) {
        g_paneSawKey = true;
        DisposeWindowObject(w);
    } else {
        g_topSawKey = true;
    }
    return 0; // not handled: would climb to the owner
}

void PressKey(TimerTask* task, void*) {
    if (g_paneSawKey) {
        RemoveTimerTask(task);
        EventLoopQuit();
        return;
    }
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = 'A';
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

TEST(WineWindowObjectChild, ARealKeyDisposingItsPaneStopsTheClimb) {
    if (!IsChildCase("ARealKeyDisposingItsPaneStopsTheClimb"))
        GTEST_SKIP() << "runs in its own process";
    StartLoopCase();
    g_window = ShownDocument(&DisposePaneOnKey);
    Rect16 r{10, 10, 60, 110};
    WindowObject* pane = NewPaneWindow(0, 0, 0, g_window, &r, nullptr, &DisposePaneOnKey);
    if (!pane || !MoveKeyboardFocusToWindow(pane, false)) ExitProcess(kChildCaseFailedExit);
    g_paneId = pane->sequence;
    SetFocus(HandleOf(g_window));
    TimerTask* press = nullptr;
    TimerTask* quit = nullptr;
    InstallTimerTask(600, 0, &PressKey, nullptr, &press);
    InstallTimerTask(8000, 0, &QuitOnce, nullptr, &quit);
    RunEventLoop();
    std::printf("pane saw the key %d, owner saw it %d\n", g_paneSawKey, g_topSawKey);
    bool ok = g_paneSawKey && !g_topSawKey && !WindowObjectFromId(g_paneId) &&
              WindowObjectFromId(g_window->sequence) == g_window;
    ExitProcess(ok ? 0 : kChildCaseFailedExit);
}

TEST(WineWindowObject, ARealKeyDisposingItsPaneStopsTheClimb) {
    EXPECT_EQ(RunChildCase(kSuite, "ARealKeyDisposingItsPaneStopsTheClimb"), 0);
}

struct DragPlan {
    POINT to;
};

DWORD WINAPI MoveThenRelease(LPVOID data) {
    auto* plan = static_cast<DragPlan*>(data);
    Sleep(300);
    SetCursorPos(plan->to.x, plan->to.y);
    Sleep(300);
    INPUT up{};
    up.type = INPUT_MOUSE;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &up, sizeof(up));
    return 0;
}

// Presses at the point (client coordinates of the window), lets a thread
// move the mouse by (dx, dy) and release, and tracks the split bar.
void DragSplitBar(WindowObject* window, PaneRecord* pane, POINT at, int dx, int dy) {
    HWND handle = HandleOf(window);
    POINT screen = at;
    ClientToScreen(handle, &screen);
    SetCursorPos(screen.x, screen.y);
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &down, sizeof(down));
    Sleep(150);
    DragPlan plan{{screen.x + dx, screen.y + dy}};
    HANDLE mover = CreateThread(nullptr, 0, &MoveThenRelease, &plan, 0, nullptr);
    TrackSplitBar(pane, {int16_t(at.y), int16_t(at.x)});
    WaitForSingleObject(mover, 5000);
    CloseHandle(mover);
}

TEST(WineWindowObjectChild, TheSplitBarFollowsARealDragInsideItsSlopOnly) {
    if (!IsChildCase("TheSplitBarFollowsARealDragInsideItsSlopOnly"))
        GTEST_SKIP() << "runs in its own process";
    StartLoopCase();
    WindowObject* w = ShownDocument(&Record);
    Rect16 r{0, 0, 180, 280};
    WindowObject* pane = NewPaneWindow(5, 0, 0, w, &r, nullptr, &Record);
    SelectWindowObject(pane);
    WindowObject* split = NewSplitPaneWindow(5, 0, 0, pane, 100, kSplitVertical, nullptr, &Record);
    if (!split) ExitProcess(kChildCaseFailedExit);
    auto* a = static_cast<PaneRecord*>(pane->pane);
    auto* b = static_cast<PaneRecord*>(split->pane);
    MessagePump();
    POINT bar{(b->windowRect.left + b->windowRect.right) / 2, b->windowRect.top};
    DragSplitBar(w, b, bar, 0, 30);
    int16_t afterDrag = a->localRect.bottom;
    // Released far outside the slop: nothing changes.
    bar.y = b->windowRect.top;
    DragSplitBar(w, b, bar, 400, 20);
    int16_t afterOutside = a->localRect.bottom;
    std::printf("split edge after drag %d, after a release outside %d\n", afterDrag, afterOutside);
    bool ok = std::abs(afterDrag - 130) <= 1 && afterOutside == afterDrag &&
              b->localRect.top == afterDrag;
    ExitProcess(ok ? 0 : kChildCaseFailedExit);
}

TEST(WineWindowObject, TheSplitBarFollowsARealDragInsideItsSlopOnly) {
    EXPECT_EQ(RunChildCase(kSuite, "TheSplitBarFollowsARealDragInsideItsSlopOnly"), 0);
}

TEST(WineWindowObject, ARealClickReachesACallbackThatDisposesItsWindow) {
    EXPECT_EQ(RunChildCase(kSuite, "ARealClickReachesACallbackThatDisposesItsWindow"), 0);
}

TEST(WineWindowObject, UpdatesPaintTheUncoveredPartGreyInsideABlackFrame) {
    EXPECT_EQ(RunChildCase(kSuite, "UpdatesPaintTheUncoveredPartGreyInsideABlackFrame"), 0);
}

// Real activation: the native window procedure records it, the wait
// delivers it as an activate event, and the idle timer follows the active
// window.
struct ActivationScene {
    WindowObject* a = nullptr;
    WindowObject* b = nullptr;
    std::vector<int> activationsA, activationsB;
    int idlesA = 0, idlesB = 0;
    int idlesAAtSwitch = -1, idlesBAtSwitch = -1;
};
ActivationScene g_act;

int32_t CountActivation(WindowObject* w, WindowEvent* event) {
    bool isA = w == g_act.a;
    if (event->type == kWindowEventActivate)
        (isA ? g_act.activationsA : g_act.activationsB).push_back(event->activate.active);
    if (event->type == kWindowEventIdle) ++(isA ? g_act.idlesA : g_act.idlesB);
    return 0;
}

void SwitchToA(TimerTask* task, void*) {
    RemoveTimerTask(task);
    g_act.idlesAAtSwitch = g_act.idlesA;
    g_act.idlesBAtSwitch = g_act.idlesB;
    ActivateWindowObject(g_act.a);
}

TEST(WineWindowObjectChild, RealActivationReachesTheCallbacksAndMovesTheIdleTimer) {
    if (!IsChildCase("RealActivationReachesTheCallbacksAndMovesTheIdleTimer"))
        GTEST_SKIP() << "runs in its own process";
    StartLoopCase();
    g_act.a = ShownDocument(&CountActivation);
    g_act.b = ShownDocument(&CountActivation);
    constexpr int32_t kTicks = 8; // 135 ms
    WindowSetIdleInterval(static_cast<PortRecord*>(g_act.a->port), kTicks);
    WindowSetIdleInterval(static_cast<PortRecord*>(g_act.b->port), kTicks);
    TimerTask* swap = nullptr;
    TimerTask* quit = nullptr;
    InstallTimerTask(900, 0, &SwitchToA, nullptr, &swap);
    InstallTimerTask(1800, 0, &QuitOnce, nullptr, &quit);
    RunEventLoop();
    auto text = [](const std::vector<int>& v) {
        std::string t;
        for (int x : v)
            t += std::to_string(x);
        return t;
    };
    std::printf("A %s idles %d (at switch %d), B %s idles %d (at switch %d)\n",
                text(g_act.activationsA).c_str(), g_act.idlesA, g_act.idlesAAtSwitch,
                text(g_act.activationsB).c_str(), g_act.idlesB, g_act.idlesBAtSwitch);
    // A was shown first, then B took activation; at the switch A took it back.
    bool ok = text(g_act.activationsA) == "01" && text(g_act.activationsB) == "10" &&
              g_act.idlesAAtSwitch == 0 && g_act.idlesBAtSwitch > 0 && g_act.idlesA > 0 &&
              g_act.idlesB == g_act.idlesBAtSwitch;
    ExitProcess(ok ? 0 : kChildCaseFailedExit);
}

TEST(WineWindowObject, RealActivationReachesTheCallbacksAndMovesTheIdleTimer) {
    EXPECT_EQ(RunChildCase(kSuite, "RealActivationReachesTheCallbacksAndMovesTheIdleTimer"), 0);
}

// Moving the mouse over the active window's content: the loop's
// mouse-moved event reaches the window as a mouse-over event in surface
// coordinates. The cursor is moved again until two points arrived (the
// display server reports pointer motion asynchronously).
std::vector<Point16> g_overPoints;
int32_t RecordOver(WindowObject*, WindowEvent* event) {
    if (event->type == kWindowEventMouseOver) g_overPoints.push_back(event->over.point);
    return 0;
}

bool SeenOver(int v, int h) {
    for (const Point16& p : g_overPoints)
        if (std::abs(p.v - v) <= 2 && std::abs(p.h - h) <= 2) return true;
    return false;
}

void MoveOverContent(TimerTask* task, void*) {
    static const POINT kPoints[2] = {{40, 50}, {120, 90}}; // (h, v)
    if (SeenOver(50, 40) && SeenOver(90, 120)) {
        RemoveTimerTask(task);
        EventLoopQuit();
        return;
    }
    static int next = 0;
    POINT p = kPoints[next++ % 2];
    ClientToScreen(HandleOf(g_window), &p);
    SetCursorPos(p.x, p.y);
}

TEST(WineWindowObjectChild, MouseMovesOverTheActiveWindowReachItsCallback) {
    if (!IsChildCase("MouseMovesOverTheActiveWindowReachItsCallback"))
        GTEST_SKIP() << "runs in its own process";
    StartLoopCase();
    g_window = ShownDocument(&RecordOver);
    g_window->flags |= kWindowFlagMouseOver;
    TimerTask* move = nullptr;
    TimerTask* quit = nullptr;
    InstallTimerTask(300, 0, &MoveOverContent, nullptr, &move);
    InstallTimerTask(8000, 0, &QuitOnce, nullptr, &quit);
    RunEventLoop();
    std::printf("mouse-over events %zu\n", g_overPoints.size());
    ExitProcess(SeenOver(50, 40) && SeenOver(90, 120) ? 0 : kChildCaseFailedExit);
}

TEST(WineWindowObject, MouseMovesOverTheActiveWindowReachItsCallback) {
    EXPECT_EQ(RunChildCase(kSuite, "MouseMovesOverTheActiveWindowReachItsCallback"), 0);
}

} // namespace
