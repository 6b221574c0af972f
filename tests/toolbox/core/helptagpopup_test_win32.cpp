// The help-tag popup over a real document window under Wine, with the main
// loop running (one process) and the mouse's records built by the cursor
// follow-up: the show delay, the popup's size, place and
// colours, one tag replacing another, the hiding on a layer's trigger and
// when the mouse leaves, an empty text that never shows, and a window
// disposed while its tag is tracked.
#include "toolbox/core/helptagpopup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "child_process_win32.h"
#include "native_fixture_win32.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/mousefollow.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/surfacelist.h"
#include "toolbox/core/timertask.h"
#include "toolbox/core/windowcreate.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowkinds.h"
#include "toolbox/core/windowobject_win32.h"

namespace {

constexpr char kSuite[] = "WineHelpTagChild";
constexpr int32_t kStepMs = 50;

WindowObject* g_window = nullptr;
SurfaceList* g_list = nullptr;
int g_phase = 0;
std::string g_failures;
const Rect16 kTagA{10, 10, 40, 100};
const Rect16 kTagB{10, 120, 40, 200};
const Rect16 kTagEmpty{60, 10, 90, 100};

void Fail(const std::string& what) {
    g_failures += what + "; ";
}

HWND DocumentHandle() {
    auto* port = static_cast<PortRecord*>(g_window->port);
    return NativeWindowOf(static_cast<NativeWindowRecord*>(port->nativeWindow));
}

POINT ScreenCentre(const Rect16& r) {
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(DocumentHandle(), &p);
    return p;
}

// The mouse over r, then the cursor follow-up: the mouse-moved record
// reaches the window's surface list, which tracks the tag under it.
void MoveOver(const Rect16& r) {
    POINT p = ScreenCentre(r);
    SetCursorPos(p.x, p.y);
    RequestMouseMovedUpdate();
}

bool PopupVisible() {
    HWND popup = static_cast<HWND>(HelpTagPopupWindow());
    return HelpTagShown() && popup && IsWindowVisible(popup);
}

// The popup's client rectangle on the screen and its text's expected size.
void CheckPopupAt(POINT mouse, const char* text) {
    HWND popup = static_cast<HWND>(HelpTagPopupWindow());
    RECT client{};
    GetClientRect(popup, &client);
    POINT origin{0, 0};
    ClientToScreen(popup, &origin);
    HDC dc = GetDC(popup);
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = -MulDiv(kHelpTagSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWidth = 0;
    HFONT made = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, made);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &extent);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    DeleteObject(made);
    COLORREF corner = GetPixel(dc, 1, 1);
    ReleaseDC(popup, dc);
    if (client.right != extent.cx + kHelpTagExtraWidth)
        Fail("width " + std::to_string(client.right) + " for " + std::to_string(extent.cx));
    if (client.bottom != metrics.tmAscent + metrics.tmDescent + kHelpTagExtraHeight)
        Fail("height " + std::to_string(client.bottom));
    if (origin.x != mouse.x + kHelpTagMouseRight || origin.y != mouse.y + kHelpTagMouseBelow)
        Fail("placed at " + std::to_string(origin.x) + "," + std::to_string(origin.y));
    if (corner != GetSysColor(COLOR_INFOBK)) Fail("background " + std::to_string(corner));
}

DWORD g_phaseStart = 0;
constexpr DWORD kDeadlineMs = 3000;

void Next(int phase) {
    g_phase = phase;
    g_phaseStart = GetTickCount();
}

DWORD Elapsed() {
    return GetTickCount() - g_phaseStart;
}

enum class Wait { Pending, Done, Failed };

// Waits for the tag over r to show. A late pointer report from the display
// server can put the cursor back and end the tracking: the mouse is then
// moved over the tag again.
Wait WaitShown(const Rect16& r, const char* what) {
    if (PopupVisible()) return Wait::Done;
    if (HelpTagTrackedEntry() == -1) MoveOver(r);
    if (Elapsed() <= kDeadlineMs) return Wait::Pending;
    Fail(what);
    return Wait::Failed;
}

void MouseAway() {
    RECT frame{};
    GetWindowRect(FrameWindowHandle(), &frame);
    SetCursorPos(frame.left + 5, frame.bottom - 5);
}

// One step every 50 ms; each phase waits for its moment.
void Step(TimerTask*, void*) {
    switch (g_phase) {
    case 0:
        MoveOver(kTagA);
        Next(1);
        break;
    case 1: // the delay runs
        if (Elapsed() < 300) {
            if (PopupVisible()) Fail("shown before the delay");
            break;
        }
        Next(2);
        break;
    case 2: { // shown after 0.5 s
        Wait w = WaitShown(kTagA, "A not shown");
        if (w == Wait::Pending) break;
        if (w == Wait::Done) CheckPopupAt(ScreenCentre(kTagA), "Route all");
        MoveOver(kTagB);
        if (PopupVisible()) Fail("A still shown after moving to B");
        if (HelpTagTrackedEntry() != 1) Fail("B not tracked");
        Next(3);
        break;
    }
    case 3: {
        Wait w = WaitShown(kTagB, "B not shown");
        if (w == Wait::Pending) break;
        if (w == Wait::Done) CheckPopupAt(ScreenCentre(kTagB), "Place");
        HidePortHelpTag(); // a mouse-down or a new window
        if (PopupVisible() || HelpTagTrackedEntry() != -1) Fail("the layer's trigger kept it");
        MoveOver(kTagEmpty);
        Next(4);
        break;
    }
    case 4:
        if (PopupVisible()) Fail("an empty text showed");
        if (Elapsed() < 800) break;
        MoveOver(kTagA);
        Next(5);
        break;
    case 5:
        if (WaitShown(kTagA, "A not shown again") == Wait::Pending) break;
        MouseAway();
        Next(6);
        break;
    case 6:
        if (PopupVisible() || HelpTagTrackedEntry() != -1) {
            if (Elapsed() <= kDeadlineMs) {
                MouseAway();
                break;
            }
            Fail("still shown after leaving");
        }
        // A window disposed with its tracked tags leaves nothing tracked.
        MoveOver(kTagA);
        DisposeWindowObject(g_window);
        if (HelpTagTrackedEntry() != -1) Fail("a disposed list still tracked");
        EventLoopQuit();
        g_phase = 7;
        break;
    default:
        break;
    }
}

TEST(WineHelpTagChild, TagsShowAfterTheDelayAndHideOnEveryTrigger) {
    if (!IsChildCase("TagsShowAfterTheDelayAndHideOnEveryTrigger"))
        GTEST_SKIP() << "runs in its own process";
    StartChildCaseWatchdog();
    SetMainFrameParameters(nullptr, 0, 20, 20, 900, 700, true);
    if (!PrepareNativeWindowTest()) ExitProcess(kChildCaseFailedExit);
    InstallEventLoopHandlers();
    InstallWindowObjectLayer();
    InstallHelpTagPopup();
    SetWindowPos(FrameWindowHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(FrameWindowHandle());
    Rect16 content{30, 30, 230, 330};
    g_window = NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, 0, 0, 0, kBehindNone,
                                 &content, "Tags", 0, nullptr, nullptr);
    if (!g_window) ExitProcess(kChildCaseFailedExit);
    SelectWindowObject(g_window); // shown and active: the mouse's records reach it
    g_list = static_cast<SurfaceList*>(g_window->surfaceList);
    HelpTagAdd(g_list, 0, kHelpTagKindRect, nullptr, &kTagA, 0, "Route all");
    HelpTagAdd(g_list, 0, kHelpTagKindRect, nullptr, &kTagB, 0, "Place");
    HelpTagAdd(g_list, 0, kHelpTagKindRect, nullptr, &kTagEmpty, 0, "");
    TimerTask* step = nullptr;
    InstallTimerTask(kStepMs, 0, &Step, nullptr, &step);
    RunEventLoop();
    if (!g_failures.empty()) std::fprintf(stderr, "%s\n", g_failures.c_str());
    ExitProcess(g_failures.empty() && g_phase == 7 ? 0 : kChildCaseFailedExit);
}

TEST(WineHelpTag, TagsShowAfterTheDelayAndHideOnEveryTrigger) {
    EXPECT_EQ(RunChildCase(kSuite, "TagsShowAfterTheDelayAndHideOnEveryTrigger"), 0);
}

} // namespace
