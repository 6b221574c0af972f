// Text records over the current port: making and measuring them, and the
// editing operations that run the engine inside a drawing set-up and
// redraw what changed (the lines from the one before the edit on, the
// unchanged lines below moved by whole lines, or the old and new selection), then keep the caret in
// view with auto view.
//
// Guarantees: a record that cannot be made completely is none, with
// nothing left allocated; every edit leaves the caret and highlight shown
// exactly for the new selection.
#include <windows.h>

#include <algorithm>
#include <new>

#include "toolbox/core/heap.h"
#include "toolbox/core/inputmessage.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/ticks.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/fontlist.h"
#include "toolbox/ui/fontmetrics.h"
#include "toolbox/ui/textdisplay.h"
#include "toolbox/ui/textmeasure.h"
#include "toolbox/ui/textrecord.h"
#include "toolbox/ui/textscrap.h"
#include "toolbox/ui/textstyle.h"

namespace {

constexpr int32_t kTrackPauseMs = 10;
constexpr int32_t kAllStyleParts = kCopyStyleFont | kCopyStyleSize | kCopyStyleFace;

// Line height, ascent and character width of the record's style (inside a
// set-up, so the style is the current font).
void MeasureStyle(TextRecord* record) {
    FontMetricsRecord m{};
    GetStateFontMetrics(&m);
    char face[kFontNameCapacity] = {0};
    int16_t number = record->style ? record->style->fontNumber : kSystemFontNumber;
    if (number == kSystemFontNumber0 || number == kSystemFontNumber)
        lstrcpynA(face, SystemFaceName(), kFontNameCapacity);
    else
        FontNameFromNumber(number, face, kFontNameCapacity);
    record->ascent = m.ascent;
    record->lineHeight = TextLineHeightOf(m.ascent, m.descent, m.externalLeading, face);
    const char probe = 'x';
    record->charWidth = uint8_t(std::clamp(MeasureRawWidth(&probe, 1), 0, 255));
    if (record->tabStopCount != 0)
        record->tabWidth = int16_t(record->tabStopCount * record->charWidth);
}

// The first line an edit at `offset` can change (the one before, which a
// shorter word may now fill).
int32_t FirstLineOfEdit(const TextRecord* record, int32_t offset) {
    return std::max(TextLineOfOffset(offset, record) - 1, 0);
}

// Runs an edit of the text and redraws from the first line it touched.
template <typename Edit> void RunEdit(TextRecord* record, Edit edit) {
    BeginTextDrawing(record);
    HideTextCaret(record);
    int32_t before = std::min(record->selStart, record->selEnd);
    int32_t firstBefore = FirstLineOfEdit(record, before);
    TextLayoutBefore layout = CaptureTextLayout(record);
    edit();
    int32_t first = std::min(firstBefore, FirstLineOfEdit(record, record->selStart));
    // The text after the caret is the old text after the edit, shifted.
    DrawTextAfterEdit(record, first, layout, std::max(record->selStart, record->selEnd));
    ShowTextSelection(record);
    TextSelView(record);
    EndTextDrawing();
}

// Runs a change of the selection only: the old one hidden, the new shown.
template <typename Change> void RunSelection(TextRecord* record, Change change) {
    BeginTextDrawing(record);
    HideTextSelection(record);
    change();
    ShowTextSelection(record);
    TextSelView(record);
    EndTextDrawing();
}

bool IsMoveKey(int32_t key) {
    return key == kTextKeyUp || key == kTextKeyDown || key == kTextKeyLeft || key == kTextKeyRight;
}

// The mouse in the record's port coordinates; false when the port is not
// a window.
bool MouseInPort(const TextRecord* record, Point16* out) {
    auto* state = static_cast<DrawingState*>(record->drawingState);
    if (!state || state->dcKind != kStateDcWindow || !state->target) return false;
    POINT p;
    if (!GetCursorPos(&p)) return false;
    ScreenToClient(static_cast<HWND>(state->target), &p);
    *out = Point16{int16_t(p.y + state->origin.v), int16_t(p.x + state->origin.h)};
    return true;
}

// The unit around an offset that dragging extends by: a character, a word
// or a line.
void UnitRange(const TextRecord* record, int32_t offset, int32_t unit, int32_t* start,
               int32_t* end) {
    if (unit == 1) {
        TextWordRange(record, offset, start, end);
    } else if (unit == 2) {
        int32_t line = TextLineOfOffset(offset, record);
        *start = record->lineStarts[line];
        *end = record->lineStarts[line + 1];
    } else {
        *start = *end = offset;
    }
}

// Autoscroll of a tracked click: one line height toward the mouse while
// there is more text that way.
bool AutoScrollToward(TextRecord* record, Point16 mouse) {
    if (!(record->features & kTextFeatureAutoView)) return false;
    int32_t textBottom = record->destination.top + record->lineCount * record->lineHeight;
    if (mouse.v < record->view.top && record->destination.top < record->view.top) {
        TextScroll(0, record->lineHeight, record);
        return true;
    }
    if (mouse.v >= record->view.bottom && textBottom > record->view.bottom) {
        TextScroll(0, -record->lineHeight, record);
        return true;
    }
    return false;
}

} // namespace

TextRecord* NewTextRecord(const Rect16* destination, const Rect16* view) {
    auto* record = new (std::nothrow) TextRecord;
    if (!record) return nullptr;
    if (!InitTextRecord(record, destination, view, 0, 0)) {
        delete record;
        return nullptr;
    }
    record->style = NewTextStyleRecord(DefaultHeapPool(), nullptr);
    if (!record->style) {
        delete record;
        return nullptr;
    }
    TextStyleFromPort(record->style);
    record->window = CurrentPort();
    record->drawingState = CurrentState();
    record->foreground = GetForegroundColourValue();
    record->background = GetBackgroundColourValue();
    record->transferMode = GetTextMode();
    BeginTextDrawing(record);
    MeasureStyle(record);
    TextCalcLines(record);
    record->caretPoint = TextOffsetToPoint(0, record);
    EndTextDrawing();
    return record;
}

void DisposeTextRecord(TextRecord* record) {
    if (!record) return;
    DisposeTextStyleRecord(record->style);
    delete record;
}

void SetTextRecordStyle(const TextStyleRecord* style, int32_t mode, TextRecord* record) {
    if (!record) return;
    BeginTextDrawing(record);
    if (style)
        CopyTextStyle(style, record->style, uint32_t(mode) & kAllStyleParts);
    else
        TextStyleFromPort(record->style);
    ApplyTextStyle(record->style);
    MeasureStyle(record);
    TextCalcLines(record);
    record->caretPoint = TextOffsetToPoint(record->selStart, record);
    EndTextDrawing();
}

void ShowTextRecordText(const char* text, int32_t length, TextRecord* record) {
    if (!record) return;
    RunEdit(record, [&] { SetTextRecordText(text, length, record); });
}

void ShowTextRecordSelection(int32_t start, int32_t end, TextRecord* record) {
    if (!record) return;
    int32_t s = std::clamp(std::min(start, end), 0, record->length);
    int32_t e = std::clamp(std::max(start, end), 0, record->length);
    if (s == record->selStart && e == record->selEnd) return;
    RunSelection(record, [&] { SetTextRecordSelection(start, end, record); });
}

void TextRecordKey(int32_t key, TextRecord* record) {
    if (!record || !record->active) return;
    if (IsMoveKey(key))
        RunSelection(record, [&] { TextKey(key, record); });
    else
        RunEdit(record, [&] { TextKey(key, record); });
}

bool TextRecordInsert(const char* text, int32_t length, TextRecord* record) {
    if (!record) return false;
    bool done = false;
    RunEdit(record, [&] { done = TextInsert(text, length, record); });
    return done;
}

void TextRecordDelete(TextRecord* record) {
    if (!record || record->selStart == record->selEnd) return;
    RunEdit(record, [&] { TextDelete(record); });
}

void TextRecordCut(TextRecord* record) {
    if (!record || record->selStart == record->selEnd) return;
    RunEdit(record, [&] { TextCut(record); });
    PublishClipboardText();
}

void TextRecordCopy(TextRecord* record) {
    if (!record) return;
    TextCopy(record);
    PublishClipboardText();
}

void TextRecordPaste(TextRecord* record) {
    if (!record) return;
    RunEdit(record, [&] { TextPaste(record); });
}

bool TextRecordPasteFiltered(TextRecord* record, int32_t limit, bool (*filter)(char)) {
    if (!record) return false;
    bool done = false;
    RunEdit(record, [&] { done = TextPasteFiltered(record, limit, filter); });
    return done;
}

void TextClick(Point16 point, uint16_t modifiers, bool extend, TextRecord* record) {
    if (!record || !record->active) return;
    extend = extend || (modifiers & kModShift);
    BeginTextDrawing(record);
    int32_t offset = TextPointToOffset(point, record);
    uint32_t now = GetTicks();
    bool repeat = !extend && offset == record->lastClickOffset &&
                  now - record->lastClickTime <= uint32_t(DoubleClickTicks());
    int32_t unit = repeat ? (record->wordSelection ? 2 : 1) : 0;
    HideTextSelection(record);
    TextClickOffset(offset, now, uint32_t(DoubleClickTicks()), extend, record);
    // A plain click beyond the end of a wrapped line shows the caret there.
    if (unit == 0 && !extend && record->selStart == record->selEnd && offset > 0) {
        int32_t line = TextLineOfOffset(offset, record);
        if (record->lineStarts[line] == offset && TextLineIsWrapped(record, line) &&
            point.v < record->destination.top + line * record->lineHeight)
            record->caretAtLineEnd = 1;
    }
    ShowTextSelection(record);
    int32_t anchorStart = record->selStart, anchorEnd = record->selEnd;
    if (extend)
        anchorStart = anchorEnd = (record->selStart == offset ? record->selEnd : record->selStart);
    Point16 last = point;
    while (PollMouseStillDown(0)) {
        if (record->clickLoop) record->clickLoop(record);
        Point16 mouse;
        if (!MouseInPort(record, &mouse)) break;
        bool scrolled = AutoScrollToward(record, mouse);
        if (!scrolled && mouse.v == last.v && mouse.h == last.h) {
            Sleep(kTrackPauseMs);
            continue;
        }
        last = mouse;
        int32_t at = TextPointToOffset(mouse, record);
        int32_t s, e;
        UnitRange(record, at, unit, &s, &e);
        int32_t start = std::min(s, anchorStart), end = std::max(e, anchorEnd);
        if (start != record->selStart || end != record->selEnd) {
            HideTextSelection(record);
            SetTextRecordSelection(start, end, record);
            ShowTextSelection(record);
        }
    }
    record->lastClickTime = GetTicks();
    EndTextDrawing();
}
