// The list-box item's pane: the state made with the pane and freed when
// it closes, the list view in it with the row procedure (drawing rows
// with their marks, separators and the selection colours, cycling marks
// on clicks, typed selection, freeing row texts), and the pane's events
// (focus on a click, the list's notification as the item's hit).
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "toolbox/core/bitmaprecord.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/windowcreate.h"
#include "toolbox/core/windowdispose.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowkinds.h"
#include "toolbox/ui/colour.h"
#include "toolbox/ui/control.h"
#include "toolbox/ui/dialogops.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/listboxitem.h"
#include "toolbox/ui/listboxpane.h"
#include "toolbox/ui/listview.h"
#include "toolbox/ui/taggeddata.h"
#include "toolbox/ui/textmeasure.h"
#include "toolbox/ui/textstyle.h"

namespace {

static_assert(sizeof(ListBoxRow) <= size_t(kListCellSize), "a row fits the list's cell");

// The pane: framed (variant 0) with a vertical bar.
constexpr uint8_t kPaneVariantFramed = 0;
constexpr int16_t kPaneFrame = 1;
// A row height of -1 asks the list for the style's line height + 1.
constexpr int16_t kRowHeightLinePlusOne = -1;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

ListBoxState* StateOfPane(WindowObject* pane) {
    WindowProperty* property = pane ? FindWindowProperty(pane, kListBoxStateTag) : nullptr;
    return property ? *static_cast<ListBoxState**>(WindowPropertyData(property)) : nullptr;
}

bool PaneAlive(const ListBoxState* state) {
    return state && state->pane && WindowObjectFromId(state->paneId) == state->pane;
}

uint32_t SystemColour(int index) {
    return RgbFromColorRef(GetSysColor(index));
}

bool ListEnabled(const ListBoxState* state) {
    return state->active && state->item->control && ControlIsEnabled(state->item->control);
}

ListBoxRow RowOf(WindowObject* pane, int32_t row) {
    ListBoxRow cell{};
    GetListCell(pane, row, &cell);
    return cell;
}

// The mark picture, loaded once.
HBITMAP MarkPicture() {
    static BitmapRecord* marks = BitmapFromResource(kMarkBitmapId);
    return marks ? static_cast<HBITMAP>(marks->bitmap) : nullptr;
}

void DrawMark(const Rect16& rowRect, uint8_t mark) {
    HBITMAP picture = MarkPicture();
    if (!picture || mark == kMarkNone) return;
    int16_t left = int16_t(MarkCellLeft(mark));
    Rect16 source{0, left, kMarkCellSize, int16_t(left + kMarkCellSize)};
    int16_t top = int16_t(rowRect.top + kMarkInset), x = int16_t(rowRect.left + kMarkInset);
    Rect16 destination{top, x, int16_t(top + kMarkCellSize), int16_t(x + kMarkCellSize)};
    CopyBitsThroughPort(picture, &source, &destination, kPenModeCopy);
}

void FillRow(const Rect16& rect, uint32_t colour) {
    uint32_t saved = GetForegroundColourValue();
    SetForegroundColour(colour);
    DrawRectShape(&rect, kVerbPaint);
    SetForegroundColour(saved);
}

// One row: background, separator line or mark and text.
void DrawRow(ListBoxState* state, const ListParams* params) {
    if (!params->cell) return;
    ListBoxRow row{};
    std::memcpy(&row, params->cell, sizeof row);
    const Rect16& rect = params->rect;
    bool separator = row.flags & kRowSeparator;
    bool selected = params->selected && !separator;
    bool grey = (row.flags & kRowDisabled) || !ListEnabled(state);
    FillRow(rect, selected ? state->highlight : kWhite);
    uint32_t saved = GetForegroundColourValue();
    uint32_t ink = grey ? SystemColour(COLOR_GRAYTEXT) : selected ? state->highlightText : kBlack;
    SetForegroundColour(ink);
    if (separator) {
        int32_t middle = (rect.top + rect.bottom) / 2;
        MovePenTo(rect.left, middle);
        DrawLineToPoint(rect.right - 1, middle);
        SetForegroundColour(saved);
        return;
    }
    DrawMark(rect, row.mark);
    bool markColumn = ListBoxShowsMarks(state->options) || row.mark != kMarkNone;
    int32_t left = rect.left + (markColumn ? state->markColumn : kRowTextInset);
    char text[kListBoxRowTextMax + 1] = {};
    std::snprintf(text, sizeof text, "%s", row.text ? row.text : "");
    ApplyTextStyle(state->style);
    TruncateCTextToWidth(std::max(rect.right - left, 0), text, 0);
    MovePenTo(left, rect.top + state->ascent);
    DrawTextRun(text, int32_t(std::strlen(text)));
    SetForegroundColour(saved);
}

// A click on a row: disabled rows and separators take nothing; with flag
// 8 the row's mark cycles; a list whose rows cannot be selected, or whose
// click changed a mark, only tells the owner.
int32_t RowClick(WindowObject* pane, ListBoxState* state, const ListParams* params) {
    if (!ListEnabled(state)) return kListClickHandled;
    if (params->row < 0 || params->row >= ListRowCount(pane)) return 0;
    ListBoxRow row = RowOf(pane, params->row);
    if (row.flags & (kRowDisabled | kRowSeparator)) return kListClickHandled;
    state->clickRow = params->row;
    uint8_t mark = CycleRowMark(row.mark, state->options, row.flags);
    if (mark != row.mark) {
        row.mark = mark;
        SetListCell(pane, params->row, &row);
        return kListClickNotifyOnly;
    }
    return (state->options & kListBoxNoSelection) ? kListClickNotifyOnly : 0;
}

// Typed selection: the first row whose text is not below the typed text.
int32_t FindTypedRow(WindowObject* pane, const ListBoxState* state, ListParams* params) {
    if (!(state->options & kListBoxTypeSelect) || (state->options & kListBoxNoSelection)) return 0;
    std::string typed(params->text ? params->text : "", size_t(std::max(params->textLength, 0)));
    for (int32_t r = 0, count = ListRowCount(pane); r < count; ++r) {
        ListBoxRow row = RowOf(pane, r);
        if (row.flags & (kRowDisabled | kRowSeparator)) continue;
        if (lstrcmpiA(row.text ? row.text : "", typed.c_str()) >= 0) {
            params->row = r;
            return kListResultFound;
        }
    }
    return 0;
}

int32_t RowProcedure(WindowObject* pane, int32_t message, ListParams* params) {
    if (message == kListMsgDeleteRow) {
        ListBoxRow row = RowOf(pane, params->row);
        std::free(row.text);
        return 0;
    }
    ListBoxState* state = StateOfPane(pane);
    if (!state) return 0;
    switch (message) {
    case kListMsgDrawRow:
    case kListMsgRedrawSelection:
        DrawRow(state, params);
        return 0;
    case kListMsgMouseDown:
        return RowClick(pane, state, params);
    case kListMsgKey:
        return (!ListEnabled(state) || (state->options & kListBoxNoSelection)) ? kListKeyHandled
                                                                               : 0;
    case kListMsgFindRow:
        return FindTypedRow(pane, state, params);
    default:
        return 0;
    }
}

// The row the item's hit reports: the clicked one, else the first
// selected one.
int32_t HitRow(WindowObject* pane, ListBoxState* state) {
    int32_t row = state->clickRow >= 0 ? state->clickRow : NextSelectedRow(pane, 0);
    state->clickRow = -1;
    return row;
}

// The item forgets the pane; the style and the state go.
void ForgetPane(WindowObject* pane, ListBoxState* state) {
    UnlinkWindowProperty(pane, kListBoxStateTag);
    if (DialogItemRecord* item = state->item) {
        TaggedDataRemove(&item->taggedData, kItemTagListWindow);
        ListBoxState* none = nullptr;
        if (item->control)
            ControlSetData(item->control, 0, kTagListBoxState, int32_t(sizeof none), &none);
    }
    DisposeTextStyleRecord(state->style);
    delete state;
}

int32_t PaneEvent(WindowObject* pane, WindowEvent* event) {
    ListBoxState* state = StateOfPane(pane);
    if (!state) return 0;
    switch (event->type) {
    case kWindowEventMouseDown:
    case kWindowEventDoubleClick:
        state->clickRow = -1;
        if (ListEnabled(state) && ListBoxTakesFocus(state->options))
            SetDialogFocusItem(state->dialog, ItemNumber(state->item));
        return 0;
    case kWindowEventKey:
        state->clickRow = -1;
        return 0;
    case kWindowEventControl:
        if (event->control.value == kListNotifyValue) {
            int32_t row = HitRow(pane, state);
            ReportItemHit(state->dialog, state->item, int16_t(event->control.controlValue), row);
            return 1;
        }
        return 0;
    case kWindowEventActivate:
        state->active = event->activate.active != 0;
        InvalidateListRow(pane, -1);
        return 0;
    case kWindowEventDispose:
        ForgetPane(pane, state);
        return 0;
    default:
        return 0;
    }
}

// The pane's content rectangle for the control's bounds: the frame and
// the bar lie inside the bounds.
Rect16 PaneContentFor(const Rect16& bounds, int16_t barThickness) {
    return Rect16{bounds.top, bounds.left, int16_t(bounds.bottom - kPaneFrame),
                  int16_t(bounds.right - kPaneFrame - barThickness)};
}

// The control's style block into the style (the default style without
// one).
void StyleFromControl(const ToolboxControlRecord* control, TextStyleRecord* style) {
    ControlStyleBlock block{};
    std::memcpy(&block, control->style, sizeof block);
    if (block.flags)
        TextStyleFromControlFont(&block, nullptr, style);
    else
        TextStyleForKind(style, kThemeDefaultStyle);
}

// The ascent and the mark column's width in the state's style.
void MeasureStyle(ListBoxState* state) {
    MakeWindowCurrentPort(state->pane);
    ApplyTextStyle(state->style);
    FontMetricsRecord metrics{};
    TextStyleMetrics(state->style, &metrics);
    state->ascent = int16_t(metrics.ascent);
    int32_t column = MeasureRawWidth(kMarkColumnText, int32_t(std::strlen(kMarkColumnText)));
    state->markColumn = int16_t(column - kMarkColumnLess);
}

} // namespace

bool MakeListBoxItem(WindowObject* dialog, DialogItemRecord* item, int32_t definition) {
    auto* owner = dialog ? static_cast<PaneRecord*>(dialog->pane) : nullptr;
    if (!owner || !item || !item->control) return false;
    auto* state = new (std::nothrow) ListBoxState{};
    if (!state) return false;
    state->item = item;
    state->dialog = dialog;
    state->clickRow = -1;
    state->active = true;
    state->highlight = SystemColour(COLOR_HIGHLIGHT);
    state->highlightText = SystemColour(COLOR_HIGHLIGHTTEXT);
    if ((definition & 0xF) == kListBoxSecondVariant) state->options |= kListBoxSecondOption;
    state->style = NewTextStyleRecord(dialog->pool ? dialog->pool : DefaultHeapPool(), nullptr);
    if (state->style) StyleFromControl(item->control, state->style);
    Rect16 content = PaneContentFor(item->control->bounds, owner->barThickness);
    WindowObject* pane = state->style ? NewPaneWindow(kPaneVariantFramed, kOptionVerticalBar, 0,
                                                      dialog, &content, nullptr, &PaneEvent)
                                      : nullptr;
    WindowProperty* property =
        pane ? LinkWindowProperty(pane, kListBoxStateTag, int32_t(sizeof state)) : nullptr;
    if (!property) {
        if (pane) DisposeWindowObject(pane);
        DisposeTextStyleRecord(state->style);
        delete state;
        return false;
    }
    *static_cast<ListBoxState**>(WindowPropertyData(property)) = state;
    state->pane = pane;
    state->paneId = pane->sequence;
    if (NewListView(pane, state->style, kRowHeightLinePlusOne, kListCellSize,
                    ListBoxListOptions(state->options) | kListReportDeletes, &RowProcedure) == 0) {
        DisposeWindowObject(pane); // the state goes with it
        return false;
    }
    MeasureStyle(state);
    TaggedDataPut(&item->taggedData, kItemTagListWindow, &pane, int32_t(sizeof pane));
    ControlSetData(item->control, 0, kTagListBoxState, int32_t(sizeof state), &state);
    return true;
}

ListBoxState* ListBoxStateOf(const DialogItemRecord* item) {
    if (!item || !item->control) return nullptr;
    ListBoxState* state = nullptr;
    ControlGetData(item->control, 0, kTagListBoxState, int32_t(sizeof state), &state, nullptr);
    return PaneAlive(state) ? state : nullptr;
}

WindowObject* ListBoxPaneOf(const DialogItemRecord* item) {
    ListBoxState* state = ListBoxStateOf(item);
    return state ? state->pane : nullptr;
}

void ShowListBoxPane(DialogItemRecord* item, bool show) {
    WindowObject* pane = ListBoxPaneOf(item);
    if (!pane) return;
    auto* record = static_cast<PaneRecord*>(pane->pane);
    if (show) {
        ShowPane(record);
        InvalidateListRow(pane, -1); // the pane's area is drawn anew
    } else {
        HidePane(record);
    }
}

void ActivateListBoxPane(DialogItemRecord* item, bool active) {
    WindowObject* pane = ListBoxPaneOf(item);
    if (!pane) return;
    WindowEvent event{};
    event.type = kWindowEventActivate;
    event.activate.active = active ? 1 : 0;
    EventDispatchToView(pane, &event);
}

void MoveListBoxPane(DialogItemRecord* item) {
    WindowObject* pane = ListBoxPaneOf(item);
    if (!pane) return;
    auto* record = static_cast<PaneRecord*>(pane->pane);
    const Rect16& b = item->control->bounds;
    int32_t id = pane->sequence;
    MovePane(record, b.left, b.top);
    if (WindowObjectFromId(id) != pane) return;
    ResizePane(record, int16_t(b.bottom - b.top), int16_t(b.right - b.left));
}

void DisposeListBoxPane(ListBoxState* state) {
    if (PaneAlive(state)) DisposeWindowObject(state->pane);
}

void ListBoxKey(DialogItemRecord* item, int32_t code, bool special, uint8_t modifiers) {
    WindowObject* pane = ListBoxPaneOf(item);
    if (!pane) return;
    WindowEvent event{};
    event.type = kWindowEventKey;
    event.key.character = uint16_t(code);
    event.key.special = special ? 1 : 0;
    event.key.modifiers = modifiers;
    event.key.shift = modifiers & 1;
    EventDispatchToView(pane, &event);
}

void ApplyListBoxStyle(ListBoxState* state) {
    if (!PaneAlive(state)) return;
    StyleFromControl(state->item->control, state->style);
    ListView* view = ListViewOf(state->pane);
    if (!view || !view->style) return;
    CopyTextStyle(state->style, view->style, kCopyStyleFont | kCopyStyleSize | kCopyStyleFace);
    MeasureStyle(state);
    FontMetricsRecord metrics{};
    TextStyleMetrics(state->style, &metrics);
    SetListRowHeight(state->pane, int16_t(ListBoxRowHeight(metrics.ascent, metrics.descent,
                                                           metrics.externalLeading)));
    InvalidateListRow(state->pane, -1);
}
