// Window events: the 32-byte records a window object's event callback
// receives, the makers and senders of the common ones, the dispatch to the
// callback with its fallback to the default handling, and the services of
// the dialog layer and the native window layer that dispatch relies on.
//
// Guarantees: every step after a callback finds its window again by its
// sequence number and stops quietly when the callback disposed it; the
// window's dispatch depth is raised for the callback and lowered again only
// while the window exists.
#pragma once
#include <cstdint>

#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"

// Window event types.
enum : uint32_t {
    kWindowEventIdle = 0,
    kWindowEventSelectItem = 1,
    kWindowEventClose = 2,
    kWindowEventDispose = 3,
    kWindowEventActivate = 4,
    kWindowEventFocus = 5,
    kWindowEventResize = 6,
    kWindowEventUpdate = 7,
    kWindowEventMouseDown = 8,
    kWindowEventMouseUp = 9,
    kWindowEventDoubleClick = 10,
    kWindowEventKey = 11,
    kWindowEventDialogItem = 12,
    kWindowEventScroll = 13,
    kWindowEventScrollTo = 14,
    kWindowEventCommand = 15,
    kWindowEventDialogFilter = 16,
    kWindowEventControl = 17,
    kWindowEventDialogOther = 18,
    kWindowEventDismiss = 19,
    kWindowEventClickOutside = 20,
    kWindowEventMouseOver = 21,
    kWindowEventWheel = 22,
    kWindowEventKeyCommand = 24,
    kWindowEventModifiers = 25,
    kWindowEventNone = 26, // never sent: marks "nothing to send"
};

// Record flags kept or read by the window-event layer.
enum : uint32_t {
    kWindowFlagNoDrawingSetUp = 1,
    kWindowFlagClickTakesFocus = 4,
    kWindowFlagNoUpdates = 8,
    kWindowFlagNoItemDrawing = 0x10,
    kWindowFlagClickOutsideAnswer = 0x100,
    kWindowFlagItemsDisabled = 0x400,
    kWindowFlagOwnKeys = 0x10000,
    kWindowFlagMouseOver = 0x20000,
};

// Key commands that switch a tabs item.
constexpr int16_t kCommandPreviousTab = 33000;
constexpr int16_t kCommandNextTab = 33001;
// Dialog items the default handling knows.
constexpr int16_t kItemOk = 1;
constexpr int16_t kItemCancel = 2;
constexpr int16_t kItemKindEditText = 5;
constexpr int16_t kItemKindList = 7;
constexpr int16_t kItemKindTabs = 11;
// Results.
constexpr int32_t kWindowEventNotHandled = -9874;

struct WindowEvent {
    uint32_t type;
    union {
        struct {
            uint8_t helpTag;
        } idle;
        struct {
            int16_t item;
            uint8_t bringForward;
        } select;
        struct {
            uint8_t quitting;
        } close;
        struct {
            uint8_t active;
        } activate;
        struct {
            uint8_t gains;
            uint8_t refuse; // set by the callback to keep the focus
        } focus;
        struct {
            int32_t height, width;
            uint8_t flag;
        } resize;
        struct {
            Rect16 rect;
            uint8_t flag;
        } update;
        struct {
            int16_t button;
            uint8_t shift, control;
            uint8_t modifiers; // 1 Shift, 2 Control, 4 Alt
            Point16 point;
            int32_t v, h;
        } mouse;
        struct {
            uint16_t character;
            uint8_t shift, control, modifiers;
            uint8_t special;
            uint8_t virtualKey;
        } key;
        struct {
            int32_t newValue, oldValue;
            uint8_t action; // request less 26
            uint8_t bar;    // 0 vertical, 1 horizontal
        } scroll;
        struct {
            int32_t v, h;
        } scrollTo;
        struct {
            int16_t menu, command, item, extra;
            uint8_t value, shift, control;
        } command;
        struct {
            uint32_t item; // number, kind in bits 16-23
            int16_t kind, part;
            int32_t value, controlValue;
            uint8_t negative;
        } control;
        struct {
            int16_t item;
        } dismiss;
        struct {
            Point16 point;
            int8_t surface;
        } over;
        struct {
            Point16 point;
            int32_t delta;
            uint16_t modifiers;
        } wheel;
        struct {
            int16_t command;
        } keyCommand;
        uint8_t raw[28];
    };
};
static_assert(sizeof(WindowEvent) == 32, "a window event is 32 bytes");

// What the window-event layer asks of the dialog layer. Every entry
// defaults to "not handled" (false, 0 or nothing done).
struct DialogLayerProcs {
    // The dialog's key filter and default keys; true when handled.
    bool (*filterKey)(WindowObject* window, const OsEventRecord* record);
    // The focused item takes the key (or the wheel record); true when handled.
    bool (*focusedItemEvent)(WindowObject* window, const OsEventRecord* record);
    // The item under a point that takes a left click; true when it did.
    bool (*clickItem)(WindowObject* window, const OsEventRecord* record);
    int16_t (*focusedItem)(WindowObject* window);
    void (*setFocusItem)(WindowObject* window, int16_t item);
    int16_t (*itemKind)(WindowObject* window, int16_t item);
    void (*selectAllText)(WindowObject* window, int16_t item);
    void (*dismiss)(WindowObject* window, int16_t item);
    bool (*setItemsEnabled)(WindowObject* window, bool enable);
    // The item behaviours of types 12, 16 and 17 (check boxes, radio
    // buttons, self-drawn items); an answer for the event.
    int32_t (*itemBehaviour)(WindowObject* window, WindowEvent* event);
    // Switches the dialog's tabs item by -1 or +1; false without one.
    bool (*switchTab)(WindowObject* window, int32_t step);
    void (*drawItems)(WindowObject* window);
    void (*disposeAllItems)(WindowObject* window);
};
void SetDialogLayerProcs(const DialogLayerProcs* procs);
const DialogLayerProcs& DialogLayer();

// What no window handles: a command climbing past the top owner. The
// default answers "not handled".
typedef int32_t (*ProcessCommandProc)(const WindowEvent* event);
void SetProcessCommandProc(ProcessCommandProc procedure);
int32_t ProcessCommandOf(const WindowEvent* event);

// Makes the window the current port (its drawing state) and answers the
// previous one.
void* MakeWindowCurrentPort(WindowObject* window);

// Type 11 from a key record (message: key code in bits 8-15, character in
// 0-7; modifiers).
void MakeKeyEvent(const OsEventRecord* record, bool keypadOption, WindowEvent* out);
// Type 8 from a mouse record, the point already in surface coordinates.
void MakeMouseEvent(const OsEventRecord* record, Point32 point, WindowEvent* out);
// Type 13 for a scroll request.
void MakeScrollEvent(int32_t newValue, int32_t oldValue, int32_t action, int32_t bar,
                     WindowEvent* out);
// Modifier bits of window events from the record's ModifierBits.
uint8_t WindowEventModifiers(uint16_t modifiers);

// The senders: true when the window still exists afterwards.
bool SendSelectItemEvent(WindowObject* window, int16_t item, bool bringForward);
void SendDisposeNotice(WindowObject* window);
bool SendResizeEvent(WindowObject* window, int32_t height, int32_t width, uint8_t flag);
// For a losing window, false when the callback refused to give the focus
// up (or the window is gone).
bool SendFocusEvent(WindowObject* window, bool gains);
int32_t SendControlEvent(WindowObject* window, const WindowEvent* event);
void SendWindowCloseEvent(WindowObject* window, bool quitting);

// The callback (or the default handling) for the event.
int32_t EventDispatchToView(WindowObject* window, WindowEvent* event);
int32_t DefaultWindowEventHandler(WindowObject* window, WindowEvent* event);
