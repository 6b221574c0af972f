// List-box items: focus, marks, the mark picture's cells, row height.
#include <gtest/gtest.h>

#include "toolbox/ui/listboxitem.h"

namespace {

TEST(ListBoxItemTest, MarkCycling) {
    const uint32_t three = kListBoxCycleMarks | kListBoxThreeStates;
    EXPECT_EQ(CycleRowMark(3, three, 0), 4);
    EXPECT_EQ(CycleRowMark(4, three, 0), 2);
    EXPECT_EQ(CycleRowMark(2, three, 0), 3);
    EXPECT_EQ(CycleRowMark(0, three, 0), 2);
    const uint32_t two = kListBoxCycleMarks;
    EXPECT_EQ(CycleRowMark(0, two, 0), 1);
    EXPECT_EQ(CycleRowMark(0, two | kListBoxFirstMarkFive, 0), 5);
    EXPECT_EQ(CycleRowMark(2, two, 0), 3);
    EXPECT_EQ(CycleRowMark(3, two, 0), 2);
    EXPECT_EQ(CycleRowMark(1, two, 0), 0);
    EXPECT_EQ(CycleRowMark(5, two, 0), 0);
    // A disabled row, or a list that does not cycle, keeps its mark.
    EXPECT_EQ(CycleRowMark(3, three, kRowDisabled), 3);
    EXPECT_EQ(CycleRowMark(0, two, kRowDisabled), 0);
    EXPECT_EQ(CycleRowMark(2, kListBoxThreeStates, 0), 2);
}

TEST(ListBoxItemTest, CellsFocusAndRows) {
    for (uint8_t m = 1; m <= 5; ++m)
        EXPECT_EQ(MarkCellLeft(m), 9 * (m - 1));
    EXPECT_TRUE(ListBoxTakesFocus(0));
    EXPECT_TRUE(ListBoxTakesFocus(kListBoxMultiple | kListBoxTypeSelect));
    EXPECT_FALSE(ListBoxTakesFocus(kListBoxNoSelection));
    EXPECT_FALSE(ListBoxTakesFocus(kListBoxCycleMarks));
    EXPECT_TRUE(ListBoxShowsMarks(kListBoxNewRowsMarked));
    EXPECT_FALSE(ListBoxShowsMarks(kListBoxMultiple));
    EXPECT_EQ(ListBoxRowHeight(11, 3, 2), 17);
    EXPECT_TRUE(IsSeparatorRowText("-"));
    EXPECT_FALSE(IsSeparatorRowText("--"));
    EXPECT_FALSE(IsSeparatorRowText(nullptr));
}

TEST(ListBoxItemTest, TheListsOptionsFollowTheFlags) {
    EXPECT_EQ(ListBoxListOptions(0), 0u);
    EXPECT_EQ(ListBoxListOptions(kListBoxMultiple | kListBoxCycleMarks), kListMultiSelect);
    EXPECT_EQ(ListBoxListOptions(kListBoxSecondOption), kListKeepOnClickBelow);
    EXPECT_EQ(ListBoxListOptions(0xFFFFFFFFu), kListBoxListOptionsChanged);
}

} // namespace
