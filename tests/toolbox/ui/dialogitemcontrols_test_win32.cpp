// Operations on single dialog items under Wine: unsigned numbers, cutting
// an edit text with its selection, button highlights, scroll-bar items,
// tabs, progress data, the dialog's text style, visiting the items, and
// the item under a point or holding the focus.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "toolbox/ui/controlrules.h"
#include "toolbox/ui/dialogbuild.h"
#include "toolbox/ui/dialogitemcontrols.h"
#include "toolbox/ui/dialogkeys.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/taggeddata.h"
#include "dialog_case_win32.h"

namespace {

constexpr char kSuite[] = "WineDialogItemControlsChild";

int32_t CountUntilFive(WindowObject*, int16_t number, DialogItemKind, void* userData) {
    auto* seen = static_cast<std::vector<int16_t>*>(userData);
    seen->push_back(number);
    return number == 5 ? 55 : 0;
}

int32_t PassEverything(WindowObject*, int16_t, int32_t, bool, int32_t*, WindowEvent*) {
    return kFilterPass;
}

TEST(WineDialogItemControlsChild, SingleItems) {
    if (!IsChildCase("SingleItems")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = EmptyDialog(&seen);
    struct Item {
        DialogItemKind kind;
        int16_t number;
        Rect16 bounds;
        const char* text;
    } items[] = {
        {kItemPushButton, 1, {200, 300, 222, 380}, "OK"},
        {kItemEditText, 3, {10, 10, 30, 200}, ""},
        {kItemRadioButton, 5, {40, 10, 56, 150}, "A"},
        {kItemStaticText, 10, {120, 10, 136, 150}, "Label"},
        {kItemScrollBar, 11, {10, 210, 110, 226}, ""},
        {kItemTabs, 20, {150, 240, 190, 390}, "A|B|C"},
    };
    for (const Item& m : items)
        ASSERT_NE(CreateDialogItem(dialog, m.kind, &m.bounds, m.text, m.number, 0), nullptr);
    // Progress bars come from templates only.
    TemplateItem bar{};
    bar.definition = kDefProgressBar;
    bar.maximum = 100;
    bar.bounds = Rect16{240, 10, 252, 200};
    bar.number = 21;
    ASSERT_NE(CreateTemplateItem(dialog, 0, &bar, 0, 0, true), nullptr);
    // Unsigned numbers and a cut that keeps the focused selection inside.
    ASSERT_TRUE(SetUnsignedDialogItemNumber(dialog, 3, 4000000000u));
    uint32_t unsignedValue = 0;
    ASSERT_TRUE(GetUnsignedDialogItemNumber(dialog, 3, &unsignedValue));
    EXPECT_EQ(unsignedValue, 4000000000u);
    ASSERT_TRUE(SetEditItemSelection(dialog, 3, 1, 6));
    ASSERT_TRUE(TruncateDialogItemText(dialog, 3, 2));
    char text[kItemTextRoom];
    DialogItemGetText(dialog, 3, text);
    EXPECT_STREQ(text, "40");
    int32_t start = 0, end = 0;
    GetEditItemSelection(dialog, 3, &start, &end);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 2);
    EXPECT_FALSE(TruncateDialogItemText(dialog, 10, 1));
    // Button highlights: pressed, cleared; other kinds are left alone.
    DialogItemRecord* ok = DialogItemByNumber(dialog, 1, nullptr);
    ASSERT_TRUE(SetButtonItemHighlight(dialog, 1, kButtonHighlightPressed));
    EXPECT_EQ(ControlGetHilite(ok->control), kHighlightPressed);
    ASSERT_TRUE(SetButtonItemHighlight(dialog, 1, kButtonHighlightNone));
    EXPECT_EQ(ControlGetHilite(ok->control), 0);
    EXPECT_FALSE(SetButtonItemHighlight(dialog, 5, kButtonHighlightValue));
    // Scroll-bar items.
    ASSERT_TRUE(SetScrollItemMaximum(dialog, 11, 50));
    ASSERT_TRUE(SetScrollItemValue(dialog, 11, 20));
    int32_t value = 0, maximum = 0;
    ASSERT_TRUE(GetScrollItemValueAndMax(dialog, 11, &value, &maximum));
    EXPECT_EQ(value, 20);
    EXPECT_EQ(maximum, 50);
    EXPECT_FALSE(GetScrollItemValueAndMax(dialog, 3, &value, &maximum));
    // Tabs count from 0.
    EXPECT_EQ(TabItemCount(dialog, 20), 3);
    EXPECT_EQ(GetCurrentTab(dialog, 20), 0);
    EXPECT_TRUE(SetCurrentTab(dialog, 20, 2));
    EXPECT_EQ(GetCurrentTab(dialog, 20), 2);
    EXPECT_FALSE(SetCurrentTab(dialog, 20, 3));
    EXPECT_EQ(GetCurrentTab(dialog, 3), -1);
    // A progress bar keeps its data.
    ProgressItemData progress{};
    ASSERT_TRUE(GetProgressItemData(dialog, 21, &progress));
    EXPECT_EQ(progress.dialog, dialog);
    EXPECT_EQ(progress.number, 21);
    EXPECT_EQ(progress.maximum, 100);
    // Procedures, windows and records are kept at their full width.
    DialogItemRecord* progressItem = DialogItemByNumber(dialog, 21, nullptr);
    EXPECT_EQ(TaggedDataLength(progressItem->taggedData, kItemTagProgress),
              int32_t(sizeof(ProgressItemData)));
    ASSERT_TRUE(SetEditItemFilter(dialog, 3, &PassEverything));
    EXPECT_EQ(TaggedDataLength(DialogItemByNumber(dialog, 3, nullptr)->taggedData,
                               kItemTagKeyFilter),
              int32_t(sizeof(void*)));
    EXPECT_EQ(EditItemFilterOf(dialog, 3), &PassEverything);
    // Visiting stops at the first non-zero answer.
    std::vector<int16_t> visited;
    EXPECT_EQ(ForEachDialogItem(dialog, &CountUntilFive, &visited), 55);
    EXPECT_EQ(visited.back(), 5);
    // The dialog's style reaches the items without their own.
    ControlStyleBlock own{};
    own.flags = kStyleSize;
    own.size = 14;
    ASSERT_TRUE(DialogItemSetTextStyle(dialog, 10, &own));
    ControlStyleBlock style{};
    style.flags = kStyleSize;
    style.size = 9;
    SetDialogTextStyle(dialog, &style);
    ControlStyleBlock got{};
    ControlGetData(ok->control, 0, kTagFont, kTagFontSize, &got, nullptr);
    EXPECT_EQ(got.size, 9);
    ControlGetData(DialogItemByNumber(dialog, 10, nullptr)->control, 0, kTagFont, kTagFontSize,
                   &got, nullptr);
    EXPECT_EQ(got.size, 14);
    // The item under a point, and the focused one.
    int32_t part = 0;
    EXPECT_EQ(DialogItemAtPoint(Point16{210, 320}, dialog, &part), ok);
    EXPECT_EQ(part, kPartButton);
    EXPECT_EQ(DialogItemAtPoint(Point16{5, 5}, dialog, &part), nullptr);
    EXPECT_EQ(part, 0);
    SetDialogFocusItem(dialog, 3);
    EXPECT_EQ(GetFocusedItemNode(dialog), DialogItemByNumber(dialog, 3, nullptr));
    Finish();
}

void TabCommand(WindowObject* dialog, int16_t command) {
    WindowEvent event{};
    event.type = kWindowEventKeyCommand;
    event.keyCommand.command = command;
    EventDispatchToView(dialog, &event);
}

// The tab hits as (old, new).
std::vector<std::pair<int32_t, int32_t>> TabHits(const Seen& seen) {
    std::vector<std::pair<int32_t, int32_t>> hits;
    for (const WindowEvent& e : seen.events)
        if (e.type == kWindowEventControl && int16_t(e.control.item & 0xFFFF) == 20)
            hits.emplace_back(e.control.part, e.control.value);
    return hits;
}

TEST(WineDialogItemControlsChild, DefaultKeysAndTabKeys) {
    if (!IsChildCase("DefaultKeysAndTabKeys")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = EmptyDialog(&seen);
    const Rect16 ok{200, 300, 222, 380}, cancel{200, 200, 222, 280}, edit{10, 10, 30, 200},
        tabs{60, 10, 180, 200};
    ASSERT_TRUE(CreateDialogItem(dialog, kItemPushButton, &ok, "OK", 1, 0));
    ASSERT_TRUE(CreateDialogItem(dialog, kItemPushButton, &cancel, "Cancel", 2, 0));
    ASSERT_TRUE(CreateDialogItem(dialog, kItemEditText, &edit, "", 3, 0));
    ASSERT_TRUE(CreateDialogItem(dialog, kItemTabs, &tabs, "A|B|C", 20, 0));
    HWND native = DialogNativeWindow(dialog);
    SetForegroundWindow(native);
    // The tab keys go to the next and previous tab, not past the ends.
    TabCommand(dialog, kCommandNextTab);
    TabCommand(dialog, kCommandNextTab);
    TabCommand(dialog, kCommandNextTab);
    TabCommand(dialog, kCommandPreviousTab);
    using Hit = std::pair<int32_t, int32_t>;
    EXPECT_EQ(TabHits(seen), (std::vector<Hit>{{0, 1}, {1, 2}, {2, 1}}));
    // Flag 0x10000, or a focused edit item with its own filter, keeps
    // Return and Esc from pressing.
    int32_t id = dialog->sequence;
    dialog->flags |= kDialogOwnKeys;
    PressKey(native, VK_RETURN);
    PressKey(native, VK_ESCAPE);
    dialog->flags &= ~kDialogOwnKeys;
    ASSERT_TRUE(SetEditItemFilter(dialog, 3, &PassEverything));
    ASSERT_TRUE(SetEditItemSelection(dialog, 3, 0, 0));
    PressKey(native, VK_RETURN);
    EXPECT_EQ(CountEvents(seen, kWindowEventControl, 1), 0);
    EXPECT_EQ(CountEvents(seen, kWindowEventControl, 2), 0);
    ASSERT_EQ(WindowObjectFromId(id), dialog);
    // Without the filter Return presses item 1, which ends the dialog.
    SetEditItemFilter(dialog, 3, nullptr);
    PressKey(native, VK_RETURN);
    EXPECT_EQ(seen.slot, 1);
    EXPECT_EQ(WindowObjectFromId(id), nullptr);
    Finish();
}

TEST(WineDialogItemControls, DefaultKeysAndTabKeys) {
    EXPECT_EQ(RunChildCase(kSuite, "DefaultKeysAndTabKeys"), 0);
}

TEST(WineDialogItemControls, SingleItems) {
    EXPECT_EQ(RunChildCase(kSuite, "SingleItems"), 0);
}

} // namespace
