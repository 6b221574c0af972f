#include "toolbox/core/bmpread.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "toolbox/core/heap.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/tryframe.h"

namespace {

// A file in memory; counts the callback's calls and fails from a given one.
struct Source {
    std::vector<uint8_t> bytes;
    size_t at = 0;
    int32_t calls = 0;
    int32_t failAtCall = -1;
    int32_t failCode = 0;
};

int32_t ReadFrom(void* user, void* dest, int32_t count) {
    auto* s = static_cast<Source*>(user);
    if (s->calls++ == s->failAtCall) return s->failCode;
    if (s->at + size_t(count) > s->bytes.size()) return 38;
    if (dest) std::copy_n(s->bytes.begin() + long(s->at), count, static_cast<uint8_t*>(dest));
    s->at += size_t(count);
    return 0;
}

void Put16(std::vector<uint8_t>* b, uint32_t v) {
    b->push_back(uint8_t(v));
    b->push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>* b, uint32_t v) {
    Put16(b, v);
    Put16(b, v >> 16);
}

struct Header {
    uint32_t size = 40;
    int32_t width = 2, height = 2;
    uint16_t planes = 1, bits = 24;
    uint32_t compression = 0, clrUsed = 0;
};

// A file: file header (when asked), info header, extra header bytes,
// `colours` table entries, then the pixel bytes.
Source MakeFile(const Header& h, bool fileHeader, uint32_t colours,
                const std::vector<uint8_t>& pixels) {
    Source s;
    std::vector<uint8_t>& b = s.bytes;
    if (fileHeader) {
        Put16(&b, 0x4D42);
        Put32(&b, 0);
        Put32(&b, 0);
        Put32(&b, 0);
    }
    Put32(&b, h.size);
    Put32(&b, uint32_t(h.width));
    Put32(&b, uint32_t(h.height));
    Put16(&b, h.planes);
    Put16(&b, h.bits);
    Put32(&b, h.compression);
    for (int i = 0; i < 3; ++i)
        Put32(&b, 0);
    Put32(&b, h.clrUsed);
    Put32(&b, 0);
    b.resize(b.size() + (h.size > 40 ? h.size - 40 : 0), 0xEE);
    for (uint32_t i = 0; i < colours; ++i)
        Put32(&b, 0x00010203 + i);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return s;
}

class Bmp : public ::testing::Test {
  protected:
    void SetUp() override {
        MemInit(0, -1);
        InitTryFrames(0);
        SetHeapErrorHandler(&SilentHeapErrorHandler);
    }
    BmpInfo info_;
};

TEST_F(Bmp, WrongTypeReadsNothingMore) {
    Source s = MakeFile(Header{}, true, 0, std::vector<uint8_t>(16));
    s.bytes[0] = 'X';
    EXPECT_EQ(BmpRead(&ReadFrom, &s, true, &info_), kBmpMalformed);
    EXPECT_EQ(s.calls, 1);
}

TEST_F(Bmp, UntrustworthyHeadersAreRefused) {
    struct Case {
        const char* what;
        Header h;
    } cases[] = {
        {"planes", {40, 2, 2, 2, 24, 0, 0}},
        {"compression", {40, 2, 2, 1, 8, 1, 0}},
        {"small size", {39, 2, 2, 1, 24, 0, 0}},
        {"zero width", {40, 0, 2, 1, 24, 0, 0}},
        {"negative width", {40, -3, 2, 1, 24, 0, 0}},
        {"zero height", {40, 2, 0, 1, 24, 0, 0}},
        {"INT_MIN height", {40, 2, INT_MIN, 1, 24, 0, 0}},
        {"bit count 2", {40, 2, 2, 1, 2, 0, 0}},
        {"bit count 0", {40, 2, 2, 1, 0, 0, 0}},
        {"too many colours", {40, 2, 2, 1, 4, 0, 17}},
        {"image above 256 MB", {40, 0x10000, 0x401, 1, 32, 0, 0}},
    };
    for (const Case& c : cases) {
        Source s = MakeFile(c.h, false, 0, {});
        EXPECT_EQ(BmpRead(&ReadFrom, &s, false, &info_), kBmpMalformed) << c.what;
        EXPECT_EQ(s.calls, 1) << c.what;
    }
    // Just at the limit is accepted.
    Source s = MakeFile(Header{40, 0x10000, -0x400, 1, 32, 0, 0}, false, 0, {});
    EXPECT_EQ(BmpRead(&ReadFrom, &s, false, &info_), 0);
}

TEST_F(Bmp, ColourTables) {
    // 8 bits with no count: 256 entries.
    Source s = MakeFile(Header{40, 4, 1, 1, 8, 0, 0}, true, 256, {1, 2, 3, 4});
    ASSERT_EQ(BmpRead(&ReadFrom, &s, true, &info_), 0);
    EXPECT_EQ(info_.header.biClrUsed, 256u);
    EXPECT_EQ(info_.colours[255][0], 0x02); // 0x00010203 + 255, little-endian
    EXPECT_EQ(info_.colours[255][1], 0x03);
    EXPECT_EQ(s.at, 14u + 40 + 1024);
    // A longer header is skipped; a 24-bit file's table of 300 entries too,
    // and its count is cleared.
    Source t = MakeFile(Header{52, 1, 1, 1, 24, 0, 300}, false, 300, {9, 9, 9, 0});
    ASSERT_EQ(BmpRead(&ReadFrom, &t, false, &info_), 0);
    EXPECT_EQ(info_.header.biClrUsed, 0u);
    EXPECT_EQ(info_.header.biSize, 52u);
    EXPECT_EQ(t.at, 52u + 1200);
    // The callback's error is the answer, as it is.
    Source u = MakeFile(Header{40, 4, 1, 1, 4, 0, 0}, false, 16, {});
    u.failAtCall = 1;
    u.failCode = -39;
    EXPECT_EQ(BmpRead(&ReadFrom, &u, false, &info_), -39);
}

TEST_F(Bmp, RowLengths) {
    struct Case {
        int32_t width;
        uint16_t bits;
        int32_t source, destination;
    } cases[] = {{20, 1, 4, 4}, {17, 1, 4, 4}, {33, 1, 8, 6}, {3, 24, 12, 12}, {5, 4, 4, 4}};
    for (const Case& c : cases) {
        BmpInfoHeader h{40, c.width, 1, 1, c.bits, 0, 0, 0, 0, 0, 0};
        EXPECT_EQ(BmpSourceRowBytes(&h), c.source) << c.width;
        EXPECT_EQ(BmpDestinationRowBytes(&h), c.destination) << c.width;
    }
}

TEST_F(Bmp, PixelsArriveTopRowFirst) {
    // A bottom-up 24-bit image of 1 x 3 pixels: rows of 4 bytes.
    std::vector<uint8_t> pixels = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};
    Source s = MakeFile(Header{40, 1, 3, 1, 24, 0, 0}, false, 0, pixels);
    ASSERT_EQ(BmpRead(&ReadFrom, &s, false, &info_), 0);
    int32_t before = s.calls;
    std::vector<uint8_t> out(12);
    ASSERT_EQ(BmpReadPixels(&info_, out.data(), false), 0);
    EXPECT_EQ(s.calls - before, 3);
    EXPECT_EQ(out, (std::vector<uint8_t>{3, 3, 3, 0, 2, 2, 2, 0, 1, 1, 1, 0}));

    // Kept in file order (or top-down) and equal lengths: one read.
    Source t = MakeFile(Header{40, 1, -3, 1, 24, 0, 0}, false, 0, pixels);
    ASSERT_EQ(BmpRead(&ReadFrom, &t, false, &info_), 0);
    before = t.calls;
    ASSERT_EQ(BmpReadPixels(&info_, out.data(), false), 0);
    EXPECT_EQ(t.calls - before, 1);
    EXPECT_EQ(out, pixels);

    // 1 bit, 33 pixels: source rows of 8 bytes, destination rows of 6.
    std::vector<uint8_t> mono;
    for (uint8_t r = 0; r < 2; ++r)
        for (uint8_t i = 0; i < 8; ++i)
            mono.push_back(uint8_t(r * 16 + i));
    Source m = MakeFile(Header{40, 33, 2, 1, 1, 0, 0}, false, 2, mono);
    ASSERT_EQ(BmpRead(&ReadFrom, &m, false, &info_), 0);
    std::vector<uint8_t> rows(12);
    ASSERT_EQ(BmpReadPixels(&info_, rows.data(), true), 0);
    EXPECT_EQ(rows, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 16, 17, 18, 19, 20, 21}));

    // A failing read stops the rows and is returned.
    Source f = MakeFile(Header{40, 1, 3, 1, 24, 0, 0}, false, 0, pixels);
    ASSERT_EQ(BmpRead(&ReadFrom, &f, false, &info_), 0);
    before = f.calls;
    f.failAtCall = before + 1;
    f.failCode = 77;
    EXPECT_EQ(BmpReadPixels(&info_, out.data(), false), 77);
    EXPECT_EQ(f.calls - before, 2);
}

TEST_F(Bmp, WideRowsWithoutMemoryAnswer8) {
    // Bottom-up rows of 1,000 bytes go through a row block.
    Source s = MakeFile(Header{40, 8000, 1, 1, 1, 0, 0}, false, 2, std::vector<uint8_t>(1000, 5));
    ASSERT_EQ(BmpRead(&ReadFrom, &s, false, &info_), 0);
    HeapPool* pool = PointerBlockPool();
    int32_t old = SetPoolCeiling(pool, int32_t(PoolBytesHeld(pool)));
    std::vector<void*> held;
    while (void* p = NewPointerBlock(nullptr, 1000))
        held.push_back(p);
    std::vector<uint8_t> out(1000);
    int32_t result = BmpReadPixels(&info_, out.data(), false);
    SetPoolCeiling(pool, old);
    for (void* p : held)
        FreeHeapBlock(p);
    EXPECT_EQ(result, kBmpNoMemory);
    ASSERT_EQ(BmpReadPixels(&info_, out.data(), false), 0);
    EXPECT_EQ(out[999], 5);
}

} // namespace
