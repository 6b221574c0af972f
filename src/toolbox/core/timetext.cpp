// Time values, date text, rounding arithmetic and counted strings.
#include "toolbox/core/timetext.h"

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "toolbox/core/clock.h"

namespace {

constexpr uint64_t kUnitsPerSecond = 10000000ull;
constexpr int64_t kDays1970To2001 = 11323;

const char* const kWeekdays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
const char* const kMonths[12] = {"January", "February", "March", "April", "May", "June", "July",
                                 "August", "September", "October", "November", "December"};

int32_t g_biasSeconds = 0;
uint32_t g_biasStamp = 0;
uint32_t g_biasGeneration = 0;
bool g_biasKnown = false;

void* g_instance = nullptr;

uint8_t g_tempTexts[8][256];
int32_t g_nextTemp = 0;

int32_t Lower(int32_t c) { return std::tolower(c & 0xFF); }

} // namespace

// ---------------------------------------------------------------- time

int32_t TimeZoneBiasSeconds() {
    uint32_t now = ClockMilliseconds();
    // Kept for 60 ticks (one second).
    if (!g_biasKnown || g_biasGeneration != ClockGeneration() || now - g_biasStamp >= 1000) {
        int32_t minutes = 0;
        g_biasSeconds = ClockTimeZoneBias(&minutes) ? minutes * -60 : 0;
        g_biasStamp = now;
        g_biasGeneration = ClockGeneration();
        g_biasKnown = true;
    }
    return g_biasSeconds;
}

TimeValue CurrentTimeValue(uint8_t local) {
    TimeValue value = FileTimeToSeconds(ClockSystemFileTime());
    if (local) value += TimeZoneBiasSeconds();
    return value;
}

FileTime SecondsToFileTime(TimeValue value) {
    if (value == 0) return 0;
    return FileTime((int64_t(value) + kSecondsTo2001) * int64_t(kUnitsPerSecond));
}

TimeValue FileTimeToSeconds(FileTime time) {
    if (time == 0) return 0;
    // Rounded to the nearest second, halves away from zero.
    int64_t units = int64_t(time) - kSecondsTo2001 * int64_t(kUnitsPerSecond);
    int64_t half = int64_t(kUnitsPerSecond / 2);
    int64_t seconds = units >= 0 ? (units + half) / int64_t(kUnitsPerSecond)
                                 : -((-units + half) / int64_t(kUnitsPerSecond));
    return TimeValue(seconds);
}

void FileTimeToLocalSeconds1904(FileTime time, uint32_t* out) {
    FileTime local = ClockLocalFileTime(time);
    *out = uint32_t(int64_t(local / kUnitsPerSecond) - kSecondsTo1904);
}

void CurrentFileTime(FileTime* out) {
    // The system time has millisecond precision.
    FileTime now = ClockSystemFileTime();
    *out = now - now % 10000;
}

void TimeValueToCalendar(TimeValue value, CalendarFields* out) {
    int64_t v = value;
    int64_t days = v / 86400;
    int64_t secs = v % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    int64_t z = days + kDays1970To2001; // days since 1970-01-01
    out->weekday = int32_t(((z % 7) + 11) % 7); // 1970-01-01 was a Thursday
    // Civil date from a day count.
    z += 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t d = doy - (153 * mp + 2) / 5 + 1;
    int64_t m = mp < 10 ? mp + 3 : mp - 9;
    int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    out->year = int32_t(y);
    out->month = int32_t(m);
    out->day = int32_t(d);
    out->hour = int32_t(secs / 3600);
    out->minute = int32_t(secs / 60 % 60);
    out->second = int32_t(secs % 60);
}

void FormatDateText(TimeValue value, int32_t style, char* out) {
    CalendarFields f;
    TimeValueToCalendar(value, &f);
    const char* weekday = kWeekdays[f.weekday];
    const char* month = kMonths[f.month - 1];
    switch (style) {
    case 1: std::snprintf(out, 64, "%s, %s %d, %d", weekday, month, f.day, f.year); break;
    case 2: std::snprintf(out, 64, "%.3s, %.3s %d, %d", weekday, month, f.day, f.year); break;
    default: std::snprintf(out, 64, "%d/%d/%02d", f.month, f.day, f.year % 100); break;
    }
}

void FormatTimeText(TimeValue value, uint8_t withSeconds, char* out) {
    CalendarFields f;
    TimeValueToCalendar(value, &f);
    const char* half = f.hour < 12 ? "AM" : "PM";
    int32_t hour = f.hour % 12 == 0 ? 12 : f.hour % 12;
    if (withSeconds) std::snprintf(out, 32, "%d:%02d:%02d %s", hour, f.minute, f.second, half);
    else std::snprintf(out, 32, "%d:%02d %s", hour, f.minute, half);
}

// ---------------------------------------------------------- arithmetic

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return 0;
    int64_t product = int64_t(a) * b;
    int64_t divisor = c;
    if (divisor < 0) {
        divisor = -divisor;
        product = -product;
    }
    int64_t half = divisor / 2;
    if (product >= 0) return int32_t((product + half) / divisor);
    return int32_t(-((-product + half) / divisor));
}

double Int64ToDouble(int64_t value) { return double(value); }

void DoubleToInt64(double value, int64_t* out) { *out = int64_t(std::llround(value)); }

// ------------------------------------------------------- counted strings

void CTextToCountedText(void* buffer) {
    char* p = static_cast<char*>(buffer);
    size_t length = std::strlen(p);
    if (length > 255) length = 255;
    std::memmove(p + 1, p, length);
    p[0] = char(length);
}

void CountedTextToCText(void* buffer) {
    uint8_t* p = static_cast<uint8_t*>(buffer);
    uint8_t length = p[0];
    if (length == 0) return;
    std::memmove(p, p + 1, length);
    p[length] = 0;
}

void CTextToCountedCopy(uint8_t* dest, const char* src) {
    size_t length = std::strlen(src);
    if (length > 255) length = 255;
    std::memmove(dest + 1, src, length);
    dest[0] = uint8_t(length);
}

uint8_t* CTextToCountedTemp(const char* src) {
    uint8_t* buffer = g_tempTexts[g_nextTemp];
    g_nextTemp = (g_nextTemp + 1) % 8;
    CTextToCountedCopy(buffer, src);
    return buffer;
}

void CountedToCCopy(char* dest, const uint8_t* counted) {
    uint8_t length = counted[0];
    std::memmove(dest, counted + 1, length);
    dest[length] = 0;
}

void CopyCountedText(uint8_t* dest, const uint8_t* src, int32_t maximum) {
    int32_t n = src[0];
    if (maximum < n) n = maximum < 0 ? 0 : maximum;
    if (n > 255) n = 255;
    std::memmove(dest + 1, src + 1, size_t(n));
    dest[0] = uint8_t(n);
}

void CopyBounded(char* dest, const char* src, int32_t n) {
    int32_t i = 0;
    for (; i < n; ++i) {
        dest[i] = src[i];
        if (src[i] == 0) return;
    }
    dest[i] = 0;
}

namespace {
int32_t CompareCounted(const uint8_t* a, const uint8_t* b, int32_t n, bool noCase) {
    int32_t la = a[0], lb = b[0];
    int32_t m = la < lb ? la : lb;
    if (n < m) m = n < 0 ? 0 : n;
    for (int32_t i = 1; i <= m; ++i) {
        int32_t ca = a[i], cb = b[i];
        if (noCase) {
            ca = Lower(ca);
            cb = Lower(cb);
        }
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (m < n && la != lb) return la < lb ? -1 : 1;
    return 0;
}
} // namespace

int32_t CompareCountedText(const uint8_t* a, const uint8_t* b, int32_t n) {
    return CompareCounted(a, b, n, false);
}

int32_t CompareCountedTextNoCase(const uint8_t* a, const uint8_t* b, int32_t n) {
    return CompareCounted(a, b, n, true);
}

int32_t CompareTextCounted(const char* a, const char* b, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        int32_t ca = Lower(a[i]), cb = Lower(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) break;
    }
    return 0;
}

int32_t CompareTextNatural(const char* a, const char* b, uint8_t caseSensitive) {
    auto fold = [caseSensitive](char c) { return caseSensitive ? int32_t(uint8_t(c)) : Lower(c); };
    auto digit19 = [](char c) { return c >= '1' && c <= '9'; };
    for (;;) {
        int32_t ca = fold(*a), cb = fold(*b);
        if (ca == cb) {
            if (ca == 0) return 0;
            if (!digit19(*a)) {
                ++a;
                ++b;
                continue;
            }
        }
        while (*a == '0') ++a;
        while (*b == '0') ++b;
        int32_t result = fold(*a) - fold(*b);
        if (digit19(*a) && digit19(*b)) {
            // Digit runs compare by length, then digit by digit.
            const char* ea = a;
            const char* eb = b;
            while (std::isdigit(uint8_t(*ea))) ++ea;
            while (std::isdigit(uint8_t(*eb))) ++eb;
            if (ea - a != eb - b) {
                result = ea - a < eb - b ? -1 : 1;
            } else {
                result = 0;
                for (const char *pa = a, *pb = b; pa < ea; ++pa, ++pb) {
                    if (*pa != *pb) {
                        result = *pa - *pb;
                        break;
                    }
                }
            }
            a = ea;
            b = eb;
        }
        if (result != 0) return result;
    }
}

int32_t InsertCountedText(const uint8_t* src, uint8_t* dest, int32_t position) {
    int32_t ls = src[0], ld = dest[0];
    if (position < 1 || position > ld + 1 || ls == 0 || ld >= 255) return 0;
    int32_t n = ls < 255 - ld ? ls : 255 - ld;
    uint8_t piece[255];
    std::memcpy(piece, src + 1, size_t(n)); // the source may be the destination
    std::memmove(dest + position + n, dest + position, size_t(ld - position + 1));
    std::memcpy(dest + position, piece, size_t(n));
    dest[0] = uint8_t(ld + n);
    return n;
}

void DeleteCountedText(uint8_t* text, int32_t position, int32_t count) {
    int32_t length = text[0];
    if (position < 1 || position > length || count <= 0) return;
    int32_t n = count < length - position + 1 ? count : length - position + 1;
    std::memmove(text + position, text + position + n, size_t(length - position - n + 1));
    text[0] = uint8_t(length - n);
}

void ConcatCountedTexts(uint8_t* dest, ...) {
    uint8_t joined[256];
    int32_t length = 0;
    va_list args;
    va_start(args, dest);
    while (const uint8_t* piece = va_arg(args, const uint8_t*)) {
        int32_t n = piece[0];
        if (n > 255 - length) n = 255 - length;
        std::memcpy(joined + 1 + length, piece + 1, size_t(n));
        length += n;
    }
    va_end(args);
    joined[0] = uint8_t(length);
    std::memcpy(dest, joined, size_t(length + 1));
}

void InsertTextAt(const char* src, char* buffer, int32_t offset) {
    int32_t length = int32_t(std::strlen(buffer));
    int32_t n = int32_t(std::strlen(src));
    if (offset < 0 || offset > length || n == 0) return;
    std::memmove(buffer + offset + n, buffer + offset, size_t(length - offset + 1));
    std::memmove(buffer + offset, src, size_t(n));
}

void DeleteTextAt(char* text, int32_t offset, int32_t count) {
    int32_t length = int32_t(std::strlen(text));
    if (offset < 0 || offset >= length || count <= 0) return;
    int32_t n = count < length - offset ? count : length - offset;
    std::memmove(text + offset, text + offset + n, size_t(length - offset - n + 1));
}

void TrimBlanks(char* text) {
    size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ') text[--length] = 0;
    size_t lead = 0;
    while (text[lead] == ' ') ++lead;
    if (lead) std::memmove(text, text + lead, length - lead + 1);
}

void UpcaseCString(char* text) {
    for (; *text; ++text) *text = char(std::toupper(uint8_t(*text)));
}

int32_t ReadDecimalRun(const char** cursor, int32_t value) {
    const char* p = *cursor;
    while (*p >= '0' && *p <= '9') {
        value = int32_t(uint32_t(value) * 10u + uint32_t(*p - '0'));
        ++p;
    }
    *cursor = p;
    return value;
}

int16_t VirtualKeyState(int32_t virtualKey) {
    int16_t state = ClockAsyncKeyState(virtualKey);
    uint16_t result = uint16_t(state) & 0xFF00;
    if (state & 0x8000) result |= 1;
    return int16_t(result);
}

void* AppInstanceHandle() { return g_instance; }

void SetAppInstanceHandle(void* instance) { g_instance = instance; }
