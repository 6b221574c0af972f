// Icons on Win32: the loader that makes an icon record's images (the
// system's icon through LoadImageA, or bitmaps decoded from an 8-bit
// member), and the drawing of a record through one cached image list,
// normal or greyed, optionally centred on its opaque pixels.
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolbox/core/iconcache.h"
#include "toolbox/core/icondir.h"
#include "toolbox/core/rect.h"

// Greyed drawing: none, blended with black, blended with white.
constexpr int32_t kIconNormal = 0;
constexpr int32_t kIconGreyed = 1;
constexpr int32_t kIconGreyedOnWhite = 2;

// Installs the loader into the icon cache; Win32IconLoader is its table.
void InstallIconLoader();
const IconLoaderProcs& Win32IconLoader();
// The 8-bit member's images: a device bitmap of the colour bits and a
// 1-bit mask; false when a GDI call fails.
bool MakeIconBitmaps(const IconImage& image, HBITMAP* colour, HBITMAP* mask);
void DrawIconRecord(HDC dc, const Rect16* rect, IconRecord* record, int32_t greyed, bool centre);
// Draws the family at the rectangle's size into the DC; nothing for a
// family that does not load.
void DrawIconInRectOf(HDC dc, const Rect16* rect, bool centre, int32_t greyed, int16_t groupId);
// Forgets the cached image list (after a display change).
void RefreshIconImageList();
