// List views in windows: the view's record and its life with the window,
// the operations on rows that redraw what changed, drawing rows through
// the list procedure, the edited cell's frame and edit text, and row
// scrolling by moving pixels.
//
// Guarantees: as listview.h; the model's first changed row is drawn and
// cleared after every operation while drawing is on.
#include <algorithm>
#include <new>

#include "toolbox/core/heap.h"
#include "toolbox/core/panehost.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/timertask.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowobject_win32.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/fontmetrics.h"
#include "toolbox/ui/listscroll.h"
#include "toolbox/ui/listview.h"
#include "toolbox/ui/listviewparts.h"
#include "toolbox/ui/scrollsteps.h"
#include "toolbox/ui/textrecord.h"
#include "toolbox/ui/textstyle.h"

namespace {

// The edit text's place while no cell is edited.
constexpr Rect16 kEditTextOffScreen{-1020, -1020, -1010, -1010};

ListView* ViewOfModel(ListRecord* list) {
    return static_cast<ListView*>(list->owner);
}

bool Drawing(const ListView* view) {
    return view->model.drawingLevel >= 0;
}

Rect16 Content(const ListView* view) {
    return RowWindowContent(view->window);
}

// The procedure as the model calls it: the window side's fields filled in
// and the answers the window side needs caught.
int32_t Trampoline(ListRecord* list, int32_t message, ListParams* params) {
    ListView* view = ViewOfModel(list);
    if (!view->procedure) return 0;
    params->rowHeight = list->rowHeight;
    params->rowWidth = view->rowWidth;
    params->drawing = Drawing(view);
    params->editText = view->editText;
    if ((message == kListMsgStoreEdit || message == kListMsgBeforeEndEdit) && view->editText) {
        params->text = view->editText->text.data();
        params->textLength = view->editText->length;
    }
    int32_t answer = view->procedure(view->window, message, params);
    if (message == kListMsgCellText) {
        view->cellText = params->text;
        view->cellTextLength = params->text ? params->textLength : 0;
    }
    if (message == kListMsgBeginEndEdit) {
        if (view->endingEdit) {
            view->endFlags = answer;
            view->endingEdit = false;
        } else {
            view->beginFlags = answer;
        }
    }
    return answer;
}

Rect16 CellRect(ListView* view, int32_t row, int32_t part) {
    ListParams params{};
    params.row = row;
    params.part = part;
    params.rect = ListRowRect(view, row);
    Trampoline(&view->model, kListMsgCellRect, &params);
    return params.rect;
}

bool RowVisible(const ListView* view, int32_t row) {
    return row >= view->model.firstVisible &&
           row < view->model.firstVisible + view->model.visibleRows;
}

void FrameCell(ListView* view, int32_t row, int32_t part, bool draw) {
    if (row < 0 || !RowVisible(view, row)) return;
    Rect16 r = CellRect(view, row, part);
    r = Rect16{int16_t(r.top - kListFrameOutset), int16_t(r.left - kListFrameOutset),
               int16_t(r.bottom + kListFrameOutset), int16_t(r.right + kListFrameOutset)};
    MakeWindowCurrentPort(view->window);
    uint32_t saved = GetForegroundColourValue();
    SetForegroundColour(draw ? kListFrameColour : kListFrameEraseColour);
    DrawRectShape(&r, kVerbFrame);
    SetForegroundColour(saved);
}

// The edit text on the edited cell, or where nothing shows.
void PlaceEditText(ListView* view) {
    TextRecord* text = view->editText;
    if (!text) return;
    Rect16 r = kEditTextOffScreen;
    if (view->model.editRow >= 0) {
        r = CellRect(view, view->model.editRow, view->model.editPart);
        if (!RowVisible(view, view->model.editRow)) {
            r.top = kListEditHiddenTop;
            r.bottom = kListEditHiddenBottom;
        }
    }
    text->destination = r;
    text->view = r;
    text->caretPoint = TextOffsetToPoint(text->selStart, text);
}

void DrawRow(ListView* view, int32_t row) {
    if (!RowVisible(view, row) || row >= view->model.rowCount) return;
    ListParams params{};
    params.row = row;
    params.rect = ListRowRect(view, row);
    params.selected = ListRowSelected(&view->model, row);
    if (view->model.cellSize > 0)
        params.cell = view->model.cells.data() + size_t(row) * size_t(view->model.cellSize);
    bool edited = row == view->model.editRow;
    if (edited) params.part = view->model.editPart;
    int32_t answer = Trampoline(&view->model, kListMsgDrawRow, &params);
    if (edited) {
        DrawTextRecord(nullptr, view->editText);
        if (answer & kListDrawFrame) FrameCell(view, row, view->model.editPart, true);
    }
}

// Draws the rows meeting the area (the window's port current), erasing
// the part below the last row.
void DrawRowsIn(ListView* view, const Rect16& area) {
    Rect16 content = Content(view);
    int32_t top = std::max(area.top, content.top), bottom = std::min(area.bottom, content.bottom);
    if (bottom <= top) return;
    MakeWindowCurrentPort(view->window);
    ListParams params{};
    Trampoline(&view->model, kListMsgBeginDrawing, &params);
    int32_t h = view->model.rowHeight;
    int32_t first = view->model.firstVisible + (top - content.top) / h;
    int32_t last = view->model.firstVisible + (bottom - 1 - content.top) / h;
    for (int32_t row = first; row <= last && row < view->model.rowCount; ++row)
        DrawRow(view, row);
    int32_t below = content.top + (view->model.rowCount - view->model.firstVisible) * h;
    if (below < bottom) {
        Rect16 rest{int16_t(std::max(below, top)), content.left, int16_t(bottom), content.right};
        DrawRectShape(&rest, kVerbErase);
    }
    Trampoline(&view->model, kListMsgEndDrawing, &params);
}

void InvalidateFrom(ListView* view, int32_t row) {
    Rect16 content = Content(view);
    Rect16 r = content;
    int32_t top =
        content.top + (std::max(row, view->model.firstVisible) - view->model.firstVisible) *
                          view->model.rowHeight;
    r.top = int16_t(std::clamp<int32_t>(top, content.top, content.bottom));
    HostInvalidateRect(static_cast<PortRecord*>(view->window->port), &r, kAreaInvalidate);
}

void DrawFromRow(ListView* view, int32_t row) {
    Rect16 content = Content(view);
    int32_t top =
        content.top + (std::max(row, view->model.firstVisible) - view->model.firstVisible) *
                          view->model.rowHeight;
    Rect16 area = content;
    area.top = int16_t(std::clamp<int32_t>(top, content.top, content.bottom));
    DrawRowsIn(view, area);
}

// After a model change: the rows from the first changed one drawn.
void ShowChanges(ListView* view) {
    if (!Drawing(view)) return;
    int32_t from = view->model.firstChanged;
    view->model.firstChanged = kListNoChangedRow;
    if (from == kListNoChangedRow) return;
    DrawFromRow(view, from);
}

void UpdateBar(ListView* view) {
    SetRowScrollBar(view->window, view->model.lastFirstRow, view->model.visibleRows,
                    view->model.firstVisible);
}

void UpdateGeometry(ListView* view) {
    Rect16 content = Content(view);
    view->rowWidth = int16_t(std::min<int32_t>(view->window->width, content.right - content.left));
    if (view->rowWidth <= 0) view->rowWidth = int16_t(content.right - content.left);
    ListComputeGeometry(&view->model, content.bottom - content.top);
    PlaceEditText(view);
    UpdateBar(view);
}

void ScrollToFirst(ListView* view, int32_t target) {
    target = std::clamp(target, 0, view->model.lastFirstRow);
    int32_t from = view->model.firstVisible;
    if (target != from) {
        view->model.firstVisible = target;
        PlaceEditText(view);
        if (Drawing(view)) {
            MakeWindowCurrentPort(view->window);
            DrawRowsIn(view, ScrollRowPixels(Content(view), view->model.rowHeight, from, target));
        } else {
            ListNoteChangedRow(&view->model, target);
        }
    }
    UpdateBar(view);
}

void BlinkTask(TimerTask*, void* data) {
    auto* view = static_cast<ListView*>(data);
    if (view->model.editRow >= 0 && view->editText) TextIdle(view->editText);
}

void Dispose(WindowObject* window, ListView* view) {
    if (view->model.options & kListReportDeletes) DeleteListRows(&view->model, 0, -1);
    if (view->blinkTimer) RemoveTimerTask(view->blinkTimer);
    DisposeTextRecord(view->editText);
    DisposeTextStyleRecord(view->style);
    DisposeListRecord(&view->model);
    ExchangeWindowEventCallback(window, view->previous);
    window->menuEnableCallback = view->previousMenuEnable;
    UnlinkWindowProperty(window, kListViewTag);
    delete view;
}

} // namespace

// Shared with the event file.
void ListDrawArea(ListView* view, const Rect16& area) {
    DrawRowsIn(view, area);
}
void ListShowChanges(ListView* view) {
    ShowChanges(view);
}
void ListDisposeView(WindowObject* window, ListView* view) {
    Dispose(window, view);
}
void ListUpdateGeometry(ListView* view) {
    UpdateGeometry(view);
}
Rect16 ListCellRect(ListView* view, int32_t row, int32_t part) {
    return CellRect(view, row, part);
}
int32_t ListAsk(ListView* view, int32_t message, ListParams* params) {
    return Trampoline(&view->model, message, params);
}

ListSelectionSnapshot ListSnapSelection(const ListView* view) {
    ListSelectionSnapshot snapshot{view->model.firstVisible, {}};
    for (int32_t i = 0; i < view->model.visibleRows; ++i)
        snapshot.states.push_back(ListRowSelected(&view->model, view->model.firstVisible + i));
    return snapshot;
}

void ListShowSelection(ListView* view, const ListSelectionSnapshot& before) {
    if (!Drawing(view)) return;
    if (before.firstVisible != view->model.firstVisible ||
        int32_t(before.states.size()) != view->model.visibleRows) {
        ShowChanges(view);
        return;
    }
    MakeWindowCurrentPort(view->window);
    int32_t message = view->dragRow >= 0 ? kListMsgDragFeedback : kListMsgRedrawSelection;
    for (int32_t i = 0; i < view->model.visibleRows; ++i) {
        int32_t row = view->model.firstVisible + i;
        bool selected = ListRowSelected(&view->model, row);
        if (row >= view->model.rowCount || selected == bool(before.states[size_t(i)])) continue;
        ListParams params{};
        params.row = row;
        params.rect = ListRowRect(view, row);
        params.selected = selected;
        if (view->model.cellSize > 0)
            params.cell = view->model.cells.data() + size_t(row) * size_t(view->model.cellSize);
        int32_t answer = Trampoline(&view->model, message, &params);
        if (message == kListMsgDragFeedback && (answer & kListDrawInsertion)) {
            Rect16 line{params.rect.top, params.rect.left,
                        int16_t(params.rect.top + kListInsertionLineHeight), params.rect.right};
            uint32_t saved = GetForegroundColourValue();
            SetForegroundColour(kListFrameColour);
            DrawRectShape(&line, kVerbPaint);
            SetForegroundColour(saved);
        }
    }
    view->model.firstChanged = kListNoChangedRow;
}

std::vector<int32_t> ListSelectedRows(const ListView* view) {
    std::vector<int32_t> rows;
    for (int32_t r = NextSelectedRow(&view->model, 0); r >= 0;
         r = NextSelectedRow(&view->model, r + 1))
        rows.push_back(r);
    return rows;
}

Rect16 ListRowRect(const ListView* view, int32_t row) {
    Rect16 content = RowWindowContent(view->window);
    int32_t top = content.top + (row - view->model.firstVisible) * view->model.rowHeight;
    return Rect16{int16_t(top), content.left, int16_t(top + view->model.rowHeight),
                  int16_t(content.left + view->rowWidth)};
}

ListView* ListViewOf(WindowObject* window) {
    WindowProperty* property = window ? FindWindowProperty(window, kListViewTag) : nullptr;
    return property ? *static_cast<ListView**>(WindowPropertyData(property)) : nullptr;
}

int16_t NewListView(WindowObject* window, const TextStyleRecord* style, int16_t rowHeight,
                    int32_t cellSize, uint32_t options, ListViewProcedure procedure) {
    if (!window) return 0;
    auto* view = new (std::nothrow) ListView{};
    if (!view) return 0;
    view->window = window;
    view->procedure = procedure;
    view->dragRow = -1;
    HeapPool* pool = window->pool ? window->pool : DefaultHeapPool();
    view->style = NewTextStyleRecord(pool, style);
    MakeWindowCurrentPort(window);
    if (view->style && !style) TextStyleFromPort(view->style);
    if (rowHeight <= 0 && view->style) {
        FontMetricsRecord m{};
        TextStyleMetrics(view->style, &m);
        rowHeight = int16_t(m.ascent + m.descent + m.externalLeading - rowHeight);
    }
    Rect16 content = RowWindowContent(window);
    WindowProperty* property = LinkWindowProperty(window, kListViewTag, sizeof(ListView*));
    if (!view->style || !property ||
        !InitListRecord(&view->model, options, cellSize, std::max<int16_t>(rowHeight, 1),
                        content.bottom - content.top, &Trampoline)) {
        if (property) UnlinkWindowProperty(window, kListViewTag);
        DisposeTextStyleRecord(view->style);
        delete view;
        return 0;
    }
    view->model.owner = view;
    *static_cast<ListView**>(WindowPropertyData(property)) = view;
    view->previous = ExchangeWindowEventCallback(window, &ListHandleEvent);
    view->previousMenuEnable = window->menuEnableCallback;
    window->menuEnableCallback = &ListMenuEnable;
    PrepareRowWindow(window);
    if (options & kListTrimHeight) {
        int32_t height = content.bottom - content.top;
        int32_t trimmed = height - height % view->model.rowHeight;
        if (trimmed > 0 && trimmed != height) {
            Rect16 size{0, 0, int16_t(trimmed), int16_t(content.right - content.left)};
            SetWindowContentSize(window, &size);
        }
    }
    if (options & kListEditCells) {
        ApplyTextStyle(view->style);
        view->editText = NewTextRecord(&kEditTextOffScreen, &kEditTextOffScreen);
        if (view->editText) SetTextFeature(kTextFeatureAutoView, kTextFeatureSet, view->editText);
        InstallTimerTask(TicksToMs(CaretBlinkTicks()), 0, &BlinkTask, view, &view->blinkTimer);
    }
    UpdateGeometry(view);
    return view->model.rowHeight;
}

int32_t ListRowCount(WindowObject* window) {
    ListView* view = ListViewOf(window);
    return view ? view->model.rowCount : 0;
}

bool InsertListRows(WindowObject* window, int32_t row, const void* data, int32_t count) {
    ListView* view = ListViewOf(window);
    if (!view) return false;
    bool done = InsertListRows(&view->model, row, data, count);
    UpdateGeometry(view);
    ShowChanges(view);
    return done;
}

void DeleteListRows(WindowObject* window, int32_t row, int32_t count) {
    ListView* view = ListViewOf(window);
    if (!view) return;
    DeleteListRows(&view->model, row, count);
    UpdateGeometry(view);
    ShowChanges(view);
}

int32_t GetListCell(WindowObject* window, int32_t row, void* data) {
    ListView* view = ListViewOf(window);
    return view ? GetListCell(&view->model, row, data) : 0;
}

void SetListCell(WindowObject* window, int32_t row, const void* data) {
    ListView* view = ListViewOf(window);
    if (!view || row < 0 || row >= view->model.rowCount) return;
    SetListCell(&view->model, row, data);
    RedrawListRow(window, row);
}

bool SetListRowSelected(WindowObject* window, int32_t row, bool select) {
    ListView* view = ListViewOf(window);
    if (!view) return false;
    if (view->model.editRow >= 0 && !SetListEditCell(window, -1, 0)) return false;
    ListSelectionSnapshot before = ListSnapSelection(view);
    bool changed = SetListRowSelected(&view->model, row, select);
    ListShowSelection(view, before);
    return changed;
}

int32_t NextSelectedRow(WindowObject* window, int32_t row) {
    ListView* view = ListViewOf(window);
    return view ? NextSelectedRow(&view->model, row) : -1;
}

uint32_t SetListOptions(WindowObject* window, uint32_t set, uint32_t clear) {
    ListView* view = ListViewOf(window);
    return view ? SetListOptions(&view->model, set, clear) : 0;
}

bool SetListMultiSelect(WindowObject* window, bool on) {
    uint32_t before = SetListOptions(window, on ? kListMultiSelect : 0, on ? 0 : kListMultiSelect);
    return before & kListMultiSelect;
}

bool SetListDragSelect(WindowObject* window, bool on) {
    uint32_t before = SetListOptions(window, on ? kListDragSelect : 0, on ? 0 : kListDragSelect);
    return before & kListDragSelect;
}

void SetListRowHeight(WindowObject* window, int16_t height) {
    ListView* view = ListViewOf(window);
    if (!view || height < 2 || height == view->model.rowHeight) return;
    view->model.rowHeight = height;
    UpdateGeometry(view);
    ListNoteChangedRow(&view->model, view->model.firstVisible);
    ShowChanges(view);
}

bool SetListDrawingEnabled(WindowObject* window, bool on, bool atOnce) {
    ListView* view = ListViewOf(window);
    if (!view) return false;
    int32_t from = kListNoChangedRow;
    bool drawing = SetListDrawingEnabled(&view->model, on, &from);
    if (from != kListNoChangedRow) {
        if (atOnce)
            DrawFromRow(view, from);
        else
            InvalidateFrom(view, from);
    }
    return drawing;
}

void InvalidateListRow(WindowObject* window, int32_t row) {
    ListView* view = ListViewOf(window);
    if (!view) return;
    Rect16 r = row < 0 ? Content(view) : ListRowRect(view, row);
    HostInvalidateRect(static_cast<PortRecord*>(window->port), &r, kAreaInvalidate);
}

void RedrawListRow(WindowObject* window, int32_t row) {
    ListView* view = ListViewOf(window);
    if (!view) return;
    if (!Drawing(view)) {
        ListNoteChangedRow(&view->model, std::max(row, 0));
        return;
    }
    if (row < 0) {
        DrawRowsIn(view, Content(view));
        return;
    }
    if (!RowVisible(view, row)) return;
    MakeWindowCurrentPort(window);
    DrawRowsIn(view, ListRowRect(view, row));
}

void ScrollListToRow(WindowObject* window, int32_t row, bool toTop) {
    ListView* view = ListViewOf(window);
    if (!view || view->model.rowCount == 0) return;
    row = std::clamp(row, 0, view->model.rowCount - 1);
    ScrollToFirst(view,
                  ScrollRowIntoView(row, toTop, view->model.firstVisible, view->model.visibleRows,
                                    view->model.rowCount, view->model.lastFirstRow));
}

void ListScroll(WindowObject* window, int32_t kind, int32_t value) {
    ListView* view = ListViewOf(window);
    if (!view || kind == kStepNone) return;
    ScrollToFirst(view, ScrollStepTarget(kind, view->model.firstVisible, view->model.visibleRows,
                                         value, view->model.lastFirstRow));
}

bool SetListEditCell(WindowObject* window, int32_t row, int32_t part) {
    ListView* view = ListViewOf(window);
    if (!view) return false;
    int32_t oldRow = view->model.editRow, oldPart = view->model.editPart;
    view->beginFlags = 0;
    view->endFlags = 0;
    view->endingEdit = oldRow >= 0;
    view->cellText = nullptr;
    view->cellTextLength = 0;
    if (!SetListEditCell(&view->model, row, part)) {
        view->endingEdit = false;
        return false;
    }
    if (oldRow >= 0) {
        if (view->editText) TextDeactivate(view->editText);
        if (!Drawing(view)) {
            InvalidateListRow(window, oldRow);
        } else if (view->endFlags & kListBeginFrame) {
            FrameCell(view, oldRow, oldPart, false);
        }
        PlaceEditText(view);
        if (Drawing(view)) RedrawListRow(window, oldRow);
    }
    ShowChanges(view);
    view->endingEdit = false;
    if (view->model.editRow < 0 || !view->editText) return true;
    ScrollListToRow(window, view->model.editRow, false);
    PlaceEditText(view);
    SetTextRecordText(view->cellText, view->cellTextLength, view->editText);
    SetTextRecordSelection(0, view->editText->length, view->editText);
    if (!Drawing(view)) {
        InvalidateListRow(window, view->model.editRow);
        return true;
    }
    RedrawListRow(window, view->model.editRow);
    if (view->beginFlags & kListBeginFrame)
        FrameCell(view, view->model.editRow, view->model.editPart, true);
    if (view->beginFlags & kListBeginActivate) TextActivate(view->editText);
    return true;
}

int32_t GetListEditCell(WindowObject* window, int32_t* part, int32_t* selStart, int32_t* selEnd) {
    ListView* view = ListViewOf(window);
    if (!view || view->model.editRow < 0) {
        if (part) *part = 0;
        return -1;
    }
    if (part) *part = view->model.editPart;
    if (selStart) *selStart = view->editText ? view->editText->selStart : 0;
    if (selEnd) *selEnd = view->editText ? view->editText->selEnd : 0;
    return view->model.editRow;
}
