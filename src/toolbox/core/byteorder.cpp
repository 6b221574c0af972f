#include "toolbox/core/byteorder.h"

#include <cstring>
#include <utility>

void ExchangeBytes(uint8_t* a, uint8_t* b) { std::swap(*a, *b); }
void ExchangeShorts(int16_t* a, int16_t* b) { std::swap(*a, *b); }
void ExchangeInts(int32_t* a, int32_t* b) { std::swap(*a, *b); }

static void reverseBytes(uint8_t* p, int n) {
    for (int i = 0, j = n - 1; i < j; ++i, --j) std::swap(p[i], p[j]);
}

uint16_t SwapShort(void* p) {
    reverseBytes(static_cast<uint8_t*>(p), 2);
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

void SwapShortArray(void* p, int32_t lengthBytes) {
    uint8_t* b = static_cast<uint8_t*>(p);
    for (int32_t i = 0; i + 2 <= lengthBytes; i += 2) reverseBytes(b + i, 2);
}

uint32_t SwapLong(void* p) {
    reverseBytes(static_cast<uint8_t*>(p), 4);
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void SwapLongArray(void* p, int32_t lengthBytes) {
    uint8_t* b = static_cast<uint8_t*>(p);
    for (int32_t i = 0; i + 4 <= lengthBytes; i += 4) reverseBytes(b + i, 4);
}

void SwapDouble(void* p) { reverseBytes(static_cast<uint8_t*>(p), 8); }

void SwapDoubleArray(void* p, int32_t lengthBytes) {
    uint8_t* b = static_cast<uint8_t*>(p);
    for (int32_t i = 0; i + 8 <= lengthBytes; i += 8) reverseBytes(b + i, 8);
}

void SwapFieldRun(uint8_t** buf, char letter, int32_t count) {
    if (count < 0) count = 0;
    switch (letter) {
    case 'L':
        SwapLongArray(*buf, count * 4);
        *buf += count * 4;
        break;
    case 'W':
        SwapShortArray(*buf, count * 2);
        *buf += count * 2;
        break;
    case 'F':
        SwapDoubleArray(*buf, count * 8);
        *buf += count * 8;
        break;
    default:
        *buf += count;
        break;
    }
}

void SwapByLayout(void* buf, const char* layout) {
    uint8_t* p = static_cast<uint8_t*>(buf);
    char pending = 0;
    int32_t count = 1;
    for (const char* s = layout; *s;) {
        char c = *s;
        if (c == ' ') {
            ++s;
        } else if (c >= '0' && c <= '9') {
            int32_t v = 0;
            while (*s >= '0' && *s <= '9') {
                if (v < 100000000) v = v * 10 + (*s - '0');
                ++s;
            }
            count = v;
        } else {
            if (pending) SwapFieldRun(&p, pending, count);
            pending = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
            count = 1;
            ++s;
        }
    }
    if (pending) SwapFieldRun(&p, pending, count);
}

uint32_t NormalizeFourCharCode(const void* stored) {
    const uint8_t* b = static_cast<const uint8_t*>(stored);
    if (b[0] == 0) return 0;
    if (b[1] == 0) return uint32_t(b[0]) << 24;
    if (b[2] == 0) return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

void FourCharCodeToPair(uint32_t code, FourCharPair* out) {
    out->code = ((code & 0xFFu) << 24) | ((code & 0xFF00u) << 8) | ((code >> 8) & 0xFF00u) |
                (code >> 24);
    out->zero = 0;
}
