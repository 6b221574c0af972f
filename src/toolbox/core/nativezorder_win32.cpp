// Z-order walks, activation, parts, sizing, modal marking and update
// regions of the layer's native windows.
#include "toolbox/core/nativezorder_win32.h"

#include "toolbox/core/activation.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/regionnative_win32.h"
#include "toolbox/core/standardwindow.h"
#include "toolbox/core/windowclass.h"

namespace {
constexpr int32_t kRegionUnion = 2;
constexpr int32_t kRegionDifference = 3;

bool IsWindowRecord(const NativeWindowRecord* record) {
    return record && record->state.dcKind == kStateDcWindow && NativeWindowOf(record);
}

NativeWindowRecord* LayerRecord(HWND window) {
    if (GetRecordIdProperty(window) != uintptr_t(GetCurrentProcessId())) return nullptr;
    return GetWindowObjectProperty(window);
}

NativeWindowRecord* FirstMdiChild() {
    if (!MdiClientHandle()) return nullptr;
    for (HWND w = GetWindow(MdiClientHandle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (NativeWindowRecord* r = LayerRecord(w)) return r;
    return nullptr;
}

NativeWindowRecord* NextPopupFrom(HWND start) {
    for (HWND w = start; w && w != FrameWindowHandle(); w = GetWindow(w, GW_HWNDNEXT))
        if (NativeWindowRecord* r = LayerRecord(w)) return r;
    return nullptr;
}

class EraseAllowed {
  public:
    EraseAllowed() { RaiseEraseAllowed(); }
    ~EraseAllowed() { LowerEraseAllowed(); }
};

void ClientRegion(NativeWindowRecord* record, RegionRecord* out) {
    RECT client;
    GetClientRect(NativeWindowOf(record), &client);
    SetRegionToBounds(out, client.left, client.top, client.right, client.bottom);
}

int32_t HookBeginModal(void* window) {
    return BeginNativeModal(static_cast<NativeWindowRecord*>(window));
}
int32_t HookEndModal(void* window) {
    return EndNativeModal(static_cast<NativeWindowRecord*>(window));
}
int16_t HookFindPart(Point16 where, void** window) {
    NativeWindowRecord* record = nullptr;
    int16_t part = FindWindowPart(where, &record);
    *window = record;
    return part;
}
void* HookFront() {
    return FrontNonFloatingWindow();
}
int32_t OpsType(void* w) {
    return static_cast<NativeWindowRecord*>(w)->nativeType;
}
bool OpsIsFront(void* w) {
    auto* r = static_cast<NativeWindowRecord*>(w);
    return FrontNativeWindowOfType(r->nativeType) == r;
}
void OpsActivate(void* w) {
    ActivateNativeWindow(static_cast<NativeWindowRecord*>(w));
}
void OpsDispose(void* w) {
    DisposeNativeWindow(static_cast<NativeWindowRecord*>(w));
}
void OpsBeginUpdate(void* w) {
    BeginNativeUpdate(static_cast<NativeWindowRecord*>(w));
}
void OpsEndUpdate(void* w) {
    EndNativeUpdate(static_cast<NativeWindowRecord*>(w));
}
void OpsDrag(void* w, Point16 where) {
    DragNativeWindow(static_cast<NativeWindowRecord*>(w), where);
}
bool OpsTrack(void* w, int16_t part, Point16 where) {
    return TrackTitleBarButton(static_cast<NativeWindowRecord*>(w), part, where);
}
void OpsGrow(void* w, Point16 where) {
    Rect16 limits{0, 0, 0x7FFF, 0x7FFF};
    GrowNativeWindow(static_cast<NativeWindowRecord*>(w), where, &limits, nullptr);
}
void OpsZoom(void* w, int16_t part) {
    ZoomNativeWindow(static_cast<NativeWindowRecord*>(w), part);
}
void OpsMinimise(void* w) {
    MinimiseNativeWindow(static_cast<NativeWindowRecord*>(w));
}
} // namespace

NativeWindowRecord* FirstNativeWindow() {
    HWND frame = FrameWindowHandle();
    NativeWindowRecord* popup = frame ? NextPopupFrom(GetWindow(frame, GW_HWNDFIRST)) : nullptr;
    return popup ? popup : FirstMdiChild();
}

NativeWindowRecord* NextNativeWindow(NativeWindowRecord* record) {
    HWND window = NativeWindowOf(record);
    if (!window) return nullptr;
    if (IsMdiChildWindow(window)) {
        for (HWND w = GetWindow(window, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            if (NativeWindowRecord* r = LayerRecord(w)) return r;
        return nullptr;
    }
    NativeWindowRecord* popup = NextPopupFrom(GetWindow(window, GW_HWNDNEXT));
    return popup ? popup : FirstMdiChild();
}

NativeWindowRecord* NextNativeWindowOfType(NativeWindowRecord* record, int32_t type,
                                           bool visibleOnly) {
    for (NativeWindowRecord* r = record ? NextNativeWindow(record) : FirstNativeWindow(); r;
         r = NextNativeWindow(r)) {
        if (type != kNativeTypeAny && r->nativeType != type) continue;
        if (visibleOnly && !IsWindowVisible(NativeWindowOf(r))) continue;
        return r;
    }
    return nullptr;
}

NativeWindowRecord* FrontNativeWindowOfType(int32_t type) {
    return NextNativeWindowOfType(nullptr, type, true);
}

NativeWindowRecord* FrontNonFloatingWindow() {
    for (NativeWindowRecord* r = FirstNativeWindow(); r; r = NextNativeWindow(r))
        if (r->nativeType != kNativeTypeFloating && r->nativeType != kNativeTypeTool &&
            IsWindowVisible(NativeWindowOf(r)))
            return r;
    return nullptr;
}

bool IsNativeWindowVisible(NativeWindowRecord* record) {
    return IsWindowRecord(record) && (NativeVisibleAttribute(NativeWindowOf(record)) & 1);
}

void ActivateNativeWindow(NativeWindowRecord* record) {
    if (!IsWindowRecord(record)) return;
    EraseAllowed erase;
    HWND window = NativeWindowOf(record);
    if (IsMdiChildWindow(window))
        SendMessageA(MdiClientHandle(), WM_MDIACTIVATE, WPARAM(window), 0);
    else if (!(record->options & kOptionNeverActivates))
        SetActiveWindow(window);
    else
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SelectNativeWindow(NativeWindowRecord* record) {
    if (!IsWindowRecord(record)) return;
    HWND window = NativeWindowOf(record);
    record->stateBits &= ~kNativeHiddenByDeactivation;
    if (IsWindowVisible(window)) return;
    EraseAllowed erase;
    if (record->nativeType == kNativeTypeFloating && !IsApplicationActive()) {
        record->stateBits |= kNativeHiddenByDeactivation;
        return;
    }
    if (IsMdiChildWindow(window)) {
        SendMessageA(MdiClientHandle(), WM_MDIACTIVATE, WPARAM(window), 0);
        ShowWindow(window, SW_SHOW);
        return;
    }
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW;
    if (record->options & kOptionNeverActivates) flags |= SWP_NOACTIVATE;
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, flags);
}

void HideNativeWindow(NativeWindowRecord* record) {
    if (!IsWindowRecord(record)) return;
    HWND window = NativeWindowOf(record);
    if (!IsWindowVisible(window)) return;
    EraseAllowed erase;
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if (NativeWindowRecord* front = FrontNonFloatingWindow()) ActivateNativeWindow(front);
}

// The first visible window in z-order among `first` and its next
// siblings whose outer bounds hold the screen point.
HWND VisibleWindowAt(HWND first, POINT screen) {
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        RECT r;
        if (IsWindowVisible(w) && GetWindowRect(w, &r) && PtInRect(&r, screen)) return w;
    }
    return nullptr;
}

int16_t FindWindowPart(Point16 where, NativeWindowRecord** out) {
    *out = nullptr;
    HWND frame = FrameWindowHandle();
    POINT p{where.h, where.v};
    if (frame) ClientToScreen(frame, &p);
    HWND top = VisibleWindowAt(GetTopWindow(nullptr), p);
    if (!top || GetRecordIdProperty(top) != uintptr_t(GetCurrentProcessId())) return kPartNone;
    HWND layer = top;
    if (top == frame) {
        if (SendMessageA(frame, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) == HTMENU)
            return kPartMenuBar;
        HWND client = MdiClientHandle();
        layer = client ? VisibleWindowAt(GetWindow(client, GW_CHILD), p) : nullptr;
        if (!layer) return kPartNone;
    }
    POINT local = p;
    ScreenToClient(layer, &local);
    HWND hit = ChildWindowFromPointEx(layer, local, CWP_SKIPINVISIBLE);
    NativeWindowRecord* record = GetWindowObjectProperty(layer);
    if (!record) return kPartNone;
    LRESULT code = SendMessageA(layer, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    int16_t part = kPartNone;
    switch (code) {
    case HTCLIENT:
        part = (record->sizeBox && hit == record->sizeBox) ? kPartGrow : kPartContent;
        break;
    case HTCAPTION:
        part = kPartCaption;
        break;
    case HTMINBUTTON:
        part = IsIconic(layer) ? kPartZoomOut : kPartMinimise;
        break;
    case HTMAXBUTTON:
        part = IsZoomed(layer) ? kPartZoomOut : kPartZoomIn;
        break;
    case HTCLOSE:
        part = kPartClose;
        break;
    default:
        if (code == HTGROWBOX || (code >= HTLEFT && code <= HTBOTTOMRIGHT)) part = kPartGrow;
        break;
    }
    if (part != kPartNone) *out = record;
    return part;
}

void SizeNativeWindow(NativeWindowRecord* record, int32_t width, int32_t height, bool keepUpdate) {
    if (!IsWindowRecord(record) || width == 0 || height == 0) return;
    HWND window = NativeWindowOf(record);
    if (IsIconic(window) || IsZoomed(window)) return;
    if (!keepUpdate) CollectUpdateRegionOf(window);
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, DWORD(GetWindowLongA(window, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongA(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (keepUpdate)
        CollectUpdateRegionOf(window);
    else
        ValidateRect(window, nullptr);
}

int32_t GetNativeWindowRegion(NativeWindowRecord* record, int32_t code, RegionRecord* out) {
    if (!out) return kRegionNoMemory;
    HWND window = NativeWindowOf(record);
    switch (code) {
    case kRegionCodeOuter:
    case kRegionCodeContent:
    case kRegionCodeContentAlways: {
        RECT r;
        if (code == kRegionCodeOuter)
            GetWindowRect(window, &r);
        else {
            GetClientRect(window, &r);
            MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
        }
        HWND base = MdiClientHandle() ? MdiClientHandle() : FrameWindowHandle();
        MapWindowPoints(nullptr, base, reinterpret_cast<POINT*>(&r), 2);
        if (code == kRegionCodeContent && IsIconic(window))
            SetRegionEmpty(out);
        else
            SetRegionToBounds(out, r.left, r.top, r.right, r.bottom);
        return 0;
    }
    case kRegionCodeUpdate:
        if (record->pendingUpdate)
            CombineRegions(out, record->pendingUpdate, record->pendingUpdate, kRegionUnion);
        else
            SetRegionEmpty(out);
        return 0;
    default:
        return kRegionCodeUnknown;
    }
}

void AddToPendingUpdate(NativeWindowRecord* record, const RegionRecord* region) {
    if (!IsWindowRecord(record) || !region || IsRegionEmpty(region)) return;
    RegionRecord* added = NewRegion();
    RegionRecord* client = NewRegion();
    if (added && client) {
        CombineRegions(added, region, region, kRegionUnion);
        OffsetRegion(added, -record->state.origin.h, -record->state.origin.v);
        ClientRegion(record, client);
        CombineRegions(added, added, client, 1);
        if (!IsRegionEmpty(added)) {
            if (!record->pendingUpdate) record->pendingUpdate = NewRegion();
            if (record->pendingUpdate)
                CombineRegions(record->pendingUpdate, record->pendingUpdate, added, kRegionUnion);
        }
    }
    if (added) DisposeRegion(added);
    if (client) DisposeRegion(client);
}

void RemoveFromPendingUpdate(NativeWindowRecord* record, const RegionRecord* region) {
    if (!IsWindowRecord(record) || !region || !record->pendingUpdate) return;
    RegionRecord* removed = NewRegion();
    if (!removed) return;
    CombineRegions(removed, region, region, kRegionUnion);
    OffsetRegion(removed, -record->state.origin.h, -record->state.origin.v);
    CombineRegions(record->pendingUpdate, record->pendingUpdate, removed, kRegionDifference);
    DisposeRegion(removed);
}

void InvalidateNativeRect(NativeWindowRecord* record, const Rect32* rect) {
    if (!rect || Rect32IsEmpty(rect)) return;
    RegionRecord* region = NewRegion();
    if (!region) return;
    SetRegionToRect(region, rect);
    AddToPendingUpdate(record, region);
    DisposeRegion(region);
}

void BeginNativeUpdate(NativeWindowRecord* record) {
    if (!IsWindowRecord(record)) return;
    CollectUpdateRegionOf(NativeWindowOf(record));
    if (record->savedUpdate) DisposeRegion(record->savedUpdate);
    record->savedUpdate = record->pendingUpdate;
    record->pendingUpdate = nullptr;
    if (record->savedUpdate)
        OffsetRegion(record->savedUpdate, record->state.origin.h, record->state.origin.v);
}

void EndNativeUpdate(NativeWindowRecord* record) {
    if (!record || !record->savedUpdate) return;
    DisposeRegion(record->savedUpdate);
    record->savedUpdate = nullptr;
}

int32_t ScrollWindowContent(NativeWindowRecord* record, const Rect32* rect, int32_t dx, int32_t dy,
                            RegionRecord* update) {
    if (update) SetRegionEmpty(update);
    if (!IsWindowRecord(record)) return kScrollNotAWindow;
    if ((dx == 0 && dy == 0) || !rect || Rect32IsEmpty(rect)) return 0;
    HWND window = NativeWindowOf(record);
    RECT area{rect->left, rect->top, rect->right, rect->bottom};
    HRGN uncovered = CreateRectRgn(0, 0, 0, 0);
    int result = ScrollWindowEx(window, dx, dy, &area, &area, uncovered, nullptr, 0);
    int32_t status = 0;
    if (result == ERROR)
        status = int32_t(GetLastError());
    else if (update)
        RegionFromNative(update, uncovered);
    DeleteObject(uncovered);
    return status;
}

namespace {
POINT ScreenPointOf(Point16 where) {
    POINT p{where.h, where.v};
    if (HWND frame = FrameWindowHandle()) ClientToScreen(frame, &p);
    return p;
}

bool HitMatches(int16_t part, LRESULT hit) {
    switch (part) {
    case kPartClose:
        return hit == HTCLOSE;
    case kPartZoomIn:
    case kPartZoomOut:
        return hit == HTMAXBUTTON || (part == kPartZoomOut && hit == HTMINBUTTON);
    case kPartMinimise:
        return hit == HTMINBUTTON;
    default:
        return false;
    }
}
} // namespace

bool TrackTitleBarButton(NativeWindowRecord* record, int16_t part, Point16 where) {
    if (!IsWindowRecord(record)) return false;
    HWND window = NativeWindowOf(record);
    POINT p = ScreenPointOf(where);
    LPARAM at = MAKELPARAM(p.x, p.y);
    LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, at);
    if (!HitMatches(part, hit)) return false;
    ActivateNativeWindow(record);
    SetTitleButtonMarker(kTitleButtonTracking);
    DefWindowProcA(window, WM_NCLBUTTONDOWN, WPARAM(hit), at);
    int32_t chosen = TitleButtonMarker();
    SetTitleButtonMarker(0);
    return chosen == part;
}

void ZoomNativeWindow(NativeWindowRecord* record, int16_t part) {
    if (!IsWindowRecord(record) || !IsMdiChildWindow(NativeWindowOf(record))) return;
    HWND window = NativeWindowOf(record);
    EraseAllowed erase;
    if (part == kPartZoomIn)
        SendMessageA(MdiClientHandle(), WM_MDIMAXIMIZE, WPARAM(window), 0);
    else if (part == kPartZoomOut && (IsZoomed(window) || IsIconic(window)))
        SendMessageA(MdiClientHandle(), WM_MDIRESTORE, WPARAM(window), 0);
    else if (part == kPartMinimise)
        ShowWindow(window, SW_MINIMIZE);
}

void MinimiseNativeWindow(NativeWindowRecord* record) {
    if (!IsWindowRecord(record)) return;
    EraseAllowed erase;
    ShowWindow(NativeWindowOf(record), SW_MINIMIZE);
}

void DragNativeWindow(NativeWindowRecord* record, Point16 where) {
    if (!IsWindowRecord(record)) return;
    HWND window = NativeWindowOf(record);
    POINT p = ScreenPointOf(where);
    LPARAM at = MAKELPARAM(p.x, p.y);
    if (SendMessageA(window, WM_NCHITTEST, 0, at) != HTCAPTION) return;
    ReleaseCapture();
    ActivateNativeWindow(record);
    bool keep = (record->options & kOptionNeverActivates) != 0;
    if (keep) RaiseKeepFrameActive();
    DefWindowProcA(window, WM_NCLBUTTONDOWN, HTCAPTION, at);
    if (keep) LowerKeepFrameActive();
}

int32_t ScrollRectInPort(NativeWindowRecord* record, const Rect32* rect, int32_t dh, int32_t dv,
                         RegionRecord* update) {
    if (!IsWindowRecord(record)) return kScrollNotAWindow;
    if (!rect || Rect32IsEmpty(rect)) return 0;
    RegionRecord* uncovered = update ? update : NewRegion();
    if (!uncovered) return kRegionNoMemory;
    Rect32 moved = *rect;
    OffsetRect32(&moved, dh, dv);
    Rect32 kept;
    int32_t status = 0;
    if (!SectRect32(&moved, rect, &kept))
        SetRegionToRect(uncovered, rect);
    else
        status = ScrollWindowContent(record, rect, dh, dv, uncovered);
    HWND window = NativeWindowOf(record);
    if (!IsRegionEmpty(uncovered)) {
        if (HRGN native = RegionToNative(uncovered)) {
            HDC dc = GetDC(window);
            FillRgn(dc, native, GetSysColorBrush(COLOR_WINDOW));
            ReleaseDC(window, dc);
        }
    }
    if (uncovered != update) DisposeRegion(uncovered);
    return status;
}

int32_t ScrollRectAndUpdate(const Rect32* rect, int32_t dh, int32_t dv, uint32_t flags,
                            RegionRecord* update) {
    auto* state = static_cast<DrawingState*>(DrawingLayer().currentPort());
    if (!state || state->dcKind != kStateDcWindow) return kScrollNotAWindow;
    // A window's drawing state opens its native window record.
    auto* record = reinterpret_cast<NativeWindowRecord*>(state);
    RegionRecord* uncovered = update ? update : NewRegion();
    if (!uncovered) return kRegionNoMemory;
    int32_t status = ScrollRectInPort(record, rect, dh, dv, uncovered);
    if (status == 0 && (flags & kScrollAddToPending)) AddToPendingUpdate(record, uncovered);
    if (uncovered != update) DisposeRegion(uncovered);
    return status;
}

bool GrowNativeWindow(NativeWindowRecord* record, Point16 where, const Rect16* limits,
                      Rect16* newBounds) {
    if (newBounds) *newBounds = Rect16{0, 0, 0, 0};
    if (!IsWindowRecord(record)) return false;
    HWND window = NativeWindowOf(record);
    POINT p = ScreenPointOf(where);
    LPARAM at = MAKELPARAM(p.x, p.y);
    LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, at);
    bool onSizeBox = false;
    if (hit == HTCLIENT && record->sizeBox) {
        RECT box;
        GetWindowRect(record->sizeBox, &box);
        onSizeBox = PtInRect(&box, p) != 0;
    }
    bool border = hit == HTGROWBOX || (hit >= HTLEFT && hit <= HTBOTTOMRIGHT);
    if (!onSizeBox && !border) return false;
    RECT before;
    GetWindowRect(window, &before);
    SetSizingWindow(window, limits);
    bool keep = (record->options & kOptionNeverActivates) != 0;
    if (keep) RaiseKeepFrameActive();
    if (onSizeBox) {
        POINT local = p;
        ScreenToClient(record->sizeBox, &local);
        SendMessageA(record->sizeBox, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
    } else {
        DefWindowProcA(window, WM_NCLBUTTONDOWN, WPARAM(hit), at);
    }
    if (keep) LowerKeepFrameActive();
    SetSizingWindow(nullptr, nullptr);
    RECT after;
    GetWindowRect(window, &after);
    if (EqualRect(&before, &after)) return false;
    if (newBounds) {
        RECT client;
        GetClientRect(window, &client);
        MapWindowPoints(window, FrameWindowHandle(), reinterpret_cast<POINT*>(&client), 2);
        NativeRect native{client.left, client.top, client.right, client.bottom};
        RectFromNativeRect(&native, newBounds);
    }
    return true;
}

int32_t BeginNativeModal(NativeWindowRecord* record) {
    if (!IsNativeWindowVisible(record)) return kModalNotVisible;
    if (record->stateBits & kNativeRunsModalLoop) return kModalAlready;
    record->stateBits |= kNativeRunsModalLoop;
    return 0;
}

int32_t EndNativeModal(NativeWindowRecord* record) {
    if (!record || !(record->stateBits & kNativeRunsModalLoop)) return kModalNotModal;
    record->stateBits &= ~kNativeRunsModalLoop;
    return 0;
}

void InstallNativeZOrderHooks() {
    LoopWindowHooks hooks = LoopHooks();
    hooks.beginNativeModal = &HookBeginModal;
    hooks.endNativeModal = &HookEndModal;
    hooks.findWindowPart = &HookFindPart;
    hooks.frontNonFloatingWindow = &HookFront;
    SetLoopWindowHooks(&hooks);
    NativeWindowOps ops = NativeOps();
    ops.nativeType = &OpsType;
    ops.isFrontOfType = &OpsIsFront;
    ops.activate = &OpsActivate;
    ops.dispose = &OpsDispose;
    ops.beginUpdate = &OpsBeginUpdate;
    ops.endUpdate = &OpsEndUpdate;
    ops.minimise = &OpsMinimise;
    ops.drag = &OpsDrag;
    ops.trackTitleButton = &OpsTrack;
    ops.zoom = &OpsZoom;
    ops.grow = &OpsGrow;
    SetNativeWindowOps(&ops);
}
