// Showing a text record: the nesting drawing set-up, drawing lines in the
// record's colours (turned with the port's text angle), the selection in the system highlight
// colours, the caret as an inverted one-pixel line, and scrolling the view's pixels.
//
// Guarantees: the first set-up saves the port, its settings and its clip
// and the last one restores them; lines are drawn only within the view
// (unless the record asks not to clip); the caret flag always tells
// whether the caret's pixels are inverted at the moment.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "toolbox/core/picture.h"
#include "toolbox/core/region.h"
#include "toolbox/core/systemtimes.h"
#include "toolbox/core/ticks.h"
#include "toolbox/ui/colour.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"
#include "toolbox/ui/logfont.h"
#include "toolbox/ui/textdisplay.h"
#include "toolbox/ui/textrecord.h"
#include "toolbox/ui/textstyle.h"

namespace {

struct SavedPort {
    WindowObject* port;
    DrawingState* state;
    DrawingSettings settings;
    RegionRecord* clip;
};
constexpr int32_t kRightAngle = 90;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
int32_t g_setUpDepth = 0;
SavedPort g_saved{};

Rect16 Intersect(const Rect16& a, const Rect16& b) {
    Rect16 r{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
             std::min(a.right, b.right)};
    if (r.bottom < r.top) r.bottom = r.top;
    if (r.right < r.left) r.right = r.left;
    return r;
}

bool IsEmpty(const Rect16& r) {
    return r.bottom <= r.top || r.right <= r.left;
}

int32_t LineTop(const TextRecord* record, int32_t line) {
    return record->destination.top + line * record->lineHeight;
}

int32_t LineLeftOf(const TextRecord* record, int32_t line) {
    int32_t room = record->destination.right - record->destination.left - 1 -
                   TextLineJustifyWidth(record, line);
    int32_t left = record->destination.left + 1;
    if (record->justification == kTextJustRight) left += room;
    if (record->justification == kTextJustCentre) left += room / 2;
    return left;
}

// The port's text angle in whole degrees clockwise (0: not rotated).
int32_t TextDegrees() {
    DrawingState* state = CurrentState();
    return state ? WholeDegrees(state->settings.textAngle) : 0;
}

// A point of the unrotated layout turned by the degrees (clockwise on the
// screen) about the destination's top-left corner.
Point32 Turned(const TextRecord* record, int32_t degrees, int32_t h, int32_t v) {
    if (degrees == 0) return Point32{v, h};
    int32_t dh = h - record->destination.left, dv = v - record->destination.top;
    int32_t th, tv;
    switch (degrees) {
    case kRightAngle:
        th = -dv, tv = dh;
        break;
    case 2 * kRightAngle:
        th = -dh, tv = -dv;
        break;
    case 3 * kRightAngle:
        th = dv, tv = -dh;
        break;
    default: {
        double radians = degrees * kRadiansPerDegree;
        double c = std::cos(radians), s = std::sin(radians);
        th = int32_t(std::lround(dh * c - dv * s));
        tv = int32_t(std::lround(dh * s + dv * c));
    }
    }
    return Point32{record->destination.top + tv, record->destination.left + th};
}

// An area of the unrotated layout as it lies on the screen: turned with
// the lines at multiples of a right angle, as it is otherwise.
Rect16 TurnedArea(const TextRecord* record, int32_t degrees, const Rect16& area) {
    if (degrees == 0 || degrees % kRightAngle != 0) return area;
    Point32 a = Turned(record, degrees, area.left, area.top);
    Point32 b = Turned(record, degrees, area.right, area.bottom);
    return Rect16{int16_t(std::min(a.v, b.v)), int16_t(std::min(a.h, b.h)),
                  int16_t(std::max(a.v, b.v)), int16_t(std::max(a.h, b.h))};
}

void MovePenTurned(const TextRecord* record, int32_t degrees, int32_t h, int32_t v) {
    Point32 p = Turned(record, degrees, h, v);
    MovePenTo(p.h, p.v);
}

// The characters of one line as drawn: a leading line feed after a
// carriage return and a trailing carriage return left out.
void DrawOneLine(const TextRecord* record, int32_t line) {
    const char* t = record->text.data();
    int32_t start = record->lineStarts[line], end = record->lineStarts[line + 1];
    if (start > 0 && start < end && t[start] == kTextLineFeed &&
        t[start - 1] == kTextCarriageReturn)
        ++start;
    if (end > start && t[end - 1] == kTextCarriageReturn) --end;
    int32_t origin = LineLeftOf(record, line);
    int32_t baseline = LineTop(record, line) + record->ascent;
    bool masked = record->features & kTextFeatureMasked;
    bool expandTabs = record->tabWidth > 0 && record->justification == kTextJustLeft && !masked;
    int32_t degrees = TextDegrees();
    int32_t run = start;
    for (int32_t i = start; i <= end; ++i) {
        bool tab = i < end && t[i] == kTextTab && expandTabs;
        if (i < end && !tab) continue;
        if (i > run) {
            MovePenTurned(record, degrees, origin + TextRunWidth(record, start, run), baseline);
            if (masked) {
                for (int32_t k = run; k < i; ++k)
                    DrawTextRun(&kTextMaskChar, 1);
            } else {
                DrawTextRun(t + run, i - run);
            }
        }
        run = i + 1;
    }
}

// Lines first..last that meet the area, drawn over an erased background
// (the area below the last line erased too).
void DrawLinesIn(const TextRecord* record, const Rect16& area, bool erase) {
    if (IsEmpty(area) || record->lineHeight <= 0) return;
    // Clipped to the area so that lines cut by it are not inked twice.
    Rect16 shown = TurnedArea(record, TextDegrees(), area);
    ScopedClipRect clip((record->features & kTextFeatureNoClip) ? nullptr : &shown);
    if (erase) DrawRectShape(&shown, kVerbErase);
    int32_t first = std::max<int32_t>(0, (area.top - record->destination.top) / record->lineHeight);
    for (int32_t line = first; line < record->lineCount; ++line) {
        if (LineTop(record, line) >= area.bottom) break;
        DrawOneLine(record, line);
    }
}

uint32_t SystemColourValue(int index) {
    return RgbFromColorRef(GetSysColor(index));
}

// The highlight's rectangles (up to three) of a selection.
int32_t SelectionRects(const TextRecord* record, Rect16 out[3]) {
    if (record->selStart == record->selEnd) return 0;
    TextRecord probe = *record;
    probe.caretAtLineEnd = 0;
    Point16 a = TextOffsetToPoint(record->selStart, &probe);
    Point16 b = TextOffsetToPoint(record->selEnd, &probe);
    int16_t h = record->lineHeight;
    int16_t left = int16_t(record->destination.left), right = record->destination.right;
    if (a.v == b.v) {
        out[0] = Rect16{a.v, a.h, int16_t(a.v + h), b.h};
        return 1;
    }
    int32_t n = 0;
    out[n++] = Rect16{a.v, a.h, int16_t(a.v + h), right};
    if (b.v > a.v + h) out[n++] = Rect16{int16_t(a.v + h), left, b.v, right};
    out[n++] = Rect16{b.v, left, int16_t(b.v + h), b.h};
    return n;
}

// Redraws the selection's area in the highlight colours (or, hiding, in
// the record's own), limited to the area.
void PaintSelection(TextRecord* record, const Rect16& area, bool highlight) {
    Rect16 rects[3];
    int32_t n = SelectionRects(record, rects);
    if (n == 0) return;
    if (highlight) {
        SetForegroundColour(SystemColourValue(COLOR_HIGHLIGHTTEXT));
        SetBackgroundColour(SystemColourValue(COLOR_HIGHLIGHT));
    }
    for (int32_t i = 0; i < n; ++i) {
        Rect16 r = Intersect(Intersect(rects[i], area), record->view);
        DrawLinesIn(record, r, true);
    }
    SetForegroundColour(record->foreground);
    SetBackgroundColour(record->background);
}

void InvertCaret(TextRecord* record) {
    Point16 p = record->caretPoint;
    Rect16 caret{p.v, int16_t(p.h - 1), int16_t(p.v + record->lineHeight), p.h};
    DrawRectShape(&caret, kVerbInvert);
    record->caretShown = int16_t(!record->caretShown);
    record->nextBlinkTime = GetTicks() + uint32_t(CaretBlinkTicks());
}

} // namespace

void BeginTextDrawing(TextRecord* record) {
    if (g_setUpDepth++ == 0) {
        g_saved.port = CurrentPort();
        g_saved.state = CurrentState();
        CaptureStateSettings(&g_saved.settings, g_saved.state);
        g_saved.clip = AcquireScratchRegion();
        if (g_saved.clip) GetDrawingClip(g_saved.clip);
    }
    SetCurrentPort(static_cast<WindowObject*>(record->window));
    if (record->drawingState) MakeStateCurrent(static_cast<DrawingState*>(record->drawingState));
    if (record->style) ApplyTextStyle(record->style);
    SetForegroundColour(record->foreground);
    SetBackgroundColour(record->background);
    ExchangeTextMode(record->transferMode);
    if (record->features & kTextFeatureNoClip)
        SetDrawingClipRect(nullptr);
    else {
        Rect16 view = TurnedArea(record, TextDegrees(), record->view);
        SetDrawingClipRect(&view);
    }
}

void EndTextDrawing() {
    if (--g_setUpDepth > 0) return;
    FlushDrawing();
    SetCurrentPort(g_saved.port);
    MakeStateCurrent(g_saved.state);
    ApplyStateSettings(&g_saved.settings);
    if (g_saved.clip) {
        SetDrawingClip(g_saved.clip);
        ReleaseScratchRegion(g_saved.clip);
    }
    g_saved = SavedPort{};
}

void HideTextCaret(TextRecord* record) {
    if (record->caretShown) InvertCaret(record);
}

void ShowTextSelection(TextRecord* record) {
    record->caretPoint = TextOffsetToPoint(record->selStart, record);
    if (!record->active) return;
    if (record->selStart == record->selEnd) {
        if (!record->caretShown) InvertCaret(record);
    } else {
        PaintSelection(record, record->view, true);
    }
}

void HideTextSelection(TextRecord* record) {
    HideTextCaret(record);
    if (record->active || (record->features & kTextFeatureRedrawInactive))
        PaintSelection(record, record->view, false);
}

void DrawTextArea(TextRecord* record, const Rect16& rect) {
    Rect16 area = (record->features & kTextFeatureNoClip) ? rect : Intersect(rect, record->view);
    if (IsEmpty(area)) return;
    HideTextCaret(record);
    DrawLinesIn(record, area, !(record->features & kTextFeatureNoErase));
    if (!record->active) return;
    if (record->selStart != record->selEnd)
        PaintSelection(record, area, true);
    else
        ShowTextSelection(record);
}

void DrawTextFromLine(TextRecord* record, int32_t line) {
    Rect16 area = record->view;
    area.top = int16_t(std::max<int32_t>(area.top, LineTop(record, std::max(line, 0))));
    DrawTextArea(record, area);
}

TextLayoutBefore CaptureTextLayout(const TextRecord* record) {
    TextLayoutBefore before;
    before.lineStarts.assign(record->lineStarts.begin(),
                             record->lineStarts.begin() + record->lineCount + 1);
    before.length = record->length;
    return before;
}

void DrawTextAfterEdit(TextRecord* record, int32_t line, const TextLayoutBefore& before,
                       int32_t tailStart) {
    int32_t oldCount = int32_t(before.lineStarts.size()) - 1;
    int32_t moved = record->lineCount - oldCount;
    int32_t delta = record->length - before.length;
    bool plain = TextDegrees() == 0 && record->lineHeight > 0 &&
                 !(record->features & (kTextFeatureNoErase | kTextFeatureNoClip));
    if (moved == 0 || !plain) {
        DrawTextFromLine(record, line);
        return;
    }
    // The first of the bottom lines that are old lines moved whole.
    const std::vector<int32_t>& now = record->lineStarts;
    int32_t tail = record->lineCount;
    while (tail - 1 > line) {
        int32_t j = tail - 1, old = j - moved;
        if (old < 0 || old >= oldCount || now[size_t(j)] <= tailStart ||
            now[size_t(j)] - delta != before.lineStarts[size_t(old)] ||
            now[size_t(j) + 1] - delta != before.lineStarts[size_t(old) + 1])
            break;
        --tail;
    }
    const Rect16& view = record->view;
    int32_t newTop = LineTop(record, tail), oldTop = LineTop(record, tail - moved);
    int32_t dv = newTop - oldTop;
    int32_t top = std::max<int32_t>(std::min(newTop, oldTop), view.top);
    if (tail >= record->lineCount || tail - moved < line || top >= view.bottom) {
        DrawTextFromLine(record, line);
        return;
    }
    Rect16 band{int16_t(top), view.left, view.bottom, view.right};
    ScrollPortPixels(&band, 0, dv);
    int32_t changedTop = std::max<int32_t>(view.top, LineTop(record, std::max(line, 0)));
    int32_t changedBottom = std::min<int32_t>(newTop, view.bottom);
    if (changedTop < changedBottom)
        DrawTextArea(record,
                     Rect16{int16_t(changedTop), view.left, int16_t(changedBottom), view.right});
    if (dv < 0)
        DrawTextArea(record, Rect16{int16_t(std::max<int32_t>(view.bottom + dv, view.top)),
                                    view.left, view.bottom, view.right});
}

void DrawTextRecord(const Rect16* rect, TextRecord* record) {
    if (!record) return;
    BeginTextDrawing(record);
    DrawTextArea(record, rect ? *rect : record->view);
    EndTextDrawing();
}

void TextActivate(TextRecord* record) {
    if (!record || record->active) return;
    BeginTextDrawing(record);
    record->active = 1;
    ShowTextSelection(record);
    EndTextDrawing();
}

void TextDeactivate(TextRecord* record) {
    if (!record || !record->active) return;
    BeginTextDrawing(record);
    HideTextSelection(record);
    record->active = 0;
    EndTextDrawing();
}

void TextBlinkCaret(TextRecord* record) {
    if (!record || !record->active || record->selStart != record->selEnd) return;
    BeginTextDrawing(record);
    record->caretPoint = TextOffsetToPoint(record->selStart, record);
    InvertCaret(record);
    EndTextDrawing();
}

void TextIdle(TextRecord* record) {
    if (!record || !record->active || record->selStart != record->selEnd) return;
    if (int32_t(GetTicks() - record->nextBlinkTime) < 0) return;
    TextBlinkCaret(record);
}

void TextScroll(int32_t dh, int32_t dv, TextRecord* record) {
    if (!record) return;
    BeginTextDrawing(record);
    bool caret = record->caretShown;
    HideTextCaret(record);
    TextScrollBy(&dh, &dv, record);
    const Rect16& view = record->view;
    int32_t height = view.bottom - view.top, width = view.right - view.left;
    if (dh == 0 && dv == 0) {
        // nothing moved
    } else if (std::abs(dv) >= height && std::abs(dh) >= width) {
        DrawTextArea(record, view);
    } else {
        ScrollPortPixels(&view, dh, dv);
        if (dv > 0)
            DrawTextArea(record, Rect16{view.top, view.left, int16_t(view.top + dv), view.right});
        if (dv < 0)
            DrawTextArea(record,
                         Rect16{int16_t(view.bottom + dv), view.left, view.bottom, view.right});
        if (dh > 0)
            DrawTextArea(record, Rect16{view.top, view.left, view.bottom, int16_t(view.left + dh)});
        if (dh < 0)
            DrawTextArea(record,
                         Rect16{view.top, int16_t(view.right + dh), view.bottom, view.right});
    }
    if (caret) ShowTextSelection(record);
    EndTextDrawing();
}

void TextSelView(TextRecord* record) {
    if (!record || !(record->features & kTextFeatureAutoView)) return;
    Point16 p = TextOffsetToPoint(record->selStart, record);
    const Rect16& view = record->view;
    int32_t dv = 0, dh = 0;
    if (p.v < view.top)
        dv = view.top - p.v;
    else if (p.v + record->lineHeight > view.bottom)
        dv = view.bottom - (p.v + record->lineHeight);
    if (p.h < view.left)
        dh = view.left - p.h;
    else if (p.h >= view.right)
        dh = view.right - 1 - p.h;
    if (dv != 0 || dh != 0) TextScroll(dh, dv, record);
}

void ScrollPortPixels(const Rect16* rect, int32_t dh, int32_t dv) {
    HDC dc = static_cast<HDC>(PreparePortDC(CurrentState(), true, 0));
    if (!dc) return;
    RECT r{rect->left, rect->top, rect->right, rect->bottom};
    ScrollDC(dc, dh, dv, &r, &r, nullptr, nullptr);
}

ScopedClipRect::ScopedClipRect(const Rect16* rect) : saved_(nullptr) {
    if (!rect) return;
    saved_ = AcquireScratchRegion();
    if (saved_) GetDrawingClip(saved_);
    SetDrawingClipRect(rect);
}

ScopedClipRect::~ScopedClipRect() {
    if (!saved_) return;
    SetDrawingClip(saved_);
    ReleaseScratchRegion(saved_);
}
