// Record framing, byte order and the body codec of the binary design file.
#include "files/binfmt.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "db/db.h"
#include "db/dbdump.h"
#include "db/dbheader.h"
#include "toolbox/core/byteorder.h"

namespace {

const char kMagic[4] = {'B', 'I', 'N', 'R'};
const char kIdent[25] = "ZELTO BINARY ROUTER FILE";

struct Stream {
    std::FILE* file = nullptr;
    int32_t errors = 0;
};
Stream g_read, g_write;
bool g_bigEndian = false;
int32_t g_subVersion = 0;
ErrCode g_lastError = 0;

uint8_t g_body[kBinBufferBytes];  // a body as read
uint8_t g_image[kBinBufferBytes]; // a body as written, or a default image
uint8_t g_native[kBinBufferBytes];

Stream& StreamOf(char mode) {
    if (mode == 'r') return g_read;
    if (mode == 'w') return g_write;
    ErrReport(kBinErrModeLetter, mode);
}

uint16_t Be16(const uint8_t* p) {
    return uint16_t((p[0] << 8) | p[1]);
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
// A 16-bit count of a body in the order the file holds it.
int32_t BodyCount(const uint8_t* body, int32_t offset) {
    return int16_t(g_bigEndian ? Be16(body + offset) : Le16(body + offset));
}

// ---- the body codec --------------------------------------------------------

void PutLe(uint8_t* out, uint64_t v, int32_t width) {
    for (int32_t i = 0; i < width; ++i)
        out[i] = uint8_t(v >> (8 * i));
}
uint64_t GetLe(const uint8_t* in, int32_t width) {
    uint64_t v = 0;
    for (int32_t i = 0; i < width; ++i)
        v |= uint64_t(in[i]) << (8 * i);
    return v;
}

int32_t Width(char kind) {
    switch (kind) {
    case kFieldI32:
    case kFieldU32:
    case kFieldName:
        return 4;
    case kFieldI16:
    case kFieldU16:
        return 2;
    case kFieldF64:
        return 8;
    default:
        return 1;
    }
}

// Converts every described field of an image between the native record
// and the little-endian body: encode native -> body, else body -> native.
// Bytes no field describes are copied as they are.
void Code(int32_t type, int32_t count, const uint8_t* from, uint8_t* to, int32_t size,
          bool encode) {
    std::memcpy(to, from, size_t(size));
    std::vector<DbImagePiece> pieces;
    DbImagePieces(type, count, pieces);
    for (const DbImagePiece& piece : pieces) {
        const DbFieldList& list = DbFieldsOf(piece.part);
        for (int32_t i = 0; i < list.count; ++i) {
            const DbField& f = list.fields[i];
            int32_t w = Width(f.kind);
            if (w == 1) continue;
            for (int32_t k = 0; k < f.count; ++k) {
                int32_t at = piece.offset + f.offset + k * w;
                if (at + w > size) break;
                if (encode) {
                    uint64_t v = 0;
                    if (w == 2) {
                        uint16_t x;
                        std::memcpy(&x, from + at, 2);
                        v = x;
                    } else if (w == 4) {
                        uint32_t x;
                        std::memcpy(&x, from + at, 4);
                        v = x;
                    } else {
                        std::memcpy(&v, from + at, 8);
                    }
                    PutLe(to + at, v, w);
                } else {
                    uint64_t v = GetLe(from + at, w);
                    if (w == 2) {
                        uint16_t x = uint16_t(v);
                        std::memcpy(to + at, &x, 2);
                    } else if (w == 4) {
                        uint32_t x = uint32_t(v);
                        std::memcpy(to + at, &x, 4);
                    } else {
                        std::memcpy(to + at, &v, 8);
                    }
                }
            }
        }
    }
}

// The count an image's size depends on, from the native record.
int32_t NativeCount(int32_t type, const void* record) {
    const uint8_t* p = static_cast<const uint8_t*>(record);
    int16_t v = 0;
    switch (type) {
    case kRecSymbol:
    case kRecPackage:
        std::memcpy(&v, p + 8, 2);
        return v;
    case kRecConn:
        std::memcpy(&v, p + 34, 2);
        return v;
    case kRecObstacle:
        std::memcpy(&v, p + 46, 2);
        return v;
    case kRecThruCode:
        return DbHdr().layerCount;
    default:
        return 0;
    }
}

// ---- byte order of big-endian bodies ----------------------------------------

void SwapAt(uint8_t* body, int32_t length, int32_t offset, const char* layout, int32_t bytes) {
    if (offset + bytes <= length) SwapByLayout(body + offset, layout);
}

int32_t LayerCountNow() {
    int32_t n = DbHdr().layerCount;
    return n < 0 ? 0 : n > kMaxLayers ? kMaxLayers : n;
}

} // namespace

int32_t BinBodySize(int32_t type, int32_t count) {
    switch (type) {
    case kRecHeader:
        return 734;
    case kRecSweep:
        return 228;
    case kRecPlaceStrategy:
        return 148;
    case kRecLayer:
    case kRecComponent:
        return 56;
    case kRecThruCode:
        return ThruRecSizeFor(count);
    case kRecSymbol:
        return 48 + 16 * count;
    case kRecPackage:
        return 32 + 16 * count;
    case kRecNet:
        return 28;
    case kRecConn:
        return 36 + 14 * count;
    case kRecObstacle:
        return 48 + 12 * count;
    case kRecBoardText:
        return 156;
    case kRecColorEntry:
        return 12;
    case kRecAttribute:
        return 20;
    case kRecPlotReport:
        return 848;
    case kRecErrorMarker:
        return 40;
    case kRecEndOfFile:
    case kRecFileHeader:
        return 64;
    case kRecTable23:
        return 16;
    default:
        return 0;
    }
}

void BinSwapBody(int32_t type, uint8_t* body, int32_t length, int32_t layerCount) {
    auto at = [&](int32_t offset, const char* layout, int32_t bytes) {
        SwapAt(body, length, offset, layout, bytes);
    };
    switch (type) {
    case kRecHeader: {
        at(64, "F", 8);
        at(72, "L12W18L19B2W3", 160);
        at(240, "L2FLB4LW2", 32);
        at(272, "L2B2L2", 18);
        int32_t n = length > 281 ? body[281] : 0;
        for (int32_t i = 0; i <= n && i < kViaNameEntries; ++i)
            at(298 + 16 * i, "L3W", 14);
        at(634, "WL", 6);
        break;
    }
    case kRecSweep:
        at(32, "W", 2);
        at(34, "W5", 10);
        at(64, "W2", 4);
        at(192, "W4B2WL2B4L3", 36);
        break;
    case kRecPlaceStrategy:
        at(0, "W60", 120);
        at(120, "L4B2WL2", 28);
        break;
    case kRecLayer:
        at(0, "L13W", 54);
        break;
    case kRecThruCode:
        at(0, "L2W2", 12);
        for (int32_t i = 0; i <= layerCount && i < kLayerSlots; ++i) {
            int32_t e = 12 + 108 * i;
            if (e + 4 > length) break;
            at(e, "W", 2);
            for (int32_t j = 0; j < body[e + 3] && j < 4; ++j)
                at(e + 4 + 26 * j, "L6", 24);
        }
        break;
    case kRecSymbol: {
        int32_t n = length >= 10 ? int16_t(Be16(body + 8)) : -1;
        at(0, "L2WB2W2L4", 32);
        for (int32_t i = 0; i <= n && i <= kMaxPins; ++i)
            at(32 + 16 * i, "L3W2", 16);
        break;
    }
    case kRecPackage: {
        int32_t n = length >= 10 ? int16_t(Be16(body + 8)) : -1;
        at(0, "L2W2", 12);
        for (int32_t i = 0; i <= n && i <= kMaxPins; ++i)
            at(16 + 16 * i, "L2WB2L", 16);
        break;
    }
    case kRecComponent:
        at(0, "L9W7B2L", 56);
        break;
    case kRecNet:
        at(0, "L4W4B2W", 28);
        break;
    case kRecConn: {
        int32_t n = length >= 36 ? int16_t(Be16(body + 34)) : 0;
        at(0, "L5W8", 36);
        for (int32_t i = 0; i < n && i < kMaxCorners; ++i)
            at(36 + 14 * i, "L2W", 10);
        break;
    }
    case kRecObstacle: {
        int32_t n = length >= 48 ? int16_t(Be16(body + 46)) : 0;
        at(0, "L8B4W6", 48);
        for (int32_t i = 0; i < n && i < kMaxPoints; ++i)
            at(48 + 12 * i, "L2W2", 12);
        break;
    }
    case kRecBoardText:
        at(0, "L11W4", 52);
        break;
    case kRecColorEntry:
        at(0, "B4L2", 12);
        break;
    case kRecAttribute:
        at(0, "B4W2L3", 20);
        break;
    case kRecPlotReport:
        at(0, "L3W2L3W5B28W", 68);
        for (int32_t i = 0; i < 65; ++i)
            at(68 + 12 * i, "B4L2", 12);
        break;
    case kRecErrorMarker:
        at(0, "L4W2B8L3", 40);
        break;
    case kRecEndOfFile:
    case kRecFileHeader:
        at(0, "LB28W2", 36);
        break;
    case kRecTable23:
        at(0, "WB2L2W2", 16);
        break;
    default:
        break;
    }
}

bool BinOpen(const FileSpec* file, char mode) {
    Stream& s = StreamOf(mode);
    if (s.file) ErrReport(kBinErrModeOpen, mode);
    s.file = FileSpecOpenStream(file, mode == 'r' ? "rb" : "wb");
    s.errors = s.file ? 0 : 1;
    if (mode == 'r') {
        g_bigEndian = false;
        g_lastError = 0;
    }
    return s.file != nullptr;
}

bool BinClose(char mode) {
    Stream& s = StreamOf(mode);
    if (!s.file) ErrReport(kBinErrModeClosed, mode);
    if (std::fclose(s.file) != 0 && mode == 'w') ++s.errors;
    s.file = nullptr;
    return s.errors == 0;
}

void BinReadError(ErrCode code) {
    ++g_read.errors;
    g_lastError = code;
}

int32_t BinSubVersion() {
    return g_subVersion;
}

ErrCode BinLastReadError() {
    return g_lastError;
}

bool BinBigEndian() {
    return g_bigEndian;
}

int32_t BinReadRec(void* buffer, int32_t* type) {
    *type = 0;
    if (!g_read.file) ErrReport(kBinErrModeClosed, 'r');
    auto fail = [](ErrCode code) {
        BinReadError(code);
        return int32_t(code);
    };
    uint8_t head[kBinHeadBytes];
    if (std::fread(head, 1, sizeof head, g_read.file) != sizeof head) return fail(kBinErrHeadShort);
    int32_t t = int16_t(Be16(head + 4));
    int32_t length = Be16(head + 6);
    if (std::memcmp(head, kMagic, 4) != 0 || length < 1 || length > kBinBufferBytes || t < 1 ||
        t > 24)
        return fail(kBinErrHead);
    if (std::fread(g_body, 1, size_t(length), g_read.file) != size_t(length))
        return fail(kBinErrBodyShort);

    int32_t count = 0;
    int32_t expected = 0;
    switch (t) {
    case kRecNameString:
    case kRecNote:
        if (int32_t(strnlen(reinterpret_cast<const char*>(g_body), size_t(length))) != length - 1)
            return fail(kBinErrTextLength);
        std::memcpy(buffer, g_body, size_t(length));
        *type = t;
        return length;
    case kRecSymbol:
    case kRecPackage:
    case kRecConn:
    case kRecObstacle: {
        int32_t at = t == kRecConn ? 34 : t == kRecObstacle ? 46 : 8;
        count = length >= at + 2 ? BodyCount(g_body, at) : -1000000;
        expected = BinBodySize(t, count);
        if (length != expected) {
            return fail(t == kRecSymbol    ? kBinErrSymbolSize
                        : t == kRecPackage ? kBinErrPackageSize
                        : t == kRecConn    ? kBinErrConnSize
                                           : kBinErrObsSize);
        }
        break;
    }
    case kRecThruCode:
        count = LayerCountNow();
        expected = BinBodySize(t, count);
        // A layer block holds at most four shapes; the byte order of the
        // shapes follows from the count, so it is checked first.
        for (int32_t e = 12 + 3; e < length && e < expected; e += 108)
            if (g_body[e] > 4) return fail(kBinErrCheck);
        break;
    case kRecEndOfFile:
    case kRecFileHeader: {
        if (length != kBinFileHeaderBytes) return fail(kBinErrHeaderSize);
        g_bigEndian =
            std::memcmp(g_body + 4, "PMac", 4) == 0 || std::memcmp(g_body + 4, "M68K", 4) == 0;
        if (std::memcmp(g_body + 8, kIdent, 24) != 0) return fail(kBinErrHeaderText);
        int32_t version = g_bigEndian ? Be16(g_body + 32) : Le16(g_body + 32);
        if (version != kBinVersion) return fail(kBinErrHeaderVersion);
        g_subVersion = int16_t(g_bigEndian ? Be16(g_body + 34) : Le16(g_body + 34));
        expected = 64;
        break;
    }
    case 20:
    case 21:
    case 22:
        return fail(kBinErrType);
    case kRecHeader:
        // The via entries 0..count are converted: at most 20 fit.
        if (length > 281 && g_body[281] > kMaxViaNames) return fail(kBinErrCheck);
        expected = 734;
        break;
    default:
        expected = BinBodySize(t, 0);
        break;
    }
    if (g_bigEndian) BinSwapBody(t, g_body, length, count);

    if (t == kRecEndOfFile || t == kRecFileHeader) {
        BinFileHeader* h = static_cast<BinFileHeader*>(buffer);
        std::memcpy(h, g_body, 64);
        h->typeCode = uint32_t(GetLe(g_body, 4));
        h->version = int16_t(GetLe(g_body + 32, 2));
        h->subVersion = int16_t(GetLe(g_body + 34, 2));
        *type = t;
        return 64;
    }
    // A short body overlays the start of its type's default record; bytes
    // beyond the type's size are left out.
    if (length < expected) {
        DbRecInit(t, g_native, 1);
        Code(t, count, g_native, g_image, expected, true);
        std::memcpy(g_image, g_body, size_t(length));
    } else {
        std::memcpy(g_image, g_body, size_t(expected));
    }
    Code(t, count, g_image, static_cast<uint8_t*>(buffer), expected, false);
    *type = t;
    return expected;
}

bool BinWriteRec(int32_t type, const void* record) {
    if (!g_write.file) ErrReport(kBinErrModeClosed, 'w');
    int32_t size = 0;
    int32_t count = 0;
    switch (type) {
    case kRecNameString:
    case kRecNote: {
        const char* text = static_cast<const char*>(record);
        size = int32_t(strnlen(text, kTextChars + 1)) + 1;
        if (size > kTextChars) ErrReport(kBinErrWriteText, size);
        std::memcpy(g_image, text, size_t(size));
        break;
    }
    case kRecEndOfFile:
    case kRecFileHeader: {
        uint32_t code;
        std::memcpy(&code, record, 4);
        std::memset(g_image, 0, 64);
        PutLe(g_image, code, 4);
        std::memcpy(g_image + 4, "IW32", 4);
        std::memcpy(g_image + 8, kIdent, 24);
        PutLe(g_image + 32, kBinVersion, 2);
        PutLe(g_image + 34, kBinSubVersion, 2);
        size = 64;
        break;
    }
    case kRecSymbol:
    case kRecPackage:
    case kRecConn:
    case kRecObstacle:
    case kRecThruCode: {
        count = NativeCount(type, record);
        int32_t max = type == kRecConn       ? kMaxCorners
                      : type == kRecObstacle ? kMaxPoints
                      : type == kRecThruCode ? kMaxLayers
                                             : kMaxPins;
        if (count < 0 || count > max) ErrReport(kBinErrWriteCount, count);
        size = BinBodySize(type, count);
        Code(type, count, static_cast<const uint8_t*>(record), g_image, size, true);
        break;
    }
    default:
        size = (type >= 1 && type <= 23) ? BinBodySize(type, 0) : 0;
        if (size == 0) ErrReport(kBinErrWriteType, type);
        Code(type, 0, static_cast<const uint8_t*>(record), g_image, size, true);
        break;
    }
    uint8_t head[kBinHeadBytes];
    std::memcpy(head, kMagic, 4);
    head[4] = uint8_t(type >> 8);
    head[5] = uint8_t(type);
    head[6] = uint8_t(size >> 8);
    head[7] = uint8_t(size);
    if (std::fwrite(head, 1, sizeof head, g_write.file) != sizeof head ||
        std::fwrite(g_image, 1, size_t(size), g_write.file) != size_t(size)) {
        ++g_write.errors;
        return false;
    }
    return true;
}
