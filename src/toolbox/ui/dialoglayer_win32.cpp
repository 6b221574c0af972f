// The dialog layer's answers to the window layer: the default keys
// (Return and Execute press item 1, Esc item 2), the focused item's keys
// (Tab order, radio groups, the item's control), the item behaviours of
// hits (check boxes cycle, radio buttons select, toggles flip), focus,
// dismissal and the disposal of all items.
#include <windows.h>

#include <vector>

#include "toolbox/core/edittextdef.h"
#include "toolbox/core/helptaglist.h"
#include "toolbox/core/menusinit.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/reclist.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialogbuild.h"
#include "toolbox/ui/dialogitemcontrols.h"
#include "toolbox/ui/dialogkeys.h"
#include "toolbox/ui/dialoglayer.h"
#include "toolbox/ui/dialogitemrules.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/dialogscroll.h"
#include "toolbox/ui/listboxitem.h"
#include "toolbox/ui/listboxpane.h"
#include "toolbox/ui/taggeddata.h"
#include "toolbox/ui/textrecord.h"
#include "toolbox/ui/textscrap.h"

namespace {

constexpr int32_t kKeyCodeBackTab = 315;

struct KeyOf {
    int32_t code;
    bool special;
    uint8_t modifiers;
};

KeyOf ReadKey(const OsEventRecord* record) {
    WindowEvent event{};
    MakeKeyEvent(record, false, &event);
    return {event.key.character, event.key.special != 0, event.key.modifiers};
}

bool FocusedEditHasFilter(WindowObject* dialog) {
    int16_t focused = GetFocusedDialogItem(dialog);
    DialogItemKind kind = kItemNone;
    DialogItemRecord* item = DialogItemByNumber(dialog, focused, &kind);
    if (!item || kind != kItemEditText) return false;
    return TaggedDataLength(item->taggedData, kItemTagKeyFilter) > 0;
}

bool FilterKey(WindowObject* dialog, const OsEventRecord* record) {
    if (!DialogRecordOf(dialog) || (dialog->flags & kDialogOwnKeys)) return false;
    KeyOf key = ReadKey(record);
    int16_t item = 0;
    if (key.code == kKeyCodeReturn || (key.special && key.code == kKeyCodeExecute))
        item = kItemOk;
    else if (key.code == kKeyCodeEscape)
        item = kItemCancel;
    if (!item || FocusedEditHasFilter(dialog)) return false;
    return PressDialogButton(dialog, item);
}

std::vector<NavItem> NavItems(WindowObject* dialog) {
    std::vector<NavItem> items;
    ToolboxDialogRecord* record = DialogRecordOf(dialog);
    if (!record) return items;
    for (DialogItemRecord* item = record->items.head; item; item = item->next) {
        DialogItemKind kind = ItemKind(item);
        bool focusable = kind == kItemPushButton || kind == kItemCheckBox ||
                         kind == kItemRadioButton || kind == kItemEditText;
        if (kind == kItemListBox) {
            const ListBoxState* state = ListBoxStateOf(item);
            focusable = state && ListBoxTakesFocus(state->options);
        }
        focusable = focusable && (item->control->flags & kControlVisible) &&
                    ControlIsEnabled(item->control);
        items.push_back({ItemNumber(item), kind == kItemRadioButton,
                         kind == kItemRadioButton && ControlGetValue(item->control) != 0,
                         focusable});
    }
    return items;
}

// The highest key code the controls' key message carries.
constexpr int32_t kControlKeyLimit = 0xFF;

// An edit item's key filter (its own, else the default) decides what its
// control gets: false when the key goes on to the dialog instead.
bool FilterEditKey(WindowObject* dialog, int16_t number, KeyOf* key, bool* handled) {
    int32_t replacement = 0, command = kEditCommandNone;
    WindowEvent toDialog{};
    EditItemKeyFilter filter = EditItemFilterOf(dialog, number);
    int32_t verdict = filter
                          ? filter(dialog, number, key->code, key->special, &replacement, &toDialog)
                          : DefaultItemKeyFilter(key->code, key->special, &command);
    *handled = true;
    switch (verdict) {
    case kFilterSwallow:
        if (command != kEditCommandNone) DialogItemEditCommand(dialog, number, command);
        return false;
    case kFilterReplace:
        key->code = replacement;
        key->special = false;
        return true;
    case kFilterToDialog:
        if (filter && toDialog.type) {
            EventDispatchToView(dialog, &toDialog);
        } else {
            *handled = false; // the dialog sees the key itself
        }
        return false;
    default:
        return true;
    }
}

// An edit item's hit carries the key, bit 31 set for a command key.
constexpr uint32_t kCommandKeyBit = 0x80000000u;
constexpr uint8_t kModifierCommand = 2;

int32_t HitValueOf(DialogItemKind kind, const KeyOf& key, ToolboxControlRecord* control) {
    if (kind != kItemEditText) return ControlGetValue(control);
    uint32_t value = uint32_t(key.code);
    if (key.modifiers & kModifierCommand) value |= kCommandKeyBit;
    return int32_t(value);
}

// A special key above the controls' key range (the arrows, Clear) goes to
// the edit field's text record itself.
bool SpecialKeyToEditField(WindowObject* dialog, DialogItemRecord* item, const KeyOf& key) {
    EditTextData* data = EditTextDataOf(item->control);
    if (!data || !data->text) return false;
    MakeWindowCurrentPort(dialog);
    TextRecordKey(key.code, static_cast<TextRecord*>(data->text));
    return true;
}

// The focused item's own control takes the key; a part it reports makes
// the item hit; a list item passes the key to its list. True when the key
// was used here.
bool PassKeyToItem(WindowObject* dialog, int16_t number, KeyOf key) {
    DialogItemKind kind = kItemNone;
    DialogItemRecord* item = DialogItemByNumber(dialog, number, &kind);
    if (!item || !item->control || !ControlIsEnabled(item->control)) return false;
    if (kind == kItemListBox) {
        ListBoxKey(item, key.code, key.special, key.modifiers);
        return true;
    }
    if (kind == kItemEditText) {
        bool handled = false;
        if (!FilterEditKey(dialog, number, &key, &handled)) return handled;
        if (key.code > kControlKeyLimit) {
            if (!SpecialKeyToEditField(dialog, item, key)) return false;
            ReportItemHit(dialog, item, int16_t(kEditTextPart), HitValueOf(kind, key, nullptr));
            return true;
        }
    }
    if (key.code < 0 || key.code > kControlKeyLimit) return false;
    uint8_t code = uint8_t(key.code);
    int32_t part = ControlHandleKey(item->control, code, code, key.modifiers);
    if (part) ReportItemHit(dialog, item, int16_t(part), HitValueOf(kind, key, item->control));
    return true;
}

bool FocusedItemEvent(WindowObject* dialog, const OsEventRecord* record) {
    if (!DialogRecordOf(dialog) || record->what == kPortWhatWheel) return false;
    KeyOf key = ReadKey(record);
    int16_t focused = GetFocusedDialogItem(dialog);
    std::vector<NavItem> items = NavItems(dialog);
    int32_t count = int32_t(items.size());
    if (key.code == kKeyCodeTab || key.code == kKeyCodeBackTab) {
        bool backwards = key.code == kKeyCodeBackTab || (key.modifiers & 1);
        int16_t next = TabTarget(items.data(), count, focused, backwards);
        if (next) SetDialogFocusItem(dialog, next);
        return true;
    }
    DialogItemKind kind = GetDialogItemKind(dialog, focused);
    if (kind == kItemRadioButton && (key.code == kKeyCodeUp || key.code == kKeyCodeDown)) {
        int16_t next = RadioGroupStep(items.data(), count, focused, key.code == kKeyCodeDown);
        if (next && next != focused) {
            SelectRadioItem(dialog, next);
            SetDialogFocusItem(dialog, next);
        }
        return true;
    }
    return PassKeyToItem(dialog, focused, key);
}

int16_t FocusedItem(WindowObject* dialog) {
    return GetFocusedDialogItem(dialog);
}

void SetFocusItem(WindowObject* dialog, int16_t item) {
    SetDialogFocusItem(dialog, item);
}

int16_t ItemKindOf(WindowObject* dialog, int16_t item) {
    return int16_t(GetDialogItemKind(dialog, item));
}

bool SetItemsEnabled(WindowObject* dialog, bool enable) {
    bool before = SetDialogItemsEnabled(dialog, enable, true);
    return before != enable;
}

// The dialog whose scroll-bar item is being tracked (tracking is modal).
struct ScrollTracking {
    int32_t dialogId;
    DialogItemRecord* item;
};
ScrollTracking g_scrollTracking{};

// Each step of a tracked scroll-bar item is reported as the item hit's
// part 0-3 with the new value.
void ScrollItemStepAction(ToolboxControlRecord* control, int16_t part) {
    WindowObject* dialog = WindowObjectFromId(g_scrollTracking.dialogId);
    DialogItemRecord* item = g_scrollTracking.item;
    if (!dialog || !item || item->control != control) return;
    int32_t itemPart = ScrollItemPartFromTracked(part);
    if (itemPart < kScrollItemLineUp || itemPart > kScrollItemPageDown) return;
    ReportItemHit(dialog, item, int16_t(itemPart), ControlGetValue(control));
}

bool TakesFocusOnClick(DialogItemKind kind) {
    return kind == kItemEditText || kind == kItemListBox;
}

// A mouse down in an item (event 16): focus first where the item takes
// it on click, then the control's tracking, then the item's report.
int32_t TrackItemClick(WindowObject* dialog, const WindowEvent* event) {
    int16_t number = int16_t(event->control.item & 0xFFFF);
    DialogItemRecord* item = DialogItemByNumber(dialog, number, nullptr);
    if (!item || !(item->control->flags & kControlVisible) || !ControlIsEnabled(item->control))
        return 0;
    DialogItemKind kind = ItemKind(item);
    int32_t id = dialog->sequence;
    if (TakesFocusOnClick(kind) && SetDialogFocusItem(dialog, number) == 0) return 1;
    if (WindowObjectFromId(id) != dialog) return 1;
    Point16 point{int16_t(event->control.value >> 16), int16_t(event->control.value & 0xFFFF)};
    uint16_t modifiers = uint16_t(event->control.controlValue);
    int32_t oldTab = kind == kItemTabs ? ControlGetValue(item->control) - 1 : 0;
    g_scrollTracking = {id, item};
    SetItemTracking(true);
    int32_t part = ControlTrack(item->control, point, modifiers,
                                kind == kItemScrollBar ? &ScrollItemStepAction : nullptr);
    SetItemTracking(false);
    g_scrollTracking = {};
    if (WindowObjectFromId(id) != dialog || part == 0) return 1;
    switch (kind) {
    case kItemScrollBar:
        if (ScrollItemPartFromTracked(part) == kScrollItemThumb)
            ReportItemHit(dialog, item, kScrollItemThumb, ControlGetValue(item->control));
        break;
    case kItemTabs:
        ReportItemHit(dialog, item, int16_t(oldTab), ControlGetValue(item->control) - 1);
        break;
    case kItemEditText:
    case kItemStaticText:
    case kItemIcon:
        break;
    default:
        ReportItemHit(dialog, item, int16_t(part), 0);
        break;
    }
    return 1;
}

// The key commands 33000 and 33001: the previous or next tab of the
// dialog's first tabs item, not past the ends, reported as (old, new).
bool SwitchTab(WindowObject* dialog, int32_t step) {
    ToolboxDialogRecord* record = DialogRecordOf(dialog);
    if (!record || (dialog->flags & kDialogItemsDisabled)) return false;
    for (DialogItemRecord* item = record->items.head; item; item = item->next) {
        if (ItemKind(item) != kItemTabs || !ControlIsEnabled(item->control)) continue;
        int32_t current = ControlGetValue(item->control) - 1, next = current;
        if (!TabSwitchTarget(current, ControlGetMaximum(item->control), step, &next)) return true;
        ControlSetValue(item->control, next + 1);
        ReportItemHit(dialog, item, int16_t(current), next);
        return true;
    }
    return false;
}

} // namespace

void DialogItemMouseDown(WindowObject* dialog, DialogItemRecord* item, Point16 point, int32_t part,
                         uint16_t modifiers) {
    WindowEvent event{};
    event.type = kWindowEventDialogFilter;
    event.control.item = item->itemWord & 0x00FFFFFFu;
    event.control.kind = int16_t(ItemKind(item));
    event.control.part = int16_t(part);
    event.control.value = int32_t(uint32_t(uint16_t(point.v)) << 16 | uint16_t(point.h));
    event.control.controlValue = modifiers;
    EventDispatchToView(dialog, &event);
}

namespace {

bool ClickItem(WindowObject* dialog, const OsEventRecord* record) {
    Point16 point{int16_t(record->whereV), int16_t(record->whereH)};
    int32_t part = 0;
    DialogItemRecord* item = DialogItemAtPoint(point, dialog, &part);
    if (!item) return false;
    DialogItemMouseDown(dialog, item, point, part, record->modifiers);
    return true;
}

int32_t ItemBehaviour(WindowObject* dialog, WindowEvent* event) {
    if (event->type == kWindowEventDialogFilter) return TrackItemClick(dialog, event);
    if (event->type != kWindowEventControl) return 0;
    int16_t item = int16_t(event->control.item & 0xFFFF);
    switch (DialogItemKind(event->control.kind)) {
    case kItemCheckBox:
        CycleCheckBoxItem(dialog, item);
        return 1;
    case kItemRadioButton:
        SelectRadioItem(dialog, item);
        return 1;
    case kItemToggleButton:
        SetDialogItemValue(dialog, item, GetDialogItemValue(dialog, item) ? 0 : 1);
        return 1;
    default:
        return 0;
    }
}

// Self-drawn items are drawn with their window; native ones draw
// themselves.
void DrawItems(WindowObject* window) {
    ToolboxDialogRecord* record = DialogRecordOf(window);
    if (!record) return;
    for (DialogItemRecord* item = record->items.head; item; item = item->next) {
        ToolboxControlRecord* control = item->control;
        if (control && !control->nativeWindow && (control->flags & kControlVisible))
            SendControlMessage(control, kControlDraw, 0);
    }
}

void ItemSelection(WindowObject* window, int16_t item, int32_t* start, int32_t* end) {
    GetEditItemSelection(window, item, start, end);
}

void EditItem(WindowObject* window, int16_t item, uint32_t command) {
    DialogItemEditCommand(window, item, int32_t(command));
}

// Edit-text items stand on the edit-text definition (272 to 287).
constexpr int32_t kEditTextDefinition = kEditTextGroup * 16;

} // namespace

void InstallDialogLayer() {
    if (!FindControlDefinition(kEditTextDefinition))
        RegisterControlDefinition(int16_t(kEditTextGroup), &EditTextDefProc);
    // The list definition now, and at every toolbox start-up.
    RegisterListBoxDefinition();
    ToolboxStartProcs start = ToolboxStart();
    start.registerControlDefinitions = &RegisterListBoxDefinition;
    SetToolboxStartProcs(&start);
    ShellTextProcs text{};
    text.frontIsModalDialog = &DialogLayerFrontIsModal;
    text.itemSelection = &ItemSelection;
    text.editItem = &EditItem;
    text.clipboardTextLength = &ClipboardTextLength;
    SetShellTextProcs(&text);
    DialogLayerProcs procs{};
    procs.filterKey = &FilterKey;
    procs.focusedItemEvent = &FocusedItemEvent;
    procs.clickItem = &ClickItem;
    procs.switchTab = &SwitchTab;
    procs.focusedItem = &FocusedItem;
    procs.setFocusItem = &SetFocusItem;
    procs.itemKind = &ItemKindOf;
    procs.dismiss = &DismissDialogWithItem;
    procs.setItemsEnabled = &SetItemsEnabled;
    procs.itemBehaviour = &ItemBehaviour;
    procs.disposeAllItems = &DisposeAllDialogItems;
    procs.drawItems = &DrawItems;
    SetDialogLayerProcs(&procs);
    // Help tags on items find them at their controls' bounds.
    SetHelpTagItemRectProc(&DialogItemHelpTagRect);
}
