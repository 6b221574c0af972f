// Indexing the lines of a text log and keeping its text window.
#include "toolbox/ui/textlogindex.h"

#include <algorithm>
#include <cstring>

namespace {

void PutEntry(TextLogIndex* index, int32_t value) {
    if (index->count >= int32_t(index->entries.size()))
        index->entries.resize(index->entries.size() + size_t(kTextLogIndexGrowth));
    index->entries[size_t(index->count++)] = value;
}

void CountRows(TextLogIndex* index) {
    int32_t end = index->entries[size_t(index->count - 1)];
    int32_t rows = index->count - 1;
    if (rows > 0 && index->entries[size_t(rows - 1)] == end) --rows;
    index->rowCount = rows;
}

int32_t ReadAt(ByteStream stream, int32_t position, char* buffer, int32_t count) {
    int32_t error = ByteStreamSetPosition(stream, position);
    if (error != 0) return error;
    return ByteStreamRead(stream, buffer, &count);
}

} // namespace

void TextLogIndexInit(TextLogIndex* index) {
    index->entries.assign(size_t(kTextLogIndexGrowth), 0);
    index->count = 2;
    index->rowCount = 0;
    index->pendingLineFeed = false;
}

int32_t TextLogIndexFrom(TextLogIndex* index, ByteStream stream, int32_t row) {
    row = std::clamp(row, 0, index->count - 2);
    // A line feed may still follow the return that ended the text indexed.
    bool pending = index->pendingLineFeed && row == index->count - 2;
    index->count = row + 1;
    int32_t position = index->entries[size_t(row)];
    int32_t length = ByteStreamLength(stream);
    char buffer[kTextLogReadChunk];
    int32_t error = 0;
    while (position < length) {
        int32_t count = std::min(kTextLogReadChunk, length - position);
        error = ReadAt(stream, position, buffer, count);
        if (error != 0) break;
        for (int32_t i = 0; i < count; ++i) {
            char c = buffer[i];
            if (pending && c == '\n') index->entries[size_t(index->count - 1)] = position + i + 1;
            pending = false;
            if (c == '\r') {
                PutEntry(index, position + i + 1);
                pending = true;
            }
        }
        position += count;
    }
    index->pendingLineFeed = pending;
    PutEntry(index, position);
    CountRows(index);
    return error;
}

int32_t TextLogAppend(TextLogIndex* index, ByteStream stream, const char* text, int32_t length) {
    int32_t error = ByteStreamSetPosition(stream, ByteStreamLength(stream));
    if (error == 0) error = ByteStreamWrite(stream, text, length);
    int32_t reindexed = TextLogIndexFrom(index, stream, index->count - 2);
    return error != 0 ? error : reindexed;
}

int32_t TextLogClear(TextLogIndex* index, TextLogWindow* window, ByteStream stream) {
    int32_t error = ByteStreamSetLength(stream, 0);
    TextLogIndexInit(index);
    window->bytes.clear();
    window->bytes.shrink_to_fit();
    window->start = window->end = 0;
    return error;
}

int32_t TextLogRowStart(const TextLogIndex* index, int32_t row) {
    return index->entries[size_t(std::clamp(row, 0, index->count - 1))];
}

int32_t TextLogRowEnd(const TextLogIndex* index, int32_t row) {
    return TextLogRowStart(index, row + 1);
}

void TextLogNeededRange(const TextLogIndex* index, int32_t streamLength, int32_t first,
                        int32_t last, int32_t* start, int32_t* end) {
    // Before the first rows the range would start below 0: it starts at 0.
    int32_t from = std::max(TextLogRowStart(index, first) - kTextWindowMargin, 0);
    *start = from / kTextWindowAlign * kTextWindowAlign;
    int32_t to = TextLogRowEnd(index, last) + kTextWindowMargin;
    *end = std::min(to / kTextWindowAlign * kTextWindowAlign + kTextWindowMargin, streamLength);
    *end = std::max(*end, *start);
}

int32_t TextLogLoadWindow(TextLogWindow* window, const TextLogIndex* index, ByteStream stream,
                          int32_t first, int32_t last) {
    int32_t start, end;
    TextLogNeededRange(index, ByteStreamLength(stream), first, last, &start, &end);
    int32_t heldStart = window->start, heldEnd = window->end;
    bool overlaps = !window->bytes.empty() && start < heldEnd && heldStart < end;
    if (overlaps) {
        // Keep what is held when the union stays within the kept size.
        int32_t unionStart = std::min(start, heldStart), unionEnd = std::max(end, heldEnd);
        if (unionEnd - unionStart <= std::max(kTextWindowKeep, end - start)) {
            start = unionStart;
            end = unionEnd;
        }
    }
    if (start >= heldStart && end <= heldEnd && !window->bytes.empty()) return 0;
    std::vector<char> bytes(size_t(end - start));
    int32_t keepStart = start, keepEnd = start;
    if (overlaps) {
        keepStart = std::max(start, heldStart);
        keepEnd = std::min(end, heldEnd);
        std::memcpy(bytes.data() + (keepStart - start),
                    window->bytes.data() + (keepStart - heldStart), size_t(keepEnd - keepStart));
    }
    int32_t error = 0;
    if (keepStart > start) error = ReadAt(stream, start, bytes.data(), keepStart - start);
    if (error == 0 && end > keepEnd)
        error = ReadAt(stream, keepEnd, bytes.data() + (keepEnd - start), end - keepEnd);
    if (error != 0) return error;
    window->bytes.swap(bytes);
    window->start = start;
    window->end = end;
    return 0;
}

int32_t TextLogRowText(const TextLogWindow* window, const TextLogIndex* index, int32_t row,
                       const char** text) {
    int32_t start = TextLogRowStart(index, row), end = TextLogRowEnd(index, row);
    if (start < window->start || end > window->end || start >= end) {
        *text = nullptr;
        return 0;
    }
    const char* bytes = window->bytes.data() + (start - window->start);
    int32_t count = end - start;
    // The break: a carriage return, a line feed, or the pair.
    if (count > 0 && bytes[count - 1] == '\n') --count;
    if (count > 0 && bytes[count - 1] == '\r') --count;
    *text = bytes;
    return count;
}
