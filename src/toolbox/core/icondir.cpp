// Icon directories and the 8-bit member decode. A member is read through a
// block reader that never passes the member's end.
#include "toolbox/core/icondir.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "toolbox/core/memblock.h"
#include "toolbox/core/resource.h"

namespace {

uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}

int16_t Side(uint8_t byte) {
    return byte == 0 ? kIconLargestSide : int16_t(byte);
}

} // namespace

bool ParseIconDirectory(int16_t groupId, const uint8_t* bytes, int32_t size, IconDirectory& out) {
    if (!bytes || size < kIconDirectoryHead || Le16(bytes + 2) != kIconDirectoryType) return false;
    int32_t count = Le16(bytes + 4);
    if (size < kIconDirectoryHead + count * kIconDirectoryEntry) return false;
    out.groupId = groupId;
    out.members.clear();
    for (int32_t k = 0; k < count; ++k) {
        const uint8_t* e = bytes + kIconDirectoryHead + k * kIconDirectoryEntry;
        IconMember m;
        m.width = Side(e[0]);
        m.height = Side(e[1]);
        m.bitCount = int16_t(Le16(e + 6));
        m.iconId = int16_t(Le16(e + 12));
        out.members.push_back(m);
    }
    return true;
}

IconDirectory* IconDirectoryRead(int16_t groupId) {
    RelocatableBlock block = LoadCustomResource(kResourceTypeGroupIcon, groupId);
    if (!block) return nullptr;
    auto* directory = new IconDirectory;
    bool ok = ParseIconDirectory(groupId, static_cast<const uint8_t*>(HeapHandleLock(block)),
                                 RelocatableBlockSize(block), *directory);
    HeapHandleUnlock(block);
    ReleaseCustomResource(block);
    if (ok) return directory;
    delete directory;
    return nullptr;
}

bool ChooseIconSize(const IconDirectory& directory, int32_t width, int32_t height,
                    int16_t* outWidth, int16_t* outHeight) {
    if (directory.members.empty()) return false;
    int32_t bestW = kIconNoDifference, bestH = kIconNoDifference;
    const IconMember* chosen = &directory.members[0];
    for (const IconMember& m : directory.members) {
        int32_t dw = std::abs(m.width - width), dh = std::abs(m.height - height);
        if (dw == 0 && dh == 0) {
            chosen = &m;
            break;
        }
        bool better = dw < bestW || dh < bestH;
        bestW = std::min(bestW, dw);
        bestH = std::min(bestH, dh);
        if (better) chosen = &m;
    }
    *outWidth = chosen->width;
    *outHeight = chosen->height;
    return true;
}

bool IconSizeFor(int16_t groupId, int32_t width, int32_t height, int16_t* outWidth,
                 int16_t* outHeight) {
    IconDirectory* directory = IconDirectoryRead(groupId);
    if (!directory) return false;
    bool ok = ChooseIconSize(*directory, width, height, outWidth, outHeight);
    delete directory;
    return ok;
}

int32_t IconMaskRowBytes(int32_t width) {
    return 2 * ((width + 15) / 16);
}

int32_t DecodeIconImage(const uint8_t* bytes, int32_t size, IconImage& out) {
    BmpBlockReader reader{bytes, bytes ? size : 0, 0};
    BmpInfo info{};
    int32_t result = BmpRead(&BmpReadFromBlock, &reader, false, &info);
    if (result) return result;
    BmpInfoHeader& h = info.header;
    // The stored height counts the colour rows and the mask rows.
    if (h.biBitCount != kIconDecodedBits || h.biHeight < 2) return kBmpMalformed;
    h.biHeight /= 2;
    out.header = h;
    std::memcpy(out.colours, info.colours, sizeof out.colours);
    out.colour.assign(size_t(BmpDestinationRowBytes(&h)) * size_t(h.biHeight), 0);
    result = BmpReadPixels(&info, out.colour.data(), false);
    if (result) return result;
    BmpInfo mask = info;
    mask.header.biBitCount = 1;
    mask.header.biClrUsed = 0;
    out.mask.assign(size_t(IconMaskRowBytes(h.biWidth)) * size_t(h.biHeight), 0xFF);
    return BmpReadPixels(&mask, out.mask.data(), false);
}

bool IconOpaqueBounds(const uint8_t* mask, int32_t rowBytes, int32_t width, int32_t height,
                      int32_t box[4]) {
    int32_t top = height, left = width, bottom = -1, right = -1;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = mask + int64_t(y) * rowBytes;
        for (int32_t byte = 0; byte * 8 < width && byte < rowBytes; ++byte) {
            if (row[byte] == 0xFF) continue;
            for (int32_t bit = 0; bit < 8 && byte * 8 + bit < width; ++bit) {
                if (row[byte] & (0x80 >> bit)) continue;
                int32_t x = byte * 8 + bit;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    if (bottom < 0) return false;
    box[0] = top;
    box[1] = left;
    box[2] = bottom + 1;
    box[3] = right + 1;
    return true;
}
