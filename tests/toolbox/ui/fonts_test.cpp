// The name heap, the font list over an injected set of families, the font
// cache with injected creation, logical fonts, theme kinds and text
// styles.
#include <gtest/gtest.h>

#include <string>

#include <cstring>
#include <vector>

#include "toolbox/core/memblock.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/fontcache.h"
#include "toolbox/ui/fontlist.h"
#include "toolbox/ui/logfont.h"
#include "toolbox/ui/nameheap.h"
#include "toolbox/ui/textstyle.h"

namespace {

class FontsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MemInit(0, -1);
        FontListReset();
        for (const char* name : {"Tahoma", "arial", "Courier New", "Microsoft Sans Serif"})
            ASSERT_TRUE(FontListAppend(name, true));
        FontListSort();
        SetSystemFaceName("Tahoma");
        SetApplicationFaceName("Microsoft Sans Serif");
        SetFixedFaceName("Courier New");
    }
    void TearDown() override { FontListReset(); }
};

TEST_F(FontsTest, NameHeapStoresEachStringOnce) {
    RelocatableBlock heap = NewNameHeap(0, 16);
    ASSERT_NE(heap, nullptr);
    auto* head = static_cast<NameHeapHead*>(HeapHandleLock(heap));
    EXPECT_EQ(head->mark, kNameHeapMark);
    EXPECT_GE(head->capacity, 64);
    HeapHandleUnlock(heap);
    uint32_t a = NameHeapAdd(heap, "Geneva", 6);
    uint32_t b = NameHeapAdd(heap, "Monaco", 6);
    EXPECT_EQ(a, (0u << 10) | 6u);
    EXPECT_EQ(b, (6u << 10) | 6u);
    EXPECT_EQ(NameHeapAdd(heap, "Geneva", 6), a);
    // Growing past the capacity in whole steps keeps what was stored.
    std::string longName(100, 'x');
    uint32_t c = NameHeapAdd(heap, longName.c_str(), 100);
    ASSERT_NE(c, 0u);
    head = static_cast<NameHeapHead*>(HeapHandleLock(heap));
    EXPECT_EQ((head->capacity - 64) % 16, 0);
    HeapHandleUnlock(heap);
    char out[5];
    EXPECT_EQ(NameHeapRead(heap, b, out, sizeof out), 4);
    EXPECT_STREQ(out, "Mona");
    EXPECT_EQ(NameHeapAdd(heap, "", 0), 0u);
    DisposeNameHeap(heap);
}

TEST_F(FontsTest, NumbersInReportOrderIndexSortedByName) {
    EXPECT_EQ(FontCount(), 4);
    char name[kFontNameCapacity];
    EXPECT_STREQ(FontNameAt(0, name, sizeof name), "arial");
    EXPECT_STREQ(FontNameAt(3, name, sizeof name), "Tahoma");
    uint8_t counted[kFontNameCapacity];
    int16_t style = -1;
    uint8_t usable = 0;
    EXPECT_EQ(FontNameAt(3, counted, &style, &usable), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(counted + 1), counted[0]), "Tahoma");
    EXPECT_EQ(style, 0);
    EXPECT_EQ(usable, 1);
    EXPECT_EQ(FontNameAt(4, counted, nullptr, &usable), kFontUnknownNumber);
    EXPECT_EQ(counted[0], 0);
    EXPECT_EQ(usable, 0);
    EXPECT_EQ(FontNameAt(-1, counted, nullptr, nullptr), kFontUnknownNumber);
    EXPECT_EQ(FontNumberFromName("Tahoma"), 2);
    EXPECT_EQ(FontNumberFromName("ARIAL"), 3);
    EXPECT_EQ(FontNumberFromName("courier new"), 4);
    EXPECT_EQ(FontNumberFromName("Helvetica"), 0);
    EXPECT_EQ(FontNameFromNumber(3, name, sizeof name), 0);
    EXPECT_STREQ(name, "arial");
    EXPECT_EQ(FontNameFromNumber(0, name, sizeof name), 0);
    EXPECT_STREQ(name, "Tahoma");
    EXPECT_EQ(FontNameFromNumber(kApplicationFontNumber, name, sizeof name), 0);
    EXPECT_STREQ(name, "Microsoft Sans Serif");
    EXPECT_EQ(FontNameFromNumber(99, name, sizeof name), kFontUnknownNumber);
    EXPECT_STREQ(name, "");
}

struct MakerLog {
    std::vector<int16_t> created, deleted;
    bool fail = false;
};
MakerLog g_log;
void* MakeFont(const FontKey* key) {
    if (g_log.fail) return nullptr;
    g_log.created.push_back(key->size);
    return reinterpret_cast<void*>(uintptr_t(key->size));
}
void DeleteFont(void* font) {
    g_log.deleted.push_back(int16_t(reinterpret_cast<uintptr_t>(font)));
}

TEST(FontCache, KeepsFiveUnusedAndTakesThemBack) {
    g_log = MakerLog{};
    FontMaker maker{&MakeFont, &DeleteFont};
    SetFontMaker(&maker);
    void* fonts[6];
    for (int i = 0; i < 6; ++i)
        fonts[i] = FontCreateCached(1, int16_t(10 + i), 0, 0);
    EXPECT_EQ(FontCreateCached(1, 10, 0, 96), fonts[0]); // resolution 0 is 96
    ReleaseCachedFont(fonts[0]);
    EXPECT_EQ(CachedFontsUnused(), 0);
    for (void* f : fonts)
        ReleaseCachedFont(f);
    EXPECT_EQ(CachedFontsUnused(), 5);
    ASSERT_EQ(g_log.deleted.size(), 1u);
    EXPECT_EQ(g_log.deleted[0], 10); // the first released
    size_t made = g_log.created.size();
    EXPECT_EQ(FontCreateCached(1, 12, 0, 0), fonts[2]); // taken back
    EXPECT_EQ(g_log.created.size(), made);
    EXPECT_EQ(CachedFontsUnused(), 4);
    ReleaseCachedFont(reinterpret_cast<void*>(uintptr_t(77))); // not cached
    EXPECT_EQ(g_log.deleted.back(), 77);
    g_log.fail = true;
    int32_t inUse = CachedFontsInUse(), unused = CachedFontsUnused();
    EXPECT_EQ(FontCreateCached(2, 30, 0, 0), nullptr);
    EXPECT_EQ(CachedFontsInUse(), inUse);
    EXPECT_EQ(CachedFontsUnused(), unused);
    ReleaseCachedFont(fonts[2]);
    SetFontMaker(nullptr);
}

TEST_F(FontsTest, LogFontForSizesWeightsAndAngles) {
    LogFontSpec spec = LogFontFor(3, 12, 0, 0, 96);
    EXPECT_EQ(spec.height, -16);
    EXPECT_EQ(spec.weight, 400);
    EXPECT_EQ(spec.escapement, 0); // horizontal text: no escapement
    EXPECT_STREQ(spec.faceName, "arial");
    spec = LogFontFor(3, 0, kFaceBold | kFaceItalic | kFaceUnderline, 90, 0);
    EXPECT_EQ(spec.height, -(8 * 96 / 72));
    EXPECT_EQ(spec.weight, 700);
    EXPECT_EQ(spec.italic, 1);
    EXPECT_EQ(spec.underline, 1);
    EXPECT_EQ(spec.escapement, 2700);
    EXPECT_EQ(spec.orientation, 2700);
    EXPECT_EQ(LogFontFor(3, 10, 0, -90, 0).escapement, 900);
    EXPECT_STREQ(LogFontFor(500, 10, 0, 0, 0).faceName, "");
}

TEST_F(FontsTest, ThemeKindsFollowTheTable) {
    SetApplicationFaceStyle(8, 0);
    int16_t fixed = FontNumberFromName("Courier New");
    struct Case {
        int32_t kind;
        int16_t number, size;
    } cases[] = {
        {0, kSystemFontNumber, 8},      {1, fixed, 8},
        {2, kSystemFontNumber, 10},     {3, fixed, 10},
        {4, kSystemFontNumber, 12},     {5, fixed, 12},
        {6, kApplicationFontNumber, 8}, {7, kApplicationFontNumber, 8},
        {42, kSystemFontNumber, 8},
    };
    for (const Case& c : cases) {
        TextStyleRecord style{};
        TextStyleForKind(&style, c.kind);
        EXPECT_EQ(style.fontNumber, c.number) << c.kind;
        EXPECT_EQ(style.size, c.size) << c.kind;
        EXPECT_EQ(style.face, 0) << c.kind;
    }
    SetApplicationFaceStyle(8, kFaceBold);
    TextStyleRecord style{};
    TextStyleForKind(&style, 6);
    EXPECT_EQ(style.face, kFaceBold);
    TextStyleForKind(&style, 7);
    EXPECT_EQ(style.face, 0);
    SetApplicationFaceStyle(8, 0);
}

TEST_F(FontsTest, StylesFromControlFonts) {
    SetApplicationFaceStyle(8, kFaceBold);
    TextStyleRecord style{};
    ControlStyleBlock font{};
    font.font = kSmallSystemFont;
    TextStyleFromControlFont(&font, nullptr, &style);
    EXPECT_EQ(style.face, 0); // kind 7
    font.font = kSystemFont;
    font.flags = kStyleSize;
    font.size = 14;
    TextStyleFromControlFont(&font, nullptr, &style);
    EXPECT_EQ(style.face, kFaceBold); // kind 6
    EXPECT_EQ(style.size, 14);
    font.font = 5;
    font.flags = 0;
    TextStyleFromControlFont(&font, "Tahoma", &style);
    EXPECT_EQ(style.fontNumber, 2);
    TextStyleFromControlFont(&font, "Nowhere", &style);
    EXPECT_EQ(style.fontNumber, kSystemFontNumber);
    EXPECT_TRUE(style.flags & kStyleNameUnknown);
    SetApplicationFaceStyle(8, 0);
}

TEST_F(FontsTest, CopyTextStyleParts) {
    TextStyleRecord from{}, to{};
    from.fontNumber = 3;
    from.size = 20;
    from.face = kFaceItalic;
    to.face = kFaceItalic | kFaceBold;
    CopyTextStyle(&from, &to, kCopyStyleSize | kCopyStyleToggleFace);
    EXPECT_EQ(to.fontNumber, 0);
    EXPECT_EQ(to.size, 20);
    EXPECT_EQ(to.face, kFaceBold);
    EXPECT_TRUE(to.flags & kStyleMetricsStale);
}

} // namespace

namespace {

class TextStylePoolTest : public FontsTest {
  protected:
    void SetUp() override {
        FontsTest::SetUp();
        state_ = NewDrawingState();
    }
    void TearDown() override {
        DisposeDrawingState(state_);
        FontsTest::TearDown();
    }
    DrawingState* state_ = nullptr;
};

TEST_F(TextStylePoolTest, SaveApplyAndRestoreThroughThePool) {
    SetTextFontNumber(3);
    SetTextPointSize(14);
    SetTextFaceStyle(kFaceBold);
    TextStyleRecord* saved = SaveTextStyle();
    ASSERT_NE(saved, nullptr);
    SelectThemeFontKind(4);
    EXPECT_EQ(state_->settings.fontNumber, kSystemFontNumber);
    EXPECT_EQ(state_->settings.pointSize, 12);
    RestoreTextStyle(saved);
    EXPECT_EQ(state_->settings.fontNumber, 3);
    EXPECT_EQ(state_->settings.pointSize, 14);
    EXPECT_EQ(state_->settings.faceStyle, kFaceBold);
    TextStyleRecord* again = AcquireTextStyle(); // the pooled record, reset to kind 2
    EXPECT_EQ(again, saved);
    EXPECT_EQ(again->size, 10);
    ReleaseTextStyle(again);
}

TEST_F(TextStylePoolTest, FromPortAndHeapRecords) {
    SetTextFontNumber(0);
    SetTextPointSize(0);
    TextStyleRecord style{};
    TextStyleFromPort(&style);
    EXPECT_EQ(style.fontNumber, kSystemFontNumber);
    EXPECT_EQ(style.size, 10);
    EXPECT_TRUE(style.flags & kStyleMetricsStale);
    FontMetricsRecord metrics;
    TextStyleMetrics(&style, &metrics);
    EXPECT_FALSE(style.flags & kStyleMetricsStale);
    style.size = 20;
    TextStyleRecord* copy = NewTextStyleRecord(nullptr, &style);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->size, 20);
    DisposeTextStyleRecord(copy);
    TextStyleRecord* plain = NewTextStyleRecord(nullptr, nullptr);
    EXPECT_EQ(plain->size, 10);
    DisposeTextStyleRecord(plain);
}

} // namespace
