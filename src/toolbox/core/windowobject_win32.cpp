// Window objects over native windows.
//
// A top-level window object is a native window of the layer (made hidden),
// a port record on the port list, the root pane sized to the client area
// and the record; the native record keeps the window object so the z-order
// walk finds it.
#include "toolbox/core/windowobject_win32.h"

#include <windows.h>

#include "toolbox/core/growarray.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/mousefollow.h"
#include "toolbox/core/nativezorder_win32.h"
#include "toolbox/core/panehost_win32.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portdispatch.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/portupdate_win32.h"
#include "toolbox/core/standardwindow.h"
#include "toolbox/core/windowclass.h"
#include "toolbox/core/windowcreate.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowframe_win32.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowfocus.h"
#include "toolbox/core/windowidle.h"
#include "toolbox/core/windowkinds.h"
#include "toolbox/core/windowlist.h"

namespace {

constexpr uint32_t kPortSizingFrame = 2;
constexpr uint32_t kNativeSizingFrame = 0x10;
constexpr int32_t kFrameId = -1;
constexpr int32_t kDisabledIdsPerStep = 4;
constexpr int16_t kPositionInset = 2;

NativeWindowRecord* RecordOf(const WindowObject* window) {
    if (!window || window->type != kWindowTypeNative || !window->port) return nullptr;
    return static_cast<NativeWindowRecord*>(static_cast<PortRecord*>(window->port)->nativeWindow);
}

WindowObject* ObjectOf(NativeWindowRecord* record) {
    return record ? static_cast<WindowObject*>(record->windowObject) : nullptr;
}

WindowObject* WalkFrom(NativeWindowRecord* record) {
    for (; record; record = NextNativeWindow(record))
        if (WindowObject* w = ObjectOf(record)) return w;
    return nullptr;
}

WindowObject* FirstWindow() {
    return WalkFrom(FirstNativeWindow());
}

WindowObject* NextWindow(WindowObject* window) {
    NativeWindowRecord* record = RecordOf(RootWindowObject(window));
    return record ? WalkFrom(NextNativeWindow(record)) : nullptr;
}

bool NativeVisible(const WindowObject* window) {
    NativeWindowRecord* record = RecordOf(window);
    return record && IsWindowVisible(NativeWindowOf(record));
}

void HideNative(WindowObject* window) {
    if (NativeWindowRecord* record = RecordOf(window)) HideNativeWindow(record);
}

void ShowNative(WindowObject* window, bool activate) {
    NativeWindowRecord* record = RecordOf(window);
    if (!record) return;
    if (activate)
        SelectNativeWindow(record);
    else
        ShowWindow(NativeWindowOf(record), SW_SHOWNA);
}

void DisposeNative(WindowObject* window) {
    auto* port = static_cast<PortRecord*>(window->port);
    if (!port) return;
    auto* record = static_cast<NativeWindowRecord*>(port->nativeWindow);
    if (record) record->windowObject = nullptr;
    WindowIdleActivate(port, false);
    DisposePortRecord(port);
    DisposeNativeWindow(record);
    FreeHeapBlock(port);
    window->port = nullptr;
}

HWND WindowOfId(int32_t id) {
    if (id == kFrameId) return FrameWindowHandle();
    return NativeWindowOf(RecordOf(WindowObjectFromId(id)));
}

void UpdateNow(WindowObject* window) {
    if (window->type == kWindowTypeNative && window->port)
        UpdatePortNow(static_cast<PortRecord*>(window->port));
}

void EnableById(int32_t id) {
    if (HWND w = WindowOfId(id)) SetWindowDisabled(w, true);
}

uint32_t PortNativeOptions(void* nativeWindow) {
    return nativeWindow ? static_cast<NativeWindowRecord*>(nativeWindow)->options : 0;
}

EventReceiver* PortReceiver(void* nativeWindow) {
    return nativeWindow ? &static_cast<NativeWindowRecord*>(nativeWindow)->eventTarget : nullptr;
}

Point16 RootLimit(PortRecord* port, bool upper) {
    if (!port->rootPane) return upper ? Point16{kPaneCoordMax, kPaneCoordMax} : Point16{0, 0};
    Rect16 limits = PaneSizeLimits(port->rootPane);
    return upper ? Point16{limits.bottom, limits.right} : Point16{limits.top, limits.left};
}

void TellRoot(PortRecord* port, int32_t value) {
    if (port->rootPane)
        SendPaneMessage(port->rootPane, kPaneMessageResized,
                        reinterpret_cast<void*>(intptr_t(value)));
}

void SizeRoot(PortRecord* port, const Rect16* content) {
    if (port->rootPane)
        ResizePane(port->rootPane, int16_t(content->bottom - content->top),
                   int16_t(content->right - content->left));
}

void ClientSize(NativeWindowRecord* record, int16_t* height, int16_t* width) {
    RECT client{};
    GetClientRect(NativeWindowOf(record), &client);
    *height = int16_t(client.bottom - client.top);
    *width = int16_t(client.right - client.left);
}

// The root pane follows the client area of a resized native window.
void PortResized(NativeWindowRecord* record) {
    PortRecord* port = FindPortOfNativeWindow(record);
    if (!port || !port->rootPane) return;
    int16_t height, width;
    ClientSize(record, &height, &width);
    ResizePane(port->rootPane, height, width);
}

// The system's close command becomes a close record for the port.
bool PortSysCommand(NativeWindowRecord* record, WPARAM command) {
    constexpr WPARAM kCommandMask = 0xFFF0;
    if ((command & kCommandMask) != SC_CLOSE) return false;
    PortRecord* port = FindPortOfNativeWindow(record);
    if (!port) return false;
    OsEventRecord close;
    OsNullRecord(&close);
    close.what = kPortWhatClose;
    close.message = uintptr_t(record);
    DispatchToEventHandlers(port, &close);
    return true;
}

} // namespace

int32_t WindowObjectOpen(bool, int32_t nativeType, uint32_t options, const Rect16* rect,
                         WindowObject* window, uint32_t portFlags, PortEventProcType proc,
                         PortRecord** out) {
    *out = nullptr;
    HidePortHelpTag();
    NativeWindowRecord* record = nullptr;
    int32_t result =
        CreateNativeWindowOfType(nativeType, options | kOptionEventTarget, rect, &record);
    if (result != 0) return result;
    InstallStandardWindowHandler(&record->eventTarget);
    HeapPool* pool = window ? window->pool : DefaultHeapPool();
    auto* port = static_cast<PortRecord*>(NewPointerBlockClear(pool, int32_t(sizeof(PortRecord))));
    if (!port) {
        DisposeNativeWindow(record);
        return kEventNoMemory;
    }
    if (record->options & kNativeSizingFrame) portFlags |= kPortSizingFrame;
    WindowObjectLink(port, record, portFlags, proc);
    port->owner = window;
    record->windowObject = window;
    record->resizeProc = &PortResized;
    record->sysCommandProc = &PortSysCommand;
    *out = port;
    return 0;
}

void InstallWindowObjectLayer() {
    InstallNativePaneHost();
    WindowNativeProcs procs{};
    procs.firstWindow = &FirstWindow;
    procs.nextWindow = &NextWindow;
    procs.nativeVisible = &NativeVisible;
    procs.hideNative = &HideNative;
    procs.showNative = &ShowNative;
    procs.disposeNative = &DisposeNative;
    procs.enableWindow = &EnableById;
    procs.setCursor = &SetCursorFromResource;
    procs.updateNow = &UpdateNow;
    SetWindowNativeProcs(&procs);
    PortHooks hooks{};
    hooks.nativeOptions = &PortNativeOptions;
    hooks.nativeReceiver = &PortReceiver;
    hooks.rootPaneLimit = &RootLimit;
    hooks.tellRootPane = &TellRoot;
    hooks.sizeRootPane = &SizeRoot;
    hooks.mouseMovedFollowUp = &SendMouseMovedRecord;
    SetPortHooks(&hooks);
    InstallMouseFollowUp();
    SetKeyCommandSender(&SendKeyCommandToFocus);
}

void SetCursorFromResource(int16_t id) {
    HCURSOR cursor = nullptr;
    if (id) cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    if (!cursor) cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    SetCursor(cursor);
}

void RunPendingEvents() {
    UpdateWindowsNow();
}

WindowObject* NewWindowObjectEx(HeapPool* pool, uint8_t kind, uint8_t variant, uint32_t options,
                                int16_t applicationTag, uint32_t flags, WindowObject* behind,
                                const Rect16* content, const char* title, int16_t iconId,
                                void* userData, WindowEventCallback callback) {
    OneShotCreationWords words = TakeOneShotCreationWords();
    if (!content) return nullptr;
    variant = NormalizeWindowVariant(kind, variant);
    NativeWindowType type = NativeWindowTypeOf(kind, variant, options);
    Rect16 rect = *content;
    ScrollBarSpace(kind, variant, options, ScrollBarThickness(), &rect);
    if (iconId > 0) SetNextWindowIcon(iconId);
    PortRecord* port = nullptr;
    if (WindowObjectOpen(false, type.type, type.options, &rect, nullptr,
                         WindowNativeFlags(words.nativeFlags, options, kind), &PortEventProc,
                         &port) != 0)
        return nullptr;
    auto* record = static_cast<NativeWindowRecord*>(port->nativeWindow);
    HWND window = NativeWindowOf(record);
    if (behind && behind != kBehindNone)
        if (HWND after = NativeWindowOf(RecordOf(behind)))
            SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (title) SetNativeWindowTitle(record, title);
    int16_t height, width;
    ClientSize(record, &height, &width);
    WindowCreation params{kind, variant, options, applicationTag, flags, userData, callback};
    WindowObject* object = AttachWindowObject(pool, port, &params, &words, height, width);
    if (!object) {
        if (FindPortOfNativeWindow(record)) {
            DisposePortRecord(port);
            DisposeNativeWindow(record);
            FreeHeapBlock(port);
        }
        return nullptr;
    }
    record->windowObject = object;
    return object;
}

WindowObject* NewDocumentWindow(uint32_t options, const Rect16* content, const char* title,
                                int16_t iconId, uint32_t flags, int16_t applicationTag,
                                void* userData, WindowEventCallback callback) {
    Rect16 place;
    if (!content) {
        DefaultWindowPosition(kKindDocument, 0, options, &place);
        content = &place;
    }
    return NewWindowObjectEx(DefaultHeapPool(), kKindDocument, 0, options, applicationTag, flags,
                             kBehindNone, content, title, iconId, userData, callback);
}

void DefaultWindowPosition(uint8_t kind, uint8_t variant, uint32_t, Rect16* out) {
    RECT area{};
    bool mdi = kind == kKindDocument || (kind == kKindDialog && variant == 1);
    if (mdi && MdiClientHandle())
        GetClientRect(MdiClientHandle(), &area);
    else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        GetClientRect(GetDesktopWindow(), &area);
    *out = {int16_t(area.top + kPositionInset), int16_t(area.left + kPositionInset),
            int16_t(area.bottom - kPositionInset), int16_t(area.right - kPositionInset)};
}

int32_t WindowRectOnScreen(uint8_t kind, uint8_t variant, uint32_t options, const Rect16* rect) {
    if (!rect || RectIsEmpty(rect)) return kRectOffScreen;
    Rect16 structure = *rect;
    StructureRectFromContent(kind, variant, options, &structure);
    RECT outer{structure.left, structure.top, structure.right, structure.bottom};
    Rect16 area;
    DefaultWindowPosition(kind, variant, options, &area);
    RECT screen{area.left - kPositionInset, area.top - kPositionInset, area.right + kPositionInset,
                area.bottom + kPositionInset};
    RECT common{};
    if (!IntersectRect(&common, &outer, &screen)) return kRectOffScreen;
    return EqualRect(&common, &outer) ? kRectWhollyOnScreen : kRectPartlyOnScreen;
}

void DisableOtherWindows(WindowObject* window) {
    NativeWindowRecord* own = RecordOf(window);
    if (!own) return;
    GrowArray list = NewGrowArray(window->pool, int32_t(sizeof(int32_t)), kDisabledIdsPerStep);
    if (!list) return;
    bool mdiChild = IsMdiChildWindow(NativeWindowOf(own));
    for (NativeWindowRecord* r = NextNativeWindow(own); r; r = NextNativeWindow(r)) {
        HWND w = NativeWindowOf(r);
        if (!mdiChild && IsMdiChildWindow(w)) break;
        WindowObject* other = ObjectOf(r);
        if (!other || !IsWindowVisible(w)) continue;
        GrowArrayAppend(list, &other->sequence);
        SetWindowDisabled(w, false);
    }
    if (!mdiChild) {
        int32_t frame = kFrameId;
        GrowArrayAppend(list, &frame);
        SetWindowDisabled(FrameWindowHandle(), false);
    }
    if (window->disabledList) DisposeGrowArray(window->disabledList);
    window->disabledList = list;
}

void SelectWindowObject(WindowObject* window) {
    if (!window) return;
    if (window->owner)
        ShowPane(static_cast<PaneRecord*>(window->pane));
    else
        ShowNative(window, true);
}

void ShowWindowObject(WindowObject* window, bool show) {
    if (show)
        SelectWindowObject(window);
    else
        HideWindowObject(window);
}

void HideWindowObject(WindowObject* window) {
    if (!window) return;
    if (window->owner)
        HidePane(static_cast<PaneRecord*>(window->pane));
    else
        HideNative(window);
}

void* ActivateWindowObject(WindowObject* window) {
    if (NativeWindowRecord* record = RecordOf(RootWindowObject(window)))
        ActivateNativeWindow(record);
    return MakeWindowCurrentPort(window);
}

void SetWindowTitle(WindowObject* window, const char* title) {
    if (!window || window->owner || window->type != kWindowTypeNative || !title) return;
    if (NativeWindowRecord* record = RecordOf(window)) SetNativeWindowTitle(record, title);
}

int32_t WindowZoomState(WindowObject* window) {
    HWND handle = NativeWindowOf(RecordOf(RootWindowObject(window)));
    if (!handle) return kZoomNormal;
    if (IsIconic(handle)) return kZoomMinimised;
    return IsZoomed(handle) ? kZoomMaximised : kZoomNormal;
}

WindowObject* FirstWindowObject() {
    return FirstWindow();
}

WindowObject* NextWindowObject(WindowObject* window) {
    return NextWindow(window);
}

void SetWindowContentSize(WindowObject* window, const Rect16* rect) {
    NativeWindowRecord* record = window && !window->owner ? RecordOf(window) : nullptr;
    if (!record || !rect) return;
    Rect16 r = {0, 0, int16_t(rect->bottom - rect->top), int16_t(rect->right - rect->left)};
    ScrollBarSpace(window->kind, window->variant, window->options, PaneBarThickness(), &r);
    SizeNativeWindow(record, r.right, r.bottom, false);
}

uint32_t NativeWindowClassBit(NativeWindowRecord* record) {
    constexpr uint32_t kPortUntitledTool = 0x400;
    constexpr int32_t kTypeModalFirst = 1, kTypeModalLast = 4, kTypeTool = 10, kTypeToolWindow = 13;
    if (!record) return 0;
    int32_t type = record->nativeType;
    if (type >= kTypeModalFirst && type <= kTypeModalLast) return kClassModal;
    if (type == kNativeTypeFloating) return kClassFloating;
    if (type == kNativeTypeDocument) {
        LONG style = GetWindowLongA(NativeWindowOf(record), GWL_STYLE);
        return (!style || (style & WS_CAPTION) == WS_CAPTION) ? kClassTitledDocument
                                                              : kClassUntitled;
    }
    if (type == kTypeTool || type == kTypeToolWindow) {
        PortRecord* port = FindPortOfNativeWindow(record);
        return port && (port->flags & kPortUntitledTool) ? kClassUntitled : kClassTool;
    }
    return 0;
}

NativeWindowRecord* FrontWindowOfClass(uint32_t mask) {
    for (NativeWindowRecord* r = FirstNativeWindow(); r; r = NextNativeWindow(r)) {
        if (!FindPortOfNativeWindow(r)) {
            if (mask & kClassWithoutPort) return r;
            continue;
        }
        if (NativeWindowClassBit(r) & mask) return r;
    }
    return nullptr;
}
