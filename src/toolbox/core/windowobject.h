// Window objects: the record behind every drawable thing of the program (a
// window over a native window, a pane, an offscreen or print port), the id
// table through which records are found again after a callback, and the
// per-window property stack.
//
// Guarantees: sequence numbers count up from 1 for the life of the process
// and are never reused, so WindowObjectFromId of a freed record's number is
// null even when a new record sits at the same address; a record is on the
// id table from NewWindowObject until FreeWindowObjectRecord.
#pragma once
#include <cstdint>

#include "toolbox/core/growarray.h"
#include "toolbox/core/heap.h"

// What a window object stands on.
enum WindowObjectType : uint8_t {
    kWindowTypeNative = 0,
    kWindowTypeOffscreen = 1,
    kWindowTypePrint = 2,
};

// Window kinds.
enum : uint8_t {
    kKindDocument = 0,
    kKindDialog = 1,
    kKindFloating = 2,
    kKindToolWindow = 3,
    kKindPane = 4,
    kKindSplitPane = 5,
    kKindKeptChild = 6, // skipped when the owner disposes its children
};

// Record flags.
constexpr uint32_t kWindowFlagScaled = 0x20;
constexpr uint32_t kWindowFlagClosing = 0x40;

constexpr int32_t kScaleOne = 0x1000000; // 8.24 fixed point 1.0
constexpr int16_t kScalePercentFull = 100;
constexpr int32_t kDefaultScrollStep = 32;
constexpr int8_t kMainSurface = -1;

struct WindowObject;
struct WindowEvent;
struct WindowProperty;
struct RegionRecord;
typedef int32_t (*WindowEventCallback)(WindowObject* window, WindowEvent* event);
struct CommandQuery;
// Answers a menu item's query; true when it answered.
typedef bool (*WindowMenuEnableCallback)(CommandQuery* query);

// Set only while a scroll to a point follows the mouse.
struct AutoScrollRecord {
    void (*procedure)(WindowObject* window, void* userData);
    void* userData;
    int32_t currentSurface;
};

struct WindowObject {
    uint8_t type;
    uint8_t kind;
    uint8_t variant;
    int8_t currentSurface;
    void* port;        // type 0: PortRecord; type 1: DrawingState; type 2: print job
    void* pane;        // type 0: PaneRecord
    void* surfaceList; // the pane's SurfaceList
    WindowObject* owner;
    WindowEventCallback eventCallback;
    GrowArray disabledList; // 32-bit ids of windows disabled while modal
    void* drawingProcs;
    void* textStyle;
    RegionRecord* region;
    GrowArray regionList;
    WindowProperty* properties;
    AutoScrollRecord* autoScroll;
    WindowMenuEnableCallback menuEnableCallback;
    int32_t height, width;                  // logical size of the port
    int32_t verticalScale, horizontalScale; // 8.24 factors
    int16_t percentVertical, percentHorizontal;
    int16_t wholeScaleVertical, wholeScaleHorizontal;
    int32_t sequence;
    void* loopToken;
    uint32_t flags;
    uint32_t options;
    void* userData;
    int32_t scrollStep;
    int32_t pageStep;
    int16_t applicationTag;
    int16_t cursorId;
    int16_t dispatchDepth;
    HeapPool* pool;
};

// A property block's head; the owner's data follows it.
struct WindowProperty {
    WindowProperty* next;
    WindowObject* owner;
    uint32_t tag;
};

// A zeroed record of the pool with its sequence number, current surface -1,
// scale 1.0, 100 percent and scroll step 32; null when out of memory.
WindowObject* NewWindowObject(HeapPool* pool, uint8_t type, uint8_t kind, uint8_t variant,
                              void* portOrPane);
// Takes the record off the id table, frees its properties and the record.
void FreeWindowObjectRecord(WindowObject* window);

// Id table.
int32_t RegisterWindowId(WindowObject* window);
void UnregisterWindowId(int32_t sequence);
WindowObject* WindowObjectFromId(int32_t sequence);
// Counts every removal from the id table: a record found alive since the
// count last changed is alive still.
uint32_t WindowIdRemovals();
// Number of records on the id table (for leak checks).
int32_t WindowIdCount();

// Property stack, newest first.
WindowProperty* FindWindowProperty(WindowObject* window, uint32_t tag);
// Pushes a new block of the head plus dataSize bytes (zeroed); null when
// out of memory.
WindowProperty* LinkWindowProperty(WindowObject* window, uint32_t tag, int32_t dataSize);
// Takes the newest block of the tag off the stack and answers it.
WindowProperty* DetachWindowProperty(WindowObject* window, uint32_t tag);
// Detaches and frees the newest block of the tag; -5604 when absent.
int32_t UnlinkWindowProperty(WindowObject* window, uint32_t tag);
inline void* WindowPropertyData(WindowProperty* property) {
    return property + 1;
}

WindowEventCallback ExchangeWindowEventCallback(WindowObject* window, WindowEventCallback callback);
// The same as ExchangeWindowEventCallback.
WindowEventCallback ExchangeWindowUserWord(WindowObject* window, WindowEventCallback callback);
uint8_t WindowKindOf(const WindowObject* window);
// Whether the record has an owner, or with an ancestor, whether the
// ancestor is in its owner chain.
bool IsOwnedWindow(const WindowObject* window, const WindowObject* ancestor);
WindowObject* RootWindowObject(WindowObject* window);
// Kind selector of the window walks: 7 kinds 0 and 1, 8 every kind, else
// the one kind.
constexpr int32_t kKindsDocumentOrDialog = 7;
constexpr int32_t kKindsAny = 8;
bool KindMatches(const WindowObject* window, int32_t selector);
