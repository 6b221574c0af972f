#include "toolbox/core/windowkinds.h"

#include <gtest/gtest.h>

#include "toolbox/core/windowobject.h"

namespace {

TEST(WindowKinds, DefinitionCodesAndNativeTypes) {
    struct Case {
        uint8_t kind, variant;
        uint32_t options;
        int16_t definition;
        int16_t nativeType;
        uint32_t nativeOptions;
    } cases[] = {
        {0, 0, 0, 1024, 6, 8},         {0, 0, 4, 1024, 6, 9},         {0, 0, 1, 1025, 6, 0x18},
        {0, 0, 3, 1031, 6, 0x1E},      {1, 1, 0, 1024, 6, 0},         {1, 1, 5, 1025, 6, 0x11},
        {1, 3, 0, 1043, 4, 0},         {1, 3, 1, 1046, 4, 0x10},      {1, 2, 1, 1042, 3, 0},
        {1, 2, 0, 1042, 3, 0},         {2, 0, 0, 1057, 5, 0x1000000}, {2, 0, 4, 1057, 5, 0x1000001},
        {2, 0, 1, 1059, 5, 0x1000010}, {2, 0, 3, 1071, 5, 0x1000016}, {3, 0, 7, 1040, 13, 0x20000},
        {4, 0, 1, 1024, 6, 31},        {6, 4, 0, 1024, 6, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.kind) << "/" << int(c.variant) << "/" << c.options);
        EXPECT_EQ(WindowDefinitionCode(c.kind, c.variant, c.options), c.definition);
        NativeWindowType n = NativeWindowTypeOf(c.kind, c.variant, c.options);
        EXPECT_EQ(n.type, c.nativeType);
        EXPECT_EQ(n.options, c.nativeOptions);
    }
}

TEST(WindowKinds, VariantNormalisation) {
    struct Case {
        uint8_t kind, variant, want;
    } cases[] = {
        {1, 1, 1}, {1, 2, 2}, {1, 3, 3}, {1, 0, 2}, {1, 4, 2}, {4, 0, 0},
        {4, 4, 4}, {4, 5, 5}, {4, 3, 0}, {5, 0, 0}, {5, 5, 5}, {5, 4, 0},
        {6, 0, 0}, {6, 5, 5}, {6, 2, 4}, {0, 3, 0}, {2, 1, 0}, {3, 9, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormalizeWindowVariant(c.kind, c.variant), c.want)
            << int(c.kind) << "/" << int(c.variant);
}

TEST(WindowKinds, ScrollBarRoom) {
    struct Case {
        uint8_t kind, variant;
        uint32_t options;
        int16_t bottom, right;
    } cases[] = {
        {0, 0, 1, 116, 216},    // grow box alone: both bars
        {1, 1, 5, 116, 216},    // variant-1 dialog likewise
        {1, 2, 1, 100, 200},    // other dialogs: nothing
        {0, 0, 0x21, 100, 216}, // a bar given: only that one
        {0, 0, 0x10, 116, 200}, {2, 0, 1, 100, 200},
    };
    for (const Case& c : cases) {
        Rect16 r = {0, 0, 100, 200};
        ScrollBarSpace(c.kind, c.variant, c.options, 16, &r);
        EXPECT_EQ(r.bottom, c.bottom) << int(c.kind) << "/" << c.options;
        EXPECT_EQ(r.right, c.right) << int(c.kind) << "/" << c.options;
    }
}

TEST(WindowKinds, OneShotWordsAreTakenOnce) {
    SetNextWindowNativeFlags(0x40);
    SetNextWindowPaneFlags(0x80);
    SetNextWindowSurfaceFlags(0x18000000);
    OneShotCreationWords w = TakeOneShotCreationWords();
    EXPECT_EQ(w.nativeFlags, 0x40u);
    EXPECT_EQ(w.paneFlags, 0x80u);
    EXPECT_EQ(w.surfaceFlags, 0x18000000u);
    w = TakeOneShotCreationWords();
    EXPECT_EQ(w.nativeFlags | w.paneFlags | w.surfaceFlags, 0u);
}

} // namespace

namespace {

TEST(WindowKinds, CreationFlagWords) {
    EXPECT_EQ(WindowSurfaceFlags(0x18000000, 0x31), 0x180000A8u);
    EXPECT_EQ(WindowSurfaceFlags(0, 0), 0u);
    EXPECT_EQ(WindowNativeFlags(1, 0x100, 0), 0x41u);
    EXPECT_EQ(WindowNativeFlags(0, 0, 3), 0x400u);
    EXPECT_EQ(PaneWindowFlags(0x60A, 0), 0x40Au);   // 0x608 dropped, hidden and framed added
    EXPECT_EQ(PaneWindowFlags(0x1000, 4), 0x1608u); // double frame
    EXPECT_EQ(PaneWindowFlags(0, 5), 0x400u);
    struct Case {
        uint8_t variant;
        uint32_t options;
        int16_t bottom, right;
    } cases[] = {{0, 0, 101, 201}, {0, 0x30, 117, 217}, {5, 0x10, 116, 200}, {4, 0x20, 101, 217}};
    for (const Case& c : cases) {
        Rect16 r = {0, 0, 100, 200};
        PaneWindowRect(c.variant, c.options, 16, &r);
        EXPECT_EQ(r.bottom, c.bottom);
        EXPECT_EQ(r.right, c.right);
    }
}

} // namespace
