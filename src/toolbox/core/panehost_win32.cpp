// The pane host on Win32.
//
// Scroll bars are "SCROLLBAR" children of the port's native window, one
// per axis, made with the bar's rectangle in port coordinates; their
// range and value are the system's (SetScrollInfo). Drawing takes the
// window's device context for the one call and gives it back. A bar is
// tracked by a loop of its own while the left button is held: arrows and
// page areas repeat their action, the thumb follows the mouse along the
// bar's axis. The control layer may put bars standing on its controls in
// place of these (the host's entries go through the installed bar
// procedures).
#include "toolbox/core/panehost_win32.h"

#include <windows.h>

#include <algorithm>

#include "toolbox/core/hooktable.h"
#include "toolbox/core/edges.h"
#include "toolbox/core/edges_win32.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/portupdate_win32.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/regionnative_win32.h"
#include "toolbox/core/scrollaction.h"

namespace {

constexpr char kScrollBarClass[] = "SCROLLBAR";
constexpr DWORD kTrackRepeatMs = 50;
constexpr DWORD kTrackFirstDelayMs = 300;
enum : int16_t {
    kPartUpArrow = 20,
    kPartDownArrow = 21,
    kPartPageUp = 22,
    kPartPageDown = 23,
};

HWND WindowOfPort(PortRecord* port) {
    return NativeWindowOf(NativeRecordOfPort(port));
}

COLORREF ColourOf(NativeWindowRecord* record, uint32_t colour) {
    if (colour == kPaintBackground) {
        // (-1, -1, -1) is no colour; channels above 0x7FFF read negative.
        const int16_t* c = record ? record->eraseColour : nullptr;
        if (c && !(c[0] == -1 && c[1] == -1 && c[2] == -1))
            return RGB(uint16_t(c[0]) >> 8, uint16_t(c[1]) >> 8, uint16_t(c[2]) >> 8);
        return GetSysColor(COLOR_WINDOW);
    }
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

void Invalidate(PortRecord* port, const RegionRecord* area, uint8_t add) {
    if (add)
        InvalidateNativeRegion(NativeRecordOfPort(port), area);
    else
        ValidatePortRegion(port, area);
}

void MoveNativeChild(PaneRecord*) {}

void* NewBar(PaneRecord* pane, ScrollBarAxis axis, const Rect16* rect) {
    HWND parent = pane ? WindowOfPort(pane->port) : nullptr;
    if (!parent) return nullptr;
    DWORD style = WS_CHILD | (axis == kBarVertical ? SBS_VERT : SBS_HORZ);
    return CreateWindowExA(0, kScrollBarClass, "", style, rect->left, rect->top,
                           rect->right - rect->left, rect->bottom - rect->top, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void MoveBar(void* bar, const Rect16* rect) {
    MoveWindow(static_cast<HWND>(bar), rect->left, rect->top, rect->right - rect->left,
               rect->bottom - rect->top, TRUE);
}

void ShowBar(void* bar, bool show) {
    ShowWindow(static_cast<HWND>(bar), show ? SW_SHOWNA : SW_HIDE);
}

void SetBarValues(void* bar, int32_t minimum, int32_t maximum, int32_t value) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = 0;
    info.nPos = value;
    SetScrollInfo(static_cast<HWND>(bar), SB_CTL, &info, TRUE);
}

void DisposeBar(void* bar) {
    DestroyWindow(static_cast<HWND>(bar));
}

void PaintRegion(PortRecord* port, const RegionRecord* region, uint32_t colour) {
    HWND window = WindowOfPort(port);
    if (!window) return;
    RegionRecord* copy = NewRegion();
    if (!copy) return;
    CombineRegions(copy, region, region, kRegionOr);
    HRGN native = RegionToNative(copy);
    HDC dc = GetDC(window);
    if (native && dc) {
        HBRUSH brush = CreateSolidBrush(ColourOf(NativeRecordOfPort(port), colour));
        FillRgn(dc, native, brush);
        DeleteObject(brush);
    }
    if (dc) ReleaseDC(window, dc);
    DisposeRegion(copy);
}

void FrameRectangle(PortRecord* port, const Rect16* rect, int16_t width, uint32_t colour) {
    HWND window = WindowOfPort(port);
    if (!window) return;
    HDC dc = GetDC(window);
    if (!dc) return;
    HBRUSH brush = CreateSolidBrush(ColourOf(NativeRecordOfPort(port), colour));
    RECT r{rect->left, rect->top, rect->right, rect->bottom};
    for (int16_t i = 0; i < std::max<int16_t>(width, 1) && r.right > r.left && r.bottom > r.top;
         ++i) {
        FrameRect(dc, &r, brush);
        InflateRect(&r, -1, -1);
    }
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

// Displays of 4096 colours or more erase the ring under a 3-D frame.
constexpr int kManyColourBits = 12;

void Frame3D(PortRecord* port, const Rect16* rect, int16_t ringWidth) {
    HWND window = WindowOfPort(port);
    HDC dc = window ? GetDC(window) : nullptr;
    if (!dc) return;
    if (GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) >= kManyColourBits) {
        HBRUSH brush = CreateSolidBrush(ColourOf(NativeRecordOfPort(port), kPaintBackground));
        RECT r{rect->left, rect->top, rect->right, rect->bottom};
        for (int16_t i = 0; i < ringWidth && r.right > r.left && r.bottom > r.top; ++i) {
            FrameRect(dc, &r, brush);
            InflateRect(&r, -1, -1);
        }
        DeleteObject(brush);
    }
    Rect16 inner = GrownRect(*rect, -1);
    DrawFieldFrameOn(dc, &inner);
    ReleaseDC(window, dc);
}

void PaneFocusRing(PortRecord* port, const Rect16* rect, bool show) {
    HWND window = WindowOfPort(port);
    HDC dc = window ? GetDC(window) : nullptr;
    if (!dc) return;
    DrawFocusRingOn(dc, rect, show, ColourOf(NativeRecordOfPort(port), kPaintBackground));
    ReleaseDC(window, dc);
}

void PendingUpdate(PortRecord* port, RegionRecord* out) {
    NativeWindowRecord* record = NativeRecordOfPort(port);
    // While an update is drawn its region is put aside.
    if (record && record->savedUpdate) {
        CombineRegions(out, record->savedUpdate, record->savedUpdate, kRegionOr);
        return;
    }
    PortPendingUpdateLocal(port, out);
}

bool BarInfo(HWND bar, SCROLLBARINFO* info, bool* vertical) {
    info->cbSize = sizeof(*info);
    if (!GetScrollBarInfo(bar, OBJID_CLIENT, info)) return false;
    *vertical = (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) != 0;
    return true;
}

// The part at a point of the bar's parent.
int16_t HitPart(void* handle, Point16 point) {
    HWND bar = static_cast<HWND>(handle);
    if (!IsWindowVisible(bar)) return 0;
    POINT p{point.h, point.v};
    MapWindowPoints(GetParent(bar), bar, &p, 1);
    RECT client;
    GetClientRect(bar, &client);
    if (!PtInRect(&client, p)) return 0;
    SCROLLBARINFO info;
    bool vertical;
    if (!BarInfo(bar, &info, &vertical)) return 0;
    int32_t along = vertical ? p.y : p.x;
    int32_t length = vertical ? client.bottom : client.right;
    int32_t arrow = info.dxyLineButton;
    if (along < arrow) return kPartUpArrow;
    if (along >= length - arrow) return kPartDownArrow;
    if (along < info.xyThumbTop) return kPartPageUp;
    if (along >= info.xyThumbBottom) return kPartPageDown;
    return kPartThumb;
}

int32_t BarValue(void* bar) {
    return GetScrollPos(static_cast<HWND>(bar), SB_CTL);
}

// The value the thumb gives at a mouse position along the bar.
int32_t ThumbValueAt(HWND bar, int32_t along, int32_t grabOffset) {
    SCROLLBARINFO info;
    bool vertical;
    SCROLLINFO range{};
    range.cbSize = sizeof(range);
    range.fMask = SIF_RANGE;
    if (!BarInfo(bar, &info, &vertical) || !GetScrollInfo(bar, SB_CTL, &range)) return 0;
    RECT client;
    GetClientRect(bar, &client);
    int32_t length = vertical ? client.bottom : client.right;
    int32_t thumb = info.xyThumbBottom - info.xyThumbTop;
    int32_t travel = length - 2 * info.dxyLineButton - thumb;
    if (travel <= 0 || range.nMax <= range.nMin) return range.nMin;
    int32_t at = along - grabOffset - info.dxyLineButton;
    int64_t value = range.nMin + int64_t(at) * (range.nMax - range.nMin) / travel;
    return int32_t(std::clamp<int64_t>(value, range.nMin, range.nMax));
}

int16_t TrackBar(void* handle, Point16 point, BarActionProc action, void* data) {
    HWND bar = static_cast<HWND>(handle);
    int16_t part = HitPart(handle, point);
    if (!part) return 0;
    SCROLLBARINFO info;
    bool vertical = true;
    BarInfo(bar, &info, &vertical);
    POINT start{point.h, point.v};
    MapWindowPoints(GetParent(bar), bar, &start, 1);
    int32_t grab = (vertical ? start.y : start.x) - info.xyThumbTop;
    SetCapture(bar);
    DWORD next = GetTickCount();
    bool first = true;
    int16_t released = part;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_LBUTTONUP) {
                // The thumb ends where it is; an arrow or page part only
                // counts when released over it.
                POINT up{short(LOWORD(msg.lParam)), short(HIWORD(msg.lParam))};
                MapWindowPoints(msg.hwnd, GetParent(bar), &up, 1);
                if (part != kPartThumb && HitPart(handle, {int16_t(up.y), int16_t(up.x)}) != part)
                    released = 0;
                goto done;
            }
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                goto done;
            }
            if (msg.message != WM_MOUSEMOVE) DispatchMessageA(&msg);
        }
        if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) break;
        POINT now;
        GetCursorPos(&now);
        ScreenToClient(bar, &now);
        if (part == kPartThumb) {
            int32_t value = ThumbValueAt(bar, vertical ? now.y : now.x, grab);
            if (value != GetScrollPos(bar, SB_CTL)) {
                SetScrollPos(bar, SB_CTL, value, TRUE);
                if (action) action(handle, part, data);
            }
        } else if (GetTickCount() >= next) {
            if (action) action(handle, part, data);
            next = GetTickCount() + (first ? kTrackFirstDelayMs : kTrackRepeatMs);
            first = false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
done:
    ReleaseCapture();
    return released;
}

void DrawOutline(HDC dc, const Rect16& r, int32_t dv, int32_t dh) {
    RECT outline{r.left + dh, r.top + dv, r.right + dh, r.bottom + dv};
    DrawFocusRect(dc, &outline); // inverts: a second draw erases
}

// The grey pattern: alternate pixels, offset on every other row.
HBRUSH GreyPatternBrush() {
    static HBRUSH brush = [] {
        const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
        HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
        HBRUSH made = CreatePatternBrush(bits);
        DeleteObject(bits);
        return made;
    }();
    return brush;
}

// XOR with the grey pattern, rectangle by rectangle: a second call erases.
void InvertRegion(PortRecord* port, const RegionRecord* region) {
    HWND window = WindowOfPort(port);
    if (!window || !region) return;
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, GreyPatternBrush());
    COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    for (int32_t i = 0; i < region->count; ++i) {
        const Rect32& r = region->rects[i];
        PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATINVERT);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
}

void ScrollBits(PortRecord* port, const Rect16* rect, int32_t dh, int32_t dv,
                RegionRecord* update) {
    Rect32 r;
    Rect32FromRect(rect, &r);
    if (ScrollRectInPort(NativeRecordOfPort(port), &r, dh, dv, update) != 0)
        SetRegionToShortRect(update, rect);
}

// The region drawn at once stands in the place of an update being drawn;
// an update already under way is kept aside until the end.
RegionRecord* g_asideUpdate = nullptr;

void BeginDraw(PortRecord* port, const RegionRecord* region) {
    NativeWindowRecord* record = NativeRecordOfPort(port);
    RegionRecord* copy = record ? NewRegion() : nullptr;
    if (!copy) return;
    CombineRegions(copy, region, region, kRegionOr);
    g_asideUpdate = record->savedUpdate;
    record->savedUpdate = copy;
}

void EndDraw(PortRecord* port) {
    NativeWindowRecord* record = NativeRecordOfPort(port);
    if (!record) return;
    if (record->savedUpdate) DisposeRegion(record->savedUpdate);
    record->savedUpdate = g_asideUpdate;
    g_asideUpdate = nullptr;
}

void InvertFrame(PortRecord* port, const Rect16* rect) {
    HWND window = WindowOfPort(port);
    if (!window) return;
    HDC dc = GetDC(window);
    DrawOutline(dc, *rect, 0, 0);
    ReleaseDC(window, dc);
}

Point32 MapPortPoint(PortRecord* port, Point32 point, bool toPort) {
    HWND window = WindowOfPort(port);
    if (!window) return point;
    POINT p{point.h, point.v};
    if (toPort)
        MapWindowPoints(FrameWindowHandle(), window, &p, 1);
    else
        MapWindowPoints(window, FrameWindowHandle(), &p, 1);
    return {p.y, p.x};
}

const PaneBarProcs kDefaultBars{&NewBar,     &MoveBar, &ShowBar,  &SetBarValues,
                                &DisposeBar, &HitPart, &TrackBar, &BarValue};
PaneBarProcs g_bars = kDefaultBars;

void* NewInstalledBar(PaneRecord* pane, ScrollBarAxis axis, const Rect16* rect) {
    return g_bars.newScrollBar(pane, axis, rect);
}
void MoveInstalledBar(void* bar, const Rect16* rect) {
    g_bars.moveScrollBar(bar, rect);
}
void ShowInstalledBar(void* bar, bool show) {
    g_bars.showScrollBar(bar, show);
}
void SetInstalledBarValues(void* bar, int32_t minimum, int32_t maximum, int32_t value) {
    g_bars.setScrollBarValues(bar, minimum, maximum, value);
}
void DisposeInstalledBar(void* bar) {
    g_bars.disposeScrollBar(bar);
}
int16_t InstalledBarHitPart(void* bar, Point16 point) {
    return g_bars.barHitPart(bar, point);
}
int16_t TrackInstalledBar(void* bar, Point16 point, BarActionProc action, void* data) {
    return g_bars.trackBar(bar, point, action, data);
}
int32_t InstalledBarValue(void* bar) {
    return g_bars.barValue(bar);
}

Point32 PortLocal(PortRecord* port, Point32 point) {
    return MapPortPoint(port, point, true);
}

Point32 PortGlobal(PortRecord* port, Point32 point) {
    return MapPortPoint(port, point, false);
}

} // namespace

void SetPaneBarProcs(const PaneBarProcs* procs) {
    PaneBarProcs given = procs ? *procs : PaneBarProcs{};
    PickProc(g_bars.newScrollBar, given.newScrollBar, kDefaultBars.newScrollBar);
    PickProc(g_bars.moveScrollBar, given.moveScrollBar, kDefaultBars.moveScrollBar);
    PickProc(g_bars.showScrollBar, given.showScrollBar, kDefaultBars.showScrollBar);
    PickProc(g_bars.setScrollBarValues, given.setScrollBarValues, kDefaultBars.setScrollBarValues);
    PickProc(g_bars.disposeScrollBar, given.disposeScrollBar, kDefaultBars.disposeScrollBar);
    PickProc(g_bars.barHitPart, given.barHitPart, kDefaultBars.barHitPart);
    PickProc(g_bars.trackBar, given.trackBar, kDefaultBars.trackBar);
    PickProc(g_bars.barValue, given.barValue, kDefaultBars.barValue);
}

const PaneBarProcs& DefaultPaneBarProcs() {
    return kDefaultBars;
}

const PaneHost* NativePaneHost() {
    static const PaneHost host = [] {
        PaneHost h{};
        h.invalidate = &Invalidate;
        h.moveNativeChild = &MoveNativeChild;
        h.newScrollBar = &NewInstalledBar;
        h.moveScrollBar = &MoveInstalledBar;
        h.showScrollBar = &ShowInstalledBar;
        h.setScrollBarValues = &SetInstalledBarValues;
        h.disposeScrollBar = &DisposeInstalledBar;
        h.paintRegion = &PaintRegion;
        h.frameRect = &FrameRectangle;
        h.pendingUpdate = &PendingUpdate;
        h.barHitPart = &InstalledBarHitPart;
        h.trackBar = &TrackInstalledBar;
        h.barValue = &InstalledBarValue;
        h.portLocal = &PortLocal;
        h.portGlobal = &PortGlobal;
        h.frame3D = &Frame3D;
        h.focusRing = &PaneFocusRing;
        h.invertRegion = &InvertRegion;
        h.scrollRect = &ScrollBits;
        h.beginDraw = &BeginDraw;
        h.endDraw = &EndDraw;
        h.invertFrame = &InvertFrame;
        return h;
    }();
    return &host;
}

void InstallNativePaneHost() {
    SetPaneHost(NativePaneHost());
}
