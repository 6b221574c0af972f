#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "toolbox/core/bitmapbits.h"
#include "toolbox/core/bitmaprecord.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/resource.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowobject.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/gdicontext.h"

namespace {

class Offscreen : public ::testing::Test {
  protected:
    void SetUp() override {
        MemInit(0, -1);
        InitDrawingGlobals();
    }
    static std::vector<uint8_t> Bits(const BitmapRecord* bitmap) {
        auto* block = static_cast<uint8_t*>(CopyBitmapBits(nullptr, bitmap));
        int32_t size = BitmapRowBytes(bitmap->width, bitmap->depth) * bitmap->height;
        std::vector<uint8_t> out(block, block + size);
        FreeHeapBlock(block);
        return out;
    }
};

TEST_F(Offscreen, NewRecordsAreWhiteWithTheirColourTables) {
    BitmapRecord* mono = NewBitmapRecord(nullptr, 33, 2, 1, false);
    ASSERT_NE(mono, nullptr);
    EXPECT_EQ(mono->bits, nullptr);
    std::vector<uint8_t> monoBits = Bits(mono); // 6 bytes a row, set bits white
    ASSERT_EQ(monoBits.size(), 12u);
    for (size_t row = 0; row < 2; ++row) {
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(monoBits[row * 6 + i], 0xFF);
        EXPECT_EQ(monoBits[row * 6 + 4] & 0x80, 0x80); // pixel 32
    }
    DisposeBitmapRecord(mono);

    BitmapRecord* grey = NewBitmapRecord(nullptr, 3, 2, 8, false);
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(Bits(grey), std::vector<uint8_t>(8, 0)); // entry 0 is white
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(grey->bitmap));
    RGBQUAD table[256];
    ASSERT_EQ(GetDIBColorTable(dc, 0, 256, table), 256u);
    EXPECT_EQ(table[0].rgbRed, 255);
    EXPECT_EQ(table[255].rgbBlue, 0);
    SelectObject(dc, old);
    DisposeBitmapRecord(grey);

    BitmapRecord* standard = NewBitmapRecord(nullptr, 2, 2, 4, true);
    ASSERT_NE(standard, nullptr);
    old = SelectObject(dc, static_cast<HBITMAP>(standard->bitmap));
    ASSERT_EQ(GetDIBColorTable(dc, 0, 16, table), 16u);
    EXPECT_EQ(table[3].rgbRed, 221);
    EXPECT_EQ(table[3].rgbGreen, 8);
    SelectObject(dc, old);
    DeleteDC(dc);
    DisposeBitmapRecord(standard);

    BitmapRecord* display = NewBitmapRecord(nullptr, 1, 1, 0, false);
    ASSERT_NE(display, nullptr);
    EXPECT_NE(display->depth, 32);
    DisposeBitmapRecord(display);
}

TEST_F(Offscreen, DrawingInTheOffscreenPortReachesTheBitmap) {
    BitmapRecord* bitmap = NewBitmapRecord(nullptr, 8, 4, 24, false);
    ASSERT_NE(bitmap, nullptr);
    WindowObject* port = NewOffscreenPort(bitmap, 0, nullptr);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(PortBitmap(port), bitmap);
    EXPECT_EQ(bitmap->port, port);
    SetCurrentPort(port);
    SetForegroundColour(0x0000FF); // blue
    Rect16 r{1, 2, 3, 5};          // top, left, bottom, right
    DrawRectShape(&r, kVerbPaint);
    FlushDrawing();
    std::vector<uint8_t> bits = Bits(bitmap);
    int32_t rowBytes = BitmapRowBytes(8, 24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint8_t* p = &bits[size_t(y * rowBytes + x * 3)]; // blue, green, red
            bool inside = y >= 1 && y < 3 && x >= 2 && x < 5;
            uint32_t rgb = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            EXPECT_EQ(rgb, inside ? 0x0000FFu : 0xFFFFFFu) << x << "," << y;
        }
    SetCurrentPort(nullptr);
    DisposeWindowObject(port);
    EXPECT_EQ(bitmap->port, nullptr);
    DisposeBitmapRecord(bitmap);
}

TEST_F(Offscreen, AttachingMovesABitmapBetweenPortsOnly) {
    BitmapRecord* a = NewBitmapRecord(nullptr, 4, 4, 8, false);
    BitmapRecord* b = NewBitmapRecord(nullptr, 4, 4, 8, false);
    WindowObject* first = NewOffscreenPort(a, 0, nullptr);
    WindowObject* second = NewOffscreenPort(nullptr, 0, nullptr);
    EXPECT_EQ(AttachBitmapToPort(second, a), nullptr);
    EXPECT_EQ(PortBitmap(first), nullptr); // taken from the first port
    EXPECT_EQ(a->port, second);
    EXPECT_EQ(AttachBitmapToPort(second, b), a);
    EXPECT_EQ(a->port, nullptr);
    WindowObject* native = NewWindowObject(nullptr, kWindowTypeNative, 0, 0, nullptr);
    EXPECT_EQ(AttachBitmapToPort(native, a), nullptr);
    EXPECT_EQ(a->port, nullptr);
    EXPECT_EQ(PortBitmap(native), nullptr);
    FreeWindowObjectRecord(native);
    DisposeBitmapRecord(b); // detaches itself
    EXPECT_EQ(PortBitmap(second), nullptr);
    DisposeWindowObject(first);
    DisposeWindowObject(second);
    DisposeBitmapRecord(a);
}

TEST_F(Offscreen, TooMuchDataChangesNothing) {
    BitmapRecord* bitmap = NewBitmapRecord(nullptr, 4, 2, 8, false);
    std::vector<uint8_t> data(9, 7);
    SetBitmapRecordBits(bitmap, data.data(), 9);
    EXPECT_EQ(Bits(bitmap), std::vector<uint8_t>(8, 0));
    SetBitmapRecordBits(bitmap, data.data(), 8);
    EXPECT_EQ(Bits(bitmap), std::vector<uint8_t>(8, 7));
    DisposeBitmapRecord(bitmap);
}

// A 1-bit 16 x 1 BMP without file header: two colours, one row 0xF0 0x0F.
std::vector<uint8_t> MonoBmp(uint32_t first, uint32_t second) {
    std::vector<uint8_t> bytes(40 + 8 + 4, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); };
    put32(0, 40);
    put32(4, 16);
    put32(8, 1);
    bytes[12] = 1;   // planes
    bytes[14] = 1;   // bits
    put32(24, 3937); // 100 dpi
    put32(28, 1181); // 30 dpi
    put32(40, first);
    put32(44, second);
    bytes[48] = 0xF0;
    bytes[49] = 0x0F;
    return bytes;
}

struct Reader {
    const std::vector<uint8_t>* bytes;
    size_t at;
};
int32_t Read(void* user, void* dest, int32_t count) {
    auto* r = static_cast<Reader*>(user);
    if (size_t(count) > r->bytes->size() - r->at) return 38;
    if (dest) std::memcpy(dest, r->bytes->data() + r->at, size_t(count));
    r->at += size_t(count);
    return 0;
}

TEST_F(Offscreen, MonochromeBmpsLoadInvertedOnlyFromWhiteThenBlack) {
    SetInvertMonochrome();
    struct Case {
        uint32_t first, second;
        uint8_t want0, want1;
    } cases[] = {{0xFFFFFF, 0, 0x0F, 0xF0}, {0, 0xFFFFFF, 0xF0, 0x0F}};
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = MonoBmp(c.first, c.second);
        Reader reader{&bytes, 0};
        int16_t resolution[2]{};
        BitmapRecord* bitmap = nullptr;
        ASSERT_EQ(DecodeBitmapStream(&Read, &reader, false, resolution, &bitmap), 0);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(resolution[0], 100);
        EXPECT_EQ(resolution[1], 30);
        std::vector<uint8_t> bits = Bits(bitmap);
        EXPECT_EQ(bits[0], c.want0);
        EXPECT_EQ(bits[1], c.want1);
        DisposeBitmapRecord(bitmap);
    }
    ClearInvertMonochrome();
}

TEST_F(Offscreen, FailedDecodesLeaveNoRecord) {
    std::vector<uint8_t> bytes = MonoBmp(0, 0xFFFFFF);
    bytes.resize(49); // the row cut short
    Reader reader{&bytes, 0};
    BitmapRecord* bitmap = reinterpret_cast<BitmapRecord*>(&reader);
    EXPECT_NE(DecodeBitmapStream(&Read, &reader, false, nullptr, &bitmap), 0);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(BitmapFromResource(32001), nullptr); // no such RT_BITMAP
}

// The list marks (RT_BITMAP 8000, 45 x 9) decode to the pixels the system's
// own loader reads from the same resource.
TEST_F(Offscreen, ABitmapResourceDecodesToTheSystemsPixels) {
    constexpr int32_t kListMarks = 8000;
    ClearInvertMonochrome();
    BitmapRecord* bitmap = BitmapFromResource(kListMarks);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->width, 45);
    EXPECT_EQ(bitmap->height, 9);
    HBITMAP system = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kListMarks), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(system, nullptr);
    HDC ours = CreateCompatibleDC(nullptr);
    HDC theirs = CreateCompatibleDC(nullptr);
    HGDIOBJ oldOurs = SelectObject(ours, static_cast<HBITMAP>(bitmap->bitmap));
    HGDIOBJ oldTheirs = SelectObject(theirs, system);
    int differing = 0, dark = 0;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 45; ++x) {
            COLORREF a = GetPixel(ours, x, y);
            differing += a != GetPixel(theirs, x, y);
            dark += a == RGB(0, 0, 0);
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(dark, 0);
    EXPECT_LT(dark, 45 * 9);
    SelectObject(ours, oldOurs);
    SelectObject(theirs, oldTheirs);
    DeleteDC(ours);
    DeleteDC(theirs);
    DeleteObject(system);
    DisposeBitmapRecord(bitmap);
}

} // namespace
