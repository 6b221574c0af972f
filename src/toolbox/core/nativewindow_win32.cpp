// Native window creation, properties and window procedures. Every window
// procedure catches at its boundary: no exception leaves it, the message
// gets its default answer instead.
#include "toolbox/core/nativewindow_win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolbox/core/activation.h"
#include "toolbox/core/droppedfiles.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/inputmessage.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/nativemessage_win32.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/portwindow_win32.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/osinput_win32.h"
#include "toolbox/core/regionnative_win32.h"
#include "toolbox/core/nativezorder_win32.h"
#include "toolbox/core/startuprequest.h"
#include "toolbox/core/windowclass.h"

static_assert(sizeof(NativeRect) == sizeof(RECT) && sizeof(NativePoint) == sizeof(POINT),
              "the layer's native forms match the system's");

namespace {
struct FrameParameters {
    char title[kFrameTitleLimit + 1];
    int32_t iconId;
    int32_t left, top, width, height;
    bool show;
};

FrameParameters g_frameParams{"",   0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              false};
HWND g_frame = nullptr;
HWND g_mdiClient = nullptr;
WNDPROC g_mdiClientProc = nullptr;
uint32_t g_nextOptions = 0;
int32_t g_nextIcon = 0;
int32_t g_eraseAllowed = 0;
int32_t g_frameClickSuppression = 0;
int32_t g_keepFrameActive = 0;
int32_t g_titleMarker = 0;
HWND g_sizingWindow = nullptr;
Rect16 g_sizingLimits{0, 0, 0, 0};
AcceleratorCommandProc g_acceleratorProc = nullptr;
MenuMessageProc g_menuProc = nullptr;
InstanceMessageProc g_instanceProc = nullptr;
UINT g_instanceMessage = 0;

constexpr size_t kPropPrefixLength = 3; // "TBW"
constexpr WORD kInstanceMarker = 0xC0DE;
constexpr WORD kAcceleratorSource = 1;
constexpr int32_t kIconSystemFirst = 0x7F00;
constexpr char kMdiClientClass[] = "mdiclient";
constexpr char kSizeBoxClass[] = "Scrollbar";
constexpr char kFrameIconName[] = "AppIcon";

LRESULT CALLBACK FrameWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK MdiClientProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK MdiChildWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK PopupWindowProc(HWND, UINT, WPARAM, LPARAM);

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

void MarkProcess(HWND window) {
    SetPropA(window, kPropProcessId, reinterpret_cast<HANDLE>(uintptr_t(GetCurrentProcessId())));
}

HICON IconOf(int32_t iconId) {
    if (iconId == kIconNone) return nullptr;
    if (iconId == kIconApplication) return LoadIconA(nullptr, IDI_APPLICATION);
    if (iconId < kIconSystemFirst) return LoadIconA(Instance(), MAKEINTRESOURCEA(iconId));
    return LoadIconA(nullptr, MAKEINTRESOURCEA(iconId));
}

bool IsButtonMessage(UINT message) {
    return (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) ||
           (message >= WM_NCLBUTTONDOWN && message <= WM_NCMBUTTONDBLCLK);
}

bool IsKeyMessage(UINT message) {
    return message >= WM_KEYDOWN && message <= WM_DEADCHAR;
}

void PostWheel(WPARAM wParam) {
    PostOsEvent(kOsWhatWheel, uintptr_t(uint32_t(int32_t(int16_t(HIWORD(wParam))))));
}

bool InputMessage(HWND window, UINT message, WPARAM wParam) {
    if (IsButtonMessage(message)) {
        MouseButtonMessage(window, message);
        return true;
    }
    if (IsKeyMessage(message)) {
        KeyMessageToOsEvent(window, message, uint32_t(wParam));
        return true;
    }
    if (message == WM_MOUSEWHEEL) {
        PostWheel(wParam);
        return true;
    }
    return false;
}

bool FileExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Shell drag-and-drop calls, looked up at run time so the core needs no
// shell import.
typedef UINT(WINAPI* DragQueryFileProc)(HDROP, UINT, LPSTR, UINT);
typedef void(WINAPI* DragFinishProc)(HDROP);

void ApplicationDrop(HDROP drop) {
    HandleDroppedFiles(nullptr, drop);
}

BOOL CALLBACK RemoveLayerProp(HWND window, LPSTR name, HANDLE, ULONG_PTR) {
    if (IS_INTRESOURCE(name)) return TRUE;
    if (std::strncmp(name, kPropProcessId, kPropPrefixLength) == 0) RemovePropA(window, name);
    return TRUE;
}

bool HasEraseColour(const NativeWindowRecord* record) {
    return !(record->eraseColour[0] == -1 && record->eraseColour[1] == -1 &&
             record->eraseColour[2] == -1);
}

void FillErase(HWND window, HDC dc, const NativeWindowRecord* record) {
    RECT client;
    GetClientRect(window, &client);
    bool own = record && HasEraseColour(record);
    HBRUSH brush;
    if (own)
        brush = CreateSolidBrush(RGB(uint16_t(record->eraseColour[0]) >> 8,
                                     uint16_t(record->eraseColour[1]) >> 8,
                                     uint16_t(record->eraseColour[2]) >> 8));
    else
        brush = GetSysColorBrush(COLOR_WINDOW);
    FillRect(dc, &client, brush);
    if (own) DeleteObject(brush);
}

void SendUpdateEvent(NativeWindowRecord* record) {
    EventObject event = nullptr;
    if (EventObjectNew(kEventClassWindow, kWindowUpdateKind, &event) != kEventResultOk) return;
    // The event names the window by its record, as every window event does.
    void* window = record;
    EventParamSet(event, kEventParamDirectObject, kReceiverWindow, sizeof(window), &window);
    SendEventToReceiver(event, ApplicationEventReceiver());
    EventObjectRelease(event);
}

// The system update region joins the record's pending region; the window
// is then valid. False when the window is not one of the layer's.
bool CollectUpdateRegionLocal(HWND window) {
    NativeWindowRecord* record = GetWindowObjectProperty(window);
    if (!record) return false;
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    if (GetUpdateRgn(window, update, FALSE) > NULLREGION) {
        RegionRecord* added = NewRegion();
        if (added && RegionFromNative(added, update)) {
            if (!record->pendingUpdate) record->pendingUpdate = NewRegion();
            if (record->pendingUpdate)
                CombineRegions(record->pendingUpdate, record->pendingUpdate, added, 2);
        }
        if (added) DisposeRegion(added);
    }
    DeleteObject(update);
    ValidateRect(window, nullptr);
    return true;
}

// The part a title-bar button's system command stands for (0: none).
int32_t TitlePartOfCommand(HWND window, WPARAM command) {
    LONG style = GetWindowLongA(window, GWL_STYLE);
    switch (command & 0xFFF0) {
    case SC_CLOSE:
        return kPartClose;
    case SC_MINIMIZE:
        return (style & WS_MINIMIZEBOX) ? kPartMinimise : 0;
    case SC_MAXIMIZE:
        return (style & WS_MAXIMIZEBOX) ? kPartZoomIn : 0;
    case SC_RESTORE:
        return (style & WS_THICKFRAME) ? kPartZoomOut : 0;
    default:
        return 0;
    }
}

bool LacksBoxFor(HWND window, WPARAM command) {
    LONG style = GetWindowLongA(window, GWL_STYLE);
    switch (command & 0xFFF0) {
    case SC_MINIMIZE:
        return !(style & WS_MINIMIZEBOX);
    case SC_MAXIMIZE:
        return !(style & WS_MAXIMIZEBOX);
    case SC_RESTORE:
        return !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    default:
        return false;
    }
}

void MoveSizeBox(NativeWindowRecord* record) {
    if (!record->sizeBox) return;
    HWND window = NativeWindowOf(record);
    RECT client;
    GetClientRect(window, &client);
    int side = GetSystemMetrics(SM_CXVSCROLL);
    int inset = IsZoomed(window) ? 2 * side : side;
    MoveWindow(record->sizeBox, client.right - inset, client.bottom - inset, side, side, TRUE);
}

LRESULT Default(bool mdi, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return mdi ? DefMDIChildProcA(window, message, wParam, lParam)
               : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT LayerWindowBody(bool mdi, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    NativeWindowRecord* record = GetWindowObjectProperty(window);
    switch (message) {
    case WM_CREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        void* param = create->lpCreateParams;
        if (mdi && param)
            param = reinterpret_cast<void*>(reinterpret_cast<MDICREATESTRUCTA*>(param)->lParam);
        MarkProcess(window);
        if (param) {
            record = static_cast<NativeWindowRecord*>(param);
            DrawingLayer().bindStateTarget(&record->state, window, kStateDcWindow);
            SetPropA(window, kPropWindow, record);
        }
        return Default(mdi, window, message, wParam, lParam);
    }
    case WM_DESTROY:
        RemoveLayerProperties(window);
        return Default(mdi, window, message, wParam, lParam);
    case WM_ACTIVATE:
        if (record && record->nativeType == kNativeTypeFloating && LOWORD(wParam) != WA_INACTIVE &&
            g_frame)
            SetActiveWindow(g_frame);
        return Default(mdi, window, message, wParam, lParam);
    case WM_PAINT:
        if (record && !InPaintDispatch()) {
            CollectUpdateRegionLocal(window);
            SendUpdateEvent(record);
        } else {
            ValidateRect(window, nullptr);
        }
        return 0;
    case WM_ERASEBKGND:
        if (g_eraseAllowed <= 0) return 0;
        FillErase(window, reinterpret_cast<HDC>(wParam), record);
        return 1;
    case WM_MOUSEACTIVATE:
        if (!mdi && record && (record->options & kOptionNeverActivates)) return MA_NOACTIVATE;
        return Default(mdi, window, message, wParam, lParam);
    case WM_NCACTIVATE:
        if (record && record->nativeType == kNativeTypeFloating)
            return Default(mdi, window, message, TRUE, lParam);
        // The wait delivers the change as an activate event.
        if (record && !(record->options & kOptionNeverActivates))
            SetWindowActivationPending(record, wParam != 0);
        return Default(mdi, window, message, wParam, lParam);
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        RestoreControlFocus(window, record, pos);
        if (record && !(pos->flags & SWP_NOSIZE)) {
            DrawingLayer().releaseStateDC(&record->state);
            MoveSizeBox(record);
            if (record->resizeProc) record->resizeProc(record);
        }
        PaintPendingUpdate(window, record, pos);
        return Default(mdi, window, message, wParam, lParam);
    }
    case WM_SETCURSOR:
        if (SetArrowOverBackWindow(window, record, lParam)) return TRUE;
        return Default(mdi, window, message, wParam, lParam);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        LRESULT answer = Default(mdi, window, message, wParam, lParam);
        if (!record) return answer;
        return ControlColourAnswer(record, reinterpret_cast<HDC>(wParam));
    }
    case WM_GETMINMAXINFO:
        if (window == g_sizingWindow) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            RECT insets{0, 0, 0, 0};
            AdjustWindowRectEx(&insets, DWORD(GetWindowLongA(window, GWL_STYLE)), FALSE,
                               DWORD(GetWindowLongA(window, GWL_EXSTYLE)));
            LONG dw = insets.right - insets.left, dh = insets.bottom - insets.top;
            info->ptMinTrackSize = POINT{g_sizingLimits.left + dw, g_sizingLimits.top + dh};
            info->ptMaxTrackSize = POINT{g_sizingLimits.right + dw, g_sizingLimits.bottom + dh};
            return 0;
        }
        return Default(mdi, window, message, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTSYSMENU) return Default(mdi, window, message, wParam, lParam);
        InputMessage(window, message, wParam);
        return 0;
    case WM_SYSCOMMAND:
        if (g_titleMarker == kTitleButtonTracking) {
            g_titleMarker = TitlePartOfCommand(window, wParam);
            return 0;
        }
        if (record && record->sysCommandProc) {
            if (record->sysCommandProc(record, wParam)) return 0;
        } else if ((wParam & 0xFFF0) == SC_CLOSE) {
            return 0;
        }
        if (LacksBoxFor(window, wParam)) return 0;
        return Default(mdi, window, message, wParam, lParam);
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        MenuMessage(window, message, wParam, lParam);
        return 0;
    case WM_DROPFILES:
        if (record && record->dropProc)
            record->dropProc(record, reinterpret_cast<HDROP>(wParam));
        else
            HandleDroppedFiles(record, reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL: {
        intptr_t result = 0;
        if (lParam && DrawingLayer().controlNotify(window, message, wParam, lParam, &result))
            return result;
        return Default(mdi, window, message, wParam, lParam);
    }
    default:
        if (InputMessage(window, message, wParam)) return 0;
        return Default(mdi, window, message, wParam, lParam);
    }
}

LRESULT GuardedLayerWindow(bool mdi, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result;
    try {
        result = LayerWindowBody(mdi, window, message, wParam, lParam);
    } catch (...) {
        result = Default(mdi, window, message, wParam, lParam);
    }
    if (NativeWindowRecord* record = GetWindowObjectProperty(window))
        DrawingLayer().releaseStateDC(&record->state);
    return result;
}

LRESULT CALLBACK MdiChildWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardedLayerWindow(true, window, message, wParam, lParam);
}

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardedLayerWindow(false, window, message, wParam, lParam);
}

BOOL CALLBACK ShowFloating(HWND window, LPARAM show) {
    NativeWindowRecord* record = GetWindowObjectProperty(window);
    if (!record || record->nativeType != kNativeTypeFloating) return TRUE;
    if (!show && IsWindowVisible(window)) {
        record->stateBits |= kNativeHiddenByDeactivation;
        ShowWindow(window, SW_HIDE);
    } else if (show && (record->stateBits & kNativeHiddenByDeactivation)) {
        record->stateBits &= ~kNativeHiddenByDeactivation;
        ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    return TRUE;
}

LRESULT FrameDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcA(window, g_mdiClient, message, wParam, lParam);
}

bool IsSystemCommandId(WORD id) {
    switch (id) {
    case 0xF020:
    case 0xF040:
    case 0xF050:
    case 0xF060:
    case 0xF120:
    case 0xF130:
    case 0xF140:
        return true;
    default:
        return false;
    }
}

LRESULT FrameBody(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_instanceMessage && message == g_instanceMessage) {
        if (HIWORD(wParam) == kInstanceMarker && g_instanceProc)
            g_instanceProc(ATOM(lParam), uint32_t(LOWORD(wParam)));
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        MarkProcess(window);
        return 0;
    case WM_DESTROY:
        g_frame = nullptr;
        g_mdiClient = nullptr;
        SetOsFrameWindows(nullptr, nullptr);
        PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
        CallFrameCloseHook();
        return 0;
    case WM_QUERYENDSESSION:
        return CallFrameCloseHook();
    case WM_ACTIVATEAPP:
        SetApplicationActive(wParam != 0);
        EnumThreadWindows(GetCurrentThreadId(), &ShowFloating, LPARAM(wParam != 0));
        return FrameDefault(window, message, wParam, lParam);
    case WM_DISPLAYCHANGE:
        if (g_mdiClient) PostMessageA(g_mdiClient, message, wParam, lParam);
        return FrameDefault(window, message, wParam, lParam);
    case WM_NCPAINT:
        PaintMenuBarEdge(window, g_mdiClient);
        return FrameDefault(window, message, wParam, lParam);
    case WM_NCACTIVATE:
        if (!wParam && g_keepFrameActive > 0) return TRUE;
        return FrameDefault(window, message, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (g_frameClickSuppression > 0) return 0;
        return FrameDefault(window, message, wParam, lParam);
    case WM_NCLBUTTONUP:
        if (g_frameClickSuppression > 0) return 0;
        MouseButtonMessage(window, message);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU || (wParam & 0xFFF0) == 0x6000) {
            if (MenuMessage(window, message, wParam, lParam) != kMenuNotHandled) return 0;
        }
        return FrameDefault(window, message, wParam, lParam);
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_MENUCHAR:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
    case WM_MENUCOMMAND: {
        LRESULT answer = MenuMessage(window, message, wParam, lParam);
        if (answer != kMenuNotHandled) return answer;
        return FrameDefault(window, message, wParam, lParam);
    }
    case WM_COMMAND:
        if (lParam == 0) {
            WORD id = LOWORD(wParam);
            if (HIWORD(wParam) == kAcceleratorSource) {
                if (g_acceleratorProc)
                    g_acceleratorProc(id);
                else
                    KeyCommandAccelerator(id);
                return 0;
            }
            if (IsSystemCommandId(id)) return FrameDefault(window, message, wParam, lParam);
            if (MenuMessage(window, message, wParam, lParam) != kMenuNotHandled) return 0;
        }
        return FrameDefault(window, message, wParam, lParam);
    default:
        if (InputMessage(window, message, wParam)) return 0;
        return FrameDefault(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return FrameBody(window, message, wParam, lParam);
    } catch (...) {
        return FrameDefault(window, message, wParam, lParam);
    }
}

LRESULT MdiClientBody(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_LBUTTONDOWN) {
        // A press on a layer window is the layer's to handle, not the MDI
        // client's (which would activate the child itself).
        POINT at{int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))};
        HWND child = ChildWindowFromPointEx(window, at, CWP_SKIPINVISIBLE);
        if (child && child != window && GetWindowObjectProperty(child)) return 0;
    }
    if ((message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) || IsKeyMessage(message) ||
        message == WM_MOUSEWHEEL) {
        InputMessage(window, message, wParam);
        return 0;
    }
    if (message == WM_DROPFILES) {
        ApplicationDrop(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return CallWindowProcA(g_mdiClientProc, window, message, wParam, lParam);
}

LRESULT CALLBACK MdiClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return MdiClientBody(window, message, wParam, lParam);
    } catch (...) {
        return CallWindowProcA(g_mdiClientProc, window, message, wParam, lParam);
    }
}

bool RegisterLayerClass(const WindowClassSpec& spec, int32_t iconId) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(Instance(), spec.name, &existing)) return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = spec.classStyle;
    wc.lpfnWndProc =
        spec.procedure == WindowProcKind::MdiChild ? &MdiChildWindowProc : &PopupWindowProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(nullptr, IDC_CROSS);
    wc.hIcon = IconOf(iconId);
    wc.lpszClassName = spec.name;
    return RegisterClassExA(&wc) != 0;
}

// Deletes system menu items whose box is missing, last first, and a
// separator left at the end.
void TrimSystemMenu(HWND window, uint32_t style) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return;
    bool sizing = style & kStyleSizingFrame, minBox = style & kStyleMinimiseBox,
         maxBox = style & kStyleMaximiseBox;
    for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i) {
        UINT id = GetMenuItemID(menu, i);
        bool remove = (id == SC_SIZE && !sizing) || (id == SC_MINIMIZE && !minBox) ||
                      (id == SC_MAXIMIZE && !maxBox) || (id == SC_RESTORE && !minBox && !maxBox);
        if (remove) DeleteMenu(menu, UINT(i), MF_BYPOSITION);
    }
    int last = GetMenuItemCount(menu) - 1;
    if (last >= 0 && (GetMenuState(menu, UINT(last), MF_BYPOSITION) & MF_SEPARATOR))
        DeleteMenu(menu, UINT(last), MF_BYPOSITION);
}

void MakeSizeBox(NativeWindowRecord* record) {
    HWND window = NativeWindowOf(record);
    RECT client;
    GetClientRect(window, &client);
    int side = GetSystemMetrics(SM_CXVSCROLL);
    record->sizeBox = CreateWindowExA(
        0, kSizeBoxClass, "", kSizeBoxStyle, client.right - side, client.bottom - side, side, side,
        window, reinterpret_cast<HMENU>(intptr_t(kSizeBoxId)), Instance(), nullptr);
}

void FreeRecord(NativeWindowRecord* record) {
    DrawingLayer().disposeStateResources(&record->state);
    if (record->pendingUpdate) DisposeRegion(record->pendingUpdate);
    if (record->savedUpdate) DisposeRegion(record->savedUpdate);
    record->pendingUpdate = record->savedUpdate = nullptr;
    EventReceiverClearHandlers(&record->eventTarget);
    if (record->allocatedHere) std::free(record);
}
} // namespace

bool CollectUpdateRegionOf(HWND window) {
    return CollectUpdateRegionLocal(window);
}

HWND NativeWindowOf(const NativeWindowRecord* record) {
    return record ? static_cast<HWND>(record->state.target) : nullptr;
}

void SetMainFrameParameters(const char* title, int32_t iconId, int32_t left, int32_t top,
                            int32_t width, int32_t height, bool show) {
    std::snprintf(g_frameParams.title, sizeof(g_frameParams.title), "%s", title ? title : "");
    g_frameParams.iconId = iconId;
    g_frameParams.left = left;
    g_frameParams.top = top;
    g_frameParams.width = width;
    g_frameParams.height = height;
    g_frameParams.show = show;
}

bool CreateMainFrame() {
    if (g_frame) return true;
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExA(Instance(), kFrameClassName, &existing)) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &FrameWindowProc;
        wc.hInstance = Instance();
        wc.hIcon = g_frameParams.iconId ? IconOf(g_frameParams.iconId)
                                        : LoadIconA(Instance(), kFrameIconName);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        wc.lpszClassName = kFrameClassName;
        if (!RegisterClassExA(&wc)) return false;
    }
    const char* title = g_frameParams.title[0] ? g_frameParams.title : kDefaultFrameTitle;
    HWND frame = CreateWindowExA(0, kFrameClassName, title,
                                 WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                 g_frameParams.left, g_frameParams.top, g_frameParams.width,
                                 g_frameParams.height, nullptr, nullptr, Instance(), nullptr);
    if (!frame) return false;
    CLIENTCREATESTRUCT ccs{};
    ccs.idFirstChild = kMdiFirstChildId;
    RECT client;
    GetClientRect(frame, &client);
    HWND mdi = CreateWindowExA(0, kMdiClientClass, nullptr, kMdiClientStyle, 0, 0, client.right,
                               client.bottom, frame, nullptr, Instance(), &ccs);
    if (!mdi) {
        DestroyWindow(frame);
        return false;
    }
    g_frame = frame;
    g_mdiClient = mdi;
    MarkProcess(mdi);
    g_mdiClientProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(mdi, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MdiClientProc)));
    SetOsFrameWindows(frame, mdi);
    InstallNativeWindowHooks();
    if (g_frameParams.show) {
        ShowWindow(frame, SW_SHOWDEFAULT);
        MessagePump();
    }
    return true;
}

HWND FrameWindowHandle() {
    return g_frame;
}
HWND MdiClientHandle() {
    return g_mdiClient;
}

HWND DialogOwnerWindow() {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (IsWindowVisible(w) && GetRecordIdProperty(w) == uintptr_t(GetCurrentProcessId()))
            return w;
    return g_frame;
}

NativeWindowRecord* GetWindowObjectProperty(HWND window) {
    return window ? static_cast<NativeWindowRecord*>(GetPropA(window, kPropWindow)) : nullptr;
}

uintptr_t GetRecordIdProperty(HWND window) {
    return window ? uintptr_t(GetPropA(window, kPropProcessId)) : 0;
}

bool IsMdiChildWindow(HWND window) {
    return window && g_mdiClient && GetParent(window) == g_mdiClient;
}

bool SetWindowDisabled(HWND window, bool enable) {
    uintptr_t count = uintptr_t(GetPropA(window, kPropDisabled));
    bool wasZero = count == 0;
    if (enable) {
        if (count == 0) return wasZero;
        if (count == 1) EnableWindow(window, TRUE);
        --count;
    } else {
        if (count == 0) EnableWindow(window, FALSE);
        ++count;
    }
    if (count)
        SetPropA(window, kPropDisabled, reinterpret_cast<HANDLE>(count));
    else
        RemovePropA(window, kPropDisabled);
    return wasZero;
}

void SetNextWindowOptions(uint32_t options) {
    g_nextOptions = options;
}
void SetNextWindowIcon(int32_t iconId) {
    g_nextIcon = iconId;
}

NativeWindowRecord* CreateNativeWindow(NativeWindowRecord* existing, const Rect16* content,
                                       const char* title, bool show, int32_t definitionCode,
                                       HWND behind, bool closeBox, void* windowObject) {
    uint32_t nextOptions = g_nextOptions;
    int32_t iconId = g_nextIcon;
    g_nextOptions = 0;
    g_nextIcon = 0;
    WindowClassSpec spec;
    if (!WindowClassForKind(definitionCode, iconId ? iconId : kIconApplication, closeBox, &spec))
        return nullptr;
    if (spec.mdiChild && !g_mdiClient) return nullptr;
    if (!spec.mdiChild)
        iconId = kIconNone;
    else if (!iconId)
        iconId = kIconApplication;
    WindowClassForKind(definitionCode, iconId, closeBox, &spec);
    NativeWindowRecord* record = existing;
    if (!record) {
        record = static_cast<NativeWindowRecord*>(std::calloc(1, sizeof(NativeWindowRecord)));
        if (!record) return nullptr;
        record->allocatedHere = true;
    }
    record->windowObject = windowObject;
    record->eventTarget = EventReceiver{kReceiverWindow, record, nullptr, 0};
    record->eraseColour[0] = record->eraseColour[1] = record->eraseColour[2] = -1;
    uint32_t style = spec.style;
    if (nextOptions & kNextNoMaximiseBox) style &= ~kStyleMaximiseBox;
    if (nextOptions & kNextNoMinimiseBox) style &= ~kStyleMinimiseBox;
    if (iconId == kIconNone && !closeBox && !(style & (kStyleMinimiseBox | kStyleMaximiseBox)))
        style &= ~kStyleSystemMenu;
    if (!RegisterLayerClass(spec, iconId)) {
        FreeRecord(record);
        return nullptr;
    }
    RECT rect{content->left, content->top, content->right, content->bottom};
    AdjustWindowRectEx(&rect, style, FALSE, spec.exStyle);
    // MDI children are created hidden; the system hands the creation
    // parameter on to them as the MDI creation record's lParam.
    uint32_t createStyle = spec.mdiChild ? style & ~uint32_t(WS_VISIBLE) : style;
    HWND window = CreateWindowExA(
        spec.exStyle, spec.name, "", createStyle, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, spec.mdiChild ? g_mdiClient : g_frame, nullptr, Instance(), record);
    if (!window) {
        FreeRecord(record);
        return nullptr;
    }
    if (!behind)
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    else
        SetWindowPos(window, behind, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    uint32_t boxes = kStyleSizingFrame | kStyleMinimiseBox | kStyleMaximiseBox;
    if ((style & kStyleSystemMenu) && (style & boxes) != boxes) TrimSystemMenu(window, style);
    if (style & kStyleSizingFrame) MakeSizeBox(record);
    SetNativeWindowTitle(record, title);
    if (show) {
        ShowWindow(window, SW_SHOW);
        if (spec.mdiChild)
            SendMessageA(g_mdiClient, WM_MDIACTIVATE, WPARAM(window), 0);
        else
            SetActiveWindow(window);
    }
    record->referenceCount = 1;
    return record;
}

int32_t CreateNativeWindowOfType(int32_t nativeType, uint32_t options, const Rect16* content,
                                 NativeWindowRecord** out) {
    *out = nullptr;
    uint32_t masked = NativeOptionsOfType(nativeType, options);
    int32_t code = DefinitionCodeOfType(nativeType, masked);
    if (code == 0 && nativeType != 0) return kEventBadArgument;
    NativeWindowRecord* record = CreateNativeWindow(nullptr, content, "", false, code, nullptr,
                                                    (masked & kOptionCloseBox) != 0, nullptr);
    if (!record) return kEventNoMemory;
    record->nativeType = nativeType;
    record->options = masked;
    if (nativeType == kNativeTypeFloating)
        SendMessageA(NativeWindowOf(record), WM_NCACTIVATE, TRUE, 0);
    *out = record;
    return 0;
}

void RetainNativeWindow(NativeWindowRecord* record) {
    if (record) ++record->referenceCount;
}

void DisposeNativeWindow(NativeWindowRecord* record) {
    if (!record) return;
    if (record->referenceCount > 1) {
        --record->referenceCount;
        return;
    }
    HWND window = NativeWindowOf(record);
    // The drawing layer forgets the record's state as its current port.
    if (DrawingLayer().currentPort() == &record->state) DrawingLayer().setCurrentPort(nullptr);
    DrawingLayer().disposeControls(record);
    if (window) {
        ShowWindow(window, SW_HIDE);
        if (IsMdiChildWindow(window))
            SendMessageA(g_mdiClient, WM_MDIDESTROY, WPARAM(window), 0);
        else
            DestroyWindow(window);
    }
    // Hiding and destroying deactivate the window: no pending activation
    // may outlive the record.
    ForgetPendingActivation(record);
    FreeRecord(record);
}

void SetNativeWindowTitle(NativeWindowRecord* record, const char* title) {
    char copy[kWindowTitleLimit + 1];
    std::snprintf(copy, sizeof(copy), "%s", title ? title : "");
    SetWindowTextA(NativeWindowOf(record), copy);
}

int32_t SetNativeEraseColour(NativeWindowRecord* record, int16_t red, int16_t green, int16_t blue) {
    record->eraseColour[0] = red;
    record->eraseColour[1] = green;
    record->eraseColour[2] = blue;
    return 0;
}

uint32_t NativeVisibleAttribute(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) ? 0x10000001u : 0u;
}

void InitNativeUiState(HWND window) {
    SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
}

void RemoveLayerProperties(HWND window) {
    EnumPropsExA(window, &RemoveLayerProp, 0);
}

void HandleDroppedFiles(NativeWindowRecord* record, HDROP drop) {
    HMODULE shell = LoadLibraryA("shell32.dll");
    auto query = shell ? reinterpret_cast<DragQueryFileProc>(
                             reinterpret_cast<void*>(GetProcAddress(shell, "DragQueryFileA")))
                       : nullptr;
    auto finish = shell ? reinterpret_cast<DragFinishProc>(
                              reinterpret_cast<void*>(GetProcAddress(shell, "DragFinish")))
                        : nullptr;
    UINT count = query ? query(drop, 0xFFFFFFFF, nullptr, 0) : 0;
    typedef char NameBuffer[MAX_PATH + 1];
    auto* names =
        count ? static_cast<NameBuffer*>(std::calloc(count, sizeof(NameBuffer))) : nullptr;
    auto* pointers = count ? static_cast<const char**>(std::calloc(count, sizeof(char*))) : nullptr;
    if (names && pointers) {
        for (UINT i = 0; i < count; ++i) {
            query(drop, i, names[i], sizeof(NameBuffer));
            pointers[i] = names[i];
        }
        QueueDroppedFileRequests(record, pointers, int32_t(count), &FileExists);
    }
    std::free(names);
    std::free(pointers);
    if (finish) finish(drop);
    if (shell) FreeLibrary(shell);
}

void SetSizingWindow(HWND window, const Rect16* limits) {
    g_sizingWindow = window;
    if (limits) g_sizingLimits = *limits;
}

void SetTitleButtonMarker(int32_t marker) {
    g_titleMarker = marker;
}
int32_t TitleButtonMarker() {
    return g_titleMarker;
}

void RaiseEraseAllowed() {
    ++g_eraseAllowed;
}
void LowerEraseAllowed() {
    --g_eraseAllowed;
}
void RaiseFrameClickSuppression() {
    ++g_frameClickSuppression;
}
void LowerFrameClickSuppression() {
    --g_frameClickSuppression;
}
void RaiseKeepFrameActive() {
    ++g_keepFrameActive;
}
void LowerKeepFrameActive() {
    --g_keepFrameActive;
}

AcceleratorCommandProc SetAcceleratorCommandProc(AcceleratorCommandProc procedure) {
    AcceleratorCommandProc previous = g_acceleratorProc;
    g_acceleratorProc = procedure;
    return previous;
}

void SetMenuMessageProc(MenuMessageProc procedure) {
    g_menuProc = procedure;
}

LRESULT MenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return g_menuProc ? g_menuProc(window, message, wParam, lParam) : kMenuNotHandled;
}

void SetInstanceMessageProc(UINT registeredMessage, InstanceMessageProc procedure) {
    g_instanceMessage = registeredMessage;
    g_instanceProc = procedure;
}

namespace {
// Layer windows in z-order: popups of this thread first, then MDI children.
template <typename Visit> NativeWindowRecord* WalkLayerWindows(Visit visit) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (GetWindowThreadProcessId(w, nullptr) != GetCurrentThreadId()) continue;
        NativeWindowRecord* record = GetWindowObjectProperty(w);
        if (record && visit(record)) return record;
    }
    if (g_mdiClient) {
        for (HWND w = GetWindow(g_mdiClient, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            NativeWindowRecord* record = GetWindowObjectProperty(w);
            if (record && visit(record)) return record;
        }
    }
    return nullptr;
}

void* HookNeedingUpdate() {
    return WalkLayerWindows(
        [](NativeWindowRecord* r) { return r->pendingUpdate && !IsRegionEmpty(r->pendingUpdate); });
}

void HookDiscardUpdate(void* window) {
    auto* record = static_cast<NativeWindowRecord*>(window);
    if (record->pendingUpdate) SetRegionEmpty(record->pendingUpdate);
}

EventReceiver* HookReceiver(void* window) {
    auto* record = static_cast<NativeWindowRecord*>(window);
    return (record->options & kOptionEventTarget) ? &record->eventTarget : nullptr;
}

void HookRetain(void* window) {
    RetainNativeWindow(static_cast<NativeWindowRecord*>(window));
}
void HookDispose(void* window) {
    DisposeNativeWindow(static_cast<NativeWindowRecord*>(window));
}

} // namespace

bool IsLayerWindowRecord(const void* candidate) {
    return candidate && WalkLayerWindows([candidate](NativeWindowRecord* r) {
               return static_cast<const void*>(r) == candidate;
           });
}

void InstallNativeWindowHooks() {
    LoopWindowHooks hooks = LoopHooks();
    hooks.firstWindowNeedingUpdate = &HookNeedingUpdate;
    hooks.discardUpdate = &HookDiscardUpdate;
    hooks.windowReceiver = &HookReceiver;
    hooks.retainWindow = &HookRetain;
    hooks.disposeWindow = &HookDispose;
    SetLoopWindowHooks(&hooks);
    SetCollectUpdateRegionHook(&CollectUpdateRegionLocal);
    InstallNativeZOrderHooks();
    InstallPortWindowHooks();
}
