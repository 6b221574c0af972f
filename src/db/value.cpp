#include "db/value.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "db/err.h"
#include "db/hdrunits.h"

HeaderUnits g_hdrUnits = {6, 0, 1.0, 1.0 / 60000.0, 1};

namespace {

const HeaderUnits kStartUnits = {6, 0, 1.0, 1.0 / 60000.0, 1};

char s_ring[kValueRingBuffers][kValueBufferBytes];
int s_ringNext = 0;

const int kMaxDigits = 9;
// Digit runs longer than this cannot give a 32-bit value anyway; reading
// stops growing the number there.
const int64_t kRunCap = int64_t(1) << 52;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

// Reads a run of digits; false when there is none.
bool ReadRun(const char*& p, int64_t& value, int32_t* digits = nullptr) {
    if (!IsDigit(*p)) return false;
    value = 0;
    int32_t n = 0;
    while (IsDigit(*p)) {
        if (value < kRunCap) {
            value = value * 10 + (*p - '0');
            ++n;
        }
        ++p;
    }
    if (digits) *digits = n;
    return true;
}

void TrimInPlace(char* text) {
    char* start = text;
    while (*start == ' ')
        ++start;
    size_t n = std::strlen(start);
    while (n > 0 && start[n - 1] == ' ')
        --n;
    std::memmove(text, start, n);
    text[n] = 0;
}

// The unit kind a suffix names; -1 when it names none.
int32_t SuffixKind(const char* begin, const char* end) {
    while (begin < end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t'))
        --end;
    if (end > begin && end[-1] == '.') --end;
    char s[8];
    size_t n = size_t(end - begin);
    if (n == 0 || n >= sizeof s) return -1;
    for (size_t i = 0; i < n; ++i)
        s[i] = (begin[i] >= 'a' && begin[i] <= 'z') ? char(begin[i] - 32) : begin[i];
    s[n] = 0;
    if (n >= 2 && s[n - 1] == 'S') s[--n] = 0;
    struct Suffix {
        const char* text;
        int32_t kind;
    };
    static const Suffix kSuffixes[] = {{"IN", 2},  {"\"", 2}, {"CM", 3}, {"MM", 4}, {"M", 1},
                                       {"MIL", 1}, {"UU", 0}, {"U", 5},  {"S", 6},  {"BU", 6}};
    for (const Suffix& x : kSuffixes)
        if (std::strcmp(s, x.text) == 0) return x.kind;
    return -1;
}

} // namespace

void HeaderUnitsReset() {
    g_hdrUnits = kStartUnits;
}

char* StrRingBuf() {
    char* b = s_ring[s_ringNext];
    s_ringNext = (s_ringNext + 1) % kValueRingBuffers;
    return b;
}

const char* ValueFormat(int32_t v) {
    char* out = StrRingBuf();
    const HeaderUnits& u = g_hdrUnits;
    if (u.unitKind == 6) {
        std::snprintf(out, kValueBufferBytes, "%ld", long(v));
    } else if (u.digits > 0) {
        int digits = u.digits > kMaxDigits ? kMaxDigits : int(u.digits);
        std::snprintf(out, kValueBufferBytes, "%5.*f", digits, double(v) * u.scale);
    } else {
        double d = double(v) * u.scale + (v < 0 ? -0.4999999 : 0.4999999);
        std::snprintf(out, kValueBufferBytes, "%.0f", std::trunc(d));
    }
    TrimInPlace(out);
    return out;
}

int32_t ValueParse(const char* text, bool allowSign) {
    const char* p = SkipBlanks(text);
    bool negative = false;
    if (allowSign && *p == '-') {
        negative = true;
        p = SkipBlanks(p + 1);
    }
    if (*p == 0) return INT_MAX;

    int64_t whole = 0, num = 0, den = 1;
    bool haveNumber = ReadRun(p, whole);
    const char* q = SkipBlanks(p);
    if (*q == '.' && IsDigit(q[1])) {
        ++q;
        int32_t digits = 0;
        ReadRun(q, num, &digits);
        den = 1;
        for (int32_t i = 0; i < digits; ++i)
            den *= 10;
        haveNumber = true;
        p = q;
    } else if (haveNumber && *q == '/') {
        q = SkipBlanks(q + 1);
        num = whole;
        whole = 0;
        if (!ReadRun(q, den)) den = 0;
        p = q;
    } else if (haveNumber && IsDigit(*q)) {
        ReadRun(q, num);
        const char* r = SkipBlanks(q);
        if (*r == '/') {
            r = SkipBlanks(r + 1);
            if (!ReadRun(r, den)) den = 0;
            q = r;
        }
        p = q;
    }
    if (!haveNumber) return INT_MAX;

    int32_t kind = SuffixKind(p, p + std::strlen(p));
    if (kind < 0) kind = g_hdrUnits.unitKind;
    if (den == 0) return INT_MAX;

    const HeaderUnits& u = g_hdrUnits;
    double value = double(whole) + double(num) / double(den);
    double result = 0;
    switch (kind) {
    case 0: {
        int64_t a = 0, b = 0, sum = 0;
        if (__builtin_mul_overflow(whole, int64_t(u.userUnit), &a) ||
            __builtin_mul_overflow(num, int64_t(u.userUnit), &b) ||
            __builtin_add_overflow(a, b / den, &sum))
            return INT_MAX;
        result = double(sum);
        break;
    }
    case 6:
        result = double(whole + num / den);
        break;
    case 2:
        result = std::trunc(value / u.unitSize + 0.4999);
        break;
    case 1:
        result = std::trunc(value / (u.unitSize * 1000.0) + 0.4999);
        break;
    case 3:
        result = std::trunc(value / (u.unitSize * 2.54) + 0.4999);
        break;
    case 4:
        result = std::trunc(value / (u.unitSize * 2.54 * 10.0) + 0.4999);
        break;
    case 5:
        result = std::trunc(value / (u.unitSize * 2.54 * 10000.0) + 0.4999);
        break;
    default:
        ErrReport(50893, kind);
    }
    if (!(result >= double(INT_MIN) && result <= double(INT_MAX))) return INT_MAX;
    int32_t v = int32_t(result);
    return negative ? -v : v;
}

void ValueParsePair(const char* text, int32_t* x, int32_t* y) {
    *x = INT_MAX;
    *y = INT_MAX;
    if (!text || !*text) return;
    const char* comma = std::strchr(text, ',');
    if (!comma) {
        *x = ValueParse(text, true);
        return;
    }
    char first[kValueBufferBytes];
    size_t n = size_t(comma - text);
    if (n >= sizeof first) n = sizeof first - 1;
    std::memcpy(first, text, n);
    first[n] = 0;
    *x = ValueParse(first, true);
    *y = ValueParse(comma + 1, true);
}
