// The text layer's own drawing steps, shared by its files: the nesting
// set-up around drawing in a record's port, the caret and highlight, the
// redrawing of an area or of the lines from one on, and moving a port's
// pixels.
//
// Guarantees: every step expects a set-up around it (BeginTextDrawing)
// and leaves the caret flag telling the truth.
#pragma once
#include <cstdint>
#include <vector>

#include "toolbox/core/rect.h"
#include "toolbox/ui/textengine.h"

void BeginTextDrawing(TextRecord* record);
void EndTextDrawing();
void HideTextCaret(TextRecord* record);
// Places the caret point; when active shows the caret (empty selection)
// or the highlight.
void ShowTextSelection(TextRecord* record);
// Hides the caret and redraws the selection in the record's colours.
void HideTextSelection(TextRecord* record);
// Redraws the part of the view inside the rectangle.
void DrawTextArea(TextRecord* record, const Rect16& rect);
// Redraws from the top of a line to the bottom of the view.
void DrawTextFromLine(TextRecord* record, int32_t line);
// The layout before an edit, for redrawing after it.
struct TextLayoutBefore {
    std::vector<int32_t> lineStarts; // line count + 1 entries
    int32_t length;
};
TextLayoutBefore CaptureTextLayout(const TextRecord* record);
// Redraws after an edit from the line on: when the line count changed,
// the unchanged lines below move by whole line heights (their pixels
// scrolled) and only the changed lines and an uncovered band are drawn;
// the tail of the text from tailStart on is the old tail shifted.
void DrawTextAfterEdit(TextRecord* record, int32_t line, const TextLayoutBefore& before,
                       int32_t tailStart);
// Moves the current port's pixels inside the rectangle by (dh, dv).
void ScrollPortPixels(const Rect16* rect, int32_t dh, int32_t dv);

struct RegionRecord;
// Clips the current state to the rectangle (null: no change) for the
// scope; the clip before is restored at its end.
class ScopedClipRect {
  public:
    explicit ScopedClipRect(const Rect16* rect);
    ~ScopedClipRect();
    ScopedClipRect(const ScopedClipRect&) = delete;
    ScopedClipRect& operator=(const ScopedClipRect&) = delete;

  private:
    RegionRecord* saved_;
};
