// The portable engine of editable text: fitting, line breaking, layout and
// editing of a text record over the installed text measurer.
#include "toolbox/ui/textengine.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "toolbox/ui/textmeasure.h"

namespace {

int32_t gBlockSizeLimit = -1;
bool (*gShiftReader)() = nullptr;

bool ShiftDown() {
    return gShiftReader != nullptr && gShiftReader();
}

bool ResizeTextBlock(TextRecord* record, int32_t size) {
    if (gBlockSizeLimit >= 0 && size > gBlockSizeLimit) return false;
    record->text.resize(size_t(size));
    return true;
}

// The line-start array holds at least `entries`, grown by whole steps.
void EnsureLineStarts(TextRecord* record, int32_t entries) {
    int32_t capacity = int32_t(record->lineStarts.size());
    while (capacity < entries)
        capacity += kLineStartGrowth;
    record->lineStarts.resize(size_t(capacity));
}

int32_t CharWidth(const TextRecord* record, char c) {
    if (record->features & kTextFeatureMasked) c = kTextMaskChar;
    return MeasureRawWidth(&c, 1);
}

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Whether an offset lies between a carriage return and its line feed.
bool InsidePair(const TextRecord* record, int32_t offset) {
    const char* t = record->text.data();
    return offset > 0 && offset < record->length && t[offset - 1] == kTextCarriageReturn &&
           t[offset] == kTextLineFeed;
}

int32_t StepRight(const TextRecord* record, int32_t offset) {
    if (offset >= record->length) return record->length;
    ++offset;
    if (InsidePair(record, offset)) ++offset;
    return offset;
}

int32_t StepLeft(const TextRecord* record, int32_t offset) {
    if (offset <= 0) return 0;
    --offset;
    if (InsidePair(record, offset)) --offset;
    return offset;
}

int32_t AvailableWidth(const TextRecord* record) {
    return record->destination.right - record->destination.left - 1;
}

void SetSelection(TextRecord* record, int32_t start, int32_t end) {
    start = std::clamp(start, 0, record->length);
    end = std::clamp(end, 0, record->length);
    if (start > end) std::swap(start, end);
    // Neither end stops between a carriage return and its line feed.
    if (InsidePair(record, start)) --start;
    if (InsidePair(record, end)) ++end;
    record->selStart = start;
    record->selEnd = end;
}

// Where the blanks and one tab at the end of a wrapped line begin.
int32_t VisibleLineEnd(const TextRecord* record, int32_t line) {
    const char* t = record->text.data();
    int32_t start = record->lineStarts[line];
    int32_t end = record->lineStarts[line + 1];
    if (end > start && t[end - 1] == kTextTab) --end;
    while (end > start && t[end - 1] == kTextBlank)
        --end;
    return end;
}

} // namespace

int16_t TextLineHeightOf(int32_t ascent, int32_t descent, int32_t leading, const char* face) {
    bool tall = face != nullptr && std::strlen(face) == sizeof kTallDescentFace - 1;
    for (size_t i = 0; tall && face[i] != 0; ++i)
        tall = std::tolower(static_cast<unsigned char>(face[i])) ==
               std::tolower(static_cast<unsigned char>(kTallDescentFace[i]));
    return int16_t(ascent + descent + leading + (tall ? 1 : 0));
}

void TextScrollBy(int32_t* dh, int32_t* dv, TextRecord* record) {
    *dh = std::min(*dh, record->view.left - record->destination.left);
    *dv = std::min(*dv, record->view.top - record->destination.top);
    record->destination.left = int16_t(record->destination.left + *dh);
    record->destination.right = int16_t(record->destination.right + *dh);
    record->destination.top = int16_t(record->destination.top + *dv);
    record->destination.bottom = int16_t(record->destination.bottom + *dv);
    record->caretPoint.h = int16_t(record->caretPoint.h + *dh);
    record->caretPoint.v = int16_t(record->caretPoint.v + *dv);
}

void SetTextBlockSizeLimit(int32_t limit) {
    gBlockSizeLimit = limit;
}

void SetTextShiftReader(bool (*reader)()) {
    gShiftReader = reader;
}

bool InitTextRecord(TextRecord* record, const Rect16* destination, const Rect16* view,
                    int16_t lineHeight, int16_t ascent) {
    *record = TextRecord{};
    record->destination = *destination;
    record->view = *view;
    if (!ResizeTextBlock(record, kTextBlockSlack)) return false;
    record->lineHeight = lineHeight;
    record->ascent = ascent;
    record->lastClickOffset = -1;
    record->tabStopCount = kDefaultTabStopCount;
    const char probe = 'x';
    record->charWidth = uint8_t(std::clamp(MeasureRawWidth(&probe, 1), 0, 255));
    record->tabWidth = int16_t(record->tabStopCount * record->charWidth);
    EnsureLineStarts(record, kLineStartGrowth);
    TextCalcLines(record);
    return true;
}

bool SetTextRecordText(const char* text, int32_t length, TextRecord* record) {
    length = std::max(length, 0);
    int32_t size = int32_t(record->text.size());
    if ((size < length || size > length + kTextBlockSlack) &&
        !ResizeTextBlock(record, length + kTextBlockSlack))
        return false;
    if (length > 0) std::memcpy(record->text.data(), text, size_t(length));
    record->length = length;
    record->selStart = record->selEnd = length;
    record->caretAtLineEnd = 0;
    TextCalcLines(record);
    if (int32_t(record->lineStarts.size()) > record->lineCount + kLineStartGrowth)
        record->lineStarts.resize(size_t(record->lineCount + kLineStartGrowth));
    return true;
}

int32_t TextRecordGetText(const TextRecord* record, char* buffer, int32_t size) {
    if (size <= 0 || buffer == nullptr) return 0;
    int32_t count = std::min(record->length, size - 1);
    std::memcpy(buffer, record->text.data(), size_t(count));
    buffer[count] = 0;
    return count;
}

void SetTextRecordSelection(int32_t start, int32_t end, TextRecord* record) {
    SetSelection(record, start, end);
    record->caretAtLineEnd = 0;
}

void SetTextTabWidth(int32_t count, int32_t pixels, TextRecord* record) {
    record->tabStopCount = int16_t(count);
    record->tabWidth = int16_t(count != 0 ? count * record->charWidth : pixels);
}

int32_t SetTextFeature(uint16_t bits, int32_t mode, TextRecord* record) {
    if (mode == kTextFeatureTest) return (record->features & bits) == bits ? 1 : 0;
    if (mode == kTextFeatureSet)
        record->features |= bits;
    else
        record->features &= uint16_t(~bits);
    return 0;
}

int32_t TextFitChunk(int32_t availableWidth) {
    const char bar = '|';
    // A bar measuring nothing would divide by zero.
    int32_t barWidth = std::max(MeasureRawWidth(&bar, 1), 1);
    return std::max(availableWidth, 0) / barWidth + 2;
}

TextFit TextFitWidth(const TextRecord* record, const char* text, int32_t length,
                     int32_t availableWidth) {
    TextFit fit{};
    int32_t chunk = TextFitChunk(availableWidth);
    int32_t x = 0;
    int32_t i = 0;
    while (i < length) {
        // Positions are measured a chunk at a time.
        int32_t chunkEnd = std::min(length, i + chunk);
        for (; i < chunkEnd; ++i) {
            char c = text[i];
            if (c == kTextCarriageReturn) {
                fit.count = i;
                fit.endedByReturn = true;
                return fit;
            }
            int32_t next;
            if (c == kTextTab && record->tabWidth > 0 && !(record->features & kTextFeatureMasked))
                next = (x / record->tabWidth + 1) * record->tabWidth;
            else
                next = x + CharWidth(record, c);
            if (next > availableWidth) {
                fit.count = i;
                fit.overflowed = true;
                fit.crossingMostlyInside = x + (next - x) / 2 <= availableWidth;
                return fit;
            }
            if (c == kTextBlank) {
                fit.afterLastBlank = i + 1;
                fit.widthBeforeBlank = x;
            }
            x = next;
        }
    }
    fit.count = length;
    return fit;
}

namespace {

// The next line start, and one past the last character looked at to find
// it (a break can depend on characters beyond the line's own end).
int32_t NextLineStartLooking(const TextRecord* record, int32_t offset, int32_t* lookedTo) {
    int32_t length = record->length;
    const char* t = record->text.data();
    *lookedTo = length;
    if (offset >= length) return offset;
    if (record->singleLine) {
        const void* cr = std::memchr(t + offset, kTextCarriageReturn, size_t(length - offset));
        if (cr == nullptr) return length;
        return *lookedTo = int32_t(static_cast<const char*>(cr) - t) + 1;
    }
    int32_t p = offset;
    if (p > 0 && t[p] == kTextLineFeed) ++p;
    TextFit fit = TextFitWidth(record, t + p, length - p, AvailableWidth(record));
    if (fit.endedByReturn) return *lookedTo = p + fit.count + 1;
    if (!fit.overflowed) return length;
    int32_t at = p + fit.count;
    *lookedTo = at + 1;
    if (t[at] == kTextTab) return std::max(at + 1, offset + 1);
    if (t[at] == kTextBlank) {
        while (at < length && t[at] == kTextBlank)
            ++at;
        *lookedTo = std::min(at + 1, length);
        return at;
    }
    if (fit.afterLastBlank > 0) return p + fit.afterLastBlank;
    return std::max(at, p + 1);
}

} // namespace

int32_t TextNextLineStart(const TextRecord* record, int32_t offset) {
    int32_t lookedTo;
    return NextLineStartLooking(record, offset, &lookedTo);
}

void TextCalcLines(TextRecord* record) {
    EnsureLineStarts(record, 2);
    record->lineStarts[0] = 0;
    int32_t count = 0;
    int32_t start = 0;
    while (start < record->length) {
        int32_t next = TextNextLineStart(record, start);
        if (next <= start) break;
        EnsureLineStarts(record, count + 2);
        record->lineStarts[++count] = next;
        start = next;
    }
    if (record->length > 0 && record->text[size_t(record->length - 1)] == kTextCarriageReturn) {
        EnsureLineStarts(record, count + 2);
        record->lineStarts[++count] = record->length;
    }
    if (count == 0) {
        count = 1;
        record->lineStarts[1] = record->length;
    }
    record->lineCount = count;
}

int32_t TextRecalcLines(TextRecord* record, int32_t at, int32_t removed, int32_t inserted) {
    int32_t delta = inserted - removed;
    // The old starts after the edit, moved to the new text.
    std::vector<int32_t> later;
    for (int32_t i = 1; i < record->lineCount; ++i) {
        int32_t s = record->lineStarts[i];
        if (s > at + removed && s + delta < record->length) later.push_back(s + delta);
    }
    // From the line before the edit, or earlier while an earlier line's
    // break looked at characters from the edit on.
    int32_t first = std::max(TextLineOfOffset(at, record) - 1, 0);
    while (first > 0) {
        int32_t lookedTo;
        NextLineStartLooking(record, record->lineStarts[first - 1], &lookedTo);
        if (lookedTo <= at) break;
        --first;
    }
    int32_t editEnd = at + inserted;
    std::vector<int32_t> fresh;
    int32_t start = record->lineStarts[first];
    bool joined = false;
    size_t joinedAt = 0;
    while (start < record->length) {
        int32_t next = TextNextLineStart(record, start);
        if (next <= start) break;
        if (next > editEnd) {
            auto hit = std::lower_bound(later.begin(), later.end(), next);
            if (hit != later.end() && *hit == next) {
                joined = true;
                joinedAt = size_t(hit - later.begin());
                break;
            }
        }
        fresh.push_back(next);
        if (int32_t(fresh.size()) > kIncrementalLinesMax) {
            TextCalcLines(record);
            return 0;
        }
        start = next;
    }
    if (!joined) {
        // The layout ran to the end of the text: finish it as a full one
        // would (an empty line after a final carriage return).
        TextCalcLines(record);
        return first;
    }
    std::vector<int32_t> starts(record->lineStarts.begin(), record->lineStarts.begin() + first + 1);
    starts.insert(starts.end(), fresh.begin(), fresh.end());
    starts.insert(starts.end(), later.begin() + long(joinedAt), later.end());
    // An extra empty line follows a final carriage return; the last entry
    // is the length.
    if (record->text[size_t(record->length - 1)] == kTextCarriageReturn)
        starts.push_back(record->length);
    starts.push_back(record->length);
    int32_t count = int32_t(starts.size()) - 1;
    EnsureLineStarts(record, count + 1);
    std::copy(starts.begin(), starts.end(), record->lineStarts.begin());
    record->lineCount = count;
    return first;
}

int32_t TextLineOfOffset(int32_t offset, const TextRecord* record) {
    if (offset <= 0) return 0;
    if (offset >= record->length) return record->lineCount - 1;
    const int32_t* begin = record->lineStarts.data();
    const int32_t* end = begin + record->lineCount;
    return int32_t(std::upper_bound(begin, end, offset) - begin) - 1;
}

bool TextLineIsWrapped(const TextRecord* record, int32_t line) {
    if (line <= 0 || line >= record->lineCount) return false;
    int32_t s = record->lineStarts[line];
    return s > 0 && record->text[size_t(s - 1)] != kTextCarriageReturn;
}

int32_t TextRunWidth(const TextRecord* record, int32_t from, int32_t to) {
    const char* t = record->text.data();
    int32_t x = 0;
    for (int32_t i = from; i < to; ++i) {
        char c = t[i];
        if (c == kTextCarriageReturn ||
            (c == kTextLineFeed && i > 0 && t[i - 1] == kTextCarriageReturn))
            continue;
        if (c == kTextTab && record->tabWidth > 0 && record->justification == kTextJustLeft &&
            !(record->features & kTextFeatureMasked))
            x = (x / record->tabWidth + 1) * record->tabWidth;
        else
            x += CharWidth(record, c);
    }
    return x;
}

int32_t MaskedTextWidth(int32_t count) {
    const char mask = kTextMaskChar;
    return std::max(count, 0) * MeasureRawWidth(&mask, 1);
}

int32_t TextLineJustifyWidth(const TextRecord* record, int32_t line) {
    int32_t end = record->lineStarts[line + 1];
    if (TextLineIsWrapped(record, line + 1)) end = VisibleLineEnd(record, line);
    return TextRunWidth(record, record->lineStarts[line], end);
}

namespace {

int32_t LineLeft(const TextRecord* record, int32_t line) {
    int32_t left = record->destination.left + 1;
    int32_t room = AvailableWidth(record) - TextLineJustifyWidth(record, line);
    if (record->justification == kTextJustRight)
        left += room;
    else if (record->justification == kTextJustCentre)
        left += room / 2;
    return left;
}

// The line on which the caret at `offset` shows.
int32_t CaretLine(const TextRecord* record, int32_t offset) {
    int32_t line = TextLineOfOffset(offset, record);
    if (record->caretAtLineEnd && line > 0 && record->lineStarts[line] == offset &&
        TextLineIsWrapped(record, line))
        --line;
    return line;
}

} // namespace

Point16 TextOffsetToPoint(int32_t offset, const TextRecord* record) {
    int32_t line = CaretLine(record, offset);
    int32_t h = LineLeft(record, line) + TextRunWidth(record, record->lineStarts[line], offset);
    int32_t v = record->destination.top + line * record->lineHeight;
    return Point16{int16_t(v), int16_t(h)};
}

int32_t TextPointToOffset(Point16 point, const TextRecord* record) {
    if (point.v < record->destination.top) return 0;
    int32_t line = (point.v - record->destination.top) / std::max<int32_t>(record->lineHeight, 1);
    if (line >= record->lineCount) return record->length;
    const char* t = record->text.data();
    int32_t start = record->lineStarts[line];
    int32_t end = record->lineStarts[line + 1];
    // The caret stops before a line's closing return, never after it.
    if (end > start && t[end - 1] == kTextCarriageReturn) --end;
    int32_t x = LineLeft(record, line);
    int32_t offset = start;
    if (start > 0 && t[start] == kTextLineFeed && t[start - 1] == kTextCarriageReturn)
        offset = start + 1;
    while (offset < end) {
        int32_t w = TextRunWidth(record, offset, offset + 1);
        if (point.h < x + (w + 1) / 2) break;
        x += w;
        ++offset;
    }
    return offset;
}

bool TextInsert(const char* text, int32_t length, TextRecord* record) {
    if (length <= 0) return true;
    int32_t at = record->selStart;
    int32_t needed = record->length + length;
    if (needed > int32_t(record->text.size()) && !ResizeTextBlock(record, needed + kTextBlockSlack))
        return false;
    char* t = record->text.data();
    std::memmove(t + at + length, t + at, size_t(record->length - at));
    std::memcpy(t + at, text, size_t(length));
    record->length = needed;
    TextRecalcLines(record, at, 0, length);
    record->selStart = record->selEnd = at + length;
    record->caretAtLineEnd = 0;
    return true;
}

void TextDelete(TextRecord* record) {
    TextDeleteKey(0, record);
}

void TextDeleteKey(int32_t direction, TextRecord* record) {
    int32_t start = record->selStart;
    int32_t end = record->selEnd;
    if (start == end) {
        if (direction < 0)
            start = StepLeft(record, start);
        else if (direction > 0)
            end = StepRight(record, end);
    }
    if (start == end) return;
    char* t = record->text.data();
    std::memmove(t + start, t + end, size_t(record->length - end));
    record->length -= end - start;
    TextRecalcLines(record, start, end - start, 0);
    record->selStart = record->selEnd = start;
    record->caretAtLineEnd = 0;
}

namespace {

// The caret a line up or down at the same horizontal position.
int32_t VerticalMove(const TextRecord* record, int32_t offset, int32_t lines) {
    Point16 at = TextOffsetToPoint(offset, record);
    int32_t line = CaretLine(record, offset) + lines;
    if (line < 0) return 0;
    if (line >= record->lineCount) return record->length;
    at.v = int16_t(record->destination.top + line * record->lineHeight);
    return TextPointToOffset(at, record);
}

void MoveRight(TextRecord* record) {
    int32_t offset = record->selEnd;
    if (record->selStart != record->selEnd) {
        SetSelection(record, offset, offset);
        record->caretAtLineEnd = 0;
        return;
    }
    int32_t line = TextLineOfOffset(offset, record);
    if (record->caretAtLineEnd && record->lineStarts[line] == offset) {
        record->caretAtLineEnd = 0; // same offset, now at the lower line's start
        return;
    }
    if (line + 1 < record->lineCount && TextLineIsWrapped(record, line + 1) &&
        offset >= VisibleLineEnd(record, line) && offset < record->lineStarts[line + 1]) {
        SetSelection(record, record->lineStarts[line + 1], record->lineStarts[line + 1]);
        record->caretAtLineEnd = 0;
        return;
    }
    int32_t next = StepRight(record, offset);
    int32_t nextLine = TextLineOfOffset(next, record);
    SetSelection(record, next, next);
    record->caretAtLineEnd = next < record->length && record->lineStarts[nextLine] == next &&
                             TextLineIsWrapped(record, nextLine);
}

void MoveLeft(TextRecord* record) {
    int32_t offset = record->selStart;
    if (record->selStart != record->selEnd) {
        SetSelection(record, offset, offset);
        record->caretAtLineEnd = 0;
        return;
    }
    int32_t line = TextLineOfOffset(offset, record);
    if (!record->caretAtLineEnd && line > 0 && record->lineStarts[line] == offset &&
        TextLineIsWrapped(record, line)) {
        int32_t visible = VisibleLineEnd(record, line - 1);
        SetSelection(record, visible, visible);
        record->caretAtLineEnd = visible == offset;
        return;
    }
    int32_t prev = StepLeft(record, offset);
    SetSelection(record, prev, prev);
    record->caretAtLineEnd = 0;
}

} // namespace

void TextKey(int32_t key, TextRecord* record) {
    if (!record->active) return;
    bool shift = ShiftDown();
    switch (key) {
    case kTextKeyBackspace:
        TextDeleteKey(-1, record);
        return;
    case kTextKeyDelete:
        TextDeleteKey(1, record);
        return;
    case kTextKeyClear:
        TextDeleteKey(0, record);
        return;
    case kTextKeyUp:
    case kTextKeyDown: {
        bool up = key == kTextKeyUp;
        int32_t o = VerticalMove(record, up ? record->selStart : record->selEnd, up ? -1 : 1);
        if (!shift)
            SetSelection(record, o, o);
        else if (up)
            SetSelection(record, o, record->selEnd);
        else
            SetSelection(record, record->selStart, o);
        record->caretAtLineEnd = 0;
        return;
    }
    case kTextKeyRight:
        if (shift)
            SetSelection(record, record->selStart, StepRight(record, record->selEnd));
        else
            MoveRight(record);
        return;
    case kTextKeyLeft:
        if (shift)
            SetSelection(record, StepLeft(record, record->selStart), record->selEnd);
        else
            MoveLeft(record);
        return;
    default:
        break;
    }
    if (key != kTextKeyTab && key != kTextKeyReturn &&
        (key < kTextKeyFirstPrintable || key > kTextKeyLastPrintable))
        return;
    // The insertion must fit before the selection is given up.
    const char pair[2] = {kTextCarriageReturn, kTextLineFeed};
    char one = char(key);
    const char* text = key == kTextKeyReturn ? pair : &one;
    int32_t count = key == kTextKeyReturn ? 2 : 1;
    int32_t after = record->length - (record->selEnd - record->selStart) + count;
    if (after > int32_t(record->text.size()) &&
        !ResizeTextBlock(record, int32_t(record->text.size()) + kTextBlockSlack))
        return;
    TextDeleteKey(0, record);
    TextInsert(text, count, record);
}

void TextWordRange(const TextRecord* record, int32_t offset, int32_t* start, int32_t* end) {
    const char* t = record->text.data();
    int32_t s = std::clamp(offset, 0, record->length);
    int32_t e = s;
    while (s > 0 && IsWordChar(t[s - 1]))
        --s;
    while (e < record->length && IsWordChar(t[e]))
        ++e;
    *start = s;
    *end = e;
}

void TextClickOffset(int32_t offset, uint32_t now, uint32_t doubleClickTicks, bool extend,
                     TextRecord* record) {
    offset = std::clamp(offset, 0, record->length);
    if (InsidePair(record, offset)) --offset;
    bool repeat = !extend && offset == record->lastClickOffset &&
                  now - record->lastClickTime <= doubleClickTicks;
    if (repeat && record->wordSelection) {
        int32_t line = TextLineOfOffset(offset, record);
        SetSelection(record, record->lineStarts[line], record->lineStarts[line + 1]);
        record->wordSelection = 0;
    } else if (repeat) {
        int32_t s, e;
        TextWordRange(record, offset, &s, &e);
        SetSelection(record, s, e);
        record->wordSelection = 1;
    } else if (extend) {
        // The anchor is the far end of the existing selection.
        int32_t anchor = std::abs(offset - record->selStart) > std::abs(offset - record->selEnd)
                             ? record->selStart
                             : record->selEnd;
        SetSelection(record, anchor, offset);
        record->wordSelection = 0;
    } else {
        SetSelection(record, offset, offset);
        record->wordSelection = 0;
    }
    record->caretAtLineEnd = 0;
    record->lastClickOffset = offset;
    record->lastClickTime = now;
}

bool TextInsertFiltered(const char* text, int32_t length, int32_t limit, bool (*filter)(char),
                        TextRecord* record) {
    int32_t count = 0;
    while (count < length && (filter == nullptr || filter(text[count])))
        ++count;
    if (limit >= 0) {
        int32_t room = limit - (record->length - (record->selEnd - record->selStart));
        count = std::clamp(count, 0, std::max(room, 0));
    }
    int32_t after = record->length - (record->selEnd - record->selStart) + count;
    if (after > int32_t(record->text.size()) && !ResizeTextBlock(record, after + kTextBlockSlack))
        return false;
    TextDeleteKey(0, record);
    return TextInsert(text, count, record);
}
