// The 'LEAD' type header at the start of a file written by another
// program: 16 bytes (kind word, byte-order flag, type, magic, header
// length), then up to 16 more of which the first 4 are the creator.
//
// Layout: offset 0 kind (16), 2 byte-order flag (16: 0 big-endian, 0xFFFF
// little-endian), 4 type (32), 8 magic 'LEAD' (32), 12 header length (32),
// 16 creator (32, always big-endian). Fields are decoded explicitly by the
// flag, so the result does not depend on the machine's byte order.
#include <algorithm>

#include "toolbox/core/byteorder.h"
#include "toolbox/ui/bytestream.h"

namespace {

constexpr int32_t kHeaderFixedBytes = 16;
constexpr int32_t kHeaderMaxBytes = 32;
constexpr uint16_t kFlagBigEndian = 0;
constexpr uint16_t kFlagLittleEndian = 0xFFFF;
constexpr uint32_t kHeaderMagic = FourCC("LEAD");
constexpr uint32_t kCreatorBigEndian = FourCC("PMac");
constexpr uint32_t kCreatorLittleEndian = FourCC("IW32");

uint32_t Get(const uint8_t* p, int bytes, bool big) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= uint32_t(p[big ? i : bytes - 1 - i]) << (8 * (bytes - 1 - i));
    return v;
}

} // namespace

int32_t ReadFileTypeHeader(ByteStream stream, uint32_t* type, int16_t* kind, uint32_t* creator) {
    uint8_t header[kHeaderMaxBytes] = {};
    int32_t err = ByteStreamSetPosition(stream, 0);
    if (!err && ByteStreamLength(stream) < kHeaderFixedBytes) err = kStreamErrNoTypeHeader;
    if (!err) {
        int32_t n = kHeaderFixedBytes;
        err = ByteStreamRead(stream, header, &n);
    }
    bool big = true;
    if (!err) {
        uint16_t flag = uint16_t(Get(header + 2, 2, true));
        if (flag != kFlagBigEndian && flag != kFlagLittleEndian) err = kStreamErrNoTypeHeader;
        big = flag == kFlagBigEndian;
    }
    if (!err && Get(header + 8, 4, big) != kHeaderMagic) err = kStreamErrNoTypeHeader;
    if (!err) {
        uint32_t length = Get(header + 12, 4, big);
        if (length > uint32_t(kHeaderFixedBytes)) {
            int32_t n = int32_t(std::min<uint32_t>(length - kHeaderFixedBytes,
                                                   kHeaderMaxBytes - kHeaderFixedBytes));
            err = ByteStreamRead(stream, header + kHeaderFixedBytes, &n);
        }
    }
    if (err) {
        if (type) *type = 0;
        if (kind) *kind = 0;
        if (creator) *creator = 0;
        return err;
    }
    if (type) *type = Get(header + 4, 4, big);
    if (kind) *kind = int16_t(Get(header, 2, big));
    if (creator) {
        uint32_t c = Get(header + kHeaderFixedBytes, 4, true);
        *creator = c ? c : big ? kCreatorBigEndian : kCreatorLittleEndian;
    }
    return 0;
}
