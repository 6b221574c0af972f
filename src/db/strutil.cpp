#include "db/strutil.h"

#include <cctype>
#include <cstring>

#include "toolbox/core/memblock.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// Compares two digit runs by value: leading zeros skipped, the longer run
// larger, then digit by digit. No run is ever converted to a number, so
// long runs cannot overflow.
int32_t CompareDigitRuns(const char* a, const char* b) {
    while (*a == '0')
        ++a;
    while (*b == '0')
        ++b;
    size_t la = 0, lb = 0;
    while (IsDigit(a[la]))
        ++la;
    while (IsDigit(b[lb]))
        ++lb;
    if (la != lb) return la < lb ? -1 : 1;
    for (size_t i = 0; i < la; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

} // namespace

void StrCopy(char* dst, const char* src) {
    size_t n = 0;
    while (n < STR_MAX && src[n]) {
        dst[n] = src[n];
        ++n;
    }
    dst[n] = 0;
}

void StrAppend(char* dst, const char* src) {
    size_t n = std::strlen(dst);
    while (n < STR_MAX && *src)
        dst[n++] = *src++;
    dst[n] = 0;
}

void NumToStrBase(char* dst, int32_t n, int32_t base) {
    if (base < 2 || base > 36) base = 10;
    char digits[40];
    int i = 0;
    int64_t v = n;
    bool negative = v < 0;
    if (negative) v = -v;
    do {
        int d = int(v % base);
        digits[i++] = char(d < 10 ? '0' + d : 'A' + d - 10);
        v /= base;
    } while (v);
    char text[42];
    int k = 0;
    if (negative) text[k++] = '-';
    while (i)
        text[k++] = digits[--i];
    text[k] = 0;
    StrAppend(dst, text);
}

void NumToStr(char* dst, int32_t n) {
    NumToStrBase(dst, n, 10);
}

void StrCopyUpper(char* dst, const char* src) {
    size_t n = 0;
    while (n < STR_MAX && src[n]) {
        dst[n] = Upper(src[n]);
        ++n;
    }
    dst[n] = 0;
}

void StrTrim(char* dst, const char* src) {
    while (*src == ' ')
        ++src;
    StrCopy(dst, src);
    size_t n = std::strlen(dst);
    while (n > 0 && dst[n - 1] == ' ')
        --n;
    dst[n] = 0;
}

int32_t StrCompare(const char* a, const char* b) {
    size_t i = 0;
    while (a[i] == b[i]) {
        if (!a[i]) return 0;
        ++i;
    }
    if (IsDigit(a[i]) && IsDigit(b[i])) return CompareDigitRuns(a + i, b + i);
    return int32_t(uint8_t(a[i])) - int32_t(uint8_t(b[i]));
}

bool StrMatchWild(const char* name, const char* pattern) {
    for (;; ++name, ++pattern) {
        char p = *pattern;
        if (p == '*' && pattern[1] == 0) return true;
        if (*name == 0) {
            for (; *pattern; ++pattern)
                if (*pattern != '?' && *pattern != '*') return false;
            return true;
        }
        if (p == 0) return false;
        if (p == '?') continue;
        if (Upper(p) != Upper(*name)) return false;
    }
}

void* MemResize(void* block, int32_t size) {
    if (!ResizePointerBlock(&block, size)) return nullptr;
    return block;
}
