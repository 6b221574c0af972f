// The drawing state: colour values, defaults, setters and their dirty
// flags, the two stacks, clip bookkeeping and the scratch-region pool.
#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/core/region.h"
#include "toolbox/ui/backstack.h"
#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/portstack.h"

namespace {

class DrawStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state_ = NewDrawingState();
        ASSERT_NE(state_, nullptr);
        state_->dirty = 0;
    }
    void TearDown() override {
        DisposeDrawingState(state_);
        CurrentDrawing.oldSystem = 0;
    }
    DrawingState* state_ = nullptr;
};

TEST(ColourValue, StandardPlainAndColorRef) {
    struct Case {
        uint32_t value;
        ColourRGB16 rgb;
        uint32_t readBack;
    } cases[] = {
        {0x02000000, {0, 0x8080, 0}, 0x008000},
        {0x01000000, {0xFFFF, 0, 0}, 0xFF0000},
        {0x06FFFFFF, {0xFFFF, 0xFFFF, 0}, 0xFFFF00},
        {0x09808080, {0x8080, 0x8080, 0x8080}, 0x808080},
        {0x00123456, {0x1212, 0x3434, 0x5656}, 0x123456},
    };
    for (const Case& c : cases) {
        ColourRGB16 rgb = ColourFromValue(c.value);
        EXPECT_TRUE(ColoursEqual(rgb, c.rgb)) << std::hex << c.value;
        EXPECT_EQ(ColourValueOf(rgb), c.readBack) << std::hex << c.value;
    }
    EXPECT_EQ(RgbFromColorRef(0x00563412), 0x123456u);
    EXPECT_EQ(ColorRefOf(ColourFromValue(0x123456)), 0x563412u);
}

TEST_F(DrawStateTest, NewStateHasTheDefaultsAndIsCurrent) {
    EXPECT_EQ(CurrentState(), state_);
    const DrawingSettings& s = state_->settings;
    EXPECT_EQ(state_->hScale, 10000u);
    EXPECT_EQ(state_->vScale, 10000u);
    EXPECT_TRUE(IsWideOpenRegion(state_->clip));
    EXPECT_EQ(GetBackgroundColourValue(), 0xFFFFFFu);
    EXPECT_EQ(GetForegroundColourValue(), 0u);
    EXPECT_EQ(state_->background, 0xFFFFFFu);
    EXPECT_EQ(state_->applied.backColour, 0xFFFFFFu);
    EXPECT_EQ(s.penSize, 1);
    EXPECT_EQ(s.pointSize, 12);
    EXPECT_EQ(s.textMode, 1);
    EXPECT_EQ(s.fontNumber, 0);
    EXPECT_EQ(s.penMode, 0);
    EXPECT_EQ(s.penVisibility, 0);
    EXPECT_EQ(state_->patternKind, kPatternSolid);
    EXPECT_EQ(state_->applied.textOrientation, -1);
    for (uint8_t row : s.penPattern.rows)
        EXPECT_EQ(row, 0xFF);
}

TEST_F(DrawStateTest, DisposingTheCurrentStateLeavesTheDefaultCurrent) {
    DrawingState* other = NewDrawingState();
    EXPECT_EQ(CurrentState(), other);
    DisposeDrawingState(other);
    EXPECT_EQ(CurrentState(), DefaultDrawingState());
}

TEST_F(DrawStateTest, SettersMarkOnlyChanges) {
    SetPenSize(3, 1);
    EXPECT_EQ(state_->settings.penSize, 3);
    EXPECT_EQ(state_->dirty, kStateDirtyPen);
    state_->dirty = 0;
    SetPenSize(1, 3);
    SetForegroundColour(0x000000);
    SetBackgroundColour(0xFFFFFF);
    ExchangePenMode(0);
    SetTextFontNumber(0);
    SetPenStandardPattern(1);
    SetStateOrigin(0, 0);
    SetStateClip(nullptr);
    EXPECT_EQ(state_->dirty, 0u);
    SetForegroundColour(0x01000000);
    EXPECT_TRUE(state_->dirty & kStateDirtyPen);
    EXPECT_EQ(state_->foreground, 0x0000FFu);
}

TEST_F(DrawStateTest, PatternKindsAndStandardPatterns) {
    Pattern8 zero{};
    SetPenPattern(&zero);
    EXPECT_EQ(state_->patternKind, kPatternBits);
    EXPECT_EQ(state_->applied.allZeroPattern, 1);
    EXPECT_EQ(state_->dirty, kStateDirtyBrush | kStateDirtyPen);
    SetPenStandardPattern(1);
    EXPECT_EQ(state_->patternKind, kPatternSolid);
    EXPECT_EQ(state_->applied.allZeroPattern, 0);
    const uint8_t expected[9][8] = {
        {0, 0, 0, 0, 0, 0, 0, 0},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
        {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55},
        {0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22},
        {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD},
        {0x82, 0x44, 0x28, 0x10, 0x28, 0x44, 0x82, 0x01},
        {0, 0, 0, 0, 0, 0, 0x06, 0},
        {0x03, 0, 0x03, 0, 0, 0, 0, 0},
        {0x01, 0, 0x01, 0, 0x01, 0, 0x01, 0},
    };
    for (int i = 0; i < 9; ++i) {
        Pattern8 p = StandardPattern(i);
        for (int row = 0; row < 8; ++row)
            EXPECT_EQ(p.rows[row], expected[i][row]) << i;
    }
    for (int i : {9, 10, 11, 200}) {
        Pattern8 p = StandardPattern(i);
        for (uint8_t row : p.rows)
            EXPECT_EQ(row, 0) << i;
    }
}

TEST_F(DrawStateTest, OldSystemPatternMarksOnlyTheBrush) {
    CurrentDrawing.oldSystem = 1;
    SetPenStandardPattern(2);
    EXPECT_EQ(state_->dirty, kStateDirtyBrush);
    state_->dirty = 0;
    SetStateOrigin(3, 4);
    EXPECT_EQ(state_->dirty, kStateDirtyClip | kStateDirtyOrigin | kStateDirtyBrush);
}

TEST_F(DrawStateTest, OriginMarksClipOriginAndPatternItems) {
    SetStateOrigin(5, 0);
    EXPECT_EQ(state_->dirty, kStateDirtyClip | kStateDirtyOrigin);
    SetPenStandardPattern(2);
    state_->dirty = 0;
    SetStateOrigin(6, 1);
    EXPECT_EQ(state_->dirty,
              kStateDirtyClip | kStateDirtyOrigin | kStateDirtyBrush | kStateDirtyPen);
    EXPECT_EQ(state_->origin.h, 6);
    EXPECT_EQ(state_->origin.v, 1);
}

TEST_F(DrawStateTest, ResetAndDragOutlinePens) {
    SetDragOutlinePen();
    EXPECT_EQ(GetPenMode(), kPenModeXor);
    EXPECT_EQ(state_->settings.penSize, 1);
    EXPECT_EQ(state_->settings.penPattern.rows[0], 0xAA);
    EXPECT_EQ(state_->patternKind, kPatternBits);
    SetPenSize(4, 4);
    ResetPen();
    EXPECT_EQ(GetPenMode(), 0);
    EXPECT_EQ(state_->settings.penSize, 1);
    EXPECT_EQ(state_->patternKind, kPatternSolid);
    EXPECT_EQ(state_->applied.allZeroPattern, 0);
}

TEST_F(DrawStateTest, PenSettingsRoundTrip) {
    MovePenTo(10, 20);
    MovePenBy(1, 2);
    SetPenSize(5, 2);
    ExchangePenMode(3);
    PenSettings saved;
    SavePenSettings(&saved);
    EXPECT_EQ(saved.h, 11);
    EXPECT_EQ(saved.v, 22);
    ResetPen();
    MovePenTo(0, 0);
    RestorePenSettings(&saved);
    PenSettings again;
    SavePenSettings(&again);
    EXPECT_EQ(again.h, 11);
    EXPECT_EQ(again.v, 22);
    EXPECT_EQ(again.size, 5);
    EXPECT_EQ(again.mode, 3);
}

TEST_F(DrawStateTest, TheStatesPenBlockCopiesOutAndBack) {
    MovePenTo(7, 9);
    SetPenSize(4, 4);
    SetPenStandardPattern(2);
    ExchangePenMode(2);
    const Pattern8 pattern = state_->settings.penPattern;
    auto expectPen = [&](const StatePen& pen) {
        EXPECT_EQ(pen.location.h, 7);
        EXPECT_EQ(pen.location.v, 9);
        EXPECT_EQ(pen.size, 4);
        EXPECT_EQ(pen.mode, 2);
        EXPECT_EQ(std::memcmp(&pen.pattern, &pattern, sizeof pattern), 0);
    };
    StatePen pen;
    CopyPenFromState(&pen);
    expectPen(pen);
    ResetPen();
    MovePenTo(0, 0);
    state_->dirty = 0;
    ApplyPenToState(&pen);
    StatePen back;
    CopyPenFromState(&back);
    expectPen(back);
    EXPECT_TRUE(state_->dirty & kStateDirtyPen); // the device pen is made again
}

TEST_F(DrawStateTest, CapturedDefaultsUseFontOne) {
    SetTextFontNumber(7);
    DrawingSettings settings;
    CaptureStateSettings(&settings, nullptr);
    EXPECT_EQ(settings.fontNumber, 1);
    EXPECT_EQ(settings.pointSize, 12);
    EXPECT_EQ(CurrentState(), state_);
    CaptureStateSettings(&settings, state_);
    EXPECT_EQ(settings.fontNumber, 7);
}

TEST_F(DrawStateTest, BackgroundStackCountsBeyondItsSlots) {
    for (int i = 0; i < 33; ++i) {
        SetBackgroundColour(uint32_t(i + 1));
        PushBackgroundColour();
    }
    EXPECT_EQ(BackgroundStackDepth(), 33);
    SetBackgroundColour(0xABCDEF);
    PopBackgroundColour(); // the 33rd: nothing restored
    EXPECT_EQ(GetBackgroundColourValue(), 0xABCDEFu);
    PopBackgroundColour(); // the 32nd
    EXPECT_EQ(GetBackgroundColourValue(), 32u);
    for (int i = 0; i < 40; ++i)
        PopBackgroundColour();
    EXPECT_EQ(BackgroundStackDepth(), 0);
    EXPECT_EQ(GetBackgroundColourValue(), 1u);
}

TEST_F(DrawStateTest, SavedBackgroundGoesBackIntoItsState) {
    SetBackgroundColour(0x102030);
    ColourRGB16* block = SaveBackgroundColour(state_, nullptr);
    ASSERT_NE(block, nullptr);
    DrawingState* other = NewDrawingState();
    SetBackgroundColour(0x000000);
    MakeStateCurrent(other);
    RestoreBackgroundColour(state_, block, true);
    EXPECT_EQ(CurrentState(), other);
    EXPECT_EQ(ColourValueOf(state_->settings.background), 0x102030u);
    DisposeDrawingState(other);
}

TEST_F(DrawStateTest, PortStackRestoresInOrderAndGrows) {
    EXPECT_EQ(PortStackCapacity(), kPortStackStep);
    std::vector<DrawingState*> states;
    for (int i = 0; i < 100; ++i) {
        states.push_back(NewDrawingState());
        SavePortState();
    }
    EXPECT_EQ(PortStackDepth(), 100);
    EXPECT_EQ(PortStackCapacity(), 100);
    for (int i = 99; i >= 0; --i) {
        MakeStateCurrent(state_);
        RestorePortState();
        EXPECT_EQ(CurrentState(), states[size_t(i)]);
    }
    RestorePortState(); // empty: nothing
    EXPECT_EQ(PortStackDepth(), 0);
    for (DrawingState* s : states)
        DisposeDrawingState(s);
}

TEST_F(DrawStateTest, WindowStateClipIsCopiedUnlessWideOpen) {
    state_->dcKind = kStateDcWindow;
    FocusSaveRecord record;
    SaveFocusState(&record);
    EXPECT_EQ(record.clipCopy, nullptr);
    EXPECT_EQ(record.portRecordState, 1);
    Rect16 clip{0, 0, 10, 10};
    SetDrawingClipRect(&clip);
    SaveFocusState(&record);
    ASSERT_NE(record.clipCopy, nullptr);
    SetDrawingClipRect(nullptr);
    EXPECT_TRUE(IsWideOpenRegion(state_->clip));
    RestoreFocusState(&record, kRestoreReleaseClip);
    EXPECT_EQ(record.clipCopy, nullptr);
    Rect16 bounds;
    RegionBounds(state_->clip, &bounds);
    EXPECT_EQ(bounds.bottom, 10);
    EXPECT_EQ(bounds.right, 10);
}

TEST_F(DrawStateTest, WideOpenClipCountsAsNone) {
    Rect16 clip{0, 0, 10, 10};
    SetDrawingClipRect(&clip);
    EXPECT_EQ(state_->dirty, kStateDirtyClip);
    state_->dirty = 0;
    SetDrawingClipRect(&clip); // equal: no flag
    EXPECT_EQ(state_->dirty, 0u);
    RegionRecord* open = NewRegion();
    SetRegionToRect(open, &kWideOpenRect);
    SetDrawingClip(open);
    EXPECT_TRUE(IsWideOpenRegion(state_->clip));
    EXPECT_EQ(state_->dirty, kStateDirtyClip);
    state_->dirty = 0;
    SetDrawingClip(nullptr);
    EXPECT_EQ(state_->dirty, 0u);
    DisposeRegion(open);
}

TEST(ScratchRegions, AtMostEightAreCached) {
    DrainScratchRegions();
    RegionRecord* regions[10];
    for (RegionRecord*& r : regions)
        r = AcquireScratchRegion();
    EXPECT_EQ(ScratchRegionsOut(), 10);
    Rect16 rect{0, 0, 5, 5};
    SetRegionToShortRect(regions[0], &rect);
    for (RegionRecord* r : regions)
        ReleaseScratchRegion(r);
    EXPECT_EQ(ScratchRegionsCached(), kScratchRegionsCached);
    EXPECT_EQ(ScratchRegionsOut(), 0);
    RegionRecord* again = AcquireScratchRegion();
    EXPECT_TRUE(IsRegionEmpty(again));
    ReleaseScratchRegion(again);
    DrainScratchRegions();
}

} // namespace
