// The pane tree: records, ids, rectangles, regions, split links, size
// limits, hit tests and message walks.
//
// Pane records are pointer blocks of the window's pool; pane ids live in a
// singly linked list of {next, id, pane} nodes, newest first. Regions are
// recomputed from the root after every change of position, size or
// visibility; areas that change are handed to the pane host.
#include "toolbox/core/panetree.h"

#include <algorithm>
#include <vector>

#include "toolbox/core/memblock.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/region.h"
#include "toolbox/core/regiondrag.h"
#include "toolbox/core/regionbands.h"
#include "toolbox/core/surfacelist.h"

namespace {

struct PaneIdNode {
    PaneIdNode* next;
    int32_t id;
    PaneRecord* pane;
};

PaneIdNode* g_paneIds = nullptr;
int32_t g_lastPaneId = 0;
int16_t g_barThickness = kDefaultBarThickness;

int16_t Clamp16(int32_t v) {
    return int16_t(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

bool RegisterPane(PaneRecord* pane) {
    PaneIdNode* node =
        static_cast<PaneIdNode*>(NewPointerBlockClear(pane->pool, int32_t(sizeof(PaneIdNode))));
    if (!node) return false;
    node->id = pane->id = ++g_lastPaneId;
    node->pane = pane;
    node->next = g_paneIds;
    g_paneIds = node;
    return true;
}

void UnregisterPane(int32_t id) {
    for (PaneIdNode** at = &g_paneIds; *at; at = &(*at)->next) {
        if ((*at)->id != id) continue;
        PaneIdNode* gone = *at;
        *at = gone->next;
        FreeHeapBlock(gone);
        return;
    }
}

PaneRecord* NewPaneRecord(HeapPool* pool, uint32_t flags, PaneProc proc) {
    PaneRecord* pane =
        static_cast<PaneRecord*>(NewPointerBlockClear(pool, int32_t(sizeof(PaneRecord))));
    if (!pane) return nullptr;
    pane->pool = pool;
    pane->region = NewRegion();
    if (!pane->region || !RegisterPane(pane)) {
        DisposeRegion(pane->region);
        FreeHeapBlock(pane);
        return nullptr;
    }
    pane->flags = flags;
    pane->procedure = proc;
    pane->barThickness = g_barThickness;
    pane->frameWidth = (flags & kPaneDoubleFrame) ? 2 : 1;
    pane->limits = {0, 0, kPaneCoordMax, kPaneCoordMax};
    return pane;
}

void LinkChildLast(PaneRecord* parent, PaneRecord* child) {
    child->parent = parent;
    PaneRecord** at = &parent->firstChild;
    while (*at)
        at = &(*at)->nextSibling;
    *at = child;
}

void UnlinkChild(PaneRecord* child) {
    if (!child->parent) return;
    for (PaneRecord** at = &child->parent->firstChild; *at; at = &(*at)->nextSibling) {
        if (*at != child) continue;
        *at = child->nextSibling;
        break;
    }
    child->nextSibling = nullptr;
}

void InvalidatePaneArea(PaneRecord* pane) {
    Rect16 r = PaneRegionRect(pane);
    HostInvalidateRect(pane->port, &r, kAreaInvalidate);
}

// Regions from the root and the area of the pane invalidated before and after.
void PaneChanged(PaneRecord* pane, const Rect16* before) {
    PaneRecord* root = RootPaneOf(pane);
    if (pane->parent) UpdateChildRects(pane->parent);
    WindowRegionsUpdate(root, nullptr);
    HostInvalidateRect(pane->port, before, kAreaInvalidate);
    InvalidatePaneArea(pane);
}

void FreePaneTree(PaneRecord* pane) {
    while (PaneRecord* child = pane->firstChild) {
        pane->firstChild = child->nextSibling;
        FreePaneTree(child);
    }
    // A list whose window did not take it away goes with its pane.
    if (pane->surfaceList) DisposeSurfaceList(pane->surfaceList);
    UnregisterPane(pane->id);
    DisposeRegion(pane->region);
    FreeHeapBlock(pane);
}

Rect16 RectUnion(const Rect16& a, const Rect16& b) {
    if (RectIsEmpty(&a)) return b;
    if (RectIsEmpty(&b)) return a;
    return {std::min(a.top, b.top), std::min(a.left, b.left), std::max(a.bottom, b.bottom),
            std::max(a.right, b.right)};
}

int16_t AddClamped(int32_t a, int32_t b) {
    return int16_t(std::min<int32_t>(a + b, kPaneCoordMax));
}

// The limits a pane's own surface flags and stored limits give.
Rect16 OwnPaneLimits(const PaneRecord* pane) {
    uint32_t flags = pane->surfaceList ? pane->surfaceList->flags : 0;
    int32_t t = pane->barThickness;
    int32_t minH = kPaneMinSize, minW = kPaneMinSize;
    bool vertical = flags & kSurfaceBarVertical, horizontal = flags & kSurfaceBarHorizontal;
    if (vertical) {
        minW = t + kPaneMinSize;
        minH = kPaneMinBarLength;
    }
    if (horizontal) {
        minH += t;
        minW += kPaneMinBarRoom;
    }
    if (flags & kSurfaceGrowBox) {
        if (!vertical) minW += t;
        if (!horizontal) minH += t;
    }
    Rect16 out;
    out.top = Clamp16(std::max<int32_t>(minH, pane->limits.top));
    out.left = Clamp16(std::max<int32_t>(minW, pane->limits.left));
    out.bottom = pane->limits.bottom;
    out.right = pane->limits.right;
    return out;
}

} // namespace

void SetPaneBarThickness(int16_t thickness) {
    g_barThickness = thickness;
}
int16_t PaneBarThickness() {
    return g_barThickness;
}

PaneRecord* PaneFromId(int32_t id) {
    for (PaneIdNode* n = g_paneIds; n; n = n->next)
        if (n->id == id) return n->pane;
    return nullptr;
}

PaneRecord* RootPaneOf(PaneRecord* pane) {
    while (pane && pane->parent)
        pane = pane->parent;
    return pane;
}

PaneRecord* NewRootPane(HeapPool* pool, PortRecord* port, const Rect16* limits, uint32_t flags,
                        PaneProc proc) {
    constexpr uint32_t kPortSizingFrame = 2;
    if (port && (port->flags & kPortSizingFrame)) flags |= kPaneGrowBox;
    PaneRecord* pane = NewPaneRecord(pool, flags, proc);
    if (!pane) return nullptr;
    pane->port = port;
    if (limits) pane->limits = *limits;
    pane->windowRect = {-1, -1, -1, -1};
    pane->localRect = pane->windowRect;
    WindowRegionsUpdate(pane, nullptr);
    return pane;
}

PaneRecord* NewChildPane(PaneRecord* parent, const Rect16* rect, uint32_t flags, PaneProc proc) {
    PaneRecord* pane = NewPaneRecord(parent->pool, flags, proc);
    if (!pane) return nullptr;
    pane->port = parent->port;
    pane->localRect = *rect;
    LinkChildLast(parent, pane);
    UpdateChildRects(parent);
    WindowRegionsUpdate(RootPaneOf(parent), nullptr);
    // Its region, not its rectangle: nothing shows under a hidden ancestor.
    if (!(flags & kPaneHidden)) HostInvalidate(pane->port, pane->region, kAreaInvalidate);
    return pane;
}

PaneRecord* NewSplitPane(PaneRecord* pane, int32_t position, uint8_t side, uint32_t flags,
                         PaneProc proc) {
    if (!pane->parent) return nullptr;
    Rect16 far = pane->localRect;
    int16_t at = Clamp16(position);
    if (side == kSplitVertical) {
        if (at <= far.top || at >= far.bottom) return nullptr;
        far.top = at;
    } else {
        if (at <= far.left || at >= far.right) return nullptr;
        far.left = at;
    }
    Rect16 before = PaneRegionRect(pane);
    PaneRecord* split = NewPaneRecord(pane->pool, flags | kPaneSplit, proc);
    if (!split) return nullptr;
    split->port = pane->port;
    split->localRect = far;
    // A pane's split position is the edge it shares with the pane after it.
    split->splitSide = pane->splitSide = side;
    split->splitPosition = pane->splitNeighbours[kNeighbourAfter] ? pane->splitPosition : at;
    pane->splitPosition = at;
    pane->flags |= kPaneSplit;
    if (side == kSplitVertical)
        pane->localRect.bottom = at;
    else
        pane->localRect.right = at;
    PaneRecord* after = pane->splitNeighbours[kNeighbourAfter];
    split->splitNeighbours[kNeighbourAfter] = after;
    if (after) after->splitNeighbours[kNeighbourBefore] = split;
    split->splitNeighbours[kNeighbourBefore] = pane;
    pane->splitNeighbours[kNeighbourAfter] = split;
    LinkChildLast(pane->parent, split);
    PaneChanged(pane, &before);
    InvalidatePaneArea(split);
    return split;
}

void RemoveSplitPane(PaneRecord* pane) {
    PaneRecord* before = pane->splitNeighbours[kNeighbourBefore];
    PaneRecord* after = pane->splitNeighbours[kNeighbourAfter];
    if (before) before->splitNeighbours[kNeighbourAfter] = after;
    if (before && after) before->splitPosition = pane->splitPosition;
    if (after) after->splitNeighbours[kNeighbourBefore] = before;
    pane->splitNeighbours[kNeighbourBefore] = pane->splitNeighbours[kNeighbourAfter] = nullptr;
    // The neighbour before takes the room up to the pane's far edge, else
    // the one after takes it down to the pane's near edge.
    Rect16& mine = pane->localRect;
    if (before) {
        if (pane->splitSide == kSplitVertical)
            before->localRect.bottom = mine.bottom;
        else
            before->localRect.right = mine.right;
    } else if (after) {
        if (pane->splitSide == kSplitVertical)
            after->localRect.top = mine.top;
        else
            after->localRect.left = mine.left;
    }
    for (PaneRecord* n : {before, after})
        if (n && !n->splitNeighbours[0] && !n->splitNeighbours[1]) n->flags &= ~kPaneSplit;
    DisposePane(pane);
}

void DisposePane(PaneRecord* pane) {
    if (!pane) return;
    if (pane->splitNeighbours[kNeighbourBefore] || pane->splitNeighbours[kNeighbourAfter]) {
        RemoveSplitPane(pane);
        return;
    }
    Rect16 area = PaneRegionRect(pane);
    PaneRecord* parent = pane->parent;
    PortRecord* port = pane->port;
    pane->flags |= kPaneHidden;
    UnlinkChild(pane);
    FreePaneTree(pane);
    if (parent) {
        UpdateChildRects(parent);
        WindowRegionsUpdate(RootPaneOf(parent), nullptr);
        HostInvalidateRect(port, &area, kAreaInvalidate);
    }
}

void DisposePaneTree(PortRecord* port) {
    if (!port || !port->rootPane) return;
    PaneRecord* root = port->rootPane;
    port->rootPane = port->focusPane = port->trackingPane = port->cursorPane = nullptr;
    FreePaneTree(root);
}

Rect16 PaneRegionRect(const PaneRecord* pane) {
    if (pane->flags & kPaneHidden) return {0, 0, 0, 0};
    Rect16 r = pane->windowRect;
    r.bottom = Clamp16(r.bottom + 1);
    r.right = Clamp16(r.right + 1);
    if (pane->parent && (pane->flags & kPaneFramed) && pane->frameWidth > 1) {
        int16_t grow = int16_t(pane->frameWidth - 1);
        r = {Clamp16(r.top - grow), Clamp16(r.left - grow), Clamp16(r.bottom + grow),
             Clamp16(r.right + grow)};
    }
    return r;
}

void WindowRegionsUpdate(PaneRecord* pane, RegionRecord* accumulator) {
    // The visible regions change: the drawing layer clips again.
    if (pane->port) pane->port->focusedSurface = nullptr;
    Rect16 r = PaneRegionRect(pane);
    SetRegionToShortRect(pane->region, &r);
    RegionRecord* work = NewRegion();
    if (!work) return;
    if (PaneRecord* parent = pane->parent) {
        Rect16 pr = PaneRegionRect(parent);
        SetRegionToShortRect(work, &pr);
        CombineRegions(pane->region, pane->region, work, kRegionAnd);
        CombineRegions(pane->region, pane->region, parent->region, kRegionAnd);
        if (parent->surfaceList) {
            SurfaceBarArea(parent->surfaceList, work);
            CombineRegions(pane->region, pane->region, work, kRegionDiff);
        }
        if (accumulator && !(pane->flags & kPaneRedrawWhole))
            CombineRegions(accumulator, accumulator, pane->region, kRegionOr);
        if (pane->flags & kPaneClippedBySiblings)
            for (PaneRecord* s = parent->firstChild; s && s != pane; s = s->nextSibling)
                CombineRegions(pane->region, pane->region, s->region, kRegionDiff);
    }
    SetRegionEmpty(work);
    for (PaneRecord* child = pane->firstChild; child; child = child->nextSibling)
        WindowRegionsUpdate(child, work);
    if (!(pane->flags & kPaneChildrenDoNotClip))
        CombineRegions(pane->region, pane->region, work, kRegionDiff);
    DisposeRegion(work);
    if (SurfaceList* list = pane->surfaceList) {
        if (list->visible && list->region) {
            CombineRegions(list->visible, list->region, pane->region, kRegionAnd);
            if (RegionsEqual(list->visible, list->region))
                list->flags &= ~kSurfacePartlyCovered;
            else
                list->flags |= kSurfacePartlyCovered;
        }
    }
}

void UpdateChildRects(PaneRecord* pane) {
    int32_t dh = pane->windowRect.left, dv = pane->windowRect.top;
    if (pane->surfaceList && (pane->surfaceList->flags & kSurfaceChildrenScroll)) {
        dh -= pane->surfaceList->originH;
        dv -= pane->surfaceList->originV;
    }
    for (PaneRecord* child = pane->firstChild; child; child = child->nextSibling) {
        const Rect16& l = child->localRect;
        Rect16 w = {Clamp16(l.top + dv), Clamp16(l.left + dh), Clamp16(l.bottom + dv),
                    Clamp16(l.right + dh)};
        bool moved = w.top != child->windowRect.top || w.left != child->windowRect.left ||
                     w.bottom != child->windowRect.bottom || w.right != child->windowRect.right;
        child->windowRect = w;
        if (child->surfaceList) child->surfaceList->rect = w;
        if (moved) HostMoveNativeChild(child);
        UpdateChildRects(child);
    }
}

bool IsPaneShown(const PaneRecord* pane) {
    return pane && !(pane->flags & kPaneHidden);
}

bool IsPaneTreeShown(const PaneRecord* pane) {
    for (; pane; pane = pane->parent)
        if (pane->flags & kPaneHidden) return false;
    return true;
}

void ShowPane(PaneRecord* pane) {
    if (!(pane->flags & kPaneHidden)) return;
    pane->flags &= ~kPaneHidden;
    Rect16 none = {0, 0, 0, 0};
    PaneChanged(pane, &none);
}

void HidePane(PaneRecord* pane) {
    if (pane->flags & kPaneHidden) return;
    Rect16 before = PaneRegionRect(pane);
    pane->flags |= kPaneHidden;
    PaneChanged(pane, &before);
}

void MovePane(PaneRecord* pane, int16_t h, int16_t v) {
    Rect16& l = pane->localRect;
    if (l.left == h && l.top == v) return;
    Rect16 before = PaneRegionRect(pane);
    l = {v, h, Clamp16(l.bottom + v - l.top), Clamp16(l.right + h - l.left)};
    PaneChanged(pane, &before);
}

void ResizePane(PaneRecord* pane, int16_t height, int16_t width) {
    // A root pane's rectangle starts at -1 (its frame lies outside the
    // client area), so its size is measured from 0.
    Rect16& l = pane->localRect;
    int16_t top = pane->parent ? l.top : 0, left = pane->parent ? l.left : 0;
    if (l.bottom - top == height && l.right - left == width) return;
    Rect16 before = PaneRegionRect(pane);
    int32_t id = pane->id;
    l.bottom = Clamp16(top + height);
    l.right = Clamp16(left + width);
    if (!pane->parent) pane->windowRect = l;
    PaneChanged(pane, &before);
    if (PaneFromId(id) == pane) SendPaneMessage(pane, kPaneMessageResized, nullptr);
}

Rect16 PaneSizeLimits(const PaneRecord* pane) {
    if (pane->parent) return {0, 0, kPaneCoordMax, kPaneCoordMax};
    Rect16 limits = OwnPaneLimits(pane);
    const PaneRecord* next = pane->splitNeighbours[kNeighbourAfter];
    if (next && next->splitNeighbours[kNeighbourBefore] == pane) {
        Rect16 n = OwnPaneLimits(next);
        if (next->splitSide == kSplitVertical) {
            limits.top = std::max(limits.top, AddClamped(limits.top, n.top));
            limits.bottom = std::max(limits.bottom, AddClamped(limits.bottom, n.bottom));
        } else {
            limits.left = std::max(limits.left, AddClamped(limits.left, n.left));
            limits.right = std::max(limits.right, AddClamped(limits.right, n.right));
        }
    }
    return limits;
}

PaneRecord* PaneAtPoint(PaneRecord* pane, Point16 point) {
    if (!pane || (pane->flags & kPaneHidden)) return nullptr;
    for (PaneRecord* child = pane->firstChild; child; child = child->nextSibling)
        if (PaneRecord* hit = PaneAtPoint(child, point)) return hit;
    if (!(pane->flags & kPaneNoHitTest) && PointInRegion(point, pane->region)) return pane;
    return nullptr;
}

int32_t SendPaneMessage(PaneRecord* pane, int32_t message, void* data) {
    constexpr int32_t kNotHandled = -9874;
    if (!pane || !pane->procedure) return kNotHandled;
    return pane->procedure(pane, message, data);
}

void SendPaneMessageTree(PaneRecord* pane, int32_t message, void* data) {
    int32_t id = pane->id;
    SendPaneMessage(pane, message, data);
    pane = PaneFromId(id);
    if (!pane) return;
    // The children's ids are noted first: a message may dispose any of them.
    std::vector<int32_t> children;
    for (PaneRecord* c = pane->firstChild; c; c = c->nextSibling)
        children.push_back(c->id);
    for (int32_t child : children) {
        if (!PaneFromId(id)) return;
        if (PaneRecord* c = PaneFromId(child)) SendPaneMessageTree(c, message, data);
    }
}

void LayoutSplitPanes(PaneRecord* pane, int16_t bottom, int16_t right) {
    std::vector<int32_t> resized;
    Rect16 area = {0, 0, 0, 0};
    bool first = true;
    for (PaneRecord* p = pane; p; p = p->splitNeighbours[kNeighbourAfter]) {
        PaneRecord* next = p->splitNeighbours[kNeighbourAfter];
        Rect16 before = PaneRegionRect(p);
        Rect16& l = p->localRect;
        int16_t oldHeight = int16_t(l.bottom - l.top), oldWidth = int16_t(l.right - l.left);
        int16_t farBottom = std::max<int16_t>(bottom, Clamp16(l.top + kPaneMinSize));
        int16_t farRight = std::max<int16_t>(right, Clamp16(l.left + kPaneMinSize));
        if (next && next->splitSide == kSplitVertical) {
            farBottom =
                Clamp16(std::clamp<int32_t>(p->splitPosition, l.top + kPaneMinSize,
                                            std::max(l.top + kPaneMinSize, bottom - kPaneMinSize)));
            next->localRect.top = farBottom;
        } else if (next) {
            farRight =
                Clamp16(std::clamp<int32_t>(p->splitPosition, l.left + kPaneMinSize,
                                            std::max(l.left + kPaneMinSize, right - kPaneMinSize)));
            next->localRect.left = farRight;
        }
        if (next) p->splitPosition = next->splitSide == kSplitVertical ? farBottom : farRight;
        l.bottom = farBottom;
        l.right = farRight;
        if (!p->parent) p->windowRect = l;
        if (l.bottom - l.top != oldHeight || l.right - l.left != oldWidth) resized.push_back(p->id);
        area = first ? before : RectUnion(area, before);
        first = false;
    }
    PaneRecord* root = RootPaneOf(pane);
    if (pane->parent) UpdateChildRects(pane->parent);
    UpdateChildRects(root);
    WindowRegionsUpdate(root, nullptr);
    HostInvalidateRect(pane->port, &area, kAreaInvalidate);
    for (PaneRecord* p = pane; p; p = p->splitNeighbours[kNeighbourAfter])
        InvalidatePaneArea(p);
    for (int32_t id : resized)
        if (PaneRecord* p = PaneFromId(id)) SendPaneMessage(p, kPaneMessageResized, nullptr);
}

void SetSplitPositionOfPane(PaneRecord* pane, int32_t position) {
    PaneRecord* next = pane->splitNeighbours[kNeighbourAfter];
    if (!next) return;
    pane->splitPosition = position;
    PaneRecord* first = pane;
    while (first->splitNeighbours[kNeighbourBefore])
        first = first->splitNeighbours[kNeighbourBefore];
    PaneRecord* last = next;
    while (last->splitNeighbours[kNeighbourAfter])
        last = last->splitNeighbours[kNeighbourAfter];
    LayoutSplitPanes(first, last->localRect.bottom, last->localRect.right);
}

void TrackSplitBar(PaneRecord* pane, Point16 point) {
    PaneRecord* before = pane->splitNeighbours[kNeighbourBefore];
    if (!before) {
        before = pane;
        pane = pane->splitNeighbours[kNeighbourAfter];
        if (!pane) return;
    }
    bool vertical = pane->splitSide == kSplitVertical;
    const Rect16& b = before->windowRect;
    const Rect16& a = pane->windowRect;
    Rect16 bar, limit;
    if (vertical) {
        bar = {Clamp16(a.top - 1), a.left, Clamp16(a.top + 1), a.right};
        limit = {Clamp16(b.top + kPaneMinSize), a.left, Clamp16(a.bottom - kPaneMinSize), a.right};
    } else {
        bar = {a.top, Clamp16(a.left - 1), a.bottom, Clamp16(a.left + 1)};
        limit = {a.top, Clamp16(b.left + kPaneMinSize), a.bottom, Clamp16(a.right - kPaneMinSize)};
    }
    Rect16 slop = {Clamp16(limit.top - kSplitDragSlop), Clamp16(limit.left - kSplitDragSlop),
                   Clamp16(limit.bottom + kSplitDragSlop), Clamp16(limit.right + kSplitDragSlop)};
    RegionRecord* region = NewRectRegion(&bar);
    if (!region) return;
    int32_t offset =
        DragRegionOutline(pane->port, region, point, &limit, &slop,
                          vertical ? kDragVertical : kDragHorizontal, nullptr, nullptr);
    DisposeRegion(region);
    if (offset == kNoDragOffset) return;
    int32_t move = vertical ? int16_t(uint32_t(offset) >> 16) : int16_t(offset & 0xFFFF);
    if (move) SetSplitPositionOfPane(before, before->splitPosition + move);
}
