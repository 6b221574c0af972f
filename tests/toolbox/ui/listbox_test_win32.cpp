// List-box dialog items under Wine: the registered list definition, the
// pane at the item's bounds with rows of the style's line height + 1,
// separators drawn as lines, marks cycled by clicks and drawn from the
// mark picture, focus refused by lists with flag 2 or 8, list actions
// reported as item hits with the row, the entry operations on rows, and
// the pane going with the item. Also the dialog's key path giving special
// keys to an edit field, and a split pane taking a template's extent.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "toolbox/core/menusinit.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/reclist.h"
#include "toolbox/core/windowcreate.h"
#include "toolbox/ui/dialogbuild.h"
#include "toolbox/ui/dialogconfirm.h"
#include "toolbox/ui/dialogentries.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/listboxitem.h"
#include "toolbox/ui/listboxpane.h"
#include "toolbox/ui/listscroll.h"
#include "toolbox/ui/listview.h"
#include "toolbox/ui/taggeddata.h"
#include "toolbox/ui/textstyle.h"
#include "dialog_case_win32.h"
#include "window_pixels_win32.h"

namespace {

constexpr char kSuite[] = "WineListBoxChild";
constexpr int16_t kList = 12, kSecondList = 13, kEdit = 3;
constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;

struct Made {
    WindowObject* dialog;
    DialogItemRecord* list;
    WindowObject* pane;
    ListView* view;
};

Made ListDialog(Seen* seen) {
    Made made{};
    made.dialog = EmptyDialog(seen);
    const Rect16 edit{10, 240, 30, 380}, list{20, 20, 140, 220}, second{150, 20, 250, 220};
    if (!CreateDialogItem(made.dialog, kItemEditText, &edit, "", kEdit, 0) ||
        !CreateDialogItem(made.dialog, kItemListBox, &list, "", kList, 0) ||
        !CreateDialogItem(made.dialog, kItemListBox, &second, "", kSecondList,
                          kItemFlagListVariant))
        ExitProcess(kChildCaseFailedExit);
    made.list = DialogItemByNumber(made.dialog, kList, nullptr);
    made.pane = ListBoxPaneOf(made.list);
    made.view = made.pane ? ListViewOf(made.pane) : nullptr;
    if (!made.view) ExitProcess(kChildCaseFailedExit);
    ShowWindow(DialogNativeWindow(made.dialog), SW_SHOW);
    SetForegroundWindow(DialogNativeWindow(made.dialog));
    return made;
}

void Pump() {
    for (int i = 0; i < 20; ++i)
        EventLoopStep(0.01, nullptr, 0);
}

Rect16 PaneArea(const Made& made);

// A click on a row, at its place in the dialog's window.
void ClickRow(const Made& made, int32_t row) {
    Rect16 r = ListRowRect(made.view, row), content = RowWindowContent(made.pane);
    Rect16 area = PaneArea(made);
    POINT at{area.left + (r.left - content.left) + 20, area.top + (r.top - content.top) + 2};
    HWND native = DialogNativeWindow(made.dialog);
    SetForegroundWindow(native);
    Pump();
    ClientToScreen(native, &at);
    SetCursorPos(at.x, at.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Pump();
    Sleep(DWORD(GetDoubleClickTime()) + 20); // the next click is no double click
}

// The hits reported by the item, as (part, row).
std::vector<int32_t> HitRows(const Seen& seen, int16_t item) {
    std::vector<int32_t> rows;
    for (const WindowEvent& e : seen.events)
        if (e.type == kWindowEventControl && int16_t(e.control.item & 0xFFFF) == item)
            rows.push_back(e.control.value);
    return rows;
}

// The pane's area in the dialog's coordinates (its frame and bar inside).
Rect16 PaneArea(const Made& made) {
    return static_cast<PaneRecord*>(made.pane->pane)->localRect;
}

// Whether some pixel row inside the pane is black across most of its
// width (a separator line).
bool HasLineAcross(const Made& made) {
    WindowPixels pixels = ReadWindowPixels(DialogNativeWindow(made.dialog));
    Rect16 a = PaneArea(made);
    int width = a.right - a.left - kDefaultBarThickness - 2;
    for (int y = a.top + 1; y < a.bottom - 1; ++y)
        if (pixels.Count(a.left + 1, y, width, 1, kBlack) > width * 4 / 5) return true;
    return false;
}

TEST(WineListBoxChild, RowsFocusMarksAndHits) {
    if (!IsChildCase("RowsFocusMarksAndHits")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    EXPECT_EQ(FindControlDefinition(352), &ListBoxDefProc);
    EXPECT_EQ(FindControlDefinition(367), &ListBoxDefProc);
    // The toolbox start-up registers it again beside the edit text.
    EXPECT_EQ(ToolboxStart().registerControlDefinitions, &RegisterListBoxDefinition);
    Seen seen;
    Made made = ListDialog(&seen);
    ASSERT_EQ(made.list->control->nativeWindow, nullptr); // self-drawn
    void* kept = nullptr;
    EXPECT_EQ(TaggedDataGet(made.list->taggedData, kItemTagListWindow, &kept, int32_t(sizeof kept)),
              int32_t(sizeof(void*)));
    EXPECT_EQ(kept, made.pane);
    // The pane lies at the control's bounds; rows are a line + 1 high.
    Rect16 area = PaneArea(made);
    EXPECT_EQ(area.top, 20);
    EXPECT_EQ(area.left, 20);
    EXPECT_EQ(area.bottom, 140);
    EXPECT_EQ(area.right, 220);
    FontMetricsRecord m{};
    TextStyleMetrics(ListBoxStateOf(made.list)->style, &m);
    EXPECT_EQ(made.view->model.rowHeight,
              ListBoxRowHeight(m.ascent, m.descent, m.externalLeading));
    // Rows: in place, sorted, texts, a separator.
    EXPECT_EQ(InsertItemEntry(made.dialog, kList, "Alpha", -1), 0);
    EXPECT_EQ(InsertItemEntry(made.dialog, kList, "Gamma", 5), 1);
    EXPECT_EQ(InsertItemEntrySorted(made.dialog, kList, "beta"), 1);
    EXPECT_EQ(InsertItemEntry(made.dialog, kList, "-", 2), 2);
    EXPECT_EQ(ItemEntryCount(made.dialog, kList), 4);
    char text[kItemTextRoom];
    EXPECT_EQ(GetItemEntryText(made.dialog, kList, 1, text), 4);
    EXPECT_STREQ(text, "beta");
    EXPECT_EQ(FindItemEntry(made.dialog, kList, "Gamma"), 3);
    EXPECT_EQ(FindItemEntry(made.dialog, kList, "Delta"), -1);
    EXPECT_EQ(GetItemEntryText(made.dialog, kList, 4, text), 0);
    ListBoxRow row{};
    ASSERT_TRUE(ListBoxGetRow(made.list, 2, &row));
    EXPECT_TRUE(row.flags & kRowSeparator);
    EXPECT_TRUE(SetItemEntryValue(made.dialog, kList, 3, -7));
    EXPECT_EQ(GetItemEntryValue(made.dialog, kList, 3), -7);
    EXPECT_FALSE(SetItemEntryValue(made.dialog, kList, 9, 1));
    // The separator draws as a line; a list without one has none.
    InsertItemEntry(made.dialog, kSecondList, "Alpha", -1);
    UpdateWindow(DialogNativeWindow(made.dialog));
    Pump();
    EXPECT_TRUE(HasLineAcross(made));
    Made second = made;
    second.list = DialogItemByNumber(made.dialog, kSecondList, nullptr);
    second.pane = ListBoxPaneOf(second.list);
    EXPECT_FALSE(HasLineAcross(second));
    // Focus: a plain list takes it, flags 2 or 8 never do.
    EXPECT_EQ(SetDialogFocusItem(made.dialog, kList), 1);
    EXPECT_EQ(GetFocusedDialogItem(made.dialog), kList);
    // A list action reports a hit with the row: a click, then a key.
    seen.events.clear();
    ClickRow(made, 1);
    EXPECT_EQ(GetItemSelection(made.dialog, kList), 1);
    PressKey(DialogNativeWindow(made.dialog), VK_DOWN);
    EXPECT_EQ(GetItemSelection(made.dialog, kList), 2);
    EXPECT_EQ(HitRows(seen, kList), (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(SetItemSelection(made.dialog, kList, 3));
    EXPECT_EQ(GetItemSelection(made.dialog, kList), 3);
    EXPECT_FALSE(SetItemSelection(made.dialog, kList, 4));
    for (uint32_t refusing : {kListBoxNoSelection, kListBoxCycleMarks}) {
        SetListItemOptions(made.dialog, kList, refusing);
        EXPECT_EQ(SetDialogFocusItem(made.dialog, kEdit), 1);
        EXPECT_EQ(SetDialogFocusItem(made.dialog, kList), 0) << refusing;
        EXPECT_EQ(GetFocusedDialogItem(made.dialog), kEdit);
    }
    // Marks: flags 8 and 0x10 turn 3 into 4 and 4 into 2; the click is a
    // hit with the row; a disabled row keeps its mark.
    EXPECT_EQ(SetListItemOptions(made.dialog, kList, kListBoxCycleMarks | kListBoxThreeStates),
              int32_t(kListBoxCycleMarks));
    EXPECT_TRUE(SetItemEntryMark(made.dialog, kList, 0, kMarkSecond));
    seen.events.clear();
    ClickRow(made, 0);
    EXPECT_EQ(GetItemEntryMark(made.dialog, kList, 0), kMarkThird);
    ClickRow(made, 0);
    EXPECT_EQ(GetItemEntryMark(made.dialog, kList, 0), kMarkNewRow);
    EXPECT_EQ(HitRows(seen, kList), (std::vector<int32_t>{0, 0}));
    SetListItemOptions(made.dialog, kList, kListBoxCycleMarks | kListBoxFirstMarkFive);
    ClickRow(made, 3);
    EXPECT_EQ(GetItemEntryMark(made.dialog, kList, 3), kMarkFirstAlternative);
    EXPECT_TRUE(SetItemEntryEnabled(made.dialog, kList, 0, false));
    ClickRow(made, 0);
    EXPECT_EQ(GetItemEntryMark(made.dialog, kList, 0), kMarkNewRow);
    // The mark picture's cell is drawn 2 pixels in from the row's corner.
    UpdateWindow(DialogNativeWindow(made.dialog));
    Pump();
    WindowPixels pixels = ReadWindowPixels(DialogNativeWindow(made.dialog));
    Rect16 first = ListRowRect(made.view, 0), content = RowWindowContent(made.pane);
    int x = area.left + (first.left - content.left) + kMarkInset;
    int y = area.top + (first.top - content.top) + kMarkInset;
    int inked = kMarkCellSize * kMarkCellSize - pixels.Count(x, y, kMarkCellSize, kMarkCellSize, kWhite);
    EXPECT_GT(inked, 0);
    EXPECT_LT(inked, kMarkCellSize * kMarkCellSize);
    // Row 1 has no mark: its cell stays white.
    EXPECT_EQ(pixels.Count(x, y + made.view->model.rowHeight, kMarkCellSize, kMarkCellSize, kWhite),
              kMarkCellSize * kMarkCellSize);
    // New rows carry mark 2 with flag 4; typing selects with flag 0x40.
    SetListItemOptions(made.dialog, kSecondList, kListBoxNewRowsMarked | kListBoxTypeSelect);
    EXPECT_EQ(InsertItemEntry(made.dialog, kSecondList, "Zulu", -1), 1);
    EXPECT_EQ(GetItemEntryMark(made.dialog, kSecondList, 1), kMarkNewRow);
    EXPECT_EQ(SetDialogFocusItem(made.dialog, kSecondList), 1);
    PressKey(DialogNativeWindow(made.dialog), 'Y');
    EXPECT_EQ(GetItemSelection(made.dialog, kSecondList), 1);
    // Wrong kinds and missing numbers.
    EXPECT_EQ(ItemEntryCount(made.dialog, kEdit), 0);
    EXPECT_EQ(SetListItemOptions(made.dialog, kEdit, 1), 0);
    EXPECT_EQ(GetItemSelection(made.dialog, 99), -1);
    Finish();
}

TEST(WineListBoxChild, ThePaneFollowsTheItem) {
    if (!IsChildCase("ThePaneFollowsTheItem")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    Made made = ListDialog(&seen);
    auto* pane = static_cast<PaneRecord*>(made.pane->pane);
    EXPECT_TRUE(IsPaneShown(pane));
    SetDialogItemShown(made.dialog, kList, false);
    EXPECT_FALSE(IsPaneShown(pane));
    SetDialogItemsVisible(made.dialog, false, false);
    SetDialogItemShown(made.dialog, kList, true);
    EXPECT_FALSE(IsPaneShown(pane)); // all items stay hidden
    SetDialogItemsVisible(made.dialog, true, false);
    EXPECT_TRUE(IsPaneShown(pane));
    // New bounds move and size the pane.
    const Rect16 moved{30, 40, 200, 260};
    ASSERT_TRUE(SetDialogItemBounds(made.dialog, kList, &moved));
    Rect16 area = PaneArea(made);
    EXPECT_EQ(area.top, moved.top);
    EXPECT_EQ(area.left, moved.left);
    EXPECT_EQ(area.bottom, moved.bottom);
    EXPECT_EQ(area.right, moved.right);
    // A disabled list ignores clicks and keys.
    InsertItemEntry(made.dialog, kList, "Alpha", -1);
    DialogItemEnable(made.dialog, kList, false);
    ClickRow(made, 0);
    EXPECT_EQ(GetItemSelection(made.dialog, kList), -1);
    DialogItemEnable(made.dialog, kList, true);
    ClickRow(made, 0);
    EXPECT_EQ(GetItemSelection(made.dialog, kList), 0);
    // The script's value action selects a row.
    InsertItemEntry(made.dialog, kList, "Beta", -1);
    EXPECT_TRUE(SetDialogItemValue(made.dialog, kList, 1));
    EXPECT_EQ(GetDialogItemValue(made.dialog, kList), 1);
    // Releasing the attachments closes the pane; the item forgets it.
    int32_t paneId = made.pane->sequence;
    DisposeItemAttachments(made.list);
    EXPECT_EQ(WindowObjectFromId(paneId), nullptr);
    EXPECT_EQ(ListBoxPaneOf(made.list), nullptr);
    EXPECT_EQ(ItemEntryCount(made.dialog, kList), 0);
    EXPECT_EQ(InsertItemEntry(made.dialog, kList, "x", 0), -1);
    // The second list's pane goes with its dialog.
    int32_t secondId = ListBoxPaneOf(DialogItemByNumber(made.dialog, kSecondList, nullptr))->sequence;
    DisposeWindowObject(made.dialog);
    EXPECT_EQ(WindowObjectFromId(secondId), nullptr);
    Finish();
}

TEST(WineListBoxChild, SpecialKeysReachTheFocusedEditField) {
    if (!IsChildCase("SpecialKeysReachTheFocusedEditField"))
        GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    Made made = ListDialog(&seen);
    ASSERT_TRUE(DialogItemSetText(made.dialog, kEdit, "abcd"));
    ASSERT_TRUE(SetEditItemSelection(made.dialog, kEdit, 4, 4));
    HWND native = DialogNativeWindow(made.dialog);
    PressKey(native, VK_LEFT);
    PressKey(native, VK_LEFT);
    PressKey(native, 'X');
    char text[kItemTextRoom];
    DialogItemGetText(made.dialog, kEdit, text);
    EXPECT_STREQ(text, "abxcd");
    Finish();
}

TEST(WineListBoxChild, ASplitPaneTakesTheTemplatesExtent) {
    if (!IsChildCase("ASplitPaneTakesTheTemplatesExtent")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = EmptyDialog(&seen);
    Rect16 r{0, 0, 280, 400};
    WindowObject* top = NewPaneWindow(5, 0, 0, dialog, &r, nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    SelectWindowObject(top);
    WindowObject* split = NewSplitPaneWindow(5, 0, 0, top, 200, kSplitVertical, nullptr, nullptr);
    ASSERT_NE(split, nullptr);
    WindowProperty* property =
        LinkWindowProperty(split, kDialogPropertyTag, int32_t(sizeof(ToolboxDialogRecord)));
    ASSERT_NE(property, nullptr);
    static_cast<ToolboxDialogRecord*>(WindowPropertyData(property))->items.dialog = split;
    XDlgTemplate* tmpl = LoadDialogTemplate(kConfirmTemplate);
    ASSERT_NE(tmpl, nullptr);
    int16_t height = int16_t(tmpl->bounds.bottom - tmpl->bounds.top);
    DisposeDialogTemplate(tmpl);
    AddTemplateItemsToDialog(split, kConfirmTemplate, 0, 0, kAddItemsResize);
    const Rect16& l = static_cast<PaneRecord*>(split->pane)->localRect;
    EXPECT_EQ(l.bottom - l.top, height);
    EXPECT_EQ(GetDialogItemKind(split, 1), kItemPushButton);
    Finish();
}

TEST(WineListBox, RowsFocusMarksAndHits) {
    EXPECT_EQ(RunChildCase(kSuite, "RowsFocusMarksAndHits"), 0);
}
TEST(WineListBox, ThePaneFollowsTheItem) {
    EXPECT_EQ(RunChildCase(kSuite, "ThePaneFollowsTheItem"), 0);
}
TEST(WineListBox, SpecialKeysReachTheFocusedEditField) {
    EXPECT_EQ(RunChildCase(kSuite, "SpecialKeysReachTheFocusedEditField"), 0);
}
TEST(WineListBox, ASplitPaneTakesTheTemplatesExtent) {
    EXPECT_EQ(RunChildCase(kSuite, "ASplitPaneTakesTheTemplatesExtent"), 0);
}

} // namespace
