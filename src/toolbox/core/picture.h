// Picture recording: while a port records, its drawing operations become a
// byte stream of opcodes that can be replayed later. Before each operation
// only the parts of the drawing state that changed since they were last
// recorded are written, so the stream carries state changes and operations
// in order.
//
// Stream format: every item is an opcode byte and a parameter byte, then
// its data; multi-byte values are little-endian; a point is v then h
// (16-bit each); a short delta is dv then dh (signed bytes), used only when
// both lie in -127..127 and the long-only flag is clear; a length or size
// that does not fit the parameter byte (0 or above 255) is written as
// parameter 0 followed by a 16-bit value.
//
// Guarantees: the first failed write is kept and answered by every later
// write, and recording goes on without writing; a text is recorded with at
// most kPictureTextLongest characters, so its length always fits.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

struct RegionRecord;

// The port's drawing state as the recorder reads it.
struct PictureDrawState {
    Point32 pen;                     // v, h
    uint32_t foreground, background; // 0x00RRGGBB
    uint8_t pattern[8];
    int16_t fontNumber;
    int16_t textSize;
    uint16_t textFace;
    int16_t textMode;
    int16_t penMode;
    int32_t penSize;
};

// The port side of recording, implemented by the drawing layer.
struct PictureHost {
    void* context;
    // Appends bytes to the picture's stream; 0 or an error code.
    int32_t (*streamWrite)(void* context, const void* bytes, int32_t count);
    // Width in pixels of a text in the port's font.
    int32_t (*textWidth)(void* context, const char* text, int32_t length);
    // Moves the port's pen.
    void (*movePenTo)(void* context, int32_t h, int32_t v);
    // The face name of a font number into `name` (zero-terminated); false
    // when the number has none.
    bool (*fontName)(void* context, int16_t fontNumber, char* name, int32_t capacity);
    void (*currentState)(void* context, PictureDrawState* out);
};

// Recorder flags.
constexpr uint32_t kPictureLongOnly = 0x10000;
constexpr uint32_t kPictureRecordBits = 0x20000;
constexpr uint32_t kPictureNoColours = 0x1000000;
constexpr uint32_t kPictureNoPattern = 0x2000000;
constexpr uint32_t kPictureNoModes = 0x4000000;
constexpr uint32_t kPictureNoPenSize = 0x8000000;
constexpr uint32_t kPictureNoFont = 0x10000000;

// State sync masks.
constexpr uint32_t kSyncPenMode = 0x01;
constexpr uint32_t kSyncPattern = 0x02;
constexpr uint32_t kSyncPenSize = 0x04;
constexpr uint32_t kSyncLocation = 0x08;
constexpr uint32_t kSyncColours = 0x10;
constexpr uint32_t kSyncFont = 0x20;

// Shape verbs.
constexpr int32_t kVerbFrame = 0;
constexpr int32_t kVerbPaint = 1;
constexpr int32_t kVerbErase = 2;
constexpr int32_t kVerbInvert = 3;

// Opcodes.
constexpr uint8_t kPicForeground = 1;
constexpr uint8_t kPicLocation = 2;
constexpr uint8_t kPicPolygon = 4;
constexpr uint8_t kPicRect = 5;
constexpr uint8_t kPicPenSize = 6;
constexpr uint8_t kPicLocationDelta = 8;
constexpr uint8_t kPicPenMode = 16;
constexpr uint8_t kPicBackground = 17;
constexpr uint8_t kPicLine = 18;
constexpr uint8_t kPicFontName = 19;
constexpr uint8_t kPicOval = 21;
constexpr uint8_t kPicTextSize = 22;
constexpr uint8_t kPicLineDelta = 24;
constexpr uint8_t kPicTextMode = 32;
constexpr uint8_t kPicCentredLine = 34;
constexpr uint8_t kPicTextFace = 40;
constexpr uint8_t kPicCentredLineDelta = 56;
constexpr uint8_t kPicPattern = 128;
constexpr uint8_t kPicRoundRect = 133;
constexpr uint8_t kPicText = 134;
constexpr uint8_t kPicArc = 149;
constexpr uint8_t kPicTextAt = 150;
constexpr uint8_t kPicTextDelta = 166;

// Shape flags beside the verb.
constexpr uint8_t kShapeShortOrigin = 0x10;
constexpr uint8_t kShapeShortSize = 0x20;

// The longest text one item records (its length + 4 fits 16 bits).
constexpr int32_t kPictureTextLongest = 65531;
constexpr int32_t kPictureFontNameLongest = 254;

struct PictureRecorder {
    PictureHost host;
    Point16 penLocation;
    uint8_t pattern[8];
    uint32_t foreground, background;
    int16_t fontNumber;
    int16_t textSize;
    uint16_t textFace;
    int32_t penSize;
    int16_t penMode;
    int16_t textMode;
    uint32_t flags;
    int32_t streamError;
    bool penStale;
    uint32_t known; // sync mask bits whose caches hold recorded values
    bool textModeKnown;
};

// Starts a recorder: nothing recorded yet, so the first operation writes
// every state item its verb needs.
void PictureRecorderInit(PictureRecorder* recorder, const PictureHost* host, uint32_t flags);
int32_t PictureStreamWrite(PictureRecorder* recorder, const void* bytes, int32_t count);
void PictureSyncState(PictureRecorder* recorder, uint32_t mask);
// length negative: the C string's length.
void PictureRecordText(PictureRecorder* recorder, const char* text, int32_t length);
void PictureRecordLine(PictureRecorder* recorder, int32_t h, int32_t v, uint8_t lineParameter,
                       bool centred);
void PictureRecordRect(PictureRecorder* recorder, const Rect16* rect, int32_t verb);
void PictureRecordOval(PictureRecorder* recorder, const Rect16* rect, int32_t verb);
void PictureRecordRoundRect(PictureRecorder* recorder, const Rect16* rect, int16_t cornerWidth,
                            int16_t cornerHeight, int32_t verb);
void PictureRecordArc(PictureRecorder* recorder, const Rect16* rect, int16_t startAngle,
                      int16_t arcAngle, int32_t verb);
void PictureRecordPolygon(PictureRecorder* recorder, const Point16* points, int32_t count,
                          int32_t verb);
void PictureRecordRegion(PictureRecorder* recorder, const RegionRecord* region, int32_t verb);
bool PictureRecordsBits(const PictureRecorder* recorder);
int32_t NormalizeDegrees(int32_t angle);
// 'PMac' for a nonzero flag, else 'IW32'.
uint32_t PictureOriginTag(uint8_t flag);
