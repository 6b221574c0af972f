// Picture recording: the state sync, the item forms and the stream. Each
// item is assembled in a small buffer and written in one call; a text's
// characters follow in a second call.
#include "toolbox/core/picture.h"

#include <cstring>

#include "toolbox/core/byteorder.h"

namespace {

constexpr int32_t kShortDeltaLimit = 127;
constexpr int32_t kShortSizeLimit = 256;
constexpr int32_t kParamByteLimit = 255;
constexpr uint32_t kVerbMaskFrame = kSyncColours | kSyncPenSize | kSyncPattern | kSyncPenMode;
constexpr uint32_t kVerbMaskPaint = kSyncColours | kSyncPattern | kSyncPenMode;
constexpr uint32_t kVerbMaskErase = kSyncColours;
constexpr uint32_t kSyncLine = 31;
constexpr uint32_t kSyncText = kSyncColours | kSyncFont;
constexpr int32_t kDegreesPerTurn = 360;
constexpr uint32_t kLargestVertexCount = 0xFFFF;

// One item being assembled (little-endian).
struct Item {
    uint8_t bytes[64];
    int32_t n = 0;
    void U8(uint32_t v) { bytes[n++] = uint8_t(v); }
    void U16(uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(uint32_t v) {
        U16(v);
        U16(v >> 16);
    }
    void Point(Point16 p) {
        U16(uint16_t(p.v));
        U16(uint16_t(p.h));
    }
    void Op(uint8_t opcode, uint32_t parameter) {
        U8(opcode);
        U8(parameter);
    }
    // Opcode and a value in the parameter byte, or parameter 0 and 16 bits.
    void OpWithValue(uint8_t opcode, int32_t value) {
        U8(opcode);
        if (value >= 1 && value <= kParamByteLimit) {
            U8(uint32_t(value));
        } else {
            U8(0);
            U16(uint32_t(value));
        }
    }
};

void Write(PictureRecorder* r, const Item& item) {
    PictureStreamWrite(r, item.bytes, item.n);
}

bool FitsShort(int32_t d) {
    return d >= -kShortDeltaLimit && d <= kShortDeltaLimit;
}

bool ShortAllowed(const PictureRecorder* r) {
    return !(r->flags & kPictureLongOnly);
}

bool DeltaFits(const PictureRecorder* r, Point16 to) {
    return ShortAllowed(r) && FitsShort(to.v - r->penLocation.v) &&
           FitsShort(to.h - r->penLocation.h);
}

bool SamePoint(Point16 a, Point16 b) {
    return a.v == b.v && a.h == b.h;
}

PictureDrawState CurrentState(PictureRecorder* r) {
    PictureDrawState s{};
    r->host.currentState(r->host.context, &s);
    return s;
}

Point16 ShortPoint(const Point32& p) {
    Point16 out;
    PointToShort(&p, &out);
    return out;
}

uint32_t VerbMask(int32_t verb) {
    switch (verb) {
    case kVerbFrame:
        return kVerbMaskFrame;
    case kVerbPaint:
        return kVerbMaskPaint;
    case kVerbErase:
        return kVerbMaskErase;
    default:
        return 0;
    }
}

bool Known(const PictureRecorder* r, uint32_t bit) {
    return (r->known & bit) != 0;
}

void SyncColours(PictureRecorder* r, const PictureDrawState& s) {
    bool known = Known(r, kSyncColours);
    Item item;
    if (!known || s.foreground != r->foreground) {
        item.Op(kPicForeground, 0);
        item.U32(s.foreground);
    }
    if (!known || s.background != r->background) {
        item.Op(kPicBackground, 0);
        item.U32(s.background);
    }
    if (item.n) Write(r, item);
    r->foreground = s.foreground;
    r->background = s.background;
    r->known |= kSyncColours;
}

void SyncFont(PictureRecorder* r, const PictureDrawState& s) {
    bool known = Known(r, kSyncFont);
    char name[kPictureFontNameLongest + 2] = {};
    if ((!known || s.fontNumber != r->fontNumber) &&
        r->host.fontName(r->host.context, s.fontNumber, name, sizeof name) && name[0]) {
        int32_t length = int32_t(strnlen(name, kPictureFontNameLongest));
        int32_t padded = (length + 2) & ~1; // the name, its zero and an even end
        Item head;
        head.Op(kPicFontName, uint32_t(padded));
        Write(r, head);
        name[length] = 0;
        name[length + 1] = 0;
        PictureStreamWrite(r, name, padded);
    }
    Item item;
    if (!known || s.textSize != r->textSize) item.OpWithValue(kPicTextSize, s.textSize);
    if (!known || s.textFace != r->textFace) {
        item.Op(kPicTextFace, 0);
        item.U16(s.textFace);
    }
    if (item.n) Write(r, item);
    r->fontNumber = s.fontNumber;
    r->textSize = s.textSize;
    r->textFace = s.textFace;
    r->known |= kSyncFont;
}

void SyncLocation(PictureRecorder* r, Point16 target) {
    if (!r->penStale && SamePoint(r->penLocation, target)) return;
    Item item;
    if (!r->penStale && DeltaFits(r, target)) {
        item.Op(kPicLocationDelta, 0);
        item.U8(uint8_t(int8_t(target.v - r->penLocation.v)));
        item.U8(uint8_t(int8_t(target.h - r->penLocation.h)));
    } else {
        item.Op(kPicLocation, 0);
        item.Point(target);
        r->penStale = false;
    }
    Write(r, item);
    r->penLocation = target;
}

void RecordShape(PictureRecorder* r, uint8_t opcode, const Rect16* rect, int32_t verb,
                 const int16_t* extra, int32_t extraCount) {
    PictureSyncState(r, VerbMask(verb));
    int32_t height = rect->bottom - rect->top, width = rect->right - rect->left;
    bool shortOrigin = ShortAllowed(r) && FitsShort(rect->top) && FitsShort(rect->left);
    bool shortSize = ShortAllowed(r) && height > 0 && width > 0 && height < kShortSizeLimit &&
                     width < kShortSizeLimit;
    Item item;
    item.U8(opcode);
    item.U8(uint32_t(verb & 0x0F) | (shortOrigin ? kShapeShortOrigin : 0) |
            (shortSize ? kShapeShortSize : 0));
    if (shortOrigin) {
        item.U8(uint8_t(int8_t(rect->top)));
        item.U8(uint8_t(int8_t(rect->left)));
    } else {
        item.U16(uint16_t(rect->top));
        item.U16(uint16_t(rect->left));
    }
    if (shortSize) {
        item.U8(uint32_t(height));
        item.U8(uint32_t(width));
    } else {
        item.U16(uint16_t(rect->bottom));
        item.U16(uint16_t(rect->right));
    }
    for (int32_t i = 0; i < extraCount; ++i)
        item.U16(uint16_t(extra[i]));
    Write(r, item);
}

} // namespace

void PictureRecorderInit(PictureRecorder* recorder, const PictureHost* host, uint32_t flags) {
    *recorder = PictureRecorder{};
    recorder->host = *host;
    recorder->flags = flags;
    recorder->penStale = true;
}

int32_t PictureStreamWrite(PictureRecorder* recorder, const void* bytes, int32_t count) {
    if (recorder->streamError) return recorder->streamError;
    int32_t result = recorder->host.streamWrite(recorder->host.context, bytes, count);
    if (result) recorder->streamError = result;
    return result;
}

void PictureSyncState(PictureRecorder* r, uint32_t mask) {
    PictureDrawState s = CurrentState(r);
    uint32_t flags = r->flags;
    if ((mask & kSyncColours) && !(flags & kPictureNoColours)) SyncColours(r, s);
    if ((mask & kSyncPattern) && !(flags & kPictureNoPattern)) {
        if (!Known(r, kSyncPattern) || std::memcmp(s.pattern, r->pattern, sizeof s.pattern)) {
            Item item;
            item.Op(kPicPattern, 0);
            for (uint8_t b : s.pattern)
                item.U8(b);
            Write(r, item);
            std::memcpy(r->pattern, s.pattern, sizeof s.pattern);
            r->known |= kSyncPattern;
        }
    }
    if ((mask & kSyncPenMode) && !(flags & kPictureNoModes)) {
        if (!Known(r, kSyncPenMode) || s.penMode != r->penMode) {
            Item item;
            item.Op(kPicPenMode, uint8_t(s.penMode));
            Write(r, item);
            r->penMode = s.penMode;
            r->known |= kSyncPenMode;
        }
    }
    if ((mask & kSyncFont) && !(flags & kPictureNoFont)) {
        SyncFont(r, s);
        if (!(flags & kPictureNoModes) && (!r->textModeKnown || s.textMode != r->textMode)) {
            Item item;
            item.Op(kPicTextMode, uint8_t(s.textMode));
            Write(r, item);
            r->textMode = s.textMode;
            r->textModeKnown = true;
        }
    }
    if ((mask & kSyncPenSize) && !(flags & kPictureNoPenSize)) {
        if (!Known(r, kSyncPenSize) || s.penSize != r->penSize) {
            Item item;
            item.OpWithValue(kPicPenSize, s.penSize);
            Write(r, item);
            r->penSize = s.penSize;
            r->known |= kSyncPenSize;
        }
    }
    if (mask & kSyncLocation) SyncLocation(r, ShortPoint(s.pen));
}

void PictureRecordText(PictureRecorder* r, const char* text, int32_t length) {
    if (length < 0) length = text ? int32_t(strnlen(text, kPictureTextLongest + 1)) : 0;
    if (length < 1) return;
    if (length > kPictureTextLongest) length = kPictureTextLongest;
    PictureSyncState(r, kSyncText);
    Point16 pen = ShortPoint(CurrentState(r).pen);
    Item item;
    if (r->penStale) {
        item.OpWithValue(kPicTextAt, length + 4);
        item.Point(pen);
    } else if (SamePoint(pen, r->penLocation)) {
        item.OpWithValue(kPicText, length);
    } else if (DeltaFits(r, pen)) {
        item.OpWithValue(kPicTextDelta, length + 2);
        item.U8(uint8_t(int8_t(pen.v - r->penLocation.v)));
        item.U8(uint8_t(int8_t(pen.h - r->penLocation.h)));
    } else {
        item.OpWithValue(kPicTextAt, length + 4);
        item.Point(pen);
    }
    Write(r, item);
    PictureStreamWrite(r, text, length);
    if (length & 1) {
        uint8_t pad = 0;
        PictureStreamWrite(r, &pad, 1);
    }
    int32_t width = r->host.textWidth(r->host.context, text, length);
    r->host.movePenTo(r->host.context, pen.h + width, pen.v);
    r->penStale = true;
}

void PictureRecordLine(PictureRecorder* r, int32_t h, int32_t v, uint8_t lineParameter,
                       bool centred) {
    PictureSyncState(r, kSyncLine);
    Point16 to = ShortPoint(Point32{v, h});
    uint8_t parameter = centred ? lineParameter : 0;
    Item item;
    if (DeltaFits(r, to)) {
        item.Op(centred ? kPicCentredLineDelta : kPicLineDelta, parameter);
        item.U8(uint8_t(int8_t(to.v - r->penLocation.v)));
        item.U8(uint8_t(int8_t(to.h - r->penLocation.h)));
    } else {
        item.Op(centred ? kPicCentredLine : kPicLine, parameter);
        item.Point(to);
    }
    Write(r, item);
    r->penLocation = to;
    r->host.movePenTo(r->host.context, h, v);
}

void PictureRecordRect(PictureRecorder* r, const Rect16* rect, int32_t verb) {
    RecordShape(r, kPicRect, rect, verb, nullptr, 0);
}

void PictureRecordOval(PictureRecorder* r, const Rect16* rect, int32_t verb) {
    RecordShape(r, kPicOval, rect, verb, nullptr, 0);
}

void PictureRecordRoundRect(PictureRecorder* r, const Rect16* rect, int16_t cornerWidth,
                            int16_t cornerHeight, int32_t verb) {
    int16_t extra[2] = {cornerWidth, cornerHeight};
    RecordShape(r, kPicRoundRect, rect, verb, extra, 2);
}

void PictureRecordArc(PictureRecorder* r, const Rect16* rect, int16_t startAngle, int16_t arcAngle,
                      int32_t verb) {
    int16_t extra[2] = {startAngle, arcAngle};
    RecordShape(r, kPicArc, rect, verb, extra, 2);
}

void PictureRecordPolygon(PictureRecorder* r, const Point16* points, int32_t count, int32_t verb) {
    if (count < 1 || !points) return;
    if (uint32_t(count) > kLargestVertexCount) count = int32_t(kLargestVertexCount);
    PictureSyncState(r, VerbMask(verb));
    Item head;
    head.Op(kPicPolygon, uint32_t(verb));
    head.U16(uint32_t(count));
    Write(r, head);
    for (int32_t i = 0; i < count; ++i) {
        Item p;
        p.Point(points[i]);
        Write(r, p);
    }
    if (verb == kVerbFrame) {
        r->penLocation = points[count - 1];
        r->penStale = false;
        r->host.movePenTo(r->host.context, points[count - 1].h, points[count - 1].v);
    }
}

void PictureRecordRegion(PictureRecorder*, const RegionRecord*, int32_t) {}

bool PictureRecordsBits(const PictureRecorder* recorder) {
    return (recorder->flags & kPictureRecordBits) != 0;
}

int32_t NormalizeDegrees(int32_t angle) {
    while (angle < 0)
        angle += kDegreesPerTurn;
    return angle % kDegreesPerTurn;
}

uint32_t PictureOriginTag(uint8_t flag) {
    return flag ? FourCC("PMac") : FourCC("IW32");
}
