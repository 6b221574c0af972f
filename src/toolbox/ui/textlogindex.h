// The portable model of a text log: the index of line starts over a
// growing memory byte stream and the window of text bytes kept around the
// rows being drawn.
//
// Guarantees: a carriage return ends a row (a line feed right after it
// belongs to that break; a lone line feed ends nothing); appending indexes
// only the new bytes and the incomplete last line again; the text window
// never starts below 0, never passes the stream's length, and reads only
// the bytes it does not already hold.
#pragma once
#include <cstdint>
#include <vector>

#include "toolbox/ui/bytestream.h"

// Bytes read from the stream at a time while indexing.
constexpr int32_t kTextLogReadChunk = 2048;
// The index grows by this many entries.
constexpr int32_t kTextLogIndexGrowth = 256;
// The text window reaches this far beyond the rows drawn ...
constexpr int32_t kTextWindowMargin = 256;
// ... rounded to this alignment ...
constexpr int32_t kTextWindowAlign = 512;
// ... and keeps at most this many bytes unless the needed range is larger.
constexpr int32_t kTextWindowKeep = 4096;

struct TextLogIndex {
    std::vector<int32_t> entries; // line starts, then the end offset; size is the capacity
    int32_t count;                // entries in use
    int32_t rowCount;
    bool pendingLineFeed; // the indexed text ends with a carriage return
};

struct TextLogWindow {
    std::vector<char> bytes; // the block: bytes start..end of the stream
    int32_t start, end;
};

void TextLogIndexInit(TextLogIndex* index);
// Indexes the stream from a row's start on; 0 or the stream's error.
int32_t TextLogIndexFrom(TextLogIndex* index, ByteStream stream, int32_t row);
// Writes the text at the stream's end and indexes from the last line.
int32_t TextLogAppend(TextLogIndex* index, ByteStream stream, const char* text, int32_t length);
// Empties the stream, the index and the window.
int32_t TextLogClear(TextLogIndex* index, TextLogWindow* window, ByteStream stream);
int32_t TextLogRowStart(const TextLogIndex* index, int32_t row);
int32_t TextLogRowEnd(const TextLogIndex* index, int32_t row);

// The range of bytes needed to draw rows first..last.
void TextLogNeededRange(const TextLogIndex* index, int32_t streamLength, int32_t first,
                        int32_t last, int32_t* start, int32_t* end);
// Loads the window for rows first..last; 0 or the stream's error.
int32_t TextLogLoadWindow(TextLogWindow* window, const TextLogIndex* index, ByteStream stream,
                          int32_t first, int32_t last);
// The characters of a row in a loaded window without its line break.
int32_t TextLogRowText(const TextLogWindow* window, const TextLogIndex* index, int32_t row,
                       const char** text);
