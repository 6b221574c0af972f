// Icons under Wine: decoded 8-bit members drawn through the image list,
// system icons loaded by the system, missing families drawing nothing.
#include "toolbox/core/icon_win32.h"

#include <gtest/gtest.h>

#include <cstring>

#include "heap_fixture.h"
#include "icon_bytes.h"
#include "test_resources.h"
#include "toolbox/core/resource.h"

namespace {

constexpr int kCanvas = 48;
constexpr COLORREF kWhite = RGB(255, 255, 255);

class IconsWin32 : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        InstallIconLoader();
        BITMAPINFO info{};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), kCanvas, -kCanvas, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Clear();
    }
    void TearDown() override {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        PurgeIconCache();
        RefreshIconImageList();
        SetIconLoaderProcs(nullptr);
        HeapTest::TearDown();
    }
    void Clear() {
        RECT all{0, 0, kCanvas, kCanvas};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        GdiFlush();
    }
    COLORREF Pixel(int x, int y) {
        GdiFlush();
        uint32_t v = static_cast<uint32_t*>(bits_)[y * kCanvas + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    static COLORREF Expected(int32_t x, int32_t y) {
        uint32_t v = Icon8Colour(Icon8Pixel(x, y));
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// The opaque pixels show their colours where the mask says, moved by the
// centring of their box.
TEST_F(IconsWin32, DecodedMembersDrawWhereTheMaskSays) {
    for (int32_t side : {16, 20}) {
        for (bool centre : {false, true}) {
            SCOPED_TRACE(testing::Message() << side << (centre ? " centred" : ""));
            std::vector<uint8_t> member = Icon8Bytes(side, side);
            IconImage image;
            ASSERT_EQ(DecodeIconImage(member.data(), int32_t(member.size()), image), 0);
            HBITMAP colour = nullptr, mask = nullptr;
            ASSERT_TRUE(MakeIconBitmaps(image, &colour, &mask));
            IconRecord record;
            record.groupId = int16_t(side + (centre ? 100 : 0));
            record.colour = colour;
            record.mask = mask;
            record.width = record.height = int16_t(side);
            Clear();
            constexpr int kAt = 10;
            Rect16 box{kAt, kAt, int16_t(kAt + side), int16_t(kAt + side)};
            DrawIconRecord(dc_, &box, &record, kIconNormal, centre);
            // The opaque box: rows 2..side-5, columns 3..side-3.
            int dx = 0, dy = 0;
            if (centre) {
                int w = side - 5, h = side - 6;
                dx = (side - w) / 2 - 3;
                dy = (side - h) / 2 - 2;
            }
            int wrong = 0;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) {
                    COLORREF want = Icon8Opaque(side, x, y) ? Expected(x, y) : kWhite;
                    wrong += Pixel(kAt + x + dx, kAt + y + dy) != want;
                }
            EXPECT_EQ(wrong, 0);
            DeleteObject(colour);
            DeleteObject(mask);
        }
    }
}

TEST_F(IconsWin32, SystemIconsLoadAndMissingFamiliesDrawNothing) {
    Rect16 box{4, 4, 36, 36};
    DrawIconInRectOf(dc_, &box, false, kIconNormal, 9399); // no such family
    int changed = 0;
    for (int y = 0; y < kCanvas; ++y)
        for (int x = 0; x < kCanvas; ++x)
            changed += Pixel(x, y) != kWhite;
    EXPECT_EQ(changed, 0);
    IconRecord* application = IconFamilyLoad(kSystemIconFirst, 32, 32); // IDI_APPLICATION
    ASSERT_NE(application, nullptr);
    EXPECT_NE(application->icon, nullptr);
    EXPECT_EQ(application->width, 32);
    EXPECT_EQ(application->height, 32);
    HICON icon = static_cast<HICON>(application->icon);
    ReleaseIconRecord(application);
    PurgeIconCache();
    // The shared system icon is never destroyed.
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DrawIconInRectOf(dc_, &box, true, kIconGreyed, kSystemIconFirst);
    for (int y = 0; y < kCanvas; ++y)
        for (int x = 0; x < kCanvas; ++x)
            changed += Pixel(x, y) != kWhite;
    EXPECT_GT(changed, 20);
}

// The ICON statement's .ico and the packer's tables hold the same
// directories and members; the system reads them as a family.
TEST_F(IconsWin32, PackedFamiliesEqualTheirTablesAndLoad) {
    HMODULE module = GetModuleHandleA(nullptr);
    int seen = 0;
    for (const auto& [key, bytes] : TestResourceTables()) {
        if (key.first != kResourceTypeGroupIcon && key.first != kResourceTypeIcon) continue;
        ++seen;
        SCOPED_TRACE(testing::Message() << key.first << " " << key.second);
        HRSRC found =
            FindResourceA(module, MAKEINTRESOURCEA(key.second), MAKEINTRESOURCEA(key.first));
        ASSERT_NE(found, nullptr);
        ASSERT_EQ(SizeofResource(module, found), bytes.size());
        const void* p = LockResource(LoadResource(module, found));
        EXPECT_EQ(std::memcmp(p, bytes.data(), bytes.size()), 0);
    }
    EXPECT_EQ(seen, 5); // two directories, three members
    const auto& group = TestResourceTables().at({kResourceTypeGroupIcon, kTestFamily});
    auto* dir = const_cast<PBYTE>(group.data());
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir, TRUE, 32, 32, LR_DEFAULTCOLOR), 2);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir, TRUE, 16, 16, LR_DEFAULTCOLOR), 1);
    // Without a palette the system loads the best size.
    IconRecord* system = IconFamilyLoad(kTestFamily, 20, 20);
    ASSERT_NE(system, nullptr);
    EXPECT_NE(system->icon, nullptr);
    EXPECT_EQ(system->width, 16);
    EXPECT_EQ(system->height, 16);
    ReleaseIconRecord(system);
}

// An 8-bit member chosen as on a palette display is decoded here and
// drawn centred on its opaque pixels.
int16_t AsOnAPalette(int16_t groupId, int32_t width, int32_t height) {
    const auto& group = TestResourceTables().at({kResourceTypeGroupIcon, groupId});
    return int16_t(LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data()), TRUE, width, height,
                                               LR_DEFAULTCOLOR));
}

TEST_F(IconsWin32, PackedEightBitMemberDrawnCentred) {
    IconLoaderProcs procs = Win32IconLoader();
    procs.paletteMember = &AsOnAPalette;
    SetIconLoaderProcs(&procs);
    IconRecord* record = IconFamilyLoad(kTestFamily20, 20, 20);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->iconId, 3);
    EXPECT_NE(record->colour, nullptr);
    EXPECT_EQ(record->icon, nullptr);
    EXPECT_EQ(IconCacheColourCount(), 1);
    constexpr int kAt = 12, kSide = 20;
    Rect16 box{kAt, kAt, kAt + kSide, kAt + kSide};
    DrawIconRecord(dc_, &box, record, kIconNormal, true);
    int dx = (kSide - 15) / 2 - 3, dy = (kSide - 14) / 2 - 2;
    int wrong = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            uint32_t v = PackedIconColour(PackedIconIndex(x, y));
            COLORREF colour = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
            COLORREF want = Icon8Opaque(kSide, x, y) ? colour : kWhite;
            wrong += Pixel(kAt + x + dx, kAt + y + dy) != want;
        }
    EXPECT_EQ(wrong, 0);
    ReleaseIconRecord(record);
}

} // namespace
