// Win32 side of the event loop: the cursor and keyboard state, the message
// pump with its accelerator translation, and the wait that sleeps in
// WaitMessage under one one-shot thread timer.
#include <windows.h>

#include <cstdlib>

#include "toolbox/core/accelerators.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/osinput_win32.h"
#include "toolbox/core/oseventqueue.h"

namespace {
HACCEL g_accelTable = nullptr;
bool g_controlDown = false;

constexpr char kWindowProperty[] = "TBWINDOW";
constexpr char kControlProperty[] = "TBWCNTRL";
constexpr SHORT kKeyDownBit = SHORT(0x8000);
constexpr BYTE kKeyStateDown = 0x80;

bool (*g_collectUpdate)(HWND) = nullptr;

void RebuildAccelerators() {
    if (!TakeAcceleratorRebuild()) return;
    if (g_accelTable) DestroyAcceleratorTable(g_accelTable);
    g_accelTable = nullptr;
    int32_t count = 0;
    const AcceleratorEntry* entries = AcceleratorEntries(&count);
    if (count <= 0) return;
    auto* table = static_cast<ACCEL*>(std::calloc(size_t(count), sizeof(ACCEL)));
    if (!table) return;
    for (int32_t i = 0; i < count; ++i) {
        table[i].fVirt = BYTE(entries[i].flags);
        table[i].key = entries[i].key;
        table[i].cmd = entries[i].command;
    }
    g_accelTable = CreateAcceleratorTableA(table, count);
    std::free(table);
}

// TranslateMessage with a held Control released for keys other than
// Control and the letters, so Control with digits and punctuation still
// gives characters.
void TranslateWithoutControl(const MSG* msg) {
    WPARAM key = msg->wParam;
    bool letter = key >= 'A' && key <= 'Z';
    if (msg->message != WM_KEYDOWN || key == VK_CONTROL || letter ||
        !(GetKeyState(VK_CONTROL) & kKeyDownBit)) {
        TranslateMessage(msg);
        return;
    }
    BYTE state[256];
    if (!GetKeyboardState(state)) {
        TranslateMessage(msg);
        return;
    }
    BYTE saved = state[VK_CONTROL], savedLeft = state[VK_LCONTROL], savedRight = state[VK_RCONTROL];
    state[VK_CONTROL] = state[VK_LCONTROL] = state[VK_RCONTROL] = 0;
    SetKeyboardState(state);
    TranslateMessage(msg);
    state[VK_CONTROL] = saved;
    state[VK_LCONTROL] = savedLeft;
    state[VK_RCONTROL] = savedRight;
    SetKeyboardState(state);
}
} // namespace

void SetCollectUpdateRegionHook(bool (*hook)(HWND)) {
    g_collectUpdate = hook;
}

bool AcceleratorTranslate(MSG* msg) {
    RebuildAccelerators();
    HWND client = static_cast<HWND>(OsMdiClientWindow());
    if (client && TranslateMDISysAccel(client, msg)) return true;
    HWND frame = static_cast<HWND>(OsFrameWindow());
    if (g_accelTable && frame && TranslateAcceleratorA(frame, g_accelTable, msg)) return true;
    TranslateWithoutControl(msg);
    return false;
}

void PlatformMouseScreen(Point32* out) {
    POINT p{0, 0};
    GetCursorPos(&p);
    *out = Point32{p.y, p.x};
}

void PlatformMouseClient(Point32* out) {
    POINT p{0, 0};
    GetCursorPos(&p);
    if (HWND frame = static_cast<HWND>(OsFrameWindow())) ScreenToClient(frame, &p);
    *out = Point32{p.y, p.x};
}

uint16_t PlatformKeyModifiers() {
    uint16_t bits = 0;
    if (GetKeyState(VK_SHIFT) & kKeyDownBit) bits |= kModShift;
    if (GetKeyState(VK_CAPITAL) & 1) bits |= kModCapsLock;
    if (GetKeyState(VK_CONTROL) & kKeyDownBit) bits |= kModControl;
    if (GetKeyState(VK_MENU) & kKeyDownBit) bits |= kModAlt;
    return bits;
}

bool PlatformButtonDown(int32_t button) {
    int vk = VK_MBUTTON;
    bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    if (button == 0)
        vk = swapped ? VK_RBUTTON : VK_LBUTTON;
    else if (button == 1)
        vk = swapped ? VK_LBUTTON : VK_RBUTTON;
    return (GetAsyncKeyState(vk) & kKeyDownBit) != 0;
}

namespace {
HWND (*g_controlKeyOwner)(void* control, bool controlDown) = nullptr;

bool IsKeyOrCharMessage(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_SYSCHAR:
    case WM_SYSDEADCHAR:
        return true;
    default:
        return false;
    }
}

// A key message for a control's child window goes to the control's owner
// window when the control layer says so (Control held, or a control that
// does not take keys itself).
void RedirectControlKey(MSG* msg) {
    if (!g_controlKeyOwner || !msg->hwnd || !IsKeyOrCharMessage(msg->message)) return;
    void* control = GetPropA(msg->hwnd, kControlProperty);
    if (!control) return;
    if (HWND owner = g_controlKeyOwner(control, g_controlDown)) msg->hwnd = owner;
}
} // namespace

void SetControlKeyOwnerProc(HWND (*procedure)(void* control, bool controlDown)) {
    g_controlKeyOwner = procedure;
}

void PlatformMessagePump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT && msg.hwnd && GetPropA(msg.hwnd, kWindowProperty)) {
            OsPaintDispatchEnter();
            DispatchMessageA(&msg);
            OsPaintDispatchLeave();
            if (!g_collectUpdate || !g_collectUpdate(msg.hwnd)) ValidateRect(msg.hwnd, nullptr);
            return;
        }
        if (msg.message == WM_QUIT) {
            OsNoteQuitSeen();
            continue;
        }
        if (AcceleratorTranslate(&msg)) continue;
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            g_controlDown = (GetKeyState(VK_CONTROL) & kKeyDownBit) != 0;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            g_controlDown = false;
            break;
        default:
            break;
        }
        RedirectControlKey(&msg);
        DispatchMessageA(&msg);
    }
}

bool PlatformMessageQueued() {
    return HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0;
}

bool PlatformButtonMessageQueued() {
    return HIWORD(GetQueueStatus(QS_MOUSEBUTTON)) != 0;
}

void PlatformWaitMessage(uint32_t ms) {
    UINT_PTR timer = 0;
    if (ms != kOsWaitNoLimit) timer = SetTimer(nullptr, 0, ms, nullptr);
    WaitMessage();
    if (timer) KillTimer(nullptr, timer);
}

int16_t PlatformKeyScan(uint8_t character) {
    return VkKeyScanA(char(character));
}

void PlatformCaptureMouse(void* window) {
    if (window) SetCapture(static_cast<HWND>(window));
}

void PlatformReleaseMouse() {
    ReleaseCapture();
}

void PlatformExitProcess(int32_t code) {
    ExitProcess(UINT(code));
}

bool OsControlKeyDown() {
    return g_controlDown;
}
