// The application's procedures and text styles on single dialog items: a
// user item's drawing procedure ('udrw', reached through the user pane's
// 'draw' dispatcher), an edit item's key filter ('eflt') and an item's own
// text style; and the items of a further template added to an open
// dialog.
//
// Guarantees: a procedure is stored only on an item of its kind and a null
// one removes it; the dispatcher draws nothing for an item without a
// procedure; an item returned to the dialog's style loses its own-style
// flag; adding a missing template changes nothing and answers 0; a
// resize sizes a dialog window's content, and of a split pane only its
// extent along the split.
#include <windows.h>

#include "toolbox/core/panetree.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/ui/controldefs.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/controlrules.h"
#include "toolbox/ui/dialog.h"
#include "toolbox/ui/dialogbuild.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/taggeddata.h"

namespace {

DialogItemRecord* ItemOf(WindowObject* dialog, int16_t number, DialogItemKind kind) {
    DialogItemKind found = kItemNone;
    DialogItemRecord* item = DialogItemByNumber(dialog, number, &found);
    return item && found == kind ? item : nullptr;
}

// Stores (or, for null, removes) a procedure under the item's tag.
template <typename Proc> bool StoreItemProc(DialogItemRecord* item, uint32_t tag, Proc proc) {
    if (!proc) {
        TaggedDataRemove(&item->taggedData, tag);
        return true;
    }
    return TaggedDataPut(&item->taggedData, tag, &proc, int32_t(sizeof proc)) == kTaggedDataOk;
}

template <typename Proc> Proc StoredItemProc(const DialogItemRecord* item, uint32_t tag) {
    Proc proc = nullptr;
    if (TaggedDataGet(item->taggedData, tag, &proc, int32_t(sizeof proc)) != int32_t(sizeof proc))
        return nullptr;
    return proc;
}

// The user pane's drawing procedure: the item's own procedure with its
// dialog and number.
void DrawUserItem(ToolboxControlRecord* control, int16_t) {
    WindowObject* dialog = WindowObjectOfPort(control->owner);
    ToolboxDialogRecord* record = DialogRecordOf(dialog);
    if (!record) return;
    for (DialogItemRecord* item = record->items.head; item; item = item->next) {
        if (item->control != control) continue;
        if (auto draw = StoredItemProc<UserItemDrawProc>(item, kItemTagDrawProc))
            draw(dialog, ItemNumber(item));
        return;
    }
}

// A split pane takes only its extent along its split axis: the width for
// a pane split left to right, else the height. The shared edge after it
// moves, or for the last pane of a chain the edge before it.
void SetSplitPaneExtent(WindowObject* window, int16_t height, int16_t width) {
    auto* pane = static_cast<PaneRecord*>(window->pane);
    if (!pane) return;
    bool across = pane->splitSide == kSplitHorizontal;
    const Rect16& l = pane->localRect;
    int32_t extent = across ? width : height;
    if (pane->splitNeighbours[kNeighbourAfter]) {
        SetSplitPositionOfPane(pane, (across ? l.left : l.top) + extent);
    } else if (PaneRecord* before = pane->splitNeighbours[kNeighbourBefore]) {
        SetSplitPositionOfPane(before, (across ? l.right : l.bottom) - extent);
    }
}

} // namespace

bool SetUserItemDrawProc(WindowObject* dialog, int16_t number, UserItemDrawProc proc) {
    DialogItemRecord* item = ItemOf(dialog, number, kItemUserPane);
    if (!item || !StoreItemProc(item, kItemTagDrawProc, proc)) return false;
    UserPaneDrawProc dispatcher = proc ? &DrawUserItem : nullptr;
    ControlSetData(item->control, 0, kTagDrawProc, int32_t(sizeof dispatcher), &dispatcher);
    return true;
}

bool SetEditItemFilter(WindowObject* dialog, int16_t number, EditItemKeyFilter filter) {
    DialogItemRecord* item = ItemOf(dialog, number, kItemEditText);
    return item && StoreItemProc(item, kItemTagKeyFilter, filter);
}

EditItemKeyFilter EditItemFilterOf(WindowObject* dialog, int16_t number) {
    DialogItemRecord* item = ItemOf(dialog, number, kItemEditText);
    return item ? StoredItemProc<EditItemKeyFilter>(item, kItemTagKeyFilter) : nullptr;
}

bool DialogItemSetTextStyle(WindowObject* dialog, int16_t number, const ControlStyleBlock* style) {
    ToolboxDialogRecord* record = DialogRecordOf(dialog);
    DialogItemRecord* item = DialogItemByNumber(dialog, number, nullptr);
    if (!record || !item) return false;
    bool own = style && style->flags;
    SetItemFlags(item, kItemFlagOwnStyle, own);
    ControlStyleBlock none{};
    const ControlStyleBlock* applied = own ? style : record->style.flags ? &record->style : &none;
    ControlSetData(item->control, 0, kTagFont, kTagFontSize, applied);
    return true;
}

void SetDialogTextStyle(WindowObject* dialog, const ControlStyleBlock* style) {
    ToolboxDialogRecord* record = DialogRecordOf(dialog);
    if (!record) return;
    ControlStyleBlock none{};
    record->style = style ? *style : none;
    for (DialogItemRecord* item = record->items.head; item; item = item->next)
        if (!(ItemFlags(item) & kItemFlagOwnStyle))
            ControlSetData(item->control, 0, kTagFont, kTagFontSize, &record->style);
}

int32_t ForEachDialogItem(WindowObject* dialog, DialogItemVisitor visit, void* userData) {
    ToolboxDialogRecord* record = DialogRecordOf(dialog);
    if (!record || !visit) return 0;
    for (DialogItemRecord* item = record->items.head; item;) {
        DialogItemRecord* next = item->next;
        if (int32_t answer = visit(dialog, ItemNumber(item), ItemKind(item), userData))
            return answer;
        item = next;
    }
    return 0;
}

int16_t AddTemplateItemsToDialog(WindowObject* dialog, int32_t number, int16_t dv, int16_t dh,
                                 uint32_t options) {
    if (!DialogRecordOf(dialog)) return 0;
    XDlgTemplate* tmpl = LoadDialogTemplate(number);
    if (!tmpl) return 0;
    if (!(options & kAddItemsKeepStyle)) {
        ControlStyleBlock none{};
        bool styled = tmpl->flags & (kTemplateHasStyle | kTemplateSmallFont);
        SetDialogStyleBlock(dialog, styled ? &tmpl->style : &none);
    }
    // The items are read after this, so they keep their bounds as given.
    if (options & kAddItemsPixels) tmpl->flags |= kTemplatePixels;
    int16_t first = AddTemplateItems(dialog, tmpl, dv, dh, !(options & kAddItemsHidden));
    if (options & kAddItemsResize) {
        Rect16 size{0, 0, int16_t(tmpl->bounds.bottom - tmpl->bounds.top),
                    int16_t(tmpl->bounds.right - tmpl->bounds.left)};
        if (dialog->kind == kKindSplitPane)
            SetSplitPaneExtent(dialog, size.bottom, size.right);
        else
            SetWindowContentSize(dialog, &size);
    }
    DisposeDialogTemplate(tmpl);
    return first;
}
