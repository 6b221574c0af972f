// TextBox: wrapped text drawn in a rectangle of the current port. An empty
// text only erases; a single-line request without returns, tabs or
// rotation is drawn as one run; everything else goes through a temporary
// text record on the rectangle.
//
// Guarantees: the one-run path draws the same pixels as the record would
// (the same erase, clip, left edge and baseline); the port's clip is as it
// was afterwards.
#include <cstring>

#include "toolbox/core/picture.h"
#include "toolbox/core/region.h"
#include "toolbox/ui/drawclip.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/fontmetrics.h"
#include "toolbox/ui/textdisplay.h"
#include "toolbox/ui/textrecord.h"

namespace {

bool OneRunFits(const char* text, int32_t length, int16_t justification, uint32_t flags) {
    if (!(flags & kTextBoxSingleLine) || justification != kTextJustLeft) return false;
    if (CurrentState()->settings.textAngle != 0) return false;
    return std::memchr(text, kTextCarriageReturn, size_t(length)) == nullptr &&
           std::memchr(text, kTextTab, size_t(length)) == nullptr;
}

void DrawOneRun(const char* text, int32_t length, const Rect16* rect, uint32_t flags) {
    ScopedClipRect clip((flags & kTextBoxNoClip) ? nullptr : rect);
    if (!(flags & kTextBoxNoErase)) DrawRectShape(rect, kVerbErase);
    FontMetricsRecord m{};
    GetStateFontMetrics(&m);
    MovePenTo(rect->left + 1, rect->top + m.ascent);
    DrawTextRun(text, length);
}

} // namespace

void TextBox(const char* text, int32_t length, const Rect16* rect, int16_t justification,
             int32_t tabSetting, uint32_t flags) {
    if (!rect) return;
    if (!text || length <= 0) {
        if (!(flags & kTextBoxNoErase)) DrawRectShape(rect, kVerbErase);
        return;
    }
    if (OneRunFits(text, length, justification, flags)) {
        DrawOneRun(text, length, rect, flags);
        return;
    }
    TextRecord* record = NewTextRecord(rect, rect);
    if (!record) return;
    record->justification = justification;
    record->singleLine = (flags & kTextBoxSingleLine) ? 1 : 0;
    record->features = uint16_t(flags & ~kTextBoxFlagsNotKept);
    if (tabSetting < 0) SetTextTabWidth(0, -tabSetting, record);
    if (tabSetting > 0) SetTextTabWidth(tabSetting, 0, record);
    SetTextRecordText(text, length, record);
    DrawTextRecord(nullptr, record);
    DisposeTextRecord(record);
}
