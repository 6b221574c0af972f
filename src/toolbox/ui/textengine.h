// The portable engine of editable text: a text record's characters,
// selection and display-line starts, fitting and breaking lines against the
// installed text measurer, full and incremental layout, and the editing
// operations (insert, delete, keys, word and line selection, filtered
// paste, masked text).
//
// Guarantees: 0 <= selection start <= selection end <= length after every
// operation; the caret never stops between a carriage return and the line
// feed after it (moving and deleting take the pair as one); a display line
// never holds zero characters unless the text is empty or ends with a
// carriage return; incremental layout gives the same line starts as a full
// layout; a text that cannot grow leaves text, selection and layout as they
// were.
#pragma once
#include <cstdint>
#include <vector>

#include "toolbox/core/rect.h"

struct TextStyleRecord;
struct TextRecord;
// Called on every pass while a click is tracked.
typedef void (*TextClickLoopProc)(TextRecord* record);

constexpr char kTextCarriageReturn = '\r';
constexpr char kTextLineFeed = '\n';
constexpr char kTextTab = '\t';
constexpr char kTextBlank = ' ';
constexpr char kTextMaskChar = '*';

// The text block is kept this much larger than the text when it is sized.
constexpr int32_t kTextBlockSlack = 64;
// The line-start array grows by this many entries when full.
constexpr int32_t kLineStartGrowth = 16;
// More changed lines than this in an incremental layout: full layout.
constexpr int32_t kIncrementalLinesMax = 31;
// Tab stop count at creation, in average character widths.
constexpr int16_t kDefaultTabStopCount = 4;

// Justification.
constexpr int16_t kTextJustLeft = 0;
constexpr int16_t kTextJustRight = 1;
constexpr int16_t kTextJustCentre = 2;

// Feature flags.
constexpr uint16_t kTextFeatureRedrawInactive = 1;
constexpr uint16_t kTextFeatureAutoView = 4;
constexpr uint16_t kTextFeatureMasked = 8;
constexpr uint16_t kTextFeatureNoClip = 0x10;
constexpr uint16_t kTextFeatureNoErase = 0x1000;

// SetTextFeature modes.
constexpr int32_t kTextFeatureSet = 1;
constexpr int32_t kTextFeatureClear = 0;
constexpr int32_t kTextFeatureTest = -1;

// Key codes.
constexpr int32_t kTextKeyBackspace = 8;
constexpr int32_t kTextKeyTab = 9;
constexpr int32_t kTextKeyReturn = 13;
constexpr int32_t kTextKeyDelete = 127;
constexpr int32_t kTextKeyClear = 317;
constexpr int32_t kTextKeyUp = 301;
constexpr int32_t kTextKeyDown = 302;
constexpr int32_t kTextKeyRight = 303;
constexpr int32_t kTextKeyLeft = 304;
constexpr int32_t kTextKeyFirstPrintable = 32;
constexpr int32_t kTextKeyLastPrintable = 255;

// A paste limit meaning "none".
constexpr int32_t kTextNoLimit = -1;

struct TextRecord {
    Rect16 destination;
    Rect16 view;
    std::vector<char> text; // the block: its size is the block size
    int32_t length;
    int32_t selStart, selEnd;
    Point16 caretPoint;
    int16_t lineHeight, ascent;
    int16_t justification;
    uint8_t active;
    uint8_t caretAtLineEnd;
    uint32_t lastClickTime;
    int32_t lastClickOffset;
    int16_t tabWidth;
    int16_t tabStopCount;
    int16_t singleLine;
    uint16_t features;
    uint8_t wordSelection;
    uint8_t charWidth;
    int32_t lineCount;
    std::vector<int32_t> lineStarts; // size is the array's capacity
    // The display side (set by the platform's text layer; the engine
    // neither reads nor changes them).
    void* window;       // the port current when the record was made
    void* drawingState; // that port's drawing state
    TextStyleRecord* style;
    uint32_t foreground, background; // colour values
    TextClickLoopProc clickLoop;
    uint32_t nextBlinkTime;
    int16_t caretShown;
    int16_t transferMode;
    int32_t displaySetting; // kept for the edit-text field
};

// The result of fitting text into a width.
struct TextFit {
    int32_t count;          // characters that fit (a carriage return ends the fit)
    bool overflowed;        // a character crossed the edge
    bool endedByReturn;     // the fit stopped at a carriage return
    int32_t afterLastBlank; // position after the last blank seen, or 0
    int32_t widthBeforeBlank;
    bool crossingMostlyInside; // the crossing character's left half fits
};

// The face whose descent counts one pixel more (compared without case).
constexpr char kTallDescentFace[] = "MS Sans Serif";

// Line height of a style: ascent + descent + leading, one more on
// kTallDescentFace.
int16_t TextLineHeightOf(int32_t ascent, int32_t descent, int32_t leading, const char* face);

// Sizes of the text block; a block that would pass the limit fails to
// grow (negative: no limit).
void SetTextBlockSizeLimit(int32_t limit);
// Whether Shift is down, read at every key (null: never).
void SetTextShiftReader(bool (*reader)());

// A record on the destination and view, measured from the measurer with
// the given line metrics; false when an allocation fails.
bool InitTextRecord(TextRecord* record, const Rect16* destination, const Rect16* view,
                    int16_t lineHeight, int16_t ascent);
// Replaces the text; false (nothing changed) when the block cannot be sized.
bool SetTextRecordText(const char* text, int32_t length, TextRecord* record);
int32_t TextRecordGetText(const TextRecord* record, char* buffer, int32_t size);
void SetTextRecordSelection(int32_t start, int32_t end, TextRecord* record);
void SetTextTabWidth(int32_t count, int32_t pixels, TextRecord* record);
int32_t SetTextFeature(uint16_t bits, int32_t mode, TextRecord* record);

// Characters in a chunk of fitting.
int32_t TextFitChunk(int32_t availableWidth);
TextFit TextFitWidth(const TextRecord* record, const char* text, int32_t length,
                     int32_t availableWidth);
int32_t TextNextLineStart(const TextRecord* record, int32_t offset);
// Full layout.
void TextCalcLines(TextRecord* record);
// Layout after the text changed at `at`: `removed` characters replaced by
// `inserted` ones. Returns the first line whose start may have changed.
int32_t TextRecalcLines(TextRecord* record, int32_t at, int32_t removed, int32_t inserted);
int32_t TextLineOfOffset(int32_t offset, const TextRecord* record);
// Whether the line starting at `line` follows a wrap (no carriage return).
bool TextLineIsWrapped(const TextRecord* record, int32_t line);

// Width of characters from..to of one line (leading line feed and trailing
// return not measured; masked text as asterisks).
int32_t TextRunWidth(const TextRecord* record, int32_t from, int32_t to);
int32_t MaskedTextWidth(int32_t count);
// Width of a line for justification.
int32_t TextLineJustifyWidth(const TextRecord* record, int32_t line);
Point16 TextOffsetToPoint(int32_t offset, const TextRecord* record);
int32_t TextPointToOffset(Point16 point, const TextRecord* record);

// Moves the destination (and the caret point) by dh, dv, limited so that
// its top-left corner never lies below or right of the view's; the
// distances actually moved are returned in dh, dv.
void TextScrollBy(int32_t* dh, int32_t* dv, TextRecord* record);

bool TextInsert(const char* text, int32_t length, TextRecord* record);
void TextDelete(TextRecord* record);
// Direction -1, 0 or +1.
void TextDeleteKey(int32_t direction, TextRecord* record);
void TextKey(int32_t key, TextRecord* record);
// The word (letters, digits, underscore) around an offset.
void TextWordRange(const TextRecord* record, int32_t offset, int32_t* start, int32_t* end);
// A click at an offset: plain, double (word), triple (line) or extending.
void TextClickOffset(int32_t offset, uint32_t now, uint32_t doubleClickTicks, bool extend,
                     TextRecord* record);
// Inserts the leading characters that the filter accepts in place of the
// selection, so that the text holds at most `limit` characters.
bool TextInsertFiltered(const char* text, int32_t length, int32_t limit, bool (*filter)(char),
                        TextRecord* record);
