// Icon families: the directory of an RT_GROUP_ICON resource (one member per
// size and colour depth, each an RT_ICON id), the member size that best
// fits a wanted size, and the decoding of an 8-bit RT_ICON member into
// colour rows and the rows of a 1-bit mask.
//
// Guarantees: a directory or member that is cut short or malformed is
// refused, never read past its end; the reader of a member answers
// kIconReadPastEnd for bytes beyond it.
#pragma once
#include <cstdint>
#include <vector>

#include "toolbox/core/bmpread.h"

// Bytes of the directory head {reserved, type, count} and of one entry
// {width, height, colours, reserved (bytes), planes, bit count (16-bit),
// bytes in resource (32-bit), icon id (16-bit)}, little-endian.
constexpr int32_t kIconDirectoryHead = 6;
constexpr int32_t kIconDirectoryEntry = 14;
constexpr uint16_t kIconDirectoryType = 1;
// A width or height byte of 0 stands for this side.
constexpr int16_t kIconLargestSide = 256;
// The reader's answer past the end of a member.
constexpr int32_t kIconReadPastEnd = kBmpReadPastEnd;
// The best differences of IconSizeFor start here.
constexpr int32_t kIconNoDifference = 9999;
// Family ids from here on are the system's icons.
constexpr int16_t kSystemIconFirst = 0x7F00;
// The member depth decoded here rather than by the system.
constexpr int16_t kIconDecodedBits = 8;

struct IconMember {
    int16_t iconId = 0;
    int16_t width = 0;
    int16_t height = 0;
    int16_t bitCount = 0;
};

struct IconDirectory {
    int16_t groupId = 0;
    std::vector<IconMember> members;
};

// False for a directory that is cut short or of another type.
bool ParseIconDirectory(int16_t groupId, const uint8_t* bytes, int32_t size, IconDirectory& out);
// The program's family (RT_GROUP_ICON groupId); null when it is missing or
// malformed. Freed with delete.
IconDirectory* IconDirectoryRead(int16_t groupId);
// The member size nearest the wanted size: an exact member at once, else
// each side's difference improved separately, members in order.
bool ChooseIconSize(const IconDirectory& directory, int32_t width, int32_t height,
                    int16_t* outWidth, int16_t* outHeight);
// ChooseIconSize over the program's family; false when it does not exist.
bool IconSizeFor(int16_t groupId, int32_t width, int32_t height, int16_t* outWidth,
                 int16_t* outHeight);

// An 8-bit member decoded: the header with the height halved, the colour
// table, the colour rows ((width + 3) & ~3 bytes each) and the mask rows
// (2 x ceil(width / 16) bytes each), both top row first.
struct IconImage {
    BmpInfoHeader header{};
    uint8_t colours[kBmpColourTableEntries][4] = {};
    std::vector<uint8_t> colour;
    std::vector<uint8_t> mask;
};
int32_t IconMaskRowBytes(int32_t width);
// 0; kIconReadPastEnd for a member cut short; kBmpMalformed for a header
// that is no 8-bit image.
int32_t DecodeIconImage(const uint8_t* bytes, int32_t size, IconImage& out);
// The box of the opaque pixels (mask bits 0; bits past the width ignored)
// as top, left, bottom, right; false when no pixel is opaque.
bool IconOpaqueBounds(const uint8_t* mask, int32_t rowBytes, int32_t width, int32_t height,
                      int32_t box[4]);
