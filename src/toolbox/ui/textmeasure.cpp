// Tabs and truncation over the installed measurer.
#include "toolbox/ui/textmeasure.h"

#include <cstring>

namespace {
constexpr char kEllipsis[] = "...";
constexpr int32_t kEllipsisLength = 3;

int32_t NoWidth(void*, const char*, int32_t) {
    return 0;
}
TextMeasurer g_measurer{nullptr, &NoWidth};

int32_t Width(const char* text, int32_t count) {
    return count > 0 ? g_measurer.width(g_measurer.context, text, count) : 0;
}

// The longest shortening of text[0..length) that fits `room`: head and
// tail lengths (tail 0 unless in the middle mode); false when at most one
// character would remain. The result is never longer than the text.
bool FitShortened(const char* text, int32_t length, int32_t room, bool middle, int32_t* head,
                  int32_t* tail) {
    for (int32_t keep = length - kEllipsisLength; keep > 1; --keep) {
        int32_t h = middle ? (keep + 1) / 2 : keep, t = keep - h;
        if (Width(text, h) + Width(text + length - t, t) <= room) {
            *head = h;
            *tail = t;
            return true;
        }
    }
    return false;
}
} // namespace

void SetTextMeasurer(const TextMeasurer* measurer) {
    g_measurer = measurer ? *measurer : TextMeasurer{nullptr, &NoWidth};
}

TextMeasurer GetTextMeasurer() {
    return g_measurer;
}

int32_t MeasureRawWidth(const char* text, int32_t count) {
    if (count & kCountToNul) count = int32_t(std::strlen(text));
    return Width(text, count);
}

int32_t WidestCharWidth() {
    int32_t w = Width("W", 1), u = Width("_", 1);
    return w > u ? w : u;
}

int32_t NextTabStop(int32_t x, int32_t tabWidth) {
    if (tabWidth < 1) return x;
    int32_t stop = (x / tabWidth + 1) * tabWidth;
    while (stop - x < kTabStopLead)
        stop += tabWidth;
    return stop;
}

int32_t WalkTextWithTabs(const char* text, int32_t count, int32_t tabWidth, uint32_t flags,
                         const TabRunVisitor& visit) {
    if (count & kCountToNul) count = int32_t(std::strlen(text));
    if (flags & kTabFlagMasked) {
        static const char kMask = '*';
        int32_t width = 0;
        for (int32_t i = 0; i < count; ++i) {
            if (visit) visit(&kMask, 1, width);
            width += Width(&kMask, 1);
        }
        return width;
    }
    if (flags & kTabFlagsWidest) tabWidth = WidestCharWidth();
    int32_t x = 0, start = 0;
    for (int32_t i = 0; i <= count; ++i) {
        if (i < count && text[i] != '\t') continue;
        if (visit && i > start) visit(text + start, i - start, x);
        x += Width(text + start, i - start);
        if (i < count) x = NextTabStop(x, tabWidth);
        start = i + 1;
    }
    return x;
}

int32_t MeasureTextWithTabs(const char* text, int32_t count, int32_t tabWidth, uint32_t flags) {
    return WalkTextWithTabs(text, count, tabWidth, flags, nullptr);
}

void MeasureTextFitRaw(const char* text, int32_t count, int32_t* widths) {
    if (count & kCountToNul) count = int32_t(std::strlen(text));
    for (int32_t i = 0; i < count; ++i)
        widths[i] = Width(text, i + 1);
}

int32_t TruncateTextToWidth(int32_t width, uint8_t* countedText, int32_t mode) {
    char* text = reinterpret_cast<char*>(countedText + 1);
    int32_t length = countedText[0];
    if (Width(text, length) <= width) return kTruncateFits;
    int32_t room = width - Width(kEllipsis, kEllipsisLength);
    int32_t head = 0, tail = 0;
    if (room <= 1 || !FitShortened(text, length, room, mode == kTruncateMiddle, &head, &tail))
        return kTruncateTooNarrow;
    std::memmove(text + head + kEllipsisLength, text + length - tail, size_t(tail));
    std::memcpy(text + head, kEllipsis, kEllipsisLength);
    countedText[0] = uint8_t(head + kEllipsisLength + tail);
    return kTruncated;
}

int32_t TruncateCTextToWidth(int32_t width, char* text, int32_t mode) {
    uint8_t counted[kCountedTextLongest + 1];
    size_t length = std::strlen(text);
    if (length > size_t(kCountedTextLongest)) length = size_t(kCountedTextLongest);
    counted[0] = uint8_t(length);
    std::memcpy(counted + 1, text, length);
    int32_t result = TruncateTextToWidth(width, counted, mode);
    if (result == kTruncated) {
        std::memcpy(text, counted + 1, counted[0]);
        text[counted[0]] = 0;
    }
    return result;
}
