// The text log view's window: the chained event callback, drawing rows
// (4 pixels from the left, without their line break, marked rows
// inverted), row scrolling by moving pixels, the scroll range, appending
// with the last line brought into view, and clearing.
//
// Guarantees: as textlog.h; rows are read from the stream only through
// the text window, which reads only the bytes it does not hold.
#include <algorithm>
#include <new>

#include "toolbox/core/heap.h"
#include "toolbox/core/picture.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/fontmetrics.h"
#include "toolbox/ui/listscroll.h"
#include "toolbox/ui/scrollsteps.h"
#include "toolbox/ui/textdisplay.h"
#include "toolbox/ui/textlog.h"
#include "toolbox/ui/textstyle.h"

namespace {

int32_t LastFirstRow(const TextView* view) {
    return std::max(view->index.rowCount - view->visibleRows, 0);
}

void UpdateGeometry(TextView* view) {
    Rect16 content = RowWindowContent(view->window);
    view->visibleRows =
        int16_t(std::max(content.bottom - content.top, 0) / std::max<int32_t>(view->rowHeight, 1));
    view->firstVisible = std::clamp(view->firstVisible, 0, LastFirstRow(view));
    SetRowScrollBar(view->window, LastFirstRow(view), view->visibleRows, view->firstVisible);
}

// Draws the rows meeting the area (the window's port current).
void DrawRows(TextView* view, const Rect16& area) {
    Rect16 content = RowWindowContent(view->window);
    int32_t top = std::max(area.top, content.top), bottom = std::min(area.bottom, content.bottom);
    if (bottom <= top || view->rowHeight <= 0) return;
    if (view->style) ApplyTextStyle(view->style);
    int32_t first = view->firstVisible + (top - content.top) / view->rowHeight;
    int32_t last = view->firstVisible + (bottom - 1 - content.top) / view->rowHeight;
    last = std::min(last, view->index.rowCount - 1);
    Rect16 band{int16_t(top), content.left, int16_t(bottom), content.right};
    // Clipped to the band so that rows it cuts are not inked twice.
    ScopedClipRect clip(&band);
    DrawRectShape(&band, kVerbErase);
    if (last < first) return;
    if (TextLogLoadWindow(&view->textWindow, &view->index, view->stream, first, last) != 0) return;
    for (int32_t row = first; row <= last; ++row) {
        int32_t rowTop = content.top + (row - view->firstVisible) * view->rowHeight;
        const char* text = nullptr;
        int32_t count = TextLogRowText(&view->textWindow, &view->index, row, &text);
        MovePenTo(content.left + kTextViewLeftOffset, rowTop + view->ascent);
        if (count > 0 && text) DrawTextRun(text, count);
        if (BitSetContains(view->marks, row)) {
            Rect16 r{int16_t(rowTop), content.left, int16_t(rowTop + view->rowHeight),
                     content.right};
            DrawRectShape(&r, kVerbInvert);
        }
    }
}

void DrawAll(TextView* view) {
    MakeWindowCurrentPort(view->window);
    DrawRows(view, RowWindowContent(view->window));
    view->firstChanged = kTextViewNoChangedRow;
}

void ScrollTo(TextView* view, int32_t target) {
    target = std::clamp(target, 0, LastFirstRow(view));
    if (target != view->firstVisible) {
        MakeWindowCurrentPort(view->window);
        Rect16 content = RowWindowContent(view->window);
        int32_t from = view->firstVisible;
        view->firstVisible = target;
        DrawRows(view, ScrollRowPixels(content, view->rowHeight, from, target));
    }
    SetRowScrollBar(view->window, LastFirstRow(view), view->visibleRows, view->firstVisible);
}

void Dispose(WindowObject* window, TextView* view) {
    DisposeBitSet(view->marks);
    DisposeTextStyleRecord(view->style);
    ExchangeWindowEventCallback(window, view->previous);
    UnlinkWindowProperty(window, kTextViewTag);
    delete view;
}

int32_t TextViewEvent(WindowObject* window, WindowEvent* event) {
    TextView* view = TextViewOf(window);
    if (!view) return 0;
    int32_t id = window->sequence;
    WindowEventCallback previous = view->previous;
    int32_t answer = previous ? previous(window, event) : 0;
    if (WindowObjectFromId(id) != window) return answer;
    switch (event->type) {
    case kWindowEventUpdate:
        MakeWindowCurrentPort(window);
        DrawRows(view, event->update.rect);
        view->firstChanged = kTextViewNoChangedRow;
        return 1;
    case kWindowEventResize:
        UpdateGeometry(view);
        return answer;
    case kWindowEventScroll:
        if (event->scroll.bar != 0) return answer;
        TextViewScroll(window, ScrollStepFromEvent(kScrollEventFirst + event->scroll.action),
                       event->scroll.newValue);
        return 1;
    case kWindowEventScrollTo:
        TextViewScroll(window, kStepToRow,
                       event->scrollTo.v / std::max<int32_t>(view->rowHeight, 1));
        return 1;
    case kWindowEventDispose:
        Dispose(window, view);
        return answer;
    default:
        return answer;
    }
}

} // namespace

TextView* TextViewOf(WindowObject* window) {
    WindowProperty* property = window ? FindWindowProperty(window, kTextViewTag) : nullptr;
    return property ? *static_cast<TextView**>(WindowPropertyData(property)) : nullptr;
}

TextView* TextViewCreate(WindowObject* window, int32_t width, const TextStyleRecord* style,
                         ByteStream stream) {
    if (!window || !stream) return nullptr;
    auto* view = new (std::nothrow) TextView{};
    if (!view) return nullptr;
    view->pool = window->pool ? window->pool : DefaultHeapPool();
    view->window = window;
    view->stream = stream;
    view->firstChanged = kTextViewNoChangedRow;
    view->marks = NewBitSet(view->pool, 0);
    view->style = NewTextStyleRecord(view->pool, style);
    WindowProperty* property = LinkWindowProperty(window, kTextViewTag, sizeof(TextView*));
    if (!view->marks || !view->style || !property) {
        if (property) UnlinkWindowProperty(window, kTextViewTag);
        DisposeBitSet(view->marks);
        DisposeTextStyleRecord(view->style);
        delete view;
        return nullptr;
    }
    if (!style) {
        MakeWindowCurrentPort(window);
        TextStyleFromPort(view->style);
    }
    *static_cast<TextView**>(WindowPropertyData(property)) = view;
    view->previous = ExchangeWindowEventCallback(window, &TextViewEvent);
    PrepareRowWindow(window);
    FontMetricsRecord m{};
    TextStyleMetrics(view->style, &m);
    view->ascent = m.ascent;
    view->rowHeight = int16_t(std::max(m.ascent + m.descent + m.externalLeading, 1));
    view->baselineOffset = int16_t(m.descent + m.externalLeading);
    (void)width; // the owner sizes the window
    TextLogIndexInit(&view->index);
    TextLogIndexFrom(&view->index, stream, 0);
    UpdateGeometry(view);
    return view;
}

void TextViewScroll(WindowObject* window, int32_t kind, int32_t value) {
    TextView* view = TextViewOf(window);
    if (!view || kind == kStepNone) return;
    ScrollTo(view, ScrollStepTarget(kind, view->firstVisible, view->visibleRows, value,
                                    LastFirstRow(view)));
}

int32_t TextViewAppend(WindowObject* window, const char* text, int32_t length, bool show) {
    TextView* view = TextViewOf(window);
    if (!view) return 0;
    int32_t lastRow = std::max(view->index.rowCount - 1, 0);
    int32_t error = TextLogAppend(&view->index, view->stream, text, length);
    ResizeBitSet(view->marks, view->index.rowCount);
    view->firstChanged = std::min(view->firstChanged, lastRow);
    SetRowScrollBar(window, LastFirstRow(view), view->visibleRows, view->firstVisible);
    if (!show) return error;
    int32_t last = view->index.rowCount - 1;
    if (last >= view->firstVisible + view->visibleRows) {
        ScrollTo(view, last - view->visibleRows + 1);
    }
    // The changed rows still in view.
    MakeWindowCurrentPort(window);
    Rect16 content = RowWindowContent(window);
    int32_t from = std::max(view->firstChanged, view->firstVisible);
    Rect16 area = content;
    area.top = int16_t(std::clamp<int32_t>(
        content.top + (from - view->firstVisible) * view->rowHeight, content.top, content.bottom));
    DrawRows(view, area);
    view->firstChanged = kTextViewNoChangedRow;
    return error;
}

void TextViewClear(WindowObject* window) {
    TextView* view = TextViewOf(window);
    if (!view) return;
    TextLogClear(&view->index, &view->textWindow, view->stream);
    for (int32_t row = BitSetNextMember(view->marks, -1); row >= 0;
         row = BitSetNextMember(view->marks, row))
        BitSetExclude(view->marks, row);
    view->firstVisible = 0;
    UpdateGeometry(view);
    DrawAll(view);
}
