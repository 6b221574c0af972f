// Region records over the banded engine: the rectangle list lives in a
// pointer block; every change goes through StoreRects, which refreshes the
// bounds and complexity and drops the cached native region.
#include "toolbox/core/region.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "toolbox/core/memblock.h"
#include "toolbox/core/regionbands.h"

namespace {

RegionRects ListOf(const RegionRecord* region) {
    return RegionRects(region->rects, region->rects + region->count);
}

int32_t Clamp(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, -kRegionCoordLimit, kRegionCoordLimit));
}

Rect32 Clamped(int64_t top, int64_t left, int64_t bottom, int64_t right) {
    return Rect32{Clamp(top), Clamp(left), Clamp(bottom), Clamp(right)};
}

// Replaces the region's rectangles; false (unchanged) without memory.
bool StoreRects(RegionRecord* region, const RegionRects& rects) {
    int32_t count = int32_t(rects.size());
    Rect32* block = nullptr;
    if (count) {
        block = static_cast<Rect32*>(NewPointerBlock(nullptr, count * int32_t(sizeof(Rect32))));
        if (!block) return false;
        std::memcpy(block, rects.data(), rects.size() * sizeof(Rect32));
    }
    if (region->rects) FreeHeapBlock(region->rects);
    region->rects = block;
    region->count = count;
    region->complexity = count == 0 ? kRegionEmpty : count == 1 ? kRegionSimple : kRegionComplex;
    region->bounds = Rect32{0, 0, 0, 0};
    if (count) {
        region->bounds = rects.front();
        region->bounds.bottom = rects.back().bottom;
        for (const Rect32& r : rects) {
            region->bounds.left = std::min(region->bounds.left, r.left);
            region->bounds.right = std::max(region->bounds.right, r.right);
        }
    }
    RegionDropNative(region);
    return true;
}

bool StoreUnion(RegionRecord* region, const RegionRects& pieces) {
    return SetRegionToUnion(region, pieces.data(), int32_t(pieces.size()));
}

} // namespace

bool SetRegionToUnion(RegionRecord* region, const Rect32* rects, int32_t count) {
    RegionRects canonical;
    RegionRectsFromRects(rects, size_t(count > 0 ? count : 0), &canonical);
    return StoreRects(region, canonical);
}

RegionRecord* NewRegion() {
    return static_cast<RegionRecord*>(NewPointerBlockClear(nullptr, sizeof(RegionRecord)));
}

RegionRecord* NewRectRegion(const Rect16* rect) {
    RegionRecord* region = NewRegion();
    if (region && rect) SetRegionToShortRect(region, rect);
    return region;
}

void DisposeRegion(RegionRecord* region) {
    if (!region) return;
    RegionDropNative(region);
    if (region->rects) FreeHeapBlock(region->rects);
    FreeHeapBlock(region);
}

void OffsetRegion(RegionRecord* region, int32_t dh, int32_t dv) {
    RegionRects moved = ListOf(region);
    bool clamped = false;
    for (Rect32& r : moved) {
        Rect32 c = Clamped(int64_t(r.top) + dv, int64_t(r.left) + dh, int64_t(r.bottom) + dv,
                           int64_t(r.right) + dh);
        clamped |= c.top != int64_t(r.top) + dv || c.left != int64_t(r.left) + dh ||
                   c.bottom != int64_t(r.bottom) + dv || c.right != int64_t(r.right) + dh;
        r = c;
    }
    // Clamping may squash or join rectangles: rebuild the canonical form.
    if (clamped)
        StoreUnion(region, moved);
    else
        StoreRects(region, moved);
}

int32_t CombineRegions(RegionRecord* destination, const RegionRecord* a, const RegionRecord* b,
                       int32_t mode) {
    if (mode < kRegionAnd || mode > kRegionCopy || !destination || !a) return kRegionError;
    if (mode != kRegionCopy && !b) return kRegionError;
    RegionRects result;
    RegionRectsCombine(ListOf(a), b ? ListOf(b) : RegionRects(), mode, &result);
    if (!StoreRects(destination, result)) return kRegionError;
    return destination->complexity;
}

void SetRegionEmpty(RegionRecord* region) {
    StoreRects(region, RegionRects());
}

void SetRegionToRect(RegionRecord* region, const Rect32* rect) {
    if (Rect32IsEmpty(rect)) {
        SetRegionEmpty(region);
        return;
    }
    Rect32 r = Clamped(rect->top, rect->left, rect->bottom, rect->right);
    StoreRects(region, Rect32IsEmpty(&r) ? RegionRects() : RegionRects{r});
}

void SetRegionToShortRect(RegionRecord* region, const Rect16* rect) {
    Rect32 r;
    Rect32FromRect(rect, &r);
    SetRegionToRect(region, &r);
}

void SetRegionToBounds(RegionRecord* region, int32_t left, int32_t top, int32_t right,
                       int32_t bottom) {
    Rect32 r{top, left, bottom, right};
    SetRegionToRect(region, &r);
}

bool IsRegionEmpty(const RegionRecord* region) {
    return region->complexity == kRegionEmpty || Rect32IsEmpty(&region->bounds);
}

bool RegionIsSimple(const RegionRecord* region) {
    return region->complexity != kRegionComplex;
}

int32_t RegionBounds(const RegionRecord* region, Rect16* out) {
    if (out) RectFromRect32(&region->bounds, out);
    return region->complexity;
}

bool RegionsEqual(const RegionRecord* a, const RegionRecord* b) {
    return a->count == b->count &&
           (a->count == 0 || std::memcmp(a->rects, b->rects, a->count * sizeof(Rect32)) == 0);
}

bool RectTouchesRegion(const Rect16* rect, const RegionRecord* region) {
    Rect32 r, overlap;
    Rect32FromRect(rect, &r);
    for (int32_t i = 0; i < region->count; ++i)
        if (SectRect32(&r, &region->rects[i], &overlap)) return true;
    return false;
}

bool PointInRegion(Point16 point, const RegionRecord* region) {
    for (int32_t i = 0; i < region->count; ++i) {
        const Rect32& r = region->rects[i];
        if (point.v >= r.top && point.v < r.bottom && point.h >= r.left && point.h < r.right)
            return true;
    }
    return false;
}

void InsetRegion(RegionRecord* region, int32_t dh, int32_t dv) {
    int64_t ah = std::llabs(int64_t(dh)), av = std::llabs(int64_t(dv));
    Rect32 limit = Clamped(-kRegionCoordLimit + av, -kRegionCoordLimit + ah, kRegionCoordLimit - av,
                           kRegionCoordLimit - ah);
    RegionRects pieces;
    for (int32_t i = 0; i < region->count; ++i) {
        Rect32 inside;
        if (!SectRect32(&region->rects[i], &limit, &inside)) continue;
        Rect32 r{int32_t(inside.top + int64_t(dv)), int32_t(inside.left + int64_t(dh)),
                 int32_t(inside.bottom - int64_t(dv)), int32_t(inside.right - int64_t(dh))};
        if (!Rect32IsEmpty(&r)) pieces.push_back(r);
    }
    StoreUnion(region, pieces);
}

void MapRegion(RegionRecord* region, const Rect32* source, const Rect32* destination) {
    if (region->complexity != kRegionComplex) {
        Point32 corners[2] = {{region->bounds.top, region->bounds.left},
                              {region->bounds.bottom, region->bounds.right}};
        MapPoints32(corners, 2, source, destination);
        Rect32 r{corners[0].v, corners[0].h, corners[1].v, corners[1].h};
        SetRegionToRect(region, &r);
        return;
    }
    bool narrower =
        int64_t(destination->right) - destination->left < int64_t(source->right) - source->left;
    bool lower =
        int64_t(destination->bottom) - destination->top < int64_t(source->bottom) - source->top;
    RegionRects pieces;
    for (int32_t i = 0; i < region->count; ++i) {
        const Rect32& from = region->rects[i];
        Point32 corners[2] = {{from.top, from.left}, {from.bottom, from.right}};
        MapPoints32(corners, 2, source, destination);
        int64_t right = corners[1].h, bottom = corners[1].v;
        if (narrower && right == corners[0].h) ++right;
        if (lower && bottom == corners[0].v) ++bottom;
        pieces.push_back(Clamped(corners[0].v, corners[0].h, bottom, right));
    }
    StoreUnion(region, pieces);
}

void MapRegionShort(RegionRecord* region, const Rect16* source, const Rect16* destination) {
    Rect32 s, d;
    Rect32FromRect(source, &s);
    Rect32FromRect(destination, &d);
    MapRegion(region, &s, &d);
}
