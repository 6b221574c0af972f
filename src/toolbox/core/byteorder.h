// Byte order: swapping primitives and the layout-string interpreter that
// turns a whole record between disk (big-endian) and machine order.
#pragma once
#include <cstdint>

void ExchangeBytes(uint8_t* a, uint8_t* b);
void ExchangeShorts(int16_t* a, int16_t* b);
void ExchangeInts(int32_t* a, int32_t* b);

uint16_t SwapShort(void* p);
void SwapShortArray(void* p, int32_t lengthBytes);
uint32_t SwapLong(void* p);
void SwapLongArray(void* p, int32_t lengthBytes);
void SwapDouble(void* p);
void SwapDoubleArray(void* p, int32_t lengthBytes);

// Swaps one run (letter L, W, F; any other letter skips count bytes) and
// advances *buf past it.
void SwapFieldRun(uint8_t** buf, char letter, int32_t count);

// Swaps a record in place run by run, e.g. "L9W7B2L" (56 bytes).
void SwapByLayout(void* buf, const char* layout);

// A four-character code as stored on disk, in machine order, cut at its
// first zero character.
uint32_t NormalizeFourCharCode(const void* stored);

struct FourCharPair {
    uint32_t code;
    uint32_t zero;
};
void FourCharCodeToPair(uint32_t code, FourCharPair* out);

// Builds a four-character code from its text, first character highest.
constexpr uint32_t FourCC(const char (&s)[5]) {
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
           (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}
