// Dialogs under Wine: building from templates (items at their bounds, the
// first focus, the default button, background and idle interval, null for
// a missing template or a dialog closed on its open event, a template
// without items), the modal run (variant, disabled windows, depth, the
// result slot), the confirmation dialog and the progress window, answered
// through the modal script. Each case runs in a process of its own.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "toolbox/core/alerts.h"
#include "toolbox/core/child_process_win32.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/menurecord.h"
#include "toolbox/core/modalstate.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/native_fixture_win32.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowidle.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/controlrules.h"
#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialogbuild.h"
#include "toolbox/ui/dialogconfirm.h"
#include "toolbox/ui/dialogentries.h"
#include "toolbox/ui/dialogkeys.h"
#include "toolbox/ui/dialoglayer.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/gditext_win32.h"
#include "toolbox/ui/modalscript.h"
#include "toolbox/ui/progressgeometry.h"
#include "toolbox/ui/textrecord.h"
#include "dialog_case_win32.h"

namespace {

constexpr char kSuite[] = "WineDialogChild";

int16_t OpenItem(const Seen& seen) {
    for (const WindowEvent& e : seen.events)
        if (e.type == kWindowEventSelectItem) return e.select.item;
    return -1;
}

TEST(WineDialogChild, BuildsTheTemplatesItems) {
    if (!IsChildCase("BuildsTheTemplatesItems")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = CreateDialogFromTemplate(kConfirmTemplate, kDialogVariantMovable, 0, 2,
                                                    nullptr, &Recorder, &seen);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(OpenItem(seen), 0); // no edit text, no list
    EXPECT_EQ(GetDialogItemKind(dialog, 1), kItemPushButton);
    EXPECT_EQ(GetDialogItemKind(dialog, 3), kItemStaticText);
    EXPECT_EQ(GetDialogItemKind(dialog, 4), kItemIcon);
    EXPECT_EQ(GetDialogItemKind(dialog, 5), kItemNone);
    Rect16 bounds{};
    ASSERT_TRUE(GetDialogItemBounds(dialog, 1, &bounds));
    int32_t s = TemplateDpi();
    EXPECT_EQ(bounds.top, ScaleTemplateValue(70)) << s;
    EXPECT_EQ(bounds.left, ScaleTemplateValue(306));
    EXPECT_EQ(bounds.bottom - bounds.top, ScaleTemplateValue(22));
    DialogItemRecord* ok = DialogItemByNumber(dialog, 1, nullptr);
    ASSERT_NE(ok, nullptr);
    uint8_t mark = 0;
    int32_t length = 0;
    ControlGetData(ok->control, 0, kTagDefault, 1, &mark, &length);
    EXPECT_EQ(mark, 1);
    EXPECT_TRUE(GetWindowLongA(static_cast<HWND>(ok->control->nativeWindow), GWL_STYLE) &
                BS_DEFPUSHBUTTON);
    char text[kItemTextRoom];
    EXPECT_EQ(DialogItemGetText(dialog, 1, text), 7);
    EXPECT_STREQ(text, "Confirm");
    void* previous = MakeWindowCurrentPort(dialog);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(GetBackgroundColourValue(),
              uint32_t(GetRValue(face)) << 16 | uint32_t(GetGValue(face)) << 8 | GetBValue(face));
    DrawingLayer().setCurrentPort(previous);
    EXPECT_EQ(WindowIdleInterval(static_cast<PortRecord*>(dialog->port)), CaretBlinkTicks());
    EXPECT_TRUE(IsWindowVisible(DialogNativeWindow(dialog)));
    EXPECT_TRUE(IsWindowVisible(static_cast<HWND>(ok->control->nativeWindow)));
    // The close box dismisses with item 2.
    int32_t id = dialog->sequence;
    SendWindowCloseEvent(dialog, false);
    EXPECT_EQ(seen.slot, 2);
    EXPECT_EQ(WindowObjectFromId(id), nullptr);
    Finish();
}

TEST(WineDialogChild, DialogsThatCannotBeBuilt) {
    if (!IsChildCase("DialogsThatCannotBeBuilt")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    EXPECT_EQ(
        CreateDialogFromTemplate(4711, kDialogVariantMovable, 0, 0, nullptr, &Recorder, &seen),
        nullptr);
    EXPECT_TRUE(seen.events.empty());
    seen.closeOnOpen = true;
    int32_t before = WindowIdCount();
    EXPECT_EQ(CreateDialogFromTemplate(kConfirmTemplate, kDialogVariantMovable, 0, 0, nullptr,
                                       &Recorder, &seen),
              nullptr);
    EXPECT_EQ(WindowIdCount(), before);
    EXPECT_EQ(RunModalDialog(4711, 0, &Recorder, &seen), nullptr);
    // A template without items: a dialog without items, first focus 0.
    const uint8_t bytes[] = {20, 0, 20, 0, 100, 0, 200, 0, 0, 0, 0, 0, 'E', 0};
    XDlgTemplate* empty = ParseDialogTemplate(bytes, sizeof bytes);
    ASSERT_NE(empty, nullptr);
    Seen plain;
    WindowObject* dialog = CreateDialogFromLoadedTemplate(empty, 0, kDialogVariantMovable, 0, 0,
                                                          nullptr, &Recorder, &plain);
    DisposeDialogTemplate(empty);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(OpenItem(plain), 0);
    EXPECT_EQ(DialogRecordOf(dialog)->items.head, nullptr);
    DisposeWindowObject(dialog);
    Finish();
}

// An empty dialog with items made by code.
WindowObject* CodeDialog(Seen* seen) {
    WindowObject* dialog = EmptyDialog(seen);
    struct Made {
        DialogItemKind kind;
        int16_t number;
        Rect16 bounds;
        const char* text;
        uint32_t flags;
    } items[] = {
        {kItemPushButton, 1, {200, 300, 222, 380}, "OK", 0},
        {kItemPushButton, 4, {200, 200, 222, 280}, "Other", 0},
        {kItemEditText, 3, {10, 10, 30, 200}, "", 0},
        {kItemRadioButton, 5, {40, 10, 56, 150}, "A", 0},
        {kItemRadioButton, 6, {60, 10, 76, 150}, "B", 0},
        {kItemRadioButton, 7, {80, 10, 96, 150}, "C", 0},
        {kItemCheckBox, 8, {100, 10, 116, 150}, "Check", 0},
        {kItemStaticText, 10, {120, 10, 136, 150}, "Label", 0},
        {kItemScrollBar, 11, {10, 210, 110, 226}, "", 0},
    };
    for (const Made& m : items)
        if (!CreateDialogItem(dialog, m.kind, &m.bounds, m.text, m.number, m.flags))
            ExitProcess(kChildCaseFailedExit);
    return dialog;
}

TEST(WineDialogChild, ItemOperations) {
    if (!IsChildCase("ItemOperations")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = CodeDialog(&seen);
    char text[kItemTextRoom];
    // Texts stop at 255; wrong kinds and missing numbers give 0.
    std::string longText(300, 'x');
    EXPECT_TRUE(DialogItemSetText(dialog, 3, longText.c_str()));
    EXPECT_EQ(DialogItemGetText(dialog, 3, text), 255);
    EXPECT_TRUE(DialogItemSetText(dialog, 1, "Go"));
    EXPECT_EQ(DialogItemGetText(dialog, 1, text), 2);
    EXPECT_EQ(DialogItemGetText(dialog, 99, text), 0);
    EXPECT_FALSE(SetChoiceItemValue(dialog, 1, 1));
    EXPECT_EQ(GetChoiceItemValue(dialog, 99), 0);
    EXPECT_EQ(CycleCheckBoxItem(dialog, 5), 0);
    // The selection's end is clamped to 255 and never before the start.
    int32_t start = -1, end = -1;
    EXPECT_TRUE(SetEditItemSelection(dialog, 3, 5, 400));
    GetEditItemSelection(dialog, 3, &start, &end);
    EXPECT_EQ(start, 5);
    EXPECT_EQ(end, 255);
    SetEditItemSelection(dialog, 3, 10, 2);
    GetEditItemSelection(dialog, 3, &start, &end);
    EXPECT_EQ(end, 10);
    EXPECT_EQ(GetFocusedDialogItem(dialog), 3);
    // Reading numbers through the item.
    DialogItemSetText(dialog, 3, "12ab");
    int32_t number = 0;
    EXPECT_TRUE(ReadDialogItemNumber(dialog, 3, 0, 100, false, &number));
    EXPECT_EQ(number, 12);
    DialogItemGetText(dialog, 3, text);
    EXPECT_STREQ(text, "12");
    // Check boxes wrap past their maximum; radio groups keep one on.
    EXPECT_EQ(CycleCheckBoxItem(dialog, 8), 1);
    EXPECT_EQ(CycleCheckBoxItem(dialog, 8), 0);
    ControlSetMaximum(DialogItemByNumber(dialog, 8, nullptr)->control, 2);
    EXPECT_EQ(CycleCheckBoxItem(dialog, 8), 1);
    EXPECT_EQ(CycleCheckBoxItem(dialog, 8), 2);
    EXPECT_EQ(CycleCheckBoxItem(dialog, 8), 0);
    EXPECT_TRUE(SelectRadioItem(dialog, 6));
    EXPECT_TRUE(SelectRadioItem(dialog, 7));
    EXPECT_EQ(GetChoiceItemValue(dialog, 6), 0);
    EXPECT_EQ(GetChoiceItemValue(dialog, 7), 1);
    EXPECT_EQ(GetChoiceItemValue(dialog, 5), 0);
    // Focus: kinds that take it, the events of those that send them.
    EXPECT_EQ(SetDialogFocusItem(dialog, 10), 0);
    EXPECT_EQ(GetFocusedDialogItem(dialog), 3);
    seen.events.clear();
    EXPECT_EQ(SetDialogFocusItem(dialog, 4), 1);
    EXPECT_EQ(GetFocusedDialogItem(dialog), 4);
    EXPECT_EQ(CountEvents(seen, kWindowEventDialogOther, 3), 1);
    EXPECT_EQ(CountEvents(seen, kWindowEventDialogOther, 4), 1);
    // Disabling all, then enabling one, leaves it disabled.
    EXPECT_TRUE(SetDialogItemsEnabled(dialog, false, true));
    EXPECT_FALSE(SetDialogItemsEnabled(dialog, false, true));
    DialogItemEnable(dialog, 4, true);
    EXPECT_FALSE(DialogItemGetState(dialog, 4));
    EXPECT_FALSE(PressDialogButton(dialog, 4)); // disabled
    EXPECT_FALSE(SetDialogItemsEnabled(dialog, true, true));
    EXPECT_TRUE(DialogItemGetState(dialog, 4));
    DialogItemEnable(dialog, 8, false);
    SetDialogItemsEnabled(dialog, false, true);
    SetDialogItemsEnabled(dialog, true, true);
    EXPECT_FALSE(DialogItemGetState(dialog, 8)); // its own flag holds
    EXPECT_TRUE(SetDialogItemsVisible(dialog, false, true));
    SetDialogItemShown(dialog, 4, true);
    EXPECT_FALSE(IsWindowVisible(
        static_cast<HWND>(DialogItemByNumber(dialog, 4, nullptr)->control->nativeWindow)));
    EXPECT_FALSE(SetDialogItemsVisible(dialog, true, true));
    // Pressing: only enabled push buttons, shown pressed for 8 ticks, then
    // the hit.
    EXPECT_FALSE(PressDialogButton(dialog, 10));
    seen.events.clear();
    DWORD before = GetTickCount();
    EXPECT_TRUE(PressDialogButton(dialog, 4));
    EXPECT_GE(GetTickCount() - before, DWORD(kPressTicks * 1000 / 60 - 20));
    EXPECT_EQ(CountEvents(seen, kWindowEventControl, 4), 1);
    // A scroll-bar item steps the number it drives within 0 and its maximum.
    ControlSetMaximum(DialogItemByNumber(dialog, 11, nullptr)->control, 50);
    WindowEvent hit{};
    hit.type = kWindowEventControl;
    hit.control.item = MakeItemWord(11, kItemScrollBar, 0);
    hit.control.kind = kItemScrollBar;
    hit.control.part = 3;
    int32_t value = 48;
    EXPECT_TRUE(HandleScrollItemClick(dialog, &hit, 1, 10, &value));
    EXPECT_EQ(value, 50);
    EXPECT_EQ(GetDialogItemValue(dialog, 11), 50);
    hit.control.part = 0;
    EXPECT_TRUE(HandleScrollItemClick(dialog, &hit, 1, 10, &value));
    EXPECT_EQ(value, 49);
    DisposeWindowObject(dialog);
    Finish();
}

// What a thread timer saw while the modal run went on.
struct DuringRun {
    int32_t depth = 0;
    bool frameEnabled = true;
};
DuringRun g_during;
void CALLBACK WatchRun(HWND, UINT, UINT_PTR, DWORD) {
    if (ModalDepth() > g_during.depth) {
        g_during.depth = ModalDepth();
        g_during.frameEnabled = IsWindowEnabled(FrameWindowHandle()) != 0;
    }
}

ModalStep DialogStep(int32_t number, std::vector<ModalAction> actions) {
    return {kModalToolboxDialog, number, actions, false, ""};
}

TEST(WineDialogChild, ModalRunsEndThroughTheScript) {
    if (!IsChildCase("ModalRunsEndThroughTheScript")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    UINT_PTR watch = SetTimer(nullptr, 0, 10, &WatchRun);
    SetMenuBarUpdateFlag(0);
    // Esc ends with item 2 through the default keys; the slot holds it.
    Seen seen;
    ModalScriptPush(DialogStep(kConfirmTemplate, {{kModalSendKey, 0, kKeyCodeEscape, ""}}));
    EXPECT_EQ(RunModalDialog(kConfirmTemplate, kModalOptionFixed, &Recorder, &seen), nullptr);
    KillTimer(nullptr, watch);
    EXPECT_EQ(seen.slot, 2);
    EXPECT_EQ(seen.variant, kDialogVariantFixed);
    EXPECT_EQ(g_during.depth, 1);
    EXPECT_FALSE(g_during.frameEnabled);
    EXPECT_EQ(ModalDepth(), 0);
    EXPECT_TRUE(IsWindowEnabled(FrameWindowHandle()));
    EXPECT_EQ(MenuBarUpdateFlag(), 1);
    // Return ends with item 1.
    Seen second;
    ModalScriptPush(DialogStep(0, {{kModalSendKey, 0, kKeyCodeReturn, ""}}));
    RunModalDialog(kConfirmTemplate, 0, &Recorder, &second);
    EXPECT_EQ(second.slot, 1);
    EXPECT_EQ(second.variant, kDialogVariantMovable);
    EXPECT_EQ(ModalScriptPending(), 0);
    Finish();
}

TEST(WineDialogChild, ConfirmDialog) {
    if (!IsChildCase("ConfirmDialog")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    ModalScriptPush(DialogStep(kConfirmTemplate, {{kModalPress, 1, 0, ""}}));
    EXPECT_TRUE(RunConfirmDialog("Delete 3 nets?", nullptr, nullptr, 0));
    ModalScriptPush(DialogStep(kConfirmTemplate, {{kModalSendKey, 0, kKeyCodeEscape, ""}}));
    EXPECT_FALSE(RunConfirmDialog("Again?", "Yes", "No", 0));
    // Esc does nothing with option 1: the press that follows ends it.
    ModalScriptPush(DialogStep(kConfirmTemplate,
                               {{kModalSendKey, 0, kKeyCodeEscape, ""}, {kModalPress, 1, 0, ""}}));
    EXPECT_TRUE(RunConfirmDialog("Sure?", nullptr, nullptr, kConfirmEscIgnored));
    ModalScriptPush(DialogStep(kConfirmTemplate, {{kModalSendKey, 0, kKeyCodeEscape, ""}}));
    EXPECT_TRUE(RunConfirmDialog("Sure?", nullptr, nullptr, kConfirmEscConfirms));
    ModalScriptPush(DialogStep(kConfirmTemplate, {{kModalSendKey, 0, kKeyCodeReturn, ""}}));
    EXPECT_TRUE(RunConfirmDialog("Sure?", nullptr, nullptr, 0));
    const std::vector<std::string>& log = ModalScriptLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], "dialog 8002 \"\" \"Delete 3 nets?\"");
    Finish();
}

// Clicks the front dialog's item 1 with real input until the run ends.
void CALLBACK ClickItemOne(HWND, UINT, UINT_PTR, DWORD) {
    WindowObject* dialog = FindNextWindowOfKinds(nullptr, kKindDialog, 0);
    DialogItemRecord* item = dialog ? DialogItemByNumber(dialog, 1, nullptr) : nullptr;
    if (!item) return;
    RECT r{};
    GetWindowRect(static_cast<HWND>(item->control->nativeWindow), &r);
    SetForegroundWindow(DialogNativeWindow(dialog));
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

TEST(WineDialogChild, ARealClickPressesAButton) {
    if (!IsChildCase("ARealClickPressesAButton")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    SetWindowPos(FrameWindowHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ModalScriptPush(DialogStep(kConfirmTemplate, {}));
    UINT_PTR clicker = SetTimer(nullptr, 0, 400, &ClickItemOne);
    EXPECT_TRUE(RunConfirmDialog("Click me", nullptr, nullptr, 0));
    KillTimer(nullptr, clicker);
    Finish();
}

TEST(WineDialogChild, AnUnexpectedDialogIsDismissedWithItem2) {
    if (!IsChildCase("AnUnexpectedDialogIsDismissedWithItem2"))
        GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    ModalScriptPush({kModalMessageBox, 0, {}, false, ""});
    EXPECT_FALSE(RunConfirmDialog("Nobody answers", nullptr, nullptr, 0));
    ASSERT_EQ(ModalScriptLog().size(), 1u);
    EXPECT_EQ(ModalScriptLog()[0], "unexpected dialog 8002 \"\" \"Nobody answers\"");
    Finish();
}

WindowObject* FrontDialog() {
    return FindNextWindowOfKinds(nullptr, kKindDialog, 0);
}

TEST(WineDialogChild, ProgressWindow) {
    if (!IsChildCase("ProgressWindow")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    ShowProgressMessage(0, kProgressRedrawText);
    EXPECT_EQ(FrontDialog(), nullptr);
    EXPECT_EQ(ShowProgressMessage(2, "Reading the design"), 1);
    WindowObject* window = FrontDialog();
    ASSERT_NE(window, nullptr);
    Rect16 item{};
    ASSERT_TRUE(GetDialogItemBounds(window, kProgressItem, &item));
    EXPECT_GE(item.right - item.left, kProgressMinTextWidth);
    RECT before{};
    GetWindowRect(DialogNativeWindow(window), &before);
    EXPECT_EQ(ShowProgressMessage(2, "Sorting the connections of all the nets"), 1);
    EXPECT_EQ(FrontDialog(), window);
    RECT after{};
    GetWindowRect(DialogNativeWindow(window), &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    char text[kItemTextRoom];
    DialogItemGetText(window, kProgressItem, text);
    EXPECT_STREQ(text, "Sorting the connections of all the nets");
    ShowProgressMessage(0, "");
    EXPECT_EQ(FrontDialog(), nullptr);
    Finish();
}

// The sweep: every "XDLG" resource of the program built, its items all
// of a kind, dismissed through the script with Esc (item 2 after it for
// dialogs without a cancel button), and written as a BMP for review.
BOOL CALLBACK CollectTemplate(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int32_t>*>(list)->push_back(int32_t(uintptr_t(name)));
    return TRUE;
}

struct Sweep {
    int32_t number = 0;
    int32_t itemsWithoutKind = 0;
    int32_t items = 0;
    bool written = false;
};

int32_t SweepProc(WindowObject* dialog, WindowEvent* event) {
    auto* sweep = static_cast<Sweep*>(dialog->userData);
    if (event->type == kWindowEventSelectItem) {
        for (DialogItemRecord* item = DialogRecordOf(dialog)->items.head; item; item = item->next) {
            ++sweep->items;
            if (ItemKind(item) == kItemNone) ++sweep->itemsWithoutKind;
        }
    }
    if (event->type == kWindowEventDismiss && !sweep->written) {
        sweep->written = true;
        WriteWindowBmp(DialogNativeWindow(dialog), std::string("Z:") + PLV_RESOURCE_DIR +
                                                       "/../dialog_" +
                                                       std::to_string(sweep->number) + ".bmp");
    }
    return 0;
}

constexpr int16_t kUserPaneDefinition = 256;

struct Drawn {
    WindowObject* dialog = nullptr;
    int16_t number = 0;
    int32_t calls = 0;
};
Drawn g_drawn;

void DrawRecorder(WindowObject* dialog, int16_t number) {
    g_drawn.dialog = dialog;
    g_drawn.number = number;
    ++g_drawn.calls;
}

// Swallows x, turns y into z.
int32_t NoXAndYIsZ(WindowObject*, int16_t, int32_t key, bool, int32_t* replacement, WindowEvent*) {
    if (key == 'x') return kFilterSwallow;
    if (key != 'y') return kFilterPass;
    *replacement = 'z';
    return kFilterReplace;
}

TEST(WineDialogChild, ItemProceduresStylesAndAddedTemplates) {
    if (!IsChildCase("ItemProceduresStylesAndAddedTemplates"))
        GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = CodeDialog(&seen);
    TemplateItem userPane{};
    userPane.bounds = {150, 10, 180, 100};
    userPane.definition = kUserPaneDefinition;
    userPane.number = 12;
    ASSERT_TRUE(CreateTemplateItem(dialog, 0, &userPane, 0, 0, true));
    ToolboxControlRecord* pane = DialogItemByNumber(dialog, 12, nullptr)->control;
    // A user item draws through its own procedure; removed, nothing draws.
    EXPECT_FALSE(SetUserItemDrawProc(dialog, 3, &DrawRecorder));
    ASSERT_TRUE(SetUserItemDrawProc(dialog, 12, &DrawRecorder));
    SendControlMessage(pane, kControlDraw, 0);
    EXPECT_EQ(g_drawn.calls, 1);
    EXPECT_EQ(g_drawn.dialog, dialog);
    EXPECT_EQ(g_drawn.number, 12);
    ASSERT_TRUE(SetUserItemDrawProc(dialog, 12, nullptr));
    SendControlMessage(pane, kControlDraw, 0);
    EXPECT_EQ(g_drawn.calls, 1);
    // Key filters only on edit items; null removes one.
    EXPECT_FALSE(SetEditItemFilter(dialog, 1, &NoXAndYIsZ));
    ASSERT_TRUE(SetEditItemFilter(dialog, 3, &NoXAndYIsZ));
    EXPECT_EQ(EditItemFilterOf(dialog, 3), &NoXAndYIsZ);
    ASSERT_TRUE(SetEditItemFilter(dialog, 3, nullptr));
    EXPECT_EQ(EditItemFilterOf(dialog, 3), nullptr);
    // An item's own style, and back to the dialog's.
    DialogItemRecord* label = DialogItemByNumber(dialog, 10, nullptr);
    ControlStyleBlock big{};
    big.flags = kStyleSize;
    big.size = 18;
    ASSERT_TRUE(DialogItemSetTextStyle(dialog, 10, &big));
    EXPECT_TRUE(ItemFlags(label) & kItemFlagOwnStyle);
    ASSERT_TRUE(DialogItemSetTextStyle(dialog, 10, nullptr));
    EXPECT_FALSE(ItemFlags(label) & kItemFlagOwnStyle);
    EXPECT_FALSE(DialogItemSetTextStyle(dialog, 99, &big));
    // A further template's items join the dialog, hidden when asked; a
    // missing template adds nothing.
    std::vector<int32_t> numbers;
    EnumResourceNamesA(nullptr, "XDLG", &CollectTemplate, reinterpret_cast<LONG_PTR>(&numbers));
    ASSERT_FALSE(numbers.empty());
    ToolboxDialogRecord* record = DialogRecordOf(dialog);
    int32_t before = DialogItemCount(&record->items);
    EXPECT_EQ(AddTemplateItemsToDialog(dialog, 32767, 0, 0, 0), 0);
    EXPECT_EQ(DialogItemCount(&record->items), before);
    AddTemplateItemsToDialog(dialog, numbers[0], 300, 0, kAddItemsHidden | kAddItemsResize);
    int32_t added = DialogItemCount(&record->items) - before;
    EXPECT_GT(added, 0);
    int32_t hidden = 0;
    for (DialogItemRecord* item = record->items.head; item; item = item->next)
        if (!(item->control->flags & kControlVisible)) ++hidden;
    EXPECT_EQ(hidden, added);
    XDlgTemplate* tmpl = LoadDialogTemplate(numbers[0]);
    ASSERT_NE(tmpl, nullptr);
    HWND native = DialogNativeWindow(dialog);
    RECT client{};
    GetClientRect(native, &client);
    EXPECT_EQ(client.bottom, tmpl->bounds.bottom - tmpl->bounds.top);
    EXPECT_EQ(client.right, tmpl->bounds.right - tmpl->bounds.left);
    DisposeDialogTemplate(tmpl);
    Finish();
}

bool NeedsDrawingAt(HWND window, int32_t x, int32_t y) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(window, region, FALSE);
    bool inside = PtInRegion(region, x, y) != 0;
    DeleteObject(region);
    return inside;
}

TEST(WineDialogChild, EnablingRedrawsTheChangingItems) {
    if (!IsChildCase("EnablingRedrawsTheChangingItems")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = CodeDialog(&seen);
    HWND native = DialogNativeWindow(dialog);
    ShowWindow(native, SW_SHOW);
    UpdateWindow(native);
    SetEditItemSelection(dialog, 3, 0, 0);
    ASSERT_EQ(GetFocusedDialogItem(dialog), 3);
    // Without the redraw option only the focused item's surroundings (its
    // bounds grown by 6) are to be drawn again: not those of button 1.
    ValidateRect(native, nullptr);
    EXPECT_TRUE(SetDialogItemsEnabled(dialog, false, false));
    EXPECT_TRUE(NeedsDrawingAt(native, 5, 20));     // left of edit item 3
    EXPECT_FALSE(NeedsDrawingAt(native, 295, 210)); // left of button 1
    EXPECT_FALSE(DialogItemGetState(dialog, 1));
    // With it every item changes and is drawn at once.
    ValidateRect(native, nullptr);
    EXPECT_FALSE(SetDialogItemsEnabled(dialog, true, true));
    RECT left{};
    EXPECT_FALSE(GetUpdateRect(native, &left, FALSE));
    for (int16_t number : {1, 3, 4, 8})
        EXPECT_TRUE(DialogItemGetState(dialog, number)) << number;
    // Already in that state: nothing changes.
    EXPECT_TRUE(SetDialogItemsEnabled(dialog, true, false));
    EXPECT_FALSE(GetUpdateRect(native, &left, FALSE));
    Finish();
}

TEST(WineDialogChild, TabsTakeTheirPageNamesAndGrowAroundThePage) {
    if (!IsChildCase("TabsTakeTheirPageNamesAndGrowAroundThePage"))
        GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = CodeDialog(&seen);
    const Rect16 page{40, 240, 160, 420};
    ASSERT_TRUE(CreateDialogItem(dialog, kItemTabs, &page, "One|Two|Three", 20, 0));
    ASSERT_TRUE(CreateDialogItem(dialog, kItemTabs, &page, "Solo", 21, kItemFlagListVariant));
    ToolboxControlRecord* tabs = DialogItemByNumber(dialog, 20, nullptr)->control;
    HWND child = static_cast<HWND>(tabs->nativeWindow);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(SendMessageA(child, TCM_GETITEMCOUNT, 0, 0), 3);
    char name[kTagTabInfoSize] = {};
    ControlGetData(tabs, 2, kTagTabInfo, kTagTabInfoSize, name, nullptr);
    EXPECT_STREQ(name, "Two");
    ControlGetData(tabs, 3, kTagTabInfo, kTagTabInfoSize, name, nullptr);
    EXPECT_STREQ(name, "Three");
    // The bounds given were the page area: the control lies around them.
    Rect16 area{};
    ControlGetData(tabs, 0, kTagRect, int32_t(sizeof area), &area, nullptr);
    EXPECT_EQ(area.top, page.top);
    EXPECT_EQ(area.left, page.left);
    EXPECT_EQ(area.bottom, page.bottom);
    EXPECT_EQ(area.right, page.right);
    EXPECT_LT(tabs->bounds.top, page.top);
    // The item's bounds are the page area, not the control's.
    Rect16 itemBounds{};
    ASSERT_TRUE(GetDialogItemBounds(dialog, 20, &itemBounds));
    EXPECT_EQ(itemBounds.top, page.top);
    EXPECT_EQ(itemBounds.left, page.left);
    EXPECT_EQ(itemBounds.bottom, page.bottom);
    EXPECT_EQ(itemBounds.right, page.right);
    // With the flag they are the control's own.
    ToolboxControlRecord* solo = DialogItemByNumber(dialog, 21, nullptr)->control;
    EXPECT_EQ(solo->bounds.top, page.top);
    EXPECT_EQ(solo->bounds.right, page.right);
    EXPECT_EQ(SendMessageA(static_cast<HWND>(solo->nativeWindow), TCM_GETITEMCOUNT, 0, 0), 1);
    Finish();
}

bool MenuWithIdLives(int16_t id) {
    for (MenuRecord* menu = MenuRecordList(); menu; menu = menu->next)
        if (menu->menuId == id) return true;
    return false;
}

TEST(WineDialogChild, PopupEntries) {
    if (!IsChildCase("PopupEntries")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = CodeDialog(&seen);
    const Rect16 bounds{150, 250, 172, 400};
    ASSERT_TRUE(CreateDialogItem(dialog, kItemPopup, &bounds, "", 30, 0));
    ToolboxControlRecord* popup = DialogItemByNumber(dialog, 30, nullptr)->control;
    // The item's own menu, empty.
    const int16_t menuId = 30 + kPopupItemMenuIdBase;
    EXPECT_TRUE(MenuWithIdLives(menuId));
    EXPECT_EQ(ItemEntryCount(dialog, 30), 0);
    EXPECT_EQ(GetItemSelection(dialog, 30), -1);
    // Inserting at an index, appending, and in order.
    EXPECT_EQ(InsertItemEntry(dialog, 30, "Beta", -1), 0);
    EXPECT_EQ(InsertItemEntry(dialog, 30, "Alpha", 0), 0);
    EXPECT_EQ(InsertItemEntry(dialog, 30, "Gamma", 99), 2);
    EXPECT_EQ(InsertItemEntrySorted(dialog, 30, "bravo"), 2);
    EXPECT_EQ(ItemEntryCount(dialog, 30), 4);
    EXPECT_EQ(ControlGetMaximum(popup), 4);
    char text[kItemTextRoom];
    const char* expected[] = {"Alpha", "Beta", "bravo", "Gamma"};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(GetItemEntryText(dialog, 30, i, text), int32_t(std::strlen(expected[i])));
        EXPECT_STREQ(text, expected[i]);
        EXPECT_EQ(FindItemEntry(dialog, 30, expected[i]), i);
    }
    EXPECT_EQ(FindItemEntry(dialog, 30, "Delta"), -1);
    EXPECT_EQ(GetItemEntryText(dialog, 30, 4, text), 0);
    EXPECT_STREQ(text, "");
    // The selection is the value less one.
    EXPECT_TRUE(SetItemSelection(dialog, 30, 3));
    EXPECT_EQ(ControlGetValue(popup), 4);
    EXPECT_EQ(GetItemSelection(dialog, 30), 3);
    EXPECT_FALSE(SetItemSelection(dialog, 30, 4));
    EXPECT_EQ(GetItemSelection(dialog, 30), 3);
    // Marks, values and faces by entry.
    EXPECT_TRUE(SetItemEntryMark(dialog, 30, 1, 0x12));
    EXPECT_EQ(GetItemEntryMark(dialog, 30, 1), 0x12);
    EXPECT_TRUE(SetItemEntryValue(dialog, 30, 2, 77));
    EXPECT_EQ(GetItemEntryValue(dialog, 30, 2), 77);
    EXPECT_TRUE(SetPopupEntryFace(dialog, 30, 0, 1));
    EXPECT_EQ(GetPopupEntryFace(dialog, 30, 0), 1);
    EXPECT_FALSE(SetItemEntryMark(dialog, 30, -1, 1));
    // Other kinds have no entries.
    EXPECT_EQ(ItemEntryCount(dialog, 1), 0);
    EXPECT_EQ(InsertItemEntry(dialog, 1, "x", 0), -1);
    EXPECT_EQ(GetItemSelection(dialog, 99), -1);
    // The menu goes with the dialog.
    DisposeWindowObject(dialog);
    EXPECT_FALSE(MenuWithIdLives(menuId));
    Finish();
}

// Types the letters into the dialog's window as key presses.
void TypeInto(HWND window, const char* letters) {
    for (const char* c = letters; *c; ++c) {
        UINT key = UINT(std::toupper(static_cast<unsigned char>(*c)));
        LPARAM lParam = 1 | (LPARAM(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16);
        PostMessageA(window, WM_KEYDOWN, key, lParam);
        PostMessageA(window, WM_KEYUP, key, lParam | (LPARAM(3) << 30));
    }
    for (int i = 0; i < 20; ++i)
        EventLoopStep(0.01, nullptr, 0);
}

TEST(WineDialogChild, KeysReachTheFocusedItemThroughItsFilter) {
    if (!IsChildCase("KeysReachTheFocusedItemThroughItsFilter"))
        GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    Seen seen;
    WindowObject* dialog = CodeDialog(&seen);
    HWND native = DialogNativeWindow(dialog);
    ShowWindow(native, SW_SHOW);
    SetForegroundWindow(native);
    SetEditItemSelection(dialog, 3, 0, 0);
    ASSERT_EQ(GetFocusedDialogItem(dialog), 3);
    char text[kItemTextRoom];
    TypeInto(native, "ab");
    DialogItemGetText(dialog, 3, text);
    EXPECT_STREQ(text, "ab");
    EXPECT_GE(CountEvents(seen, kWindowEventControl, 3), 2);
    ASSERT_TRUE(SetEditItemFilter(dialog, 3, &NoXAndYIsZ));
    TypeInto(native, "xyc");
    DialogItemGetText(dialog, 3, text);
    EXPECT_STREQ(text, "abzc");
    Finish();
}

TEST(WineDialogChild, SweepOfEveryTemplate) {
    if (!IsChildCase("SweepOfEveryTemplate")) GTEST_SKIP() << "runs in its own process";
    StartDialogCase();
    std::vector<int32_t> numbers;
    EnumResourceNamesA(nullptr, "XDLG", &CollectTemplate, reinterpret_cast<LONG_PTR>(&numbers));
    ASSERT_GE(numbers.size(), 4u);
    for (int32_t number : numbers) {
        Sweep sweep;
        sweep.number = number;
        ModalScriptPush(DialogStep(
            number, {{kModalSendKey, 0, kKeyCodeEscape, ""}, {kModalDismiss, kItemCancel, 0, ""}}));
        RunModalDialog(number, kModalOptionFixed, &SweepProc, &sweep);
        EXPECT_GT(sweep.items, 0) << number;
        EXPECT_EQ(sweep.itemsWithoutKind, 0) << number;
        EXPECT_TRUE(sweep.written) << number;
    }
    EXPECT_EQ(ModalScriptLog().size(), numbers.size());
    for (const std::string& line : ModalScriptLog())
        EXPECT_EQ(line.find("unexpected"), std::string::npos) << line;
    Finish();
}

TEST(WineDialog, ItemProceduresStylesAndAddedTemplates) {
    EXPECT_EQ(RunChildCase(kSuite, "ItemProceduresStylesAndAddedTemplates"), 0);
}

TEST(WineDialog, EnablingRedrawsTheChangingItems) {
    EXPECT_EQ(RunChildCase(kSuite, "EnablingRedrawsTheChangingItems"), 0);
}

TEST(WineDialog, TabsTakeTheirPageNamesAndGrowAroundThePage) {
    EXPECT_EQ(RunChildCase(kSuite, "TabsTakeTheirPageNamesAndGrowAroundThePage"), 0);
}

TEST(WineDialog, PopupEntries) {
    EXPECT_EQ(RunChildCase(kSuite, "PopupEntries"), 0);
}

TEST(WineDialog, KeysReachTheFocusedItemThroughItsFilter) {
    EXPECT_EQ(RunChildCase(kSuite, "KeysReachTheFocusedItemThroughItsFilter"), 0);
}

TEST(WineDialog, SweepOfEveryTemplate) {
    EXPECT_EQ(RunChildCase(kSuite, "SweepOfEveryTemplate"), 0);
}
TEST(WineDialog, ItemOperations) {
    EXPECT_EQ(RunChildCase(kSuite, "ItemOperations"), 0);
}
TEST(WineDialog, ARealClickPressesAButton) {
    EXPECT_EQ(RunChildCase(kSuite, "ARealClickPressesAButton"), 0);
}
TEST(WineDialog, BuildsTheTemplatesItems) {
    EXPECT_EQ(RunChildCase(kSuite, "BuildsTheTemplatesItems"), 0);
}
TEST(WineDialog, DialogsThatCannotBeBuilt) {
    EXPECT_EQ(RunChildCase(kSuite, "DialogsThatCannotBeBuilt"), 0);
}
TEST(WineDialog, ModalRunsEndThroughTheScript) {
    EXPECT_EQ(RunChildCase(kSuite, "ModalRunsEndThroughTheScript"), 0);
}
TEST(WineDialog, ConfirmDialog) {
    EXPECT_EQ(RunChildCase(kSuite, "ConfirmDialog"), 0);
}
TEST(WineDialog, AnUnexpectedDialogIsDismissedWithItem2) {
    EXPECT_EQ(RunChildCase(kSuite, "AnUnexpectedDialogIsDismissedWithItem2"), 0);
}
TEST(WineDialog, ProgressWindow) {
    EXPECT_EQ(RunChildCase(kSuite, "ProgressWindow"), 0);
}

} // namespace
