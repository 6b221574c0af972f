// The portable rules of dialogs: reading numbers, the default key filter,
// navigation, the item list's containers and family codes, scroll-bar
// item steps and the progress window's geometry.
#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/core/byteorder.h"
#include <map>
#include <string>

#include "toolbox/ui/dialogconfirm.h"
#include "toolbox/ui/dialogitem.h"
#include "toolbox/ui/dialogitemrules.h"
#include "toolbox/ui/dialogkeys.h"
#include "toolbox/ui/dialognumber.h"
#include "toolbox/ui/dialogscroll.h"
#include "toolbox/ui/progressgeometry.h"

namespace {

struct NumberCase {
    const char* text;
    int32_t minimum, maximum;
    bool isSigned;
    const char* after;
    int32_t value;
    bool result;
};

TEST(DialogNumberTest, ReadsCutsAndClamps) {
    const NumberCase cases[] = {
        {"12ab", 0, 100, false, "12", 12, true},
        {"", 0, 100, false, "0", 0, true},
        {"", 5, 100, false, "5", 5, true},
        {"5", 10, 99, false, "5", 5, false},    // partly typed: stays
        {"150", 10, 99, false, "99", 99, true}, // above: the maximum
        {"0", 1, 99, false, "1", 1, true},      // a minimum below 2 raises
        {"-7", -10, 10, true, "-7", -7, true},
        {"-", 0, 10, true, "0", 0, true}, // "-" alone reads 0
        {"-20", -10, 10, true, "-10", -10, true},
        {"-5", 0, 10, false, "0", 0, true}, // unsigned: no sign
        {"9999999999", 0, 2000000000, false, "2000000000", 2000000000, true},
        {"12345678901234", 0, 2147483647, false, "1234567890", 1234567890, true},
        {"-9999999999", INT32_MIN, 0, true, "-2147483648", INT32_MIN, true},
        {"4000000000", 0, -1, false, "4000000000", int32_t(4000000000u), true},
    };
    for (const NumberCase& c : cases) {
        ItemNumberText item{};
        std::snprintf(item.text, sizeof item.text, "%s", c.text);
        int32_t value = 12345;
        EXPECT_EQ(ReadItemNumberText(&item, c.minimum, c.maximum, c.isSigned, &value, nullptr),
                  c.result)
            << c.text;
        EXPECT_STREQ(item.text, c.after) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(DialogNumberTest, SelectionAndTheLoneSign) {
    ItemNumberText item{};
    bool changed = true;
    int32_t value = 0;
    // A signed "-" with a negative minimum: false and nothing changes.
    std::strcpy(item.text, "-");
    item.selectionStart = item.selectionEnd = 1;
    EXPECT_FALSE(ReadItemNumberText(&item, -5, 5, true, &value, &changed));
    EXPECT_FALSE(changed);
    EXPECT_STREQ(item.text, "-");
    EXPECT_EQ(item.selectionEnd, 1);
    // An empty text: the minimum, all selected.
    item = {};
    EXPECT_TRUE(ReadItemNumberText(&item, 3, 9, false, &value, &changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(item.selectionStart, 0);
    EXPECT_EQ(item.selectionEnd, 1);
    // A focused item keeps its selection (within the new text).
    item = {};
    std::strcpy(item.text, "42xyz");
    item.focused = true;
    item.selectionStart = 1;
    item.selectionEnd = 4;
    EXPECT_TRUE(ReadItemNumberText(&item, 0, 100, false, &value, &changed));
    EXPECT_STREQ(item.text, "42");
    EXPECT_EQ(item.selectionStart, 1);
    EXPECT_EQ(item.selectionEnd, 2);
}

TEST(DialogKeysTest, DefaultFilter) {
    struct Case {
        int32_t key;
        bool special;
        int32_t result, command;
    } cases[] = {
        {kKeyCodeReturn, false, kFilterSwallow, 0},
        {kKeyCodeEscape, false, kFilterToDialog, 0},
        {'a', false, kFilterPass, 0},
        {8, false, kFilterPass, 0},
        {301, true, kFilterPass, 0},
        {306, true, kFilterPass, 0},
        {307, true, kFilterPass, 0},
        {308, true, kFilterPass, 0},
        {309, true, kFilterPass, 0},
        {310, true, kFilterPass, 0},
        {313, true, kFilterPass, 0},
        {314, true, kFilterPass, 0},
        {317, true, kFilterSwallow, kEditCommandClear},
        {328, true, kFilterSwallow, kEditCommandCopy},
        {329, true, kFilterSwallow, kEditCommandCut},
        {330, true, kFilterSwallow, kEditCommandPaste},
        {311, true, kFilterSwallow, 0},
        {331, true, kFilterSwallow, 0},
        {399, true, kFilterSwallow, 0},
    };
    for (const Case& c : cases) {
        int32_t command = -1;
        EXPECT_EQ(DefaultItemKeyFilter(c.key, c.special, &command), c.result) << c.key;
        EXPECT_EQ(command, c.command) << c.key;
    }
}

TEST(DialogKeysTest, RadioGroupsAndTabOrder) {
    // 1 OK, 2 Cancel, 3 edit, 5-7 a radio group with 6 chosen, 8 a lone
    // radio button (off), 9 a hidden push button.
    const NavItem items[] = {
        {1, false, false, true}, {2, false, false, true},  {3, false, false, true},
        {5, true, false, true},  {6, true, true, true},    {7, true, false, true},
        {8, true, false, true},  {9, false, false, false},
    };
    const int32_t n = int32_t(sizeof items / sizeof items[0]);
    int16_t first = 0, last = 0;
    ASSERT_TRUE(RadioGroupRange(items, n, 6, &first, &last));
    EXPECT_EQ(first, 5);
    EXPECT_EQ(last, 8); // 8 continues the run of numbers
    EXPECT_FALSE(RadioGroupRange(items, n, 3, &first, &last));
    EXPECT_EQ(RadioGroupStep(items, n, 6, true), 7);
    EXPECT_EQ(RadioGroupStep(items, n, 8, true), 5);
    EXPECT_EQ(RadioGroupStep(items, n, 5, false), 8);
    EXPECT_EQ(RadioGroupStep(items, n, 2, true), 0);
    // Tab stops on 6 only in the group, and wraps past the hidden item.
    EXPECT_EQ(TabTarget(items, n, 3, false), 6);
    EXPECT_EQ(TabTarget(items, n, 6, false), 1);
    EXPECT_EQ(TabTarget(items, n, 1, true), 6);
    EXPECT_EQ(TabTarget(items, n, 0, false), 1);
    EXPECT_EQ(TabTarget(items, n, 0, true), 6);
    const NavItem none[] = {{4, false, false, false}};
    EXPECT_EQ(TabTarget(none, 1, 4, false), 0);
}

// Items with bounds kept beside them for the list operations.
std::map<const DialogItemRecord*, Rect16> g_bounds;
void BoundsOf(const DialogItemRecord* item, Rect16* bounds) {
    *bounds = g_bounds[item];
}

struct ItemFixture {
    DialogItemRecord records[8]{};
    DialogItemList list{};
    int32_t used = 0;
    DialogItemRecord* Add(int16_t number, int32_t definition, DialogItemKind kind, Rect16 bounds) {
        DialogItemRecord* item = &records[used++];
        item->itemWord = MakeItemWord(number, kind, 0);
        item->family = ItemFamilyCode(definition, kind);
        item->options = ItemOptionsFor(item->family, 0);
        g_bounds[item] = bounds;
        LinkDialogItem(&list, item, &BoundsOf);
        return item;
    }
    std::string Order() const {
        std::string s;
        for (DialogItemRecord* i = list.head; i; i = i->next)
            s += std::to_string(ItemNumber(i)) + " ";
        return s;
    }
};

TEST(DialogItemTest, FamilyCodesAndOptions) {
    EXPECT_EQ(ItemFamilyCode(368, kItemPushButton), kFamilyPushButton);
    EXPECT_EQ(ItemFamilyCode(369, kItemCheckBox), kFamilyCheckBox);
    EXPECT_EQ(ItemFamilyCode(370, kItemRadioButton), kFamilyRadioButton);
    EXPECT_EQ(ItemFamilyCode(432, kItemNone), kFamilyOther);
    EXPECT_EQ(ItemFamilyCode(-32768 + 160, kItemGroupBox), kFamilyOther);
    EXPECT_EQ(ItemFamilyCode(160, kItemGroupBox), 10);
    EXPECT_EQ(ItemFamilyCode(386, kItemScrollBar), 24);
    EXPECT_EQ(ItemOptionsFor(8, 0), kItemOptionContainer);
    EXPECT_EQ(ItemOptionsFor(10, 0), kItemOptionContainer);
    EXPECT_EQ(ItemOptionsFor(14, 0), kItemOptionContainer);
    EXPECT_EQ(ItemOptionsFor(21, 0), kItemOptionContainer);
    EXPECT_EQ(ItemOptionsFor(2, 0x200), kItemOptionStaysDown);
    EXPECT_EQ(ItemOptionsFor(2, 0), 0);
    EXPECT_EQ(ItemOptionsFor(17, 0x200), 0);
    DialogItemRecord item{};
    item.itemWord = MakeItemWord(-3, kItemUserPane, kItemFlagHidden);
    SetItemFlags(&item, kItemFlagDisabled, true);
    SetItemFlags(&item, kItemFlagHidden, false);
    EXPECT_EQ(ItemNumber(&item), -3);
    EXPECT_EQ(ItemKind(&item), kItemUserPane);
    EXPECT_EQ(ItemFlags(&item), kItemFlagDisabled);
}

TEST(DialogItemTest, ContainersStayInFrontInnermostFirst) {
    ItemFixture f;
    DialogItemRecord* ok = f.Add(1, 368, kItemPushButton, {100, 10, 120, 60});
    DialogItemRecord* check = f.Add(3, 369, kItemCheckBox, {30, 30, 40, 80});
    DialogItemRecord* inner = f.Add(20, 160, kItemGroupBox, {20, 20, 60, 100});
    DialogItemRecord* outer = f.Add(21, 128, kItemTabs, {0, 0, 90, 200});
    DialogItemRecord* dup = f.Add(3, 288, kItemStaticText, {0, 0, 5, 5});
    EXPECT_EQ(f.Order(), "21 20 1 3 3 ");
    EXPECT_EQ(check->container, inner);
    EXPECT_EQ(inner->container, outer);
    EXPECT_EQ(outer->container, nullptr);
    EXPECT_EQ(ok->container, nullptr);
    EXPECT_EQ(dup->container, outer);
    EXPECT_EQ(FindDialogItem(&f.list, 3), check); // the first of two
    EXPECT_EQ(FindDialogItem(&f.list, 4), nullptr);
    UnlinkDialogItem(&f.list, inner);
    EXPECT_EQ(check->container, outer);
    EXPECT_EQ(f.Order(), "21 1 3 3 ");
    EXPECT_EQ(DialogItemCount(&f.list), 4);
    // Two containers with the same bounds never hold each other.
    ItemFixture g;
    DialogItemRecord* a = g.Add(1, 160, kItemGroupBox, {0, 0, 50, 50});
    DialogItemRecord* b = g.Add(2, 160, kItemGroupBox, {0, 0, 50, 50});
    EXPECT_FALSE(a->container == b && b->container == a);
}

TEST(DialogScrollTest, TrackedPartsAndSteps) {
    EXPECT_EQ(ScrollItemPartFromTracked(20), kScrollItemLineUp);
    EXPECT_EQ(ScrollItemPartFromTracked(23), kScrollItemPageDown);
    EXPECT_EQ(ScrollItemPartFromTracked(129), kScrollItemThumb);
    EXPECT_EQ(ScrollItemPartFromTracked(10), kScrollItemNoPart);
    struct Case {
        int32_t part, start, after;
        bool changed;
    } cases[] = {
        {0, 10, 9, true},   {1, 10, 11, true},   {2, 10, 5, true},  {3, 10, 15, true},
        {0, 0, 0, false},   {3, 48, 50, true},   {4, 10, 33, true}, {5, 33, 33, false},
        {6, 10, 10, false}, {-1, 10, 10, false},
    };
    for (const Case& c : cases) {
        int32_t value = c.start;
        EXPECT_EQ(ScrollItemStep(c.part, 1, 5, 33, 50, &value), c.changed) << c.part;
        EXPECT_EQ(value, c.after) << c.part;
    }
}

TEST(ProgressGeometryTest, TextItemIsAtLeast350Wide) {
    Rect32 item{};
    int32_t w = 0, h = 0;
    ProgressWindowGeometry({5, 5, 21, 105}, &item, &w, &h);
    EXPECT_EQ(item.left, 3);
    EXPECT_EQ(item.top, 3);
    EXPECT_EQ(item.right, 5 + 350 + 2);
    EXPECT_EQ(item.bottom, 23);
    // Right margin w - item.right equals left margin item.left.
    EXPECT_EQ(w - (item.right - kProgressContentInset), item.left + kProgressContentInset);
    EXPECT_EQ(h - (item.bottom - kProgressContentInset), item.top + kProgressContentInset);
    ProgressWindowGeometry({5, 5, 60, 505}, &item, &w, &h);
    EXPECT_EQ(item.right, 507);
}

TEST(DialogItemRulesTest, CreationFlags) {
    struct Case {
        DialogItemKind kind;
        uint32_t flags;
        int16_t definition, maximum, minimum, value;
        bool hidden, right, controlBounds;
    } cases[] = {
        {kItemEditText, 0, 272, 0, 0, 0, false, false, false},
        {kItemEditText, 0x80000, 274, 0, 0, 0, false, false, false},
        {kItemListBox, 0x40000, 353, 0, 0, 0, false, false, false},
        {kItemStaticText, 0x40000, 288, 0, 0, 0, false, true, false},
        {kItemIconButton, 0x40000 | 32516, 33, 32516, 0x200, 0, false, false, false},
        {kItemIconButton, 0x20000 | 1, 32, 1, 0, 0, false, false, false},
        {kItemToggleButton, 0x40000, 64, 1, 0, 1, false, false, false},
        {kItemTabs, 0x20000, 129, 0, 0, 0, false, false, false},
        {kItemTabs, 0x40000, 128, 0, 0, 0, false, false, true},
        {kItemIcon, 0x10000 | 32515, 321, 0, 0, int16_t(32515), true, false, false},
        {kItemPushButton, 0, 368, 1, 0, 0, false, false, false},
    };
    for (const Case& c : cases) {
        ItemCreation made{};
        ASSERT_TRUE(ItemCreationFor(c.kind, c.flags, &made)) << c.kind;
        EXPECT_EQ(made.definition, c.definition) << c.kind;
        EXPECT_EQ(made.maximum, c.maximum) << c.kind;
        EXPECT_EQ(made.minimum, c.minimum) << c.kind;
        EXPECT_EQ(made.value, c.value) << c.kind;
        EXPECT_EQ(made.hidden, c.hidden) << c.kind;
        EXPECT_EQ(made.rightJustified, c.right) << c.kind;
        EXPECT_EQ(made.boundsAreTheControl, c.controlBounds) << c.kind;
    }
    ItemCreation none{};
    EXPECT_FALSE(ItemCreationFor(kItemUserPane, 0, &none));
}

TEST(DialogItemRulesTest, EditCommands) {
    // A selection of 2..5, no clipboard text.
    EXPECT_TRUE(EditCommandActs(kEditCommandCut, 0, 2, 5, false));
    EXPECT_TRUE(EditCommandActs(kEditCommandCopy, 0, 2, 5, false));
    EXPECT_TRUE(EditCommandActs(kEditCommandClear, 0, 2, 5, false));
    EXPECT_FALSE(EditCommandActs(kEditCommandPaste, 0, 2, 5, false));
    EXPECT_TRUE(EditCommandActs(kEditCommandPaste, 0, 3, 3, true));
    EXPECT_FALSE(EditCommandActs(kEditCommandCut, 0, 3, 3, true));
    EXPECT_FALSE(EditCommandActs(kEditCommandClear, 0, 3, 3, true));
    for (int32_t c : {kEditCommandCut, kEditCommandCopy, kEditCommandPaste, kEditCommandClear})
        EXPECT_FALSE(EditCommandActs(c, 2, 0, 5, true)) << c; // the password field
    EXPECT_EQ(EditCommandTag(kEditCommandClear), FourCC("CLER"));
    EXPECT_EQ(EditCommandTag(kEditCommandCut), FourCC("CUT "));
    EXPECT_EQ(EditCommandTag(kEditCommandPaste), FourCC("PAST"));
    EXPECT_FALSE(EditCommandReportsHit(kEditCommandCopy));
    EXPECT_TRUE(EditCommandReportsHit(kEditCommandClear));
    EXPECT_TRUE(EditCommandRefreshesClipboard(kEditCommandCut));
    EXPECT_FALSE(EditCommandRefreshesClipboard(kEditCommandPaste));
}

TEST(DialogItemRulesTest, SelectionCyclingTabsAndFocus) {
    int32_t end = 400;
    ClampEditSelection(3, &end);
    EXPECT_EQ(end, 255);
    end = 1;
    ClampEditSelection(3, &end);
    EXPECT_EQ(end, 3);
    EXPECT_EQ(NextCheckBoxValue(0, 1), 1);
    EXPECT_EQ(NextCheckBoxValue(1, 1), 0);
    EXPECT_EQ(NextCheckBoxValue(1, 2), 2);
    EXPECT_EQ(NextCheckBoxValue(2, 2), 0);
    int32_t next = -1;
    EXPECT_TRUE(TabSwitchTarget(1, 3, 1, &next));
    EXPECT_EQ(next, 2);
    EXPECT_FALSE(TabSwitchTarget(2, 3, 1, &next));
    EXPECT_FALSE(TabSwitchTarget(0, 3, -1, &next));
    EXPECT_EQ(ItemFocusPart(kItemPushButton), 10);
    EXPECT_EQ(ItemFocusPart(kItemRadioButton), 11);
    EXPECT_EQ(ItemFocusPart(kItemEditText), 5);
    EXPECT_EQ(ItemFocusPart(kItemListBox), 24);
    EXPECT_EQ(ItemFocusPart(kItemStaticText), 0);
    EXPECT_TRUE(ItemSendsFocusEvents(kItemCheckBox));
    EXPECT_FALSE(ItemSendsFocusEvents(kItemListBox));
}

TEST(DialogItemRulesTest, HitOrderPutsContainersLastLastFirst) {
    ItemFixture f;
    f.Add(1, 368, kItemPushButton, {100, 10, 120, 60});
    f.Add(20, 160, kItemGroupBox, {20, 20, 60, 100});
    f.Add(3, 369, kItemCheckBox, {30, 30, 40, 80});
    f.Add(21, 128, kItemTabs, {0, 0, 90, 200});
    DialogItemRecord* order[8];
    int32_t n = ItemHitOrder(&f.list, order, 8);
    ASSERT_EQ(n, 4);
    std::string seen;
    for (int32_t i = 0; i < n; ++i)
        seen += std::to_string(ItemNumber(order[i])) + " ";
    EXPECT_EQ(seen, "1 3 20 21 ");
}

TEST(DialogConfirmTest, ReturnAndEscByOptions) {
    EXPECT_EQ(ConfirmDialogKeyItem(0, kKeyCodeReturn), kConfirmItem);
    EXPECT_EQ(ConfirmDialogKeyItem(0, kKeyCodeEscape), kConfirmCancelItem);
    EXPECT_EQ(ConfirmDialogKeyItem(kConfirmEscIgnored, kKeyCodeEscape), 0);
    EXPECT_EQ(ConfirmDialogKeyItem(kConfirmEscConfirms, kKeyCodeEscape), kConfirmItem);
    EXPECT_EQ(ConfirmDialogKeyItem(kConfirmEscIgnored, kKeyCodeReturn), kConfirmItem);
    EXPECT_EQ(ConfirmDialogKeyItem(0, 'a'), -1);
}

} // namespace
