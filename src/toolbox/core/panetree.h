// Pane tree: the panes inside each native window (the root pane covers the
// window; document panes and split panes below it), their rectangles and
// visible regions, split links, size limits, hit testing and message walks.
//
// Guarantees: pane ids count up from 1 and are never reused; a message
// walk finds every pane again by id after each message and ends quietly
// when the message disposed what it would go on from; a hidden pane has an
// empty region and neither it nor its children are hit.
#pragma once
#include <cstdint>

#include "toolbox/core/heap.h"
#include "toolbox/core/rect.h"

struct PortRecord;
struct RegionRecord;
struct SurfaceList;
struct WindowObject;
struct PaneRecord;

// Pane flags.
enum : uint32_t {
    kPaneGrowBox = 2,
    kPaneFramed = 8,
    kPaneSplitBarA = 0x10,
    kPaneSplitBarB = 0x20,
    kPaneClippedBySiblings = 0x80,
    kPaneSplit = 0x100,
    kPaneDoubleFrame = 0x200,
    kPaneHidden = 0x400,
    kPaneChildrenDoNotClip = 0x800,
    kPaneRedrawWhole = 0x1000,
    kPaneNoHitTest = 0x2000,
};

// Pane messages.
enum : int32_t {
    kPaneMessageResized = 17,
    kPaneMessageFrame = 21,
    kPaneMessageContent = 22,
    kPaneMessageClickOutside = 24,
    kPaneMessageClickSurface = 25,
};

// Split sides: 0 the panes stack top to bottom, 1 left to right.
enum : uint8_t { kSplitVertical = 0, kSplitHorizontal = 1 };
// Split neighbours: before (top or left) and after (bottom or right).
enum : int32_t { kNeighbourBefore = 0, kNeighbourAfter = 1 };

constexpr int16_t kPaneCoordMax = 32000;
constexpr int16_t kPaneMinSize = 4;
constexpr int16_t kPaneMinBarLength = 52;
constexpr int16_t kPaneMinBarRoom = 48;
constexpr int16_t kDefaultBarThickness = 16;

typedef int32_t (*PaneProc)(PaneRecord* pane, int32_t message, void* data);

struct PaneRecord {
    PaneProc procedure;
    PortRecord* port;
    PaneRecord* parent;
    PaneRecord* firstChild;
    PaneRecord* nextSibling;
    PaneRecord* splitNeighbours[2];
    SurfaceList* surfaceList;
    RegionRecord* region;
    Rect16 windowRect;
    Rect16 localRect;
    int32_t id;
    WindowObject* window;
    uint32_t flags;
    int32_t splitPosition;
    uint32_t frameColour;
    int16_t frameWidth;
    int16_t barThickness;
    uint8_t splitSide;
    Rect16 limits; // stored limits: minimum height, width, maximum height, width
    HeapPool* pool;
};

// Layer-wide scroll-bar thickness given to new panes.
void SetPaneBarThickness(int16_t thickness);
int16_t PaneBarThickness();

// A root pane over the port; limits are the stored size limits (0, 0,
// 32000, 32000 for windows); its window rectangle starts at -1 so that the
// frame lies outside the client area. Null when out of memory.
PaneRecord* NewRootPane(HeapPool* pool, PortRecord* port, const Rect16* limits, uint32_t flags,
                        PaneProc proc);
// A child pane at a rectangle relative to the parent; null when out of memory.
PaneRecord* NewChildPane(PaneRecord* parent, const Rect16* rect, uint32_t flags, PaneProc proc);
// Splits the pane at a position on its parent's axis of the side: the new
// pane takes the far part and becomes the old one's neighbour after.
PaneRecord* NewSplitPane(PaneRecord* pane, int32_t position, uint8_t side, uint32_t flags,
                         PaneProc proc);
// Disposes the pane and its children; the parent's uncovered area is
// invalidated. A split pane gives its room to its neighbour first.
void DisposePane(PaneRecord* pane);
void RemoveSplitPane(PaneRecord* pane);
// Frees every pane of the port record (and any surface list still on one)
// as its native window goes: nothing is invalidated, and the port keeps no
// pane.
void DisposePaneTree(PortRecord* port);

PaneRecord* PaneFromId(int32_t id);
PaneRecord* RootPaneOf(PaneRecord* pane);

// The pane rectangle used for regions (empty for a hidden pane).
Rect16 PaneRegionRect(const PaneRecord* pane);
// Recomputes the regions of the pane and everything below it; the
// accumulator, when given, gathers the pane's region.
void WindowRegionsUpdate(PaneRecord* pane, RegionRecord* accumulator);
// Window rectangles of the children from their local ones, moving native
// children whose position changed.
void UpdateChildRects(PaneRecord* pane);

void ShowPane(PaneRecord* pane);
void HidePane(PaneRecord* pane);
bool IsPaneShown(const PaneRecord* pane);
bool IsPaneTreeShown(const PaneRecord* pane);
void MovePane(PaneRecord* pane, int16_t h, int16_t v);
void ResizePane(PaneRecord* pane, int16_t height, int16_t width);

// Lays out the pane and the split panes after it for new far edges
// (bottom, right, in the parent's coordinates): each pane keeps the room
// up to its split position as far as the panes after it keep at least the
// minimum size, the last one takes the rest; areas that change are
// invalidated and message 17 goes to each pane whose size changed.
void LayoutSplitPanes(PaneRecord* pane, int16_t bottom, int16_t right);
// Stores the split position of the pane (the far edge it shares with the
// pane after it) and lays the chain out again within its current extent.
void SetSplitPositionOfPane(PaneRecord* pane, int32_t position);

// Drags the split bar before the pane (or, without one, after it) with
// the mouse from the point; a release inside the limits grown by 40
// applies the new split position, anything else changes nothing.
void TrackSplitBar(PaneRecord* pane, Point16 point);
constexpr int16_t kSplitDragSlop = 40;

// Minimum height, minimum width, maximum height, maximum width.
Rect16 PaneSizeLimits(const PaneRecord* pane);
// The deepest shown pane whose region holds the point, children first;
// never a hidden one or one with flag 0x2000.
PaneRecord* PaneAtPoint(PaneRecord* pane, Point16 point);
// Sends the message to the pane, then depth first to its children.
void SendPaneMessageTree(PaneRecord* pane, int32_t message, void* data);
int32_t SendPaneMessage(PaneRecord* pane, int32_t message, void* data);
