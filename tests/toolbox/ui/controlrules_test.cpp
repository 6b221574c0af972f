// Definition numbers, value rules, the scroll-bar mapping, tag sizes and
// the focus advance of controls.
#include <gtest/gtest.h>

#include <vector>

#include "toolbox/ui/controlrules.h"

namespace {

TEST(ControlRulesTest, DefinitionNumbersChooseTheType) {
    struct Case {
        int32_t number;
        uint8_t type;
        int32_t definition;
    } cases[] = {
        {369, kControlCheckBox, kDefinitionNone},
        {370, kControlRadioButton, kDefinitionNone},
        {371, kControlPushButton, kDefinitionNone},
        {0, kControlPushButton, kDefinitionNone},
        {1, kControlCheckBox, kDefinitionNone},
        {17, kControlScrollBar, kDefinitionNone},
        {390, kControlScrollBar, kDefinitionNone},
        {80, kControlProgressBar, kDefinitionNone},
        {128, kControlTabs, kDefinitionNone},
        {160, kControlGroupBox, kDefinitionNone},
        {288, kControlStaticText, kDefinitionNone},
        {33, kControlSelfDrawn, kDefinitionIconButton},
        {64, kControlSelfDrawn, kDefinitionToggleTriangle},
        {256, kControlSelfDrawn, kDefinitionUserPane},
        {335, kControlSelfDrawn, kDefinitionIcon},
        {400, kControlSelfDrawn, kDefinitionPopupButton},
        {272, kControlSelfDrawn, kDefinitionRegistered},
        {352, kControlSelfDrawn, kDefinitionRegistered},
        {1000, kControlSelfDrawn, kDefinitionRegistered},
        {416, kControlSelfDrawn, kDefinitionRegistered},
    };
    for (const Case& c : cases) {
        ControlKind kind = ControlKindFromDefinition(c.number);
        EXPECT_EQ(kind.type, c.type) << c.number;
        EXPECT_EQ(kind.definition, c.definition) << c.number;
        EXPECT_EQ(kind.variant, c.number & 0xF) << c.number;
    }
}

TEST(ControlRulesTest, ValueRulesByType) {
    ControlRange push{0, 0, 0};
    ControlRangeSetValue(kControlPushButton, &push, 7);
    EXPECT_EQ(push.value, 1);
    ControlRange check{2, 0, 2};
    ControlRangeSetMaximum(kControlCheckBox, &check, 5);
    EXPECT_EQ(check.maximum, 2);
    EXPECT_TRUE(CheckBoxThreeState(&check));
    ControlRangeSetMaximum(kControlCheckBox, &check, 1);
    EXPECT_EQ(check.value, 1);
    EXPECT_FALSE(CheckBoxThreeState(&check));
    ControlRange tabs{0, 0, 0};
    EXPECT_EQ(tabs.minimum, 0);
    ControlRangeSetMaximum(kControlTabs, &tabs, 4);
    EXPECT_EQ(tabs.minimum, 1);
    ControlRangeSetValue(kControlTabs, &tabs, 3);
    EXPECT_EQ(tabs.value, 3);
    ControlRange self{5, 0, 10};
    ControlRangeSetValue(kControlSelfDrawn, &self, 40);
    EXPECT_EQ(self.value, 10);
    ControlRangeSetMinimum(kControlSelfDrawn, &self, 12);
    EXPECT_EQ(self.value, 12);
    ControlRangeSetMaximum(kControlSelfDrawn, &self, 20);
    ControlRangeSetValue(kControlSelfDrawn, &self, -3);
    EXPECT_EQ(self.value, 12);
    ControlRangeSetMaximum(kControlSelfDrawn, &self, 15);
    ControlRangeSetValue(kControlSelfDrawn, &self, 14);
    ControlRangeSetMaximum(kControlSelfDrawn, &self, 13);
    EXPECT_EQ(self.value, 13);
}

TEST(ControlRulesTest, ScrollBarMapping) {
    NativeScrollRange native = NativeScrollFromControl(0, 90, 10);
    EXPECT_EQ(native.page, 11);
    EXPECT_EQ(native.maximum, 100);
    EXPECT_EQ(ControlMaximumFromNative(&native), 90);
    EXPECT_EQ(ControlPageFromNative(&native), 10);
    // The last position the native bar allows is the control's maximum.
    EXPECT_EQ(native.maximum - native.page + 1, 90);
    EXPECT_TRUE(ScrollNothingToScroll(0, 0));
    EXPECT_FALSE(ScrollNothingToScroll(0, 1));
}

TEST(ControlRulesTest, TagSizes) {
    ControlKind push = ControlKindFromDefinition(0);
    ControlKind text = ControlKindFromDefinition(288);
    ControlKind pane = ControlKindFromDefinition(256);
    ControlKind popup = ControlKindFromDefinition(400);
    ControlKind scroll = ControlKindFromDefinition(16);
    EXPECT_EQ(ControlTagCheck(&push, kTagDefault, 1, true), 0);
    EXPECT_EQ(ControlTagCheck(&push, kTagDefault, 2, true), kControlErrWrongSize);
    EXPECT_EQ(ControlTagCheck(&push, kTagRect, 8, true), kControlErrUnknownTag);
    EXPECT_EQ(ControlTagCheck(&text, kTagFont, 24, true), 0);
    EXPECT_EQ(ControlTagCheck(&text, kTagText, 3, true), 0);
    EXPECT_EQ(ControlTagCheck(&scroll, kTagFont, 24, true), kControlErrUnknownTag);
    EXPECT_EQ(ControlTagCheck(&pane, kTagDrawProc, int32_t(sizeof(void*)), true), 0);
    EXPECT_EQ(ControlTagCheck(&pane, kTagDrawProc, 4 + 8 - int32_t(sizeof(void*)), true),
              kControlErrWrongSize);
    EXPECT_EQ(ControlTagCheck(&popup, kTagMenuHandle, int32_t(sizeof(void*)), false), 0);
    EXPECT_EQ(ControlTagCheck(&popup, kTagMenuHandle, 1, false), kControlErrWrongSize);
    EXPECT_EQ(ControlTagCheck(&popup, kTagFont, 100, false), 0); // a larger buffer serves a get
}

TEST(ControlRulesTest, FocusAdvanceWrapsAndSkips) {
    constexpr uint8_t on = kControlVisible | kControlEnabled;
    std::vector<FocusCandidate> controls = {
        {kControlPushButton, on, 0},                    // 0
        {kControlCheckBox, kControlVisible, 0},         // 1 disabled
        {kControlRadioButton, on | kControlSkipTab, 0}, // 2 skipped by Tab
        {kControlStaticText, on, 0},                    // 3 no focus
        {kControlSelfDrawn, on, 0},                     // 4 without feature 4
        {kControlSelfDrawn, on, kFeatureTakesFocus},    // 5
        {kControlCheckBox, kControlEnabled, 0},         // 6 hidden
        {kControlScrollBar, on, 0},                     // 7
    };
    auto n = int32_t(controls.size());
    EXPECT_EQ(AdvanceFocus(controls.data(), n, -1, kFocusNext), 0);
    EXPECT_EQ(AdvanceFocus(controls.data(), n, 0, kFocusNext), 5);
    EXPECT_EQ(AdvanceFocus(controls.data(), n, 5, kFocusNext), 0);
    EXPECT_EQ(AdvanceFocus(controls.data(), n, 0, kFocusPrevious), 5);
    EXPECT_EQ(AdvanceFocus(controls.data(), n, -1, kFocusPrevious), 5);
    controls[0].flags = 0;
    controls[5].flags = 0;
    EXPECT_EQ(AdvanceFocus(controls.data(), n, 3, kFocusNext), -1);
}

TEST(ControlRulesTest, HitPartsOfNativeTypes) {
    constexpr uint8_t on = kControlVisible | kControlEnabled;
    struct Case {
        uint8_t type, flags;
        bool inside;
        int32_t tab, part;
    } cases[] = {
        {kControlPushButton, on, true, -1, 10},
        {kControlCheckBox, on, true, -1, 11},
        {kControlRadioButton, on, true, -1, 11},
        {kControlScrollBar, on, true, -1, 253},
        {kControlStaticText, on, true, -1, 0},
        {kControlGroupBox, on, true, -1, 0},
        {kControlProgressBar, on, true, -1, 1},
        {kControlTabs, on, true, 2, 3},
        {kControlPushButton, on, false, -1, 0},
        {kControlPushButton, kControlEnabled, true, -1, 0},
        {kControlPushButton, kControlVisible, true, -1, 0},
        {kControlScrollBar, on | kControlNothingToScroll, true, -1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NativeHitPart(c.type, c.flags, c.inside, c.tab), c.part) << int(c.type);
}

TEST(ControlRulesTest, PopupRange) {
    EXPECT_FALSE(PopupMenuIdMakesMenu(0));
    EXPECT_FALSE(PopupMenuIdMakesMenu(-12345));
    EXPECT_TRUE(PopupMenuIdMakesMenu(131));
    ControlRange none = PopupRangeForMenu(false, 4);
    EXPECT_EQ(none.value + none.minimum + none.maximum, 0);
    ControlRange empty = PopupRangeForMenu(true, 0);
    EXPECT_EQ(empty.maximum, 0);
    ControlRange four = PopupRangeForMenu(true, 4);
    EXPECT_EQ(four.value, 1);
    EXPECT_EQ(four.minimum, 1);
    EXPECT_EQ(four.maximum, 4);
}

} // namespace
