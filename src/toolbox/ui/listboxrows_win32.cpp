// The rows of list-box items by 0-based index: inserting (in place or
// sorted, ignoring case), the selection, texts, finding, marks, values,
// enabling, and replacing the item's option flags.
//
// Guarantees: an index out of range changes nothing and answers -1, 0 or
// false; a row's text is cut at 255 characters and a "-" row is a
// separator; new rows carry mark 2 when the options ask for it; a change
// to a row redraws it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolbox/ui/listboxitem.h"
#include "toolbox/ui/listboxpane.h"
#include "toolbox/ui/listview.h"

namespace {

bool InRange(WindowObject* pane, int32_t index) {
    return pane && index >= 0 && index < ListRowCount(pane);
}

char* CopyRowText(const char* text) {
    size_t length = std::min(std::strlen(text), size_t(kListBoxRowTextMax));
    auto* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, text, length);
    copy[length] = 0;
    return copy;
}

// Changes the row and stores it back (the list redraws it).
template <typename Change> bool ChangeRow(DialogItemRecord* item, int32_t index, Change change) {
    WindowObject* pane = ListBoxPaneOf(item);
    if (!InRange(pane, index)) return false;
    ListBoxRow row{};
    GetListCell(pane, index, &row);
    change(&row);
    SetListCell(pane, index, &row);
    return true;
}

} // namespace

int32_t ListBoxRowCount(const DialogItemRecord* item) {
    WindowObject* pane = ListBoxPaneOf(item);
    return pane ? ListRowCount(pane) : 0;
}

int32_t ListBoxInsertRow(DialogItemRecord* item, const char* text, int32_t index) {
    ListBoxState* state = ListBoxStateOf(item);
    if (!state || !text) return -1;
    int32_t count = ListRowCount(state->pane);
    if (index < 0 || index > count) index = count;
    ListBoxRow row{};
    row.text = CopyRowText(text);
    if (!row.text) return -1;
    if (IsSeparatorRowText(row.text)) row.flags |= kRowSeparator;
    if ((state->options & kListBoxNewRowsMarked) && !(row.flags & kRowSeparator))
        row.mark = kMarkNewRow;
    if (!InsertListRows(state->pane, index, &row, 1)) {
        std::free(row.text);
        return -1;
    }
    return index;
}

int32_t ListBoxInsertRowSorted(DialogItemRecord* item, const char* text) {
    WindowObject* pane = ListBoxPaneOf(item);
    if (!pane || !text) return -1;
    int32_t count = ListRowCount(pane), index = 0;
    for (; index < count; ++index) {
        ListBoxRow row{};
        GetListCell(pane, index, &row);
        if (lstrcmpiA(row.text ? row.text : "", text) > 0) break;
    }
    return ListBoxInsertRow(item, text, index);
}

bool ListBoxSelectRow(DialogItemRecord* item, int32_t index) {
    WindowObject* pane = ListBoxPaneOf(item);
    if (!InRange(pane, index)) return false;
    SetListRowSelected(pane, -1, false);
    SetListRowSelected(pane, index, true);
    ScrollListToRow(pane, index, false);
    return true;
}

int32_t ListBoxSelectedRow(const DialogItemRecord* item) {
    WindowObject* pane = ListBoxPaneOf(item);
    return pane ? NextSelectedRow(pane, 0) : -1;
}

bool ListBoxGetRow(const DialogItemRecord* item, int32_t index, ListBoxRow* out) {
    *out = ListBoxRow{};
    WindowObject* pane = ListBoxPaneOf(item);
    if (!InRange(pane, index)) return false;
    GetListCell(pane, index, out);
    return true;
}

int32_t ListBoxRowText(const DialogItemRecord* item, int32_t index, char* text) {
    text[0] = 0;
    ListBoxRow row{};
    if (!ListBoxGetRow(item, index, &row)) return 0;
    std::snprintf(text, size_t(kListBoxRowTextMax) + 1, "%s", row.text ? row.text : "");
    return int32_t(std::strlen(text));
}

int32_t ListBoxFindRow(const DialogItemRecord* item, const char* text) {
    WindowObject* pane = ListBoxPaneOf(item);
    if (!pane || !text) return -1;
    for (int32_t i = 0, count = ListRowCount(pane); i < count; ++i) {
        ListBoxRow row{};
        GetListCell(pane, i, &row);
        if (row.text && std::strcmp(row.text, text) == 0) return i;
    }
    return -1;
}

bool ListBoxSetRowMark(DialogItemRecord* item, int32_t index, uint8_t mark) {
    return ChangeRow(item, index, [mark](ListBoxRow* row) { row->mark = mark; });
}

bool ListBoxSetRowValue(DialogItemRecord* item, int32_t index, int32_t value) {
    return ChangeRow(item, index, [value](ListBoxRow* row) { row->value = value; });
}

bool ListBoxSetRowEnabled(DialogItemRecord* item, int32_t index, bool enabled) {
    return ChangeRow(item, index, [enabled](ListBoxRow* row) {
        row->flags = uint8_t(enabled ? row->flags & ~kRowDisabled : row->flags | kRowDisabled);
    });
}

uint32_t ListBoxSetOptions(DialogItemRecord* item, uint32_t options) {
    ListBoxState* state = ListBoxStateOf(item);
    if (!state) return 0;
    uint32_t old = state->options;
    state->options = options;
    uint32_t wanted = ListBoxListOptions(options);
    SetListOptions(state->pane, wanted, kListBoxListOptionsChanged & ~wanted);
    InvalidateListRow(state->pane, -1);
    return old;
}
