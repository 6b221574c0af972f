// Surface lists: the scrollable content of a window object's pane, with up
// to four drawing surfaces (the main one, -1, and 0, 1, 2 that follow the
// content along one axis only), the scroll-bar controls, the grow box and
// the scroll origin.
//
// Guarantees: the layout of a list depends only on its rectangle, flags
// and bar thickness; scroll positions are never negative; a bar's maximum
// is never below its minimum 0.
#pragma once
#include <cstdint>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/rect.h"

struct PaneRecord;
struct RegionRecord;
struct SurfaceList;

// Surface flags.
enum : uint32_t {
    kSurfaceStripVertical = 2,   // vertical strip without a bar control
    kSurfaceStripHorizontal = 4, // horizontal strip without a bar control
    kSurfaceBarVertical = 8,
    kSurfaceBarHorizontal = 0x20,
    kSurfaceEraseBackground = 64,
    kSurfaceGrowBox = 0x80,
    kSurfaceThumbNotLive = 0x100,
    kSurfaceBarOverVertical = 0x200,
    kSurfaceBarOverHorizontal = 0x400,
    kSurfaceWheelPages = 0x800,
    kSurfaceChildrenScroll = 0x1000,
    kSurfaceClickSelects = 0x200000,
    kSurfacePartlyCovered = 0x400000,
    kSurfaceCaptureState = 0x4000000,
    kSurfaceActionsVertical = 0x8000000,
    kSurfaceActionsHorizontal = 0x10000000,
    kSurfaceScrolled = 0x40000000,
};

constexpr int32_t kSurfaceScrollStep = 16;
// A bar control is shown only when longer than this.
constexpr int32_t kBarShownMinLength = 48;
constexpr int32_t kSurfaceCount = 4; // indexes -1 .. 2
constexpr int32_t kMainSurfaceIndex = -1;
constexpr int32_t kNoSurface = -2;
constexpr int32_t kExtentUnlimited = INT32_MAX;

struct SurfaceRecord {
    int32_t offsetV, offsetH;     // offset of its content
    int32_t positionV, positionH; // scroll position
    Rect16 rect;                  // in pane coordinates
    void* barV;
    void* barH;
    int8_t index;
};

typedef int32_t (*SurfaceContentProc)(SurfaceList* list, int32_t message, void* data);
typedef int32_t (*SurfaceOriginProc)(SurfaceList* list, int32_t index, int32_t dv, int32_t dh);

struct SurfaceList {
    SurfaceContentProc contentProc;
    SurfaceOriginProc surfaceProc;
    PaneRecord* pane;
    RegionRecord* region;  // content region
    RegionRecord* visible; // content region less what other panes cover
    RegionRecord* secondRegion;
    Rect16 rect; // the pane's rectangle
    int32_t originV, originH;
    int32_t appliedV, appliedH;
    void* barV;
    void* barH;
    int32_t barValues[2];                   // the bars' values as last set or read, by axis
    SurfaceRecord* surfaces[kSurfaceCount]; // index + 1
    int8_t current;
    void* helpTags;
    uint32_t flags;
    int32_t scrollStep;
    int32_t pageStep;                    // 0: the visible extent less one line
    int32_t contentHeight, contentWidth; // logical size of the content
    uint8_t hasSurfaces;
    // The drawing settings the surfaces draw with, captured at creation and
    // written back when the focus leaves them.
    DrawingSettings settings;
    uint8_t hasSettings;
    // The window's erase colour (the port's background at creation).
    ColourRGB16 savedBackground;
    uint8_t hasSavedBackground;
};

// The layout of a list's rectangle: content and the two bar rectangles.
struct SurfaceLayout {
    Rect16 content;
    Rect16 barV;
    Rect16 barH;
};
// topOffset and leftOffset: the pane's frame insets; thickness: its bar
// thickness.
SurfaceLayout ComputeSurfaceLayout(const Rect16* rect, uint32_t flags, int16_t thickness,
                                   int16_t topOffset, int16_t leftOffset);
// Whether the axis keeps a strip (a bar or a strip without a control).
bool HasVerticalStrip(uint32_t flags);
bool HasHorizontalStrip(uint32_t flags);
// A bar control is shown when longer than 47 pixels along its axis
// (0 vertical, 1 horizontal).
bool BarLongEnoughToShow(const Rect16* bar, int32_t axis);

// The layout of a list from its pane's rectangle, frame insets and bar
// thickness.
SurfaceLayout SurfaceListLayout(const SurfaceList* list);
// The strips of the list's bars (and the grow-box square) inside its
// rectangle, in window coordinates.
void SurfaceBarArea(const SurfaceList* list, RegionRecord* out);

// The main surface and surfaces 0 to 2 by index (-1 or any index with its
// sign bit set: the main one); null when the list has no such surface.
SurfaceRecord* SurfaceAt(const SurfaceList* list, int32_t index);

// A list for the pane: the grow box is added for pane flag 2 or both bars,
// the scroll step is 16, flag 0x4000000 is cleared once read; the list is
// laid out, the window regions updated, its rectangle invalidated and the
// content scrolled to (v, h). Null when out of memory.
SurfaceList* NewSurfaceList(SurfaceContentProc proc, uint32_t flags, PaneRecord* pane, int32_t v,
                            int32_t h);
void DisposeSurfaceList(SurfaceList* list);
// Content and bar rectangles from the pane's rectangle; bars made for the
// axes that ask for them, each shown when long enough; the main surface
// made over the content.
bool LayoutSurfaceList(SurfaceList* list);
// A surface 0 to 2 over a rectangle in pane coordinates (made when absent);
// null when out of memory or for another index.
SurfaceRecord* SetSurfaceRect(SurfaceList* list, int32_t index, const Rect16* rect);
// Surface -1, 0, 1, 2 whose rectangle holds the point, else -2.
int32_t SurfaceAtPoint(const SurfaceList* list, Point16 point);
// The surface's origin: the local coordinates of its top-left corner (its
// scroll position); (0, 0) for a missing surface.
Point32 SurfaceOrigin(const SurfaceList* list, int32_t index);
// The drawing layer must set the list's clip and origin again before the
// next drawing: the surface moved, scrolled or changed its layout.
void DropSurfaceFocus(SurfaceList* list);

// Extent of a surface's content on an axis (0 vertical): the content size
// plus the surface's offset; negative means unlimited.
int32_t SurfaceExtent(const SurfaceList* list, const SurfaceRecord* surface, int32_t axis);

// Scroll-bar model of an axis: minimum 0, maximum, value.
struct ScrollBarState {
    int32_t maximum;
    int32_t value;
};
ScrollBarState SurfaceBarState(const SurfaceList* list, int32_t axis);
// Sets the scroll position (negative gives 0): every surface follows the
// axes it scrolls on, the changed area grown by 2 and cut to the pane is
// invalidated, and each bar of an axis without the action flag gets
// maximum extent - visible (at least 0) and value = position.
void ScrollSurfacesTo(SurfaceList* list, int32_t v, int32_t h, uint32_t flags);
// Flag of ScrollSurfacesTo: the caller takes care of what changed.
constexpr uint32_t kScrollKeepUpdate = 1;
// Moves one surface's scroll position by (dv, dh) (never below 0),
// invalidates its rectangle and tells the surface procedure; answers the
// procedure's answer (0 without one, -1 for a missing surface).
int32_t MoveSurfaceScroll(SurfaceList* list, int32_t index, int32_t dh, int32_t dv);
// Moves one surface's rectangle by (dv, dh) and tells the surface
// procedure; answers the procedure's answer (0 without one, -1 for a
// missing surface).
int32_t MoveSurfaceOrigin(SurfaceList* list, int32_t index, int32_t dv, int32_t dh);
// The index of the current surface (-1 for none or the main one).
int32_t CurrentSurfaceIndex(const SurfaceList* list);
// The surface's rectangle in port coordinates as a region; empty when the
// list has no such surface.
void SurfaceRegion(const SurfaceList* list, int32_t index, RegionRecord* out);
// Whether the rectangle (the current surface's local coordinates), moved
// into port coordinates and cut to the surface, meets the clip of the
// port's drawing state (no state or no clip: wide open).
bool SurfaceRectVisible(const SurfaceList* list, const Rect16* rect);
// After the pane's rectangle changed: the bar strips before and after and
// the content that changed are invalidated, the list laid out again and
// the scroll position applied again within the new maximum. False when
// the content rectangle did not change.
bool ResizeSurfaceList(SurfaceList* list, PaneRecord* pane);
