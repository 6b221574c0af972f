#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "heap_fixture.h"
#include "icon_bytes.h"
#include "test_resources.h"
#include "toolbox/core/iconcache.h"
#include "toolbox/core/icondir.h"
#include "toolbox/core/resource.h"

#ifdef PLV_POSIX
#include "headless/headless.h"
#endif

namespace {

TEST(IconDirectoryTest, MembersAndTheBestSize) {
    std::vector<uint8_t> bytes = GroupIconBytes({{16, 16, 4, 31}, {32, 32, 8, 32}, {0, 0, 8, 33}});
    IconDirectory d;
    ASSERT_TRUE(ParseIconDirectory(7, bytes.data(), int32_t(bytes.size()), d));
    ASSERT_EQ(d.members.size(), 3u);
    EXPECT_EQ(d.members[1].iconId, 32);
    EXPECT_EQ(d.members[1].bitCount, 8);
    EXPECT_EQ(d.members[2].width, 256);
    EXPECT_FALSE(ParseIconDirectory(7, bytes.data(), int32_t(bytes.size()) - 1, d));
    bytes[2] = 2; // a cursor directory
    EXPECT_FALSE(ParseIconDirectory(7, bytes.data(), int32_t(bytes.size()), d));

    IconDirectory two;
    std::vector<uint8_t> pair = GroupIconBytes({{16, 16, 4, 1}, {32, 32, 8, 2}});
    ASSERT_TRUE(ParseIconDirectory(8, pair.data(), int32_t(pair.size()), two));
    struct Case {
        int32_t w, h;
        int16_t ow, oh;
    } cases[] = {// each side improves on its own: 16 x 40 takes the nearer height
                 {20, 20, 16, 16}, {32, 32, 32, 32}, {24, 24, 16, 16},
                 {30, 30, 32, 32}, {16, 40, 32, 32}, {8, 8, 16, 16}};
    for (const Case& c : cases) {
        int16_t ow = 0, oh = 0;
        ASSERT_TRUE(ChooseIconSize(two, c.w, c.h, &ow, &oh));
        EXPECT_EQ(ow, c.ow) << c.w << "x" << c.h;
        EXPECT_EQ(oh, c.oh) << c.w << "x" << c.h;
    }
    EXPECT_FALSE(ChooseIconSize(IconDirectory{}, 16, 16, nullptr, nullptr));
}

#ifdef PLV_POSIX
TEST(IconDirectoryTest, IconSizeForReadsTheProgramsFamily) {
    MemInit(0, -1);
    std::vector<uint8_t> pair = GroupIconBytes({{16, 16, 4, 1}, {32, 32, 8, 2}});
    HeadlessRegisterResource(kResourceTypeGroupIcon, 9400, pair.data(), int32_t(pair.size()));
    int16_t w = 0, h = 0;
    ASSERT_TRUE(IconSizeFor(9400, 20, 20, &w, &h));
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
    EXPECT_FALSE(IconSizeFor(9401, 20, 20, &w, &h));
}
#endif

// The 8-bit decode: colour rows top first, mask rows narrowed to words.
TEST(IconDecode, ColourAndMaskRowsOf8BitMembers) {
    for (int32_t side : {16, 20}) {
        SCOPED_TRACE(side);
        std::vector<uint8_t> member = Icon8Bytes(side, side);
        IconImage image;
        ASSERT_EQ(DecodeIconImage(member.data(), int32_t(member.size()), image), 0);
        EXPECT_EQ(image.header.biHeight, side);
        int32_t row = (side + 3) & ~3;
        ASSERT_EQ(image.colour.size(), size_t(row * side));
        ASSERT_EQ(image.mask.size(), size_t(IconMaskRowBytes(side) * side));
        for (int32_t y = 0; y < side; ++y)
            for (int32_t x = 0; x < side; ++x) {
                EXPECT_EQ(image.colour[size_t(y * row + x)], Icon8Pixel(x, y));
                bool transparent =
                    image.mask[size_t(y * IconMaskRowBytes(side) + x / 8)] & (0x80 >> (x % 8));
                EXPECT_EQ(transparent, !Icon8Opaque(side, x, y)) << x << "," << y;
            }
        int32_t box[4];
        ASSERT_TRUE(IconOpaqueBounds(image.mask.data(), IconMaskRowBytes(side), side, side, box));
        EXPECT_EQ(box[0], 2);
        EXPECT_EQ(box[1], 3);
        EXPECT_EQ(box[2], side - 4);
        EXPECT_EQ(box[3], side - 2);
        // A member cut short reads past its end.
        EXPECT_EQ(DecodeIconImage(member.data(), int32_t(member.size()) - 1, image),
                  kIconReadPastEnd);
    }
    std::vector<uint8_t> four = Icon8Bytes(16, 16);
    four[14] = 4; // a 4-bit member is the system's
    IconImage image;
    EXPECT_EQ(DecodeIconImage(four.data(), int32_t(four.size()), image), kBmpMalformed);
    std::vector<uint8_t> clear(IconMaskRowBytes(16) * 2, 0xFF);
    int32_t box[4];
    EXPECT_FALSE(IconOpaqueBounds(clear.data(), IconMaskRowBytes(16), 16, 2, box));
}

// A loader that makes records with a colour bitmap for 8-bit members
// (palette displays) and a system icon otherwise.
int g_deleted = 0;
int g_loads = 0;
bool g_palette = true;
int16_t TestMember(int16_t groupId, int32_t, int32_t) {
    return g_palette ? int16_t(groupId + 1000) : 0;
}
bool TestLoad(IconRecord* record, int32_t width, int32_t height) {
    ++g_loads;
    if (record->groupId == 99) return false;
    record->width = int16_t(width);
    record->height = int16_t(height);
    if (record->iconId != 0) {
        record->colour = record->mask = record;
    } else {
        record->icon = record;
    }
    return true;
}
void TestDelete(IconRecord* record) {
    if (record->colour) ++g_deleted;
}

class IconCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        IconLoaderProcs procs{&TestMember, &TestLoad, &TestDelete};
        SetIconLoaderProcs(&procs);
        g_deleted = g_loads = 0;
        g_palette = true;
    }
    void TearDown() override {
        PurgeIconCache();
        EXPECT_EQ(IconCacheFirst(), nullptr);
        SetIconLoaderProcs(nullptr);
    }
};

TEST_F(IconCacheTest, SharedRecordsAndTheColourLimit) {
    IconRecord* a = IconFamilyLoad(1, 16, 16);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->useCount, 2); // the caller's and the cache's
    EXPECT_EQ(IconFamilyLoad(1, 16, 16), a);
    EXPECT_EQ(a->useCount, 3);
    EXPECT_EQ(g_loads, 1);
    ReleaseIconRecord(a);
    ReleaseIconRecord(a);
    EXPECT_EQ(IconFamilyLoad(99, 16, 16), nullptr); // nothing loads
    // Sixteen more colour records: the 17th releases the oldest, family 1.
    std::vector<IconRecord*> held;
    for (int16_t g = 2; g <= 17; ++g) {
        IconRecord* r = IconFamilyLoad(g, 16, 16);
        ASSERT_NE(r, nullptr);
        held.push_back(r);
    }
    EXPECT_EQ(IconCacheColourCount(), kIconCacheColourMax);
    EXPECT_EQ(g_deleted, 1); // family 1, held by the cache alone
    for (IconRecord* r = IconCacheFirst(); r; r = r->next)
        EXPECT_NE(r->groupId, 1);
    // A record still held survives its eviction until released.
    IconRecord* kept = IconFamilyLoad(18, 16, 16); // evicts family 2
    EXPECT_EQ(g_deleted, 1);
    EXPECT_EQ(held[0]->useCount, 1);
    ReleaseIconRecord(held[0]);
    EXPECT_EQ(g_deleted, 2);
    for (size_t k = 1; k < held.size(); ++k)
        ReleaseIconRecord(held[k]);
    ReleaseIconRecord(kept);
}

TEST_F(IconCacheTest, SystemIconsAndSizesWhereTheSystemChooses) {
    g_palette = false;
    IconRecord* small = IconFamilyLoad(5, 16, 16);
    IconRecord* large = IconFamilyLoad(5, 32, 32);
    ASSERT_NE(small, nullptr);
    EXPECT_NE(small, large); // another size is another record
    EXPECT_EQ(IconFamilyLoad(5, 16, 16), small);
    ReleaseIconRecord(small);
    IconRecord* system = IconFamilyLoad(kSystemIconFirst, 32, 32);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->iconId, 0);
    ReleaseIconRecord(system);
    ReleaseIconRecord(small);
    ReleaseIconRecord(large);
    PurgeIconCache();
    EXPECT_EQ(IconCacheFirst(), nullptr);
    EXPECT_EQ(g_deleted, 0); // no colour bitmaps, no system icon destroyed
}

} // namespace

namespace {

class PackedIcons : public HeapTest {
  protected:
    void SetUp() override {
        HeapTest::SetUp();
        InstallTestResources();
    }
};

// The packer's families: the directory, the best size and the 8-bit
// member's pixels as the text art wrote them.
TEST_F(PackedIcons, FamiliesAndMembersFromTheSources) {
    IconDirectory* d = IconDirectoryRead(kTestFamily);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->members.size(), 2u);
    EXPECT_EQ(d->members[0].width, 16);
    EXPECT_EQ(d->members[0].bitCount, 4);
    EXPECT_EQ(d->members[1].iconId, 2);
    EXPECT_EQ(d->members[1].bitCount, 8);
    delete d;
    int16_t w = 0, h = 0;
    ASSERT_TRUE(IconSizeFor(kTestFamily, 20, 20, &w, &h));
    EXPECT_EQ(w, 16);
    EXPECT_FALSE(IconSizeFor(9599, 20, 20, &w, &h));
    RelocatableBlock block = LoadCustomResource(kResourceTypeIcon, 2);
    ASSERT_NE(block, nullptr);
    IconImage image;
    ASSERT_EQ(DecodeIconImage(static_cast<const uint8_t*>(HeapHandleLock(block)),
                              RelocatableBlockSize(block), image),
              0);
    HeapHandleUnlock(block);
    ReleaseCustomResource(block);
    ASSERT_EQ(image.header.biHeight, 32);
    int wrong = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool opaque = Icon8Opaque(32, x, y);
            bool masked = image.mask[size_t(y * IconMaskRowBytes(32) + x / 8)] & (0x80 >> (x % 8));
            wrong += masked == opaque;
            if (opaque) wrong += image.colour[size_t(y * 32 + x)] != PackedIconIndex(x, y);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(image.colours[9][2], 0xFF); // red
}

} // namespace
