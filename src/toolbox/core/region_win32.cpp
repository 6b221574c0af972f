// The bridge between region records and GDI regions, for the calls that
// need a handle (clips, update regions, the outputs of ScrollWindowEx and
// ScrollDC). The handle made for a record is kept in it until the region
// next changes, so a clip used on every message is not rebuilt.
#include <windows.h>

#include <vector>

#include "toolbox/core/regionnative_win32.h"

void RegionDropNative(RegionRecord* region) {
    if (!region->native) return;
    DeleteObject(static_cast<HRGN>(region->native));
    region->native = nullptr;
}

HRGN RegionToNative(RegionRecord* region) {
    if (region->native) return static_cast<HRGN>(region->native);
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + size_t(region->count) * sizeof(RECT));
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    rgn->rdh.dwSize = sizeof(RGNDATAHEADER);
    rgn->rdh.iType = RDH_RECTANGLES;
    rgn->rdh.nCount = DWORD(region->count);
    rgn->rdh.nRgnSize = DWORD(region->count * sizeof(RECT));
    rgn->rdh.rcBound =
        RECT{region->bounds.left, region->bounds.top, region->bounds.right, region->bounds.bottom};
    auto* rects = reinterpret_cast<RECT*>(rgn->Buffer);
    for (int32_t i = 0; i < region->count; ++i) {
        const Rect32& r = region->rects[i];
        rects[i] = RECT{r.left, r.top, r.right, r.bottom};
    }
    HRGN handle = ExtCreateRegion(nullptr, DWORD(data.size()), rgn);
    region->native = handle;
    return handle;
}

bool RegionFromNative(RegionRecord* region, HRGN native) {
    DWORD size = GetRegionData(native, 0, nullptr);
    if (size == 0) return false;
    std::vector<uint8_t> data(size);
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    if (GetRegionData(native, size, rgn) == 0) return false;
    const auto* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
    std::vector<Rect32> list;
    for (DWORD i = 0; i < rgn->rdh.nCount; ++i)
        list.push_back(Rect32{rects[i].top, rects[i].left, rects[i].bottom, rects[i].right});
    // Through the union, so the record is canonical whatever GDI handed over.
    return SetRegionToUnion(region, list.data(), int32_t(list.size()));
}
