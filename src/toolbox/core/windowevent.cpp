// Window event records: the makers, the senders and the service tables of
// the dialog layer and of command processing.
#include "toolbox/core/windowevent.h"

#include <cstring>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/hooktable.h"
#include "toolbox/core/keycodechar.h"
#include "toolbox/core/keycommand.h"
#include "toolbox/core/windowlist.h"

namespace {

bool NoKey(WindowObject*, const OsEventRecord*) {
    return false;
}
int16_t NoItem(WindowObject*) {
    return 0;
}
void NoSetItem(WindowObject*, int16_t) {}
int16_t NoKind(WindowObject*, int16_t) {
    return 0;
}
bool NoEnable(WindowObject*, bool) {
    return false;
}
int32_t NoBehaviour(WindowObject*, WindowEvent*) {
    return 0;
}
bool NoTab(WindowObject*, int32_t) {
    return false;
}
void NoWindowOp(WindowObject*) {}

const DialogLayerProcs kDefaults{&NoKey,  &NoKey,      &NoKey,     &NoItem,   &NoSetItem,
                                 &NoKind, &NoSetItem,  &NoSetItem, &NoEnable, &NoBehaviour,
                                 &NoTab,  &NoWindowOp, &NoWindowOp};
DialogLayerProcs g_dialog = kDefaults;

int32_t NotHandled(const WindowEvent*) {
    return kWindowEventNotHandled;
}
ProcessCommandProc g_processCommand = &NotHandled;

constexpr uint16_t kModControlBit = 0x0800;

WindowEvent NewEvent(uint32_t type) {
    WindowEvent event;
    std::memset(&event, 0, sizeof(event));
    event.type = type;
    return event;
}

} // namespace

void SetDialogLayerProcs(const DialogLayerProcs* procs) {
    DialogLayerProcs given = procs ? *procs : DialogLayerProcs{};
    PickProc(g_dialog.filterKey, given.filterKey, kDefaults.filterKey);
    PickProc(g_dialog.focusedItemEvent, given.focusedItemEvent, kDefaults.focusedItemEvent);
    PickProc(g_dialog.clickItem, given.clickItem, kDefaults.clickItem);
    PickProc(g_dialog.focusedItem, given.focusedItem, kDefaults.focusedItem);
    PickProc(g_dialog.setFocusItem, given.setFocusItem, kDefaults.setFocusItem);
    PickProc(g_dialog.itemKind, given.itemKind, kDefaults.itemKind);
    PickProc(g_dialog.selectAllText, given.selectAllText, kDefaults.selectAllText);
    PickProc(g_dialog.dismiss, given.dismiss, kDefaults.dismiss);
    PickProc(g_dialog.setItemsEnabled, given.setItemsEnabled, kDefaults.setItemsEnabled);
    PickProc(g_dialog.itemBehaviour, given.itemBehaviour, kDefaults.itemBehaviour);
    PickProc(g_dialog.switchTab, given.switchTab, kDefaults.switchTab);
    PickProc(g_dialog.drawItems, given.drawItems, kDefaults.drawItems);
    PickProc(g_dialog.disposeAllItems, given.disposeAllItems, kDefaults.disposeAllItems);
}

const DialogLayerProcs& DialogLayer() {
    return g_dialog;
}

void SetProcessCommandProc(ProcessCommandProc procedure) {
    g_processCommand = procedure ? procedure : &NotHandled;
}

int32_t ProcessCommandOf(const WindowEvent* event) {
    return g_processCommand(event);
}

void* MakeWindowCurrentPort(WindowObject* window) {
    void* previous = DrawingLayer().currentPort();
    DrawingLayer().setCurrentWindow(window);
    return previous;
}

uint8_t WindowEventModifiers(uint16_t modifiers) {
    // The same bits as key commands: 1 Shift, 2 Control, 4 Alt.
    return uint8_t(KeyCommandBitsOfRecord(modifiers));
}

void MakeKeyEvent(const OsEventRecord* record, bool keypadOption, WindowEvent* out) {
    *out = NewEvent(kWindowEventKey);
    uint8_t virtualKey = uint8_t(record->message >> 8);
    bool shift = record->modifiers & kModShift;
    out->key.shift = shift;
    out->key.control = (record->modifiers & kModControlBit) != 0;
    out->key.modifiers = WindowEventModifiers(record->modifiers);
    out->key.virtualKey = virtualKey;
    out->key.character = KeyCodeToCharacter(virtualKey, uint8_t(record->message), shift,
                                            keypadOption, &out->key.special);
}

void MakeMouseEvent(const OsEventRecord* record, Point32 point, WindowEvent* out) {
    *out = NewEvent(kWindowEventMouseDown);
    out->mouse.button = int16_t(record->message & 3);
    out->mouse.shift = (record->modifiers & kModShift) != 0;
    out->mouse.control = (record->modifiers & kModControlBit) != 0;
    out->mouse.modifiers = WindowEventModifiers(record->modifiers);
    out->mouse.v = point.v;
    out->mouse.h = point.h;
    PointToShort(&point, &out->mouse.point);
}

void MakeScrollEvent(int32_t newValue, int32_t oldValue, int32_t action, int32_t bar,
                     WindowEvent* out) {
    *out = NewEvent(kWindowEventScroll);
    out->scroll.newValue = newValue;
    out->scroll.oldValue = oldValue;
    out->scroll.action = uint8_t(action);
    out->scroll.bar = uint8_t(bar);
}

bool SendSelectItemEvent(WindowObject* window, int16_t item, bool bringForward) {
    int32_t id = window->sequence;
    WindowEvent event = NewEvent(kWindowEventSelectItem);
    event.select.item = item;
    event.select.bringForward = bringForward;
    EventDispatchToView(window, &event);
    return WindowObjectFromId(id) == window;
}

void SendDisposeNotice(WindowObject* window) {
    WindowEvent event = NewEvent(kWindowEventDispose);
    EventDispatchToView(window, &event);
}

bool SendResizeEvent(WindowObject* window, int32_t height, int32_t width, uint8_t flag) {
    int32_t id = window->sequence;
    WindowEvent event = NewEvent(kWindowEventResize);
    event.resize.height = height;
    event.resize.width = width;
    event.resize.flag = flag;
    EventDispatchToView(window, &event);
    return WindowObjectFromId(id) == window;
}

bool SendFocusEvent(WindowObject* window, bool gains) {
    int32_t id = window->sequence;
    WindowEvent event = NewEvent(kWindowEventFocus);
    event.focus.gains = gains;
    EventDispatchToView(window, &event);
    if (WindowObjectFromId(id) != window) return false;
    return gains || !event.focus.refuse;
}

int32_t SendControlEvent(WindowObject* window, const WindowEvent* event) {
    WindowEvent copy = *event;
    copy.type = kWindowEventControl;
    return EventDispatchToView(window, &copy);
}

void SendWindowCloseEvent(WindowObject* window, bool quitting) {
    WindowEvent event = NewEvent(kWindowEventClose);
    event.close.quitting = quitting;
    EventDispatchToView(window, &event);
}
