// Dialog items over controls: creating them from templates and by code,
// their text and values, pressing buttons, enabling, showing, focus, and
// disposing them with their dialog. The item's number and kind ride in
// its control's reference word; the item record keeps its tagged data.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "toolbox/core/byteorder.h"
#include "toolbox/core/helptaglist.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/clipboard.h"
#include "toolbox/ui/textscrap.h"
#include "toolbox/ui/controlrules.h"
#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialogbuild.h"
#include "toolbox/ui/dialogentries.h"
#include "toolbox/ui/dialogitemcontrols.h"
#include "toolbox/ui/dialogitemrules.h"
#include "toolbox/ui/dialogkeys.h"
#include "toolbox/ui/dialoglayer.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/dialogscroll.h"
#include "toolbox/ui/listboxpane.h"
#include "toolbox/ui/taggeddata.h"

namespace {

ToolboxDialogRecord* Record(WindowObject* dialog) {
    return DialogRecordOf(dialog);
}

NativeWindowRecord* NativeOf(WindowObject* dialog) {
    if (!dialog || !dialog->port) return nullptr;
    return static_cast<NativeWindowRecord*>(static_cast<PortRecord*>(dialog->port)->nativeWindow);
}

void ShowControl(ToolboxControlRecord* control, bool show) {
    if (show)
        ControlShow(control);
    else
        ControlHide(control, false);
}

// Redraws a control at once.
void DrawControlNow(ToolboxControlRecord* control) {
    if (HWND child = static_cast<HWND>(control->nativeWindow)) {
        InvalidateRect(child, nullptr, TRUE);
        UpdateWindow(child);
    } else {
        SendControlMessage(control, kControlDraw, 0);
    }
}

DialogItemRecord* Find(WindowObject* dialog, int16_t number) {
    ToolboxDialogRecord* record = Record(dialog);
    return record ? FindDialogItem(&record->items, number) : nullptr;
}

DialogItemRecord* FindOfKind(WindowObject* dialog, int16_t number, DialogItemKind kind) {
    DialogItemRecord* item = Find(dialog, number);
    return item && ItemKind(item) == kind ? item : nullptr;
}

void ItemBounds(const DialogItemRecord* item, Rect16* bounds) {
    *bounds = item->control ? item->control->bounds : Rect16{};
}

bool TakesTitle(DialogItemKind kind) {
    return kind == kItemPushButton || kind == kItemCheckBox || kind == kItemRadioButton ||
           kind == kItemGroupBox;
}

bool TakesTextData(DialogItemKind kind) {
    return kind == kItemEditText || kind == kItemStaticText;
}

} // namespace

void ReportItemHit(WindowObject* dialog, DialogItemRecord* item, int16_t part, int32_t value) {
    WindowEvent event{};
    event.type = kWindowEventControl;
    event.control.item = item->itemWord & 0x00FFFFFFu;
    event.control.kind = int16_t(ItemKind(item));
    event.control.part = part;
    event.control.value = value;
    SendControlEvent(dialog, &event);
}

namespace {

// The items of the radio group of `item`, as navigation sees them.
bool IsRadioNumber(WindowObject* dialog, int32_t number) {
    if (number < INT16_MIN || number > INT16_MAX) return false;
    return FindOfKind(dialog, int16_t(number), kItemRadioButton) != nullptr;
}

} // namespace

// ---- the items' child windows ----------------------------------------------

namespace {

constexpr UINT_PTR kItemSubclassId = 0x504C5649;
bool g_itemTracking = false;

// A press on an item's child window becomes the dialog's mouse down in
// the item, which tracks the control as the layer does.
LRESULT CALLBACK ItemSubclass(HWND child, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR data) {
    try {
        if (message == WM_LBUTTONDOWN && !g_itemTracking) {
            auto* item = reinterpret_cast<DialogItemRecord*>(data);
            WindowObject* dialog = ItemOwnerWindow(item);
            if (dialog && item->control) {
                Point16 point{int16_t(item->control->bounds.top + GET_Y_LPARAM(lParam)),
                              int16_t(item->control->bounds.left + GET_X_LPARAM(lParam))};
                int32_t part = ControlHitPart(item->control, point);
                uint16_t modifiers = 0;
                if (part) DialogItemMouseDown(dialog, item, point, part, modifiers);
                return 0;
            }
        }
        if (message == WM_NCDESTROY) RemoveWindowSubclass(child, &ItemSubclass, id);
    } catch (...) {
        return 0;
    }
    return DefSubclassProc(child, message, wParam, lParam);
}

} // namespace

void SetItemTracking(bool on) {
    g_itemTracking = on;
}

// ---- building ---------------------------------------------------------------

namespace {

// Tab page names come joined by this character.
constexpr char kTabNameSeparator = '|';

// Inserts the tabs, one per page name, in order.
void InsertTabPageNames(ToolboxControlRecord* control, const char* names) {
    if (!names || !*names) return;
    int16_t part = 1;
    for (const char* name = names;; ++part) {
        const char* end = std::strchr(name, kTabNameSeparator);
        size_t length = end ? size_t(end - name) : std::strlen(name);
        char tab[kTagTabInfoSize] = {};
        std::memcpy(tab, name, std::min(length, sizeof tab - 1));
        ControlSetData(control, part, kTagTabInfo, kTagTabInfoSize, tab);
        if (!end) break;
        name = end + 1;
    }
}

// The control's bounds were meant as its page area: the control grows
// around them by its own insets (those of its tab row and frame).
void GrowTabsAroundPageArea(ToolboxControlRecord* control) {
    Rect16 page{};
    if (ControlGetData(control, 0, kTagRect, int32_t(sizeof page), &page, nullptr) != 0) return;
    const Rect16 b = control->bounds;
    Rect16 grown{int16_t(b.top - (page.top - b.top)), int16_t(b.left - (page.left - b.left)),
                 int16_t(b.bottom + (b.bottom - page.bottom)),
                 int16_t(b.right + (b.right - page.right))};
    ControlMoveSize(control, &grown);
}

} // namespace

static DialogItemRecord* CreateItemWithControl(WindowObject* dialog, DialogItemKind kind,
                                               int16_t definition, Rect16 bounds, int16_t number,
                                               int32_t maximum, int32_t minimum, int32_t value,
                                               const ControlStyleBlock* style, const char* text,
                                               bool show, bool boundsArePageArea = false) {
    ToolboxDialogRecord* record = Record(dialog);
    if (!record || kind == kItemNone) return nullptr;
    auto* item =
        static_cast<DialogItemRecord*>(NewPointerBlockClear(nullptr, sizeof(DialogItemRecord)));
    if (!item) return nullptr;
    item->itemWord = MakeItemWord(number, kind, 0);
    item->control = ControlNew(NativeOf(dialog), &bounds, TakesTitle(kind) ? text : "", false,
                               value, minimum, maximum, definition, int32_t(item->itemWord));
    if (!item->control) {
        FreeHeapBlock(item);
        return nullptr;
    }
    if (kind == kItemPopup) MakePopupItemMenu(item);
    if (kind == kItemTabs) {
        InsertTabPageNames(item->control, text);
        if (boundsArePageArea) GrowTabsAroundPageArea(item->control);
    }
    if (HWND child = static_cast<HWND>(item->control->nativeWindow))
        SetWindowSubclass(child, &ItemSubclass, kItemSubclassId, reinterpret_cast<DWORD_PTR>(item));
    item->family = ItemFamilyCode(definition, kind);
    item->options = ItemOptionsFor(item->family, minimum);
    LinkDialogItem(&record->items, item, &ItemBounds);
    const ControlStyleBlock* applied = style && style->flags ? style : nullptr;
    if (applied)
        SetItemFlags(item, kItemFlagOwnStyle, true);
    else if (record->style.flags)
        applied = &record->style;
    if (applied) ControlSetData(item->control, 0, kTagFont, kTagFontSize, applied);
    if (TakesTextData(kind) && text)
        ControlSetData(item->control, 0, kTagText, int32_t(std::strlen(text)), text);
    if ((kind == kItemIcon || kind == kItemIconButton)) {
        int16_t icon = int16_t(kind == kItemIcon ? value : maximum);
        TaggedDataPut(&item->taggedData, kItemTagIcon, &icon, sizeof icon);
    }
    if (kind == kItemListBox) MakeListBoxItem(dialog, item, definition);
    StoreProgressItemData(dialog, item);
    if (show) {
        ControlShow(item->control);
        ShowListBoxPane(item, true);
    }
    return item;
}

DialogItemRecord* CreateTemplateItem(WindowObject* dialog, int16_t templateFlags,
                                     const TemplateItem* parsed, int16_t dv, int16_t dh,
                                     bool show) {
    TemplateItem item = *parsed;
    if (templateFlags & kTemplateSpecialTexts) ApplySpecialText(&item);
    DialogItemKind kind = ItemKindForDefinition(item.definition);
    if (kind == kItemNone) return nullptr;
    Rect16 bounds{int16_t(item.bounds.top + dv), int16_t(item.bounds.left + dh),
                  int16_t(item.bounds.bottom + dv), int16_t(item.bounds.right + dh)};
    return CreateItemWithControl(dialog, kind, item.definition, bounds, item.number, item.maximum,
                                 item.minimum, item.value, &item.style, item.text, show);
}

DialogItemRecord* CreateDialogItem(WindowObject* dialog, DialogItemKind kind, const Rect16* bounds,
                                   const char* text, int16_t number, uint32_t flags) {
    ItemCreation made{};
    if (!ItemCreationFor(kind, flags, &made)) return nullptr;
    ControlStyleBlock style{};
    if (made.rightJustified) {
        style.flags = kStyleJustification;
        style.justification = -1;
    }
    return CreateItemWithControl(dialog, kind, made.definition, *bounds, number, made.maximum,
                                 made.minimum, made.value, &style, text, !made.hidden,
                                 kind == kItemTabs && !made.boundsAreTheControl);
}

int16_t AddTemplateItems(WindowObject* dialog, XDlgTemplate* tmpl, int16_t dv, int16_t dh,
                         bool show) {
    int16_t firstEdit = 0, firstList = 0;
    TemplateItem parsed{};
    tmpl->cursor = -1;
    while (ReadTemplateItem(tmpl, &parsed)) {
        DialogItemRecord* item = CreateTemplateItem(dialog, tmpl->flags, &parsed, dv, dh, show);
        if (!item) continue;
        if (ItemKind(item) == kItemEditText && !firstEdit) firstEdit = ItemNumber(item);
        if (ItemKind(item) == kItemListBox && !firstList) firstList = ItemNumber(item);
    }
    return firstEdit ? firstEdit : firstList;
}

void MarkDefaultButton(WindowObject* dialog) {
    DialogItemRecord* item = FindOfKind(dialog, kItemOk, kItemPushButton);
    if (!item) return;
    uint8_t mark = kDefaultButtonMark;
    ControlSetData(item->control, 0, kTagDefault, kTagDefaultSize, &mark);
}

void SetDialogStyleBlock(WindowObject* dialog, const ControlStyleBlock* style) {
    if (ToolboxDialogRecord* record = Record(dialog)) record->style = *style;
}

// ---- finding ----------------------------------------------------------------

DialogItemRecord* DialogItemByNumber(WindowObject* dialog, int16_t number, DialogItemKind* kind) {
    DialogItemRecord* item = Find(dialog, number);
    if (kind) *kind = item ? ItemKind(item) : kItemNone;
    return item;
}

DialogItemKind GetDialogItemKind(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = Find(dialog, number);
    return item ? ItemKind(item) : kItemNone;
}

WindowObject* ItemOwnerWindow(const DialogItemRecord* item) {
    return item && item->owner ? static_cast<WindowObject*>(item->owner->dialog) : nullptr;
}

// ---- texts ------------------------------------------------------------------

bool DialogItemSetText(WindowObject* dialog, int16_t number, const char* text) {
    DialogItemRecord* item = Find(dialog, number);
    if (!item) return false;
    char cut[kItemTextRoom] = {};
    std::snprintf(cut, sizeof cut, "%s", text ? text : "");
    DialogItemKind kind = ItemKind(item);
    if (TakesTitle(kind)) {
        ControlSetTitle(item->control, cut);
        return true;
    }
    if (!TakesTextData(kind)) return false;
    ControlSetData(item->control, 0, kTagText, int32_t(std::strlen(cut)), cut);
    if (kind == kItemStaticText) DrawControlNow(item->control);
    return true;
}

int32_t DialogItemGetText(WindowObject* dialog, int16_t number, char* text) {
    text[0] = 0;
    DialogItemRecord* item = Find(dialog, number);
    if (!item) return 0;
    DialogItemKind kind = ItemKind(item);
    if (TakesTitle(kind)) {
        ControlGetTitle(item->control, text, kItemTextRoom);
    } else if (TakesTextData(kind)) {
        int32_t length = 0;
        ControlGetData(item->control, 0, kTagText, kItemTextRoom - 1, text, &length);
        text[length > 0 && length < kItemTextRoom ? length : 0] = 0;
    } else {
        return 0;
    }
    text[kItemTextRoom - 1] = 0;
    return int32_t(std::strlen(text));
}

bool SetDialogItemNumber(WindowObject* dialog, int16_t number, int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%ld", long(value));
    return DialogItemSetText(dialog, number, text);
}

bool GetDialogItemNumber(WindowObject* dialog, int16_t number, int32_t* value) {
    char text[kItemTextRoom];
    if (DialogItemGetText(dialog, number, text) == 0) return false;
    *value = int32_t(std::strtol(text, nullptr, 10));
    return true;
}

constexpr uint32_t kTagSelection = FourCC("sele");

bool SetEditItemSelection(WindowObject* dialog, int16_t number, int32_t start, int32_t end) {
    DialogItemRecord* item = FindOfKind(dialog, number, kItemEditText);
    if (!item) return false;
    SetDialogFocusItem(dialog, number);
    if (start < 0) start = 0;
    ClampEditSelection(start, &end);
    int16_t selection[2] = {int16_t(start), int16_t(end)};
    ControlSetData(item->control, 0, kTagSelection, int32_t(sizeof selection), selection);
    return true;
}

bool GetEditItemSelection(WindowObject* dialog, int16_t number, int32_t* start, int32_t* end) {
    *start = *end = 0;
    DialogItemRecord* item = FindOfKind(dialog, number, kItemEditText);
    if (!item) return false;
    int16_t selection[2] = {0, 0};
    int32_t length = 0;
    ControlGetData(item->control, 0, kTagSelection, int32_t(sizeof selection), selection, &length);
    *start = selection[0];
    *end = selection[1];
    return true;
}

bool DialogItemEditCommand(WindowObject* dialog, int16_t number, int32_t command) {
    DialogItemRecord* item = FindOfKind(dialog, number, kItemEditText);
    if (!item) return false;
    int32_t start = 0, end = 0;
    GetEditItemSelection(dialog, number, &start, &end);
    if (!EditCommandActs(command, item->control->variant, start, end, ClipboardTextLength() > 0))
        return false;
    ControlSetData(item->control, kEditCommandPart, EditCommandTag(command), 0, nullptr);
    if (EditCommandRefreshesClipboard(command)) ExportScrapText();
    if (EditCommandReportsHit(command)) ReportItemHit(dialog, item, 0, command);
    return true;
}

bool ReadDialogItemNumber(WindowObject* dialog, int16_t number, int32_t minimum, int32_t maximum,
                          bool isSigned, int32_t* value) {
    DialogItemRecord* item = FindOfKind(dialog, number, kItemEditText);
    if (!item) return false;
    ItemNumberText model{};
    DialogItemGetText(dialog, number, model.text);
    int16_t selection[2] = {0, 0};
    int32_t length = 0;
    ControlGetData(item->control, 0, kTagSelection, int32_t(sizeof selection), selection, &length);
    model.selectionStart = selection[0];
    model.selectionEnd = selection[1];
    model.focused = GetFocusedDialogItem(dialog) == number;
    bool changed = false;
    bool inRange = ReadItemNumberText(&model, minimum, maximum, isSigned, value, &changed);
    if (changed) {
        DialogItemSetText(dialog, number, model.text);
        int16_t kept[2] = {int16_t(model.selectionStart), int16_t(model.selectionEnd)};
        ControlSetData(item->control, 0, kTagSelection, int32_t(sizeof kept), kept);
    }
    return inRange;
}

bool HandleScrollItemClick(WindowObject* dialog, const WindowEvent* event, int32_t lineStep,
                           int32_t pageStep, int32_t* value) {
    if (event->type != kWindowEventControl || event->control.kind != kItemScrollBar) return false;
    DialogItemRecord* item =
        FindOfKind(dialog, int16_t(event->control.item & 0xFFFF), kItemScrollBar);
    if (!item) return false;
    bool changed =
        ScrollItemStep(event->control.part, lineStep, pageStep, ControlGetValue(item->control),
                       ControlGetMaximum(item->control), value);
    if (changed) ControlSetValue(item->control, *value);
    return changed;
}

// ---- values -----------------------------------------------------------------

bool SetChoiceItemValue(WindowObject* dialog, int16_t number, int32_t value) {
    DialogItemRecord* item = Find(dialog, number);
    if (!item || (ItemKind(item) != kItemCheckBox && ItemKind(item) != kItemRadioButton))
        return false;
    ControlSetValue(item->control, value);
    return true;
}

int32_t GetChoiceItemValue(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = Find(dialog, number);
    if (!item || (ItemKind(item) != kItemCheckBox && ItemKind(item) != kItemRadioButton)) return 0;
    return ControlGetValue(item->control);
}

int32_t CycleCheckBoxItem(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = FindOfKind(dialog, number, kItemCheckBox);
    if (!item) return 0;
    int32_t next =
        NextCheckBoxValue(ControlGetValue(item->control), ControlGetMaximum(item->control));
    ControlSetValue(item->control, next);
    return next;
}

bool SelectRadioItem(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = FindOfKind(dialog, number, kItemRadioButton);
    if (!item) return false;
    for (int32_t n = number - 1; IsRadioNumber(dialog, n); --n)
        ControlSetValue(Find(dialog, int16_t(n))->control, 0);
    for (int32_t n = number + 1; IsRadioNumber(dialog, n); ++n)
        ControlSetValue(Find(dialog, int16_t(n))->control, 0);
    ControlSetValue(item->control, 1);
    return true;
}

bool SetDialogItemValue(WindowObject* dialog, int16_t number, int32_t value) {
    DialogItemRecord* item = Find(dialog, number);
    if (!item) return false;
    if (ItemKind(item) == kItemRadioButton && value) return SelectRadioItem(dialog, number);
    if (ItemKind(item) == kItemListBox) return ListBoxSelectRow(item, value);
    ControlSetValue(item->control, value);
    return true;
}

int32_t GetDialogItemValue(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = Find(dialog, number);
    if (item && ItemKind(item) == kItemListBox) return ListBoxSelectedRow(item);
    return item ? ControlGetValue(item->control) : 0;
}

bool PressDialogButton(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = Find(dialog, number);
    if (!item || (ItemKind(item) != kItemPushButton && ItemKind(item) != kItemIconButton))
        return false;
    if (!ControlIsEnabled(item->control)) return false;
    int32_t id = dialog->sequence;
    ControlHilite(item->control, kPressedHighlight);
    DrawControlNow(item->control);
    HWND native = DialogNativeWindow(dialog);
    if (native) UpdateWindow(native);
    Sleep(DWORD(kPressTicks * 1000 / 60));
    if (WindowObjectFromId(id) != dialog) return false;
    ControlHilite(item->control, 0);
    if (item->options & kItemOptionStaysDown) ControlSetValue(item->control, 1);
    ReportItemHit(dialog, item, kPressedHighlight, 0);
    return true;
}

// ---- enabling and showing ---------------------------------------------------

void DialogItemEnable(WindowObject* dialog, int16_t number, bool enable) {
    DialogItemRecord* item = Find(dialog, number);
    if (!item) return;
    SetItemFlags(item, kItemFlagDisabled, !enable);
    if (enable && (dialog->flags & kDialogItemsDisabled)) return; // stays disabled
    ControlSetEnabled(item->control, enable);
    ActivateListBoxPane(item, enable);
}

bool DialogItemGetState(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = Find(dialog, number);
    return item && ControlIsEnabled(item->control);
}

void SetDialogItemShown(WindowObject* dialog, int16_t number, bool show) {
    DialogItemRecord* item = Find(dialog, number);
    if (!item) return;
    SetItemFlags(item, kItemFlagHidden, !show);
    if (show && (dialog->flags & kDialogItemsHidden)) return; // stays hidden
    ShowControl(item->control, show);
    ShowListBoxPane(item, show);
}

namespace {

// An enabling change redraws this far around an item's bounds.
constexpr int16_t kItemRedrawOutset = 6;

// Hides the item while its state changes, shows it again and redraws its
// bounds grown by the outset.
void ChangeHidden(WindowObject* dialog, ToolboxControlRecord* control, bool enable) {
    ControlHide(control, false);
    ControlSetEnabled(control, enable);
    ControlShow(control);
    if (HWND native = DialogNativeWindow(dialog)) {
        RECT r{control->bounds.left - kItemRedrawOutset, control->bounds.top - kItemRedrawOutset,
               control->bounds.right + kItemRedrawOutset,
               control->bounds.bottom + kItemRedrawOutset};
        InvalidateRect(native, &r, TRUE);
    }
}

} // namespace

bool SetDialogItemsEnabled(WindowObject* dialog, bool enable, bool redraw) {
    ToolboxDialogRecord* record = Record(dialog);
    bool wasEnabled = !(dialog->flags & kDialogItemsDisabled);
    if (!record || wasEnabled == enable) return wasEnabled;
    if (enable)
        dialog->flags &= ~kDialogItemsDisabled;
    else
        dialog->flags |= kDialogItemsDisabled;
    ToolboxControlRecord* focused = nullptr;
    GetFocusedControl(NativeOf(dialog), &focused);
    for (DialogItemRecord* item = record->items.head; item; item = item->next) {
        if (ItemFlags(item) & kItemFlagDisabled) continue;
        if (ItemKind(item) == kItemListBox) {
            ActivateListBoxPane(item, enable); // the list draws itself as it changes
            continue;
        }
        bool shown = (item->control->flags & kControlVisible) != 0;
        bool hideWhileChanging = shown && (redraw || item->control == focused);
        if (hideWhileChanging)
            ChangeHidden(dialog, item->control, enable);
        else
            ControlSetEnabled(item->control, enable);
    }
    if (redraw)
        if (HWND native = DialogNativeWindow(dialog)) UpdateWindow(native);
    return wasEnabled;
}

bool SetDialogItemsVisible(WindowObject* dialog, bool visible, bool redraw) {
    ToolboxDialogRecord* record = Record(dialog);
    bool wasVisible = !(dialog->flags & kDialogItemsHidden);
    if (!record || wasVisible == visible) return wasVisible;
    if (visible)
        dialog->flags &= ~kDialogItemsHidden;
    else
        dialog->flags |= kDialogItemsHidden;
    for (DialogItemRecord* item = record->items.head; item; item = item->next)
        if (!(ItemFlags(item) & kItemFlagHidden)) {
            ShowControl(item->control, visible);
            ShowListBoxPane(item, visible);
        }
    if (redraw)
        if (HWND native = DialogNativeWindow(dialog))
            RedrawWindow(native, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return wasVisible;
}

// ---- focus ------------------------------------------------------------------

int16_t GetFocusedDialogItem(WindowObject* dialog) {
    ToolboxControlRecord* control = nullptr;
    GetFocusedControl(NativeOf(dialog), &control);
    if (!control) return 0;
    ToolboxDialogRecord* record = Record(dialog);
    if (!record) return 0;
    for (DialogItemRecord* item = record->items.head; item; item = item->next)
        if (item->control == control) return ItemNumber(item);
    return 0;
}

namespace {

DialogItemRecord* ItemOfControl(WindowObject* dialog, ToolboxControlRecord* control) {
    ToolboxDialogRecord* record = Record(dialog);
    if (!record || !control) return nullptr;
    for (DialogItemRecord* item = record->items.head; item; item = item->next)
        if (item->control == control) return item;
    return nullptr;
}

// The item focus-change event (18) for the kinds that send it.
void SendItemFocusEvent(WindowObject* dialog, DialogItemRecord* item, bool gained) {
    if (!item || !ItemSendsFocusEvents(ItemKind(item))) return;
    WindowEvent event{};
    event.type = kWindowEventDialogOther;
    event.control.item = item->itemWord & 0x00FFFFFFu;
    event.control.kind = int16_t(ItemKind(item));
    event.control.value = gained ? 1 : 0;
    EventDispatchToView(dialog, &event);
}

} // namespace

int32_t SetDialogFocusItem(WindowObject* dialog, int16_t number) {
    ToolboxControlRecord* focused = nullptr;
    GetFocusedControl(NativeOf(dialog), &focused);
    DialogItemRecord* holder = ItemOfControl(dialog, focused);
    if (number == 0) {
        if (!focused) return 1;
        int32_t id = dialog->sequence;
        SendItemFocusEvent(dialog, holder, false);
        if (WindowObjectFromId(id) != dialog) return 0;
        ClearControlFocus(NativeOf(dialog));
        return 1;
    }
    DialogItemRecord* item = Find(dialog, number);
    if (!item) return 0;
    int16_t focusPart = ItemFocusPart(ItemKind(item));
    if (focusPart == 0) return 0;
    if (focused == item->control) return 1;
    if (SetControlFocus(item->control, focusPart) != 0) return 0; // refused: nothing moved
    int32_t id = dialog->sequence;
    SendItemFocusEvent(dialog, holder, false);
    if (WindowObjectFromId(id) != dialog) return 1;
    SendItemFocusEvent(dialog, item, true);
    return 1;
}

bool DialogItemHelpTagRect(void* item, Rect16* out) {
    const DialogItemRecord* record = static_cast<const DialogItemRecord*>(item);
    if (!record || !record->control) return false;
    ItemBounds(record, out);
    return true;
}

bool GetDialogItemBounds(WindowObject* dialog, int16_t number, Rect16* bounds) {
    DialogItemRecord* item = Find(dialog, number);
    if (!item) return false;
    ItemBounds(item, bounds);
    // A tabs item's bounds are its page area, inside the tab row and frame.
    if (ItemKind(item) == kItemTabs)
        ControlGetData(item->control, 0, kTagRect, int32_t(sizeof *bounds), bounds, nullptr);
    return true;
}

bool SetDialogItemBounds(WindowObject* dialog, int16_t number, const Rect16* bounds) {
    DialogItemRecord* item = Find(dialog, number);
    if (!item || !bounds) return false;
    ControlMoveSize(item->control, bounds); // a list's definition moves its pane
    return true;
}

void DisposeItemAttachments(DialogItemRecord* item) {
    if (!item) return;
    DisposeListBoxPane(ListBoxStateOf(item));
    DisposePopupItemMenu(item);
    TaggedDataRemove(&item->taggedData, kItemTagProgress);
}

// ---- disposal ---------------------------------------------------------------

void DisposeAllDialogItems(WindowObject* dialog) {
    ToolboxDialogRecord* record = Record(dialog);
    if (!record) return;
    while (DialogItemRecord* item = record->items.head) {
        UnlinkDialogItem(&record->items, item);
        // A help tag on the item would point at freed memory.
        HelpTagRemove(static_cast<SurfaceList*>(dialog->surfaceList), item);
        if (item->control) {
            ControlHide(item->control, false);
            DisposeItemAttachments(item);
            ControlDispose(item->control);
        }
        TaggedDataDispose(&item->taggedData);
        FreeHeapBlock(item);
    }
}
