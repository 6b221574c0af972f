// Icon loading and drawing on Win32. Guarantees: a record's images are the
// system's shared icon (never destroyed here) or two bitmaps it owns; the
// one cached image list always matches the size and flags of its last
// drawing and names the family its image shows.
#include "toolbox/core/icon_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "toolbox/core/memblock.h"
#include "toolbox/core/resource.h"
#include "toolbox/core/systemversion_win32.h"

namespace {

constexpr uint32_t kListSystemGrey = 0x2;
constexpr uint32_t kListSystemIcon = 0x4;
constexpr int kPaletteDisplayBits = 8;
constexpr DWORD kSystemGreyMajor = 5;

struct ImageListCache {
    HIMAGELIST list = nullptr;
    int32_t width = 0, height = 0;
    uint32_t flags = 0;
    int16_t groupId = 0;
    int32_t displayBits = 0; // the display's depth when the list was made
} g_cache;

int32_t DisplayBits() {
    HDC screen = GetDC(nullptr);
    int32_t bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

HMODULE ModuleOf(int16_t groupId) {
    return groupId >= kSystemIconFirst ? nullptr : GetModuleHandleA(nullptr);
}

int16_t PaletteMember(int16_t groupId, int32_t width, int32_t height) {
    HDC screen = GetDC(nullptr);
    bool palette = GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE;
    ReleaseDC(nullptr, screen);
    if (!palette) return 0;
    RelocatableBlock block = LoadCustomResource(kResourceTypeGroupIcon, groupId);
    if (!block) return -1;
    int id = LookupIconIdFromDirectoryEx(static_cast<PBYTE>(HeapHandleLock(block)), TRUE, width,
                                         height, LR_DEFAULTCOLOR);
    HeapHandleUnlock(block);
    ReleaseCustomResource(block);
    return id > 0 ? int16_t(id) : int16_t(-1);
}

int16_t MemberBits(int16_t groupId, int16_t iconId) {
    IconDirectory* directory = IconDirectoryRead(groupId);
    int16_t bits = 0;
    if (directory)
        for (const IconMember& m : directory->members)
            if (m.iconId == iconId) bits = m.bitCount;
    delete directory;
    return bits;
}

bool LoadSystemIcon(IconRecord* record, int32_t width, int32_t height) {
    int16_t w = int16_t(width), h = int16_t(height);
    if (record->groupId < kSystemIconFirst && !IconSizeFor(record->groupId, width, height, &w, &h))
        return false;
    HANDLE icon = LoadImageA(ModuleOf(record->groupId), MAKEINTRESOURCEA(record->groupId),
                             IMAGE_ICON, w, h, LR_SHARED);
    if (!icon) return false;
    ICONINFO info{};
    if (!GetIconInfo(static_cast<HICON>(icon), &info)) return false;
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    record->width = int16_t(bm.bmWidth);
    record->height = int16_t(info.hbmColor ? bm.bmHeight : bm.bmHeight / 2);
    if (info.hbmColor) {
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        record->width = int16_t(bm.bmWidth);
        record->height = int16_t(bm.bmHeight);
        DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);
    record->icon = icon;
    record->iconId = 0;
    return true;
}

bool LoadDecoded(IconRecord* record) {
    RelocatableBlock block = LoadCustomResource(kResourceTypeIcon, record->iconId);
    if (!block) return false;
    IconImage image;
    int32_t result = DecodeIconImage(static_cast<const uint8_t*>(HeapHandleLock(block)),
                                     RelocatableBlockSize(block), image);
    HeapHandleUnlock(block);
    ReleaseCustomResource(block);
    HBITMAP colour = nullptr, mask = nullptr;
    if (result != 0 || !MakeIconBitmaps(image, &colour, &mask)) return false;
    record->colour = colour;
    record->mask = mask;
    record->width = int16_t(image.header.biWidth);
    record->height = int16_t(image.header.biHeight);
    return true;
}

bool LoadRecord(IconRecord* record, int32_t width, int32_t height) {
    if (record->iconId != 0 && MemberBits(record->groupId, record->iconId) == kIconDecodedBits)
        return LoadDecoded(record);
    return LoadSystemIcon(record, width, height);
}

void DeleteImages(IconRecord* record) {
    if (record->colour) DeleteObject(static_cast<HBITMAP>(record->colour));
    if (record->mask) DeleteObject(static_cast<HBITMAP>(record->mask));
    record->colour = record->mask = nullptr;
}

const IconLoaderProcs kLoader{&PaletteMember, &LoadRecord, &DeleteImages};

bool SystemGreys() {
    return SystemIsNtFrom(kSystemGreyMajor);
}

// A copy of the bitmap at the given size.
HBITMAP Stretched(HBITMAP source, int32_t fromW, int32_t fromH, int32_t w, int32_t h, bool mono) {
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HBITMAP result =
        mono ? CreateBitmap(w, h, 1, 1, nullptr) : CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ oldFrom = SelectObject(from, source), oldTo = SelectObject(to, result);
    StretchBlt(to, 0, 0, w, h, from, 0, 0, fromW, fromH, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return result;
}

bool PutImage(IconRecord* record, int32_t w, int32_t h) {
    if (record->icon) {
        return ImageList_ReplaceIcon(g_cache.list, ImageList_GetImageCount(g_cache.list) ? 0 : -1,
                                     static_cast<HICON>(record->icon)) >= 0;
    }
    HBITMAP colour = static_cast<HBITMAP>(record->colour);
    HBITMAP mask = static_cast<HBITMAP>(record->mask);
    bool stretch = record->width != w || record->height != h;
    if (stretch) {
        colour = Stretched(colour, record->width, record->height, w, h, false);
        mask = Stretched(mask, record->width, record->height, w, h, true);
    }
    bool ok = ImageList_GetImageCount(g_cache.list)
                  ? ImageList_Replace(g_cache.list, 0, colour, mask) != FALSE
                  : ImageList_Add(g_cache.list, colour, mask) >= 0;
    if (stretch) {
        DeleteObject(colour);
        DeleteObject(mask);
    }
    return ok;
}

// The centring offset: the box of the opaque pixels centred in w x h.
POINT CentreOffset(IconRecord* record, int32_t w, int32_t h) {
    POINT offset{0, 0};
    HBITMAP mask = static_cast<HBITMAP>(record->mask);
    ICONINFO info{};
    bool fromIcon = !mask && record->icon && GetIconInfo(static_cast<HICON>(record->icon), &info);
    if (fromIcon) mask = info.hbmMask;
    if (!mask) return offset;
    BITMAP bm{};
    GetObjectA(mask, sizeof bm, &bm);
    int32_t rows = std::min<int32_t>(bm.bmHeight, record->height);
    std::vector<uint8_t> bits(size_t(bm.bmWidthBytes) * size_t(bm.bmHeight));
    GetBitmapBits(mask, LONG(bits.size()), bits.data());
    int32_t box[4];
    if (IconOpaqueBounds(bits.data(), bm.bmWidthBytes, record->width, rows, box)) {
        int32_t left = box[1] * w / record->width, right = box[3] * w / record->width;
        int32_t top = box[0] * h / record->height, bottom = box[2] * h / record->height;
        offset.x = (w - (right - left)) / 2 - left;
        offset.y = (h - (bottom - top)) / 2 - top;
    }
    if (fromIcon) {
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    return offset;
}

} // namespace

void InstallIconLoader() {
    SetIconLoaderProcs(&kLoader);
}

const IconLoaderProcs& Win32IconLoader() {
    return kLoader;
}

bool MakeIconBitmaps(const IconImage& image, HBITMAP* colour, HBITMAP* mask) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[kBmpColourTableEntries];
    } info{};
    const BmpInfoHeader& h = image.header;
    info.header = {
        sizeof(BITMAPINFOHEADER), h.biWidth, -h.biHeight, 1, h.biBitCount, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(info.colours, image.colours, sizeof info.colours);
    HDC screen = GetDC(nullptr);
    *colour = CreateDIBitmap(screen, &info.header, CBM_INIT, image.colour.data(),
                             reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    *mask = CreateBitmap(h.biWidth, h.biHeight, 1, 1, image.mask.data());
    if (*colour && *mask) return true;
    if (*colour) DeleteObject(*colour);
    if (*mask) DeleteObject(*mask);
    *colour = *mask = nullptr;
    return false;
}

void RefreshIconImageList() {
    if (g_cache.list) ImageList_Destroy(g_cache.list);
    g_cache = ImageListCache{};
}

void DrawIconRecord(HDC dc, const Rect16* rect, IconRecord* record, int32_t greyed, bool centre) {
    if (!dc || !rect || !record || record->width <= 0 || record->height <= 0) return;
    int32_t w = rect->right - rect->left, h = rect->bottom - rect->top;
    if (w <= 0 || h <= 0) return;
    uint32_t flags = (greyed != kIconNormal && SystemGreys() ? kListSystemGrey : 0) |
                     (record->icon ? kListSystemIcon : 0);
    // A display change (another depth) makes the list anew.
    int32_t displayBits = DisplayBits();
    if (g_cache.list && (g_cache.width != w || g_cache.height != h || g_cache.flags != flags ||
                         g_cache.displayBits != displayBits))
        RefreshIconImageList();
    if (!g_cache.list) {
        bool palette = displayBits == kPaletteDisplayBits;
        UINT create = ((flags & kListSystemGrey) ? ILC_COLOR8 : ILC_COLORDDB) | ILC_MASK |
                      (palette ? ILC_PALETTE : 0);
        g_cache.list = ImageList_Create(w, h, create, 1, 1);
        if (!g_cache.list) return;
        g_cache.width = w;
        g_cache.height = h;
        g_cache.flags = flags;
        g_cache.displayBits = displayBits;
    }
    if (g_cache.groupId != record->groupId || ImageList_GetImageCount(g_cache.list) == 0) {
        g_cache.groupId = 0;
        if (!PutImage(record, w, h)) return;
        g_cache.groupId = record->groupId;
    }
    POINT at{rect->left, rect->top};
    if (centre) {
        POINT offset = CentreOffset(record, w, h);
        at.x += offset.x;
        at.y += offset.y;
    }
    if (greyed != kIconNormal)
        ImageList_DrawEx(g_cache.list, 0, dc, at.x, at.y, 0, 0, CLR_DEFAULT,
                         greyed == kIconGreyedOnWhite ? RGB(255, 255, 255) : RGB(0, 0, 0),
                         ILD_BLEND50);
    else
        ImageList_DrawEx(g_cache.list, 0, dc, at.x, at.y, 0, 0, CLR_DEFAULT, CLR_DEFAULT,
                         ILD_NORMAL);
}

void DrawIconInRectOf(HDC dc, const Rect16* rect, bool centre, int32_t greyed, int16_t groupId) {
    if (!rect) return;
    IconRecord* record =
        IconFamilyLoad(groupId, rect->right - rect->left, rect->bottom - rect->top);
    if (!record) return;
    DrawIconRecord(dc, rect, record, greyed, centre);
    ReleaseIconRecord(record);
}
