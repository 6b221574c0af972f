// The font list from the system's families, the standard faces, and the
// clipboard under Wine (it needs the X display).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "toolbox/core/memblock.h"
#include "toolbox/ui/clipboard.h"
#include "toolbox/ui/fontlist.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/gditext_win32.h"
#include "toolbox/ui/textmeasure.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(uint8_t(c)));
    return s;
}

TEST(SystemFonts, NumberedFromTwoAndSortedByName) {
    MemInit(0, -1);
    InitDrawingGlobals();
    ASSERT_GT(FontCount(), 0);
    std::set<int16_t> numbers;
    std::string previous;
    for (int32_t i = 0; i < FontCount(); ++i) {
        char name[kFontNameCapacity];
        FontNameAt(i, name, sizeof name);
        EXPECT_LE(Lower(previous), Lower(name));
        previous = name;
        numbers.insert(FontEntryAt(i)->number);
    }
    EXPECT_EQ(*numbers.begin(), 2);
    EXPECT_EQ(*numbers.rbegin(), 1 + FontCount());
    char name[kFontNameCapacity];
    FontNameAt(FontCount() / 2, name, sizeof name);
    int16_t number = FontEntryAt(FontCount() / 2)->number;
    std::string upper = name;
    for (char& c : upper)
        c = char(std::toupper(uint8_t(c)));
    EXPECT_EQ(FontNumberFromName(upper.c_str()), number);
    EXPECT_EQ(FontNumberFromName("No Such Face Anywhere"), 0);
    char out[kFontNameCapacity];
    EXPECT_EQ(FontNameFromNumber(number, out, sizeof out), 0);
    EXPECT_STREQ(out, name);
    EXPECT_EQ(FontNameFromNumber(0, out, sizeof out), 0);
    EXPECT_GT(std::strlen(out), 0u);
    EXPECT_STREQ(out, SystemFaceName());
    EXPECT_EQ(FontNameFromNumber(1, out, sizeof out), 0);
    EXPECT_STREQ(out, SystemFaceName());
    EXPECT_EQ(FontNameFromNumber(kApplicationFontNumber, out, sizeof out), 0);
    std::string application = out;
    if (FontNumberFromName("Microsoft Sans Serif"))
        EXPECT_EQ(application, "Microsoft Sans Serif");
    else
        EXPECT_EQ(application, "MS Sans Serif");
    EXPECT_EQ(FontNameFromNumber(int16_t(FontCount() + 50), out, sizeof out), kFontUnknownNumber);
    EXPECT_STREQ(out, "");
}

// Measuring without a held context goes through the shared memory context,
// which is made again after RemakeSharedDC; the widths stay.
TEST(SystemFonts, MeasuringSurvivesRemakingTheSharedContext) {
    MemInit(0, -1);
    InitDrawingGlobals();
    MakeStateCurrent(nullptr);
    ReleaseStateDC();
    int32_t before = MeasureTextWidth("Measure me", kCountToNul, false);
    int32_t widths[10];
    MeasureTextFit("Measure me", 10, widths, false);
    EXPECT_EQ(widths[9], before);
    EXPECT_LT(widths[0], widths[1]);
    RemakeSharedDC();
    EXPECT_GT(before, 0);
    EXPECT_EQ(MeasureTextWidth("Measure me", kCountToNul, false), before);
}

class ClipboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MemInit(0, -1);
        InitDrawingGlobals();
        ASSERT_EQ(ClipboardOpenCount(), 0);
    }
    void TearDown() override { EXPECT_EQ(ClipboardOpenCount(), 0); }
    // Another program's change: written straight through the system.
    static void OtherPartyPuts(const char* text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
        std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
        CloseClipboard();
    }
};

TEST_F(ClipboardTest, TextIntoAShortBufferReportsTheFullLength) {
    ASSERT_EQ(ClipboardOpen(), 0);
    ASSERT_EQ(ClipboardClear(), 0);
    ASSERT_EQ(ClipboardExport(kScrapText, 15, "Hello clipboard"), 0);
    ASSERT_EQ(ClipboardClose(), 0);
    int32_t size = 0;
    EXPECT_EQ(ClipboardDataSize(kScrapText, &size), 0);
    EXPECT_EQ(size, 15);
    char buffer[8] = "#######";
    int32_t length = 5;
    EXPECT_EQ(ClipboardImport(kScrapText, &length, buffer), 0);
    EXPECT_EQ(length, 15);
    EXPECT_EQ(std::string(buffer, 7), "Hello##");
}

TEST_F(ClipboardTest, TextWithoutANulStopsAtItsBlock) {
    // Another program's text block without a terminating NUL.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    constexpr SIZE_T kBytes = 64;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, kBytes);
    ASSERT_NE(block, nullptr);
    std::memset(GlobalLock(block), 'x', kBytes);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE stored = GetClipboardData(CF_TEXT);
    ASSERT_NE(stored, nullptr);
    const SIZE_T size = GlobalSize(stored);
    const char* bytes = static_cast<const char*>(GlobalLock(stored));
    const void* nul = std::memchr(bytes, 0, size);
    const int32_t expected = int32_t(nul ? static_cast<const char*>(nul) - bytes : size);
    GlobalUnlock(stored);
    CloseClipboard();
    EXPECT_GE(expected, int32_t(kBytes) - 1); // the system may have ended it itself
    int32_t length = 0;
    EXPECT_EQ(ClipboardDataSize(kScrapText, &length), 0);
    EXPECT_EQ(length, expected);
    std::vector<char> buffer(size_t(expected) + 16, '#');
    int32_t room = int32_t(buffer.size());
    EXPECT_EQ(ClipboardImport(kScrapText, &room, buffer.data()), 0);
    EXPECT_EQ(room, expected);
    EXPECT_EQ(buffer[size_t(expected)], '#'); // nothing copied past the text
}

TEST_F(ClipboardTest, OpensNestAndUnknownTypesAreRefused) {
    EXPECT_EQ(ClipboardClose(), kClipboardNotOpen);
    EXPECT_EQ(ClipboardOpenCount(), 0);
    ASSERT_EQ(ClipboardOpen(), 0);
    ASSERT_EQ(ClipboardOpen(), 0);
    EXPECT_EQ(ClipboardClose(), 0);
    EXPECT_EQ(GetOpenClipboardWindow() != nullptr || ClipboardOpenCount() == 1, true);
    EXPECT_EQ(ClipboardOpenCount(), 1);
    EXPECT_EQ(ClipboardClose(), 0);
    int32_t size = 0;
    EXPECT_EQ(ClipboardDataSize(FourCC("abcd"), &size), kClipboardNotThere);
    char buffer[4];
    int32_t length = 4;
    EXPECT_EQ(ClipboardImport(FourCC("abcd"), &length, buffer), kClipboardNotThere);
    EXPECT_EQ(ClipboardExport(FourCC("abcd"), 4, "abcd"), kClipboardNoData);
}

TEST_F(ClipboardTest, PrivateSequenceCountsOtherPartiesChanges) {
    OtherPartyPuts("start");
    ResetClipboardSequence(false);
    uint32_t first = 0, second = 0, third = 0;
    EXPECT_EQ(ClipboardSequenceQuery(&first), 0);
    EXPECT_EQ(ClipboardSequenceQuery(&second), 0);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 1u);
    OtherPartyPuts("changed");
    EXPECT_EQ(ClipboardSequenceQuery(&third), 0);
    EXPECT_EQ(third, 2u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    UINT format = RegisterClipboardFormatA("PLV_SEQ#");
    HANDLE stored = GetClipboardData(format);
    ASSERT_NE(stored, nullptr);
    uint32_t value = 0;
    std::memcpy(&value, GlobalLock(stored), sizeof value);
    GlobalUnlock(stored);
    CloseClipboard();
    EXPECT_EQ(value, 2u);
    ResetClipboardSequence(true);
}

TEST_F(ClipboardTest, ShortPictureExportPutsNothing) {
    ASSERT_EQ(ClipboardClear(), 0);
    HENHMETAFILE none = nullptr;
    EXPECT_EQ(ClipboardExport(kScrapPicture, 4, &none), kClipboardWrongSize);
    int32_t size = 0;
    EXPECT_EQ(ClipboardDataSize(kScrapPicture, &size), kClipboardNotThere);
    // A metafile crosses as a handle both ways.
    HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    Rectangle(recorder, 0, 0, 10, 10);
    HENHMETAFILE picture = CloseEnhMetaFile(recorder);
    EXPECT_EQ(ClipboardExport(kScrapPicture, int32_t(sizeof picture), &picture), 0);
    HENHMETAFILE back = nullptr;
    int32_t length = 4;
    EXPECT_EQ(ClipboardImport(kScrapPicture, &length, &back), kClipboardWrongSize);
    length = int32_t(sizeof back);
    EXPECT_EQ(ClipboardImport(kScrapPicture, &length, &back), 0);
    EXPECT_NE(back, nullptr);
    DeleteEnhMetaFile(back);
    DeleteEnhMetaFile(picture);
}

TEST_F(ClipboardTest, TextScrapBothWays) {
    RelocatableBlock scrap = ScrapTextHandle();
    ASSERT_NE(scrap, nullptr);
    ASSERT_TRUE(ResizeRelocatableBlock(scrap, 6));
    std::memcpy(HeapHandleLock(scrap), "pelvan", 6);
    HeapHandleUnlock(scrap);
    ScrapTextSetLength(6);
    EXPECT_EQ(ExportScrapText(), 0);
    int32_t size = 0;
    EXPECT_EQ(ClipboardDataSize(kScrapText, &size), 0);
    EXPECT_EQ(size, 6);
    OtherPartyPuts("from elsewhere");
    EXPECT_EQ(ImportScrapText(), 0);
    EXPECT_EQ(ScrapTextLength(), 14);
    EXPECT_EQ(std::memcmp(HeapHandleLock(scrap), "from elsewhere", 14), 0);
    HeapHandleUnlock(scrap);
    // Back in front after another change: the scrap is read again.
    ClipboardSuspend();
    OtherPartyPuts("later");
    ClipboardResume();
    EXPECT_EQ(ScrapTextLength(), 5);
    // The shell's hook: into the background (1) and back (0); unchanged
    // contents leave the scrap as it is.
    SuspendResumeClipboardHook(1);
    OtherPartyPuts("the hook");
    SuspendResumeClipboardHook(0);
    EXPECT_EQ(ScrapTextLength(), 8);
    ScrapTextSetLength(3);
    SuspendResumeClipboardHook(1);
    SuspendResumeClipboardHook(0);
    EXPECT_EQ(ScrapTextLength(), 3);
}

} // namespace
