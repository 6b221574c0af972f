// Test support for icons: RT_GROUP_ICON directories and 8-bit RT_ICON
// members made in memory, little-endian as the resources store them.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

struct GroupMember {
    uint8_t width, height;
    uint16_t bits;
    uint16_t id;
};

inline void PutLe(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

inline std::vector<uint8_t> GroupIconBytes(std::initializer_list<GroupMember> members) {
    std::vector<uint8_t> b;
    PutLe(b, 0, 2);
    PutLe(b, 1, 2);
    PutLe(b, uint32_t(members.size()), 2);
    for (const GroupMember& m : members) {
        b.push_back(m.width);
        b.push_back(m.height);
        b.push_back(0);
        b.push_back(0);
        PutLe(b, 1, 2);
        PutLe(b, m.bits, 2);
        PutLe(b, 0, 4);
        PutLe(b, m.id, 2);
    }
    return b;
}

// The test picture: colour index (x + y) % 7 + 1; opaque inside rows 2 to
// side - 5 and columns 3 to side - 3.
inline uint8_t Icon8Pixel(int32_t x, int32_t y) {
    return uint8_t((x + y) % 7 + 1);
}
inline bool Icon8Opaque(int32_t side, int32_t x, int32_t y) {
    return y >= 2 && y < side - 4 && x >= 3 && x < side - 2;
}
// Palette entry i: blue, green, red: a distinct saturated colour for 1..7.
inline uint32_t Icon8Colour(int i) {
    static const uint32_t kColours[8] = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000,
                                         0x00FFFF, 0xFFFF00, 0xFF00FF, 0x008080};
    return kColours[i & 7];
}

inline std::vector<uint8_t> Icon8Bytes(int32_t width, int32_t height) {
    std::vector<uint8_t> b;
    PutLe(b, 40, 4);
    PutLe(b, uint32_t(width), 4);
    PutLe(b, uint32_t(height * 2), 4);
    PutLe(b, 1, 2);
    PutLe(b, 8, 2);
    for (int i = 0; i < 6; ++i)
        PutLe(b, 0, 4);
    for (int i = 0; i < 256; ++i)
        PutLe(b, Icon8Colour(i), 4);
    int32_t colourRow = (width + 3) & ~3;
    for (int32_t y = height - 1; y >= 0; --y) // bottom row first
        for (int32_t x = 0; x < colourRow; ++x)
            b.push_back(x < width ? Icon8Pixel(x, y) : 0);
    int32_t maskRow = (width + 31) / 32 * 4;
    for (int32_t y = height - 1; y >= 0; --y)
        for (int32_t byte = 0; byte < maskRow; ++byte) {
            uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                int32_t x = byte * 8 + bit;
                if (x >= width || !Icon8Opaque(width, x, y)) bits |= uint8_t(0x80 >> bit);
            }
            b.push_back(bits);
        }
    return b;
}

// The packed test families (tests/toolbox/core/icons): 9500 holds a 4-bit
// 16 x 16 member (RT_ICON 1) and an 8-bit 32 x 32 member (RT_ICON 2), 9501
// an 8-bit 20 x 20 member (RT_ICON 3). Opaque as Icon8Opaque; the palette
// index of a pixel, (x + y) mod 16, runs through the sixteen standard
// colours.
constexpr int16_t kTestFamily = 9500;
constexpr int16_t kTestFamily20 = 9501;
inline uint8_t PackedIconIndex(int32_t x, int32_t y) {
    return uint8_t((x + y) % 16);
}
inline uint32_t PackedIconColour(int index) {
    static const uint32_t kColours[16] = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return kColours[index & 15];
}
