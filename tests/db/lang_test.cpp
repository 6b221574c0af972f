#include "db/lang.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testutil.h"
#include "toolbox/core/byteorder.h"

namespace {

class LangTest : public CoreTest {
  protected:
    void SetUp() override {
        CoreTest::SetUp();
        LangInit();
    }
};

TEST_F(LangTest, MessagesOfTheCatalogue) {
    struct Case {
        int32_t number;
        const char* text;
    } cases[] = {
        {551, "&Comp"},
        {554, "No Package"},
        {21412, "Too many components"},
        {21535, "Outline"},
        {21551, "Height keepout"},
        {21553, "Copper void"},
        {21556, "???"},
        {21671, "Static"},
        {21677, "Footprint Detail"},
        {22071, "Bad Pad Exit"},
        {22090, "Obs-to-obs Spacing Error"},
        {22092, "Net Layer Violation"},
        {22099, "Unable to Create Jumper Component"},
        {38290, "Not enough RAM"}, // above 32,767: the page walk compares unsigned
    };
    for (const Case& c : cases)
        EXPECT_STREQ(LangString(c.number), c.text) << c.number;
}

TEST_F(LangTest, MissingNumbers) {
    char out[LANG_TEXT_MAX + 1] = "junk";
    EXPECT_FALSE(LangGetString(21552, LANG_TEXT_MAX, out)); // a gap inside a page
    EXPECT_STREQ(out, "");
    std::strcpy(out, "junk");
    EXPECT_FALSE(LangGetString(65535, LANG_TEXT_MAX, out)); // beyond the last page
    EXPECT_STREQ(out, "");
    EXPECT_FATAL_DETAIL(LangGetStringChecked(21552, LANG_TEXT_MAX, out), 26735, "21552");
    EXPECT_FATAL(LangString(21552), 26740);
    EXPECT_FATAL(LangLabel(21552), 26750);
    EXPECT_TRUE(LangGetStringChecked(21553, LANG_TEXT_MAX, out));
    EXPECT_STREQ(out, "Copper void");
}

TEST_F(LangTest, NothingBeforeInit) {
    LangTestReset();
    char out[8];
    EXPECT_FATAL(LangGetString(551, 7, out), 26730);
    EXPECT_FATAL(LangString(551), 26730);
    EXPECT_FATAL(LangLabel(551), 26730);
}

TEST_F(LangTest, TextCutAtTheLimit) {
    char out[LANG_TEXT_MAX + 1];
    std::memset(out, 'z', sizeof out);
    EXPECT_TRUE(LangGetString(21412, 3, out));
    EXPECT_STREQ(out, "Too");
    EXPECT_TRUE(LangGetString(21412, 0, out));
    EXPECT_STREQ(out, "");
}

TEST_F(LangTest, AlternatingPages) {
    // 551 sits on the first page, 38290 on the last
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(LangString(551), "&Comp");
        EXPECT_STREQ(LangString(38290), "Not enough RAM");
    }
}

TEST_F(LangTest, LabelRing) {
    const int32_t numbers[] = {21535, 21536, 21537, 21538, 21539, 21540,
                               21541, 21542, 21543, 21544, 21545};
    std::vector<const char*> slots;
    for (int32_t n : numbers)
        slots.push_back(LangLabel(n));
    for (int i = 0; i < 10; ++i)
        for (int j = i + 1; j < 10; ++j)
            EXPECT_NE(slots[i], slots[j]);
    EXPECT_EQ(slots[10], slots[0]); // the eleventh reuses the first label's slot
    EXPECT_STREQ(slots[0], "Place outline");
    EXPECT_STREQ(slots[1], "Copper");      // the other nine are intact
    EXPECT_EQ(LangLabel(21536), slots[1]); // a held label keeps its slot
    EXPECT_STREQ(LangLabel(21535), "Outline");
    EXPECT_EQ(LangLabel(21535), slots[1]); // round robin after the last slot filled
}

// Pages in machine order, as LangPageLookup reads them.
struct Page {
    uint8_t bytes[kLangPageBytes] = {};
    void Word(int at, uint16_t v) { std::memcpy(bytes + at, &v, 2); }
};

TEST_F(LangTest, PageEntriesAreChecked) {
    char out[LANG_TEXT_MAX + 1];
    Page p;
    p.Word(0, kLangMagic);
    p.Word(2, 2);
    p.Word(4, 100);
    p.Word(6, 12);
    p.Word(8, 101);
    p.Word(10, 4); // inside the pair table: not a text
    std::memcpy(p.bytes + 12, "Hello", 6);
    EXPECT_TRUE(LangPageLookup(p.bytes, 100, LANG_TEXT_MAX, out));
    EXPECT_STREQ(out, "Hello");
    EXPECT_FALSE(LangPageLookup(p.bytes, 101, LANG_TEXT_MAX, out));
    p.Word(10, 512); // past the page
    EXPECT_FALSE(LangPageLookup(p.bytes, 101, LANG_TEXT_MAX, out));
    p.Word(10, 508); // a text without its terminator stops at the page's end
    std::memcpy(p.bytes + 508, "ABCD", 4);
    EXPECT_TRUE(LangPageLookup(p.bytes, 101, LANG_TEXT_MAX, out));
    EXPECT_STREQ(out, "ABCD");
    p.Word(2, 128); // more entries than a page can hold
    EXPECT_FALSE(LangPageLookup(p.bytes, 100, LANG_TEXT_MAX, out));
    EXPECT_STREQ(out, "");
}

#if PLV_POSIX
// These replace the catalogue's resources in the headless registry.

std::vector<uint8_t> Resource(int32_t number) {
    RelocatableBlock h = HeadlessLoadResource(FourCC("LANG"), number);
    std::vector<uint8_t> bytes;
    if (!h) return bytes;
    const uint8_t* p = static_cast<const uint8_t*>(HeapHandleLock(h));
    bytes.assign(p, p + RelocatableBlockSize(h));
    HeapHandleUnlock(h);
    HeapHandleFree(h);
    return bytes;
}

TEST_F(LangTest, IndexIsChecked) {
    std::vector<uint8_t> index = Resource(256);
    ASSERT_EQ(index.size(), 512u);
    auto withIndex = [&](uint16_t magic, uint16_t count) {
        std::vector<uint8_t> b = index;
        b[0] = uint8_t(magic >> 8), b[1] = uint8_t(magic);
        b[2] = uint8_t(count >> 8), b[3] = uint8_t(count);
        HeadlessRegisterResource(FourCC("LANG"), 256, b.data(), int32_t(b.size()));
    };
    withIndex(0x0C58, 1);
    EXPECT_FATAL(LangInit(), 26720);
    EXPECT_FALSE(LangIsLoaded());
    withIndex(kLangMagic, 0);
    EXPECT_FATAL(LangInit(), 26725);
    withIndex(kLangMagic, 255);
    EXPECT_FATAL(LangInit(), 26725);
    HeadlessUnregisterResource(FourCC("LANG"), 256);
    EXPECT_FATAL(LangInit(), 26717);
}

TEST_F(LangTest, MissingPageResource) {
    HeadlessUnregisterResource(FourCC("LANG"), 257);
    EXPECT_FATAL_DETAIL(LangString(551), 26710, "1");
}
#endif

} // namespace
