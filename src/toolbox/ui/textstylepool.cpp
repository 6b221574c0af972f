// Text styles in use: the pool of records, records on a heap, metrics,
// and moving a style to and from the current state.
#include <new>

#include "toolbox/core/memblock.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/fontlist.h"
#include "toolbox/ui/textstyle.h"

namespace {
constexpr int32_t kTextStylesKept = 16; // free records kept for reuse
TextStyleRecord* g_free[kTextStylesKept];
int32_t g_freeCount = 0;

TextStyleRecord DefaultStyle() {
    TextStyleRecord style{};
    TextStyleForKind(&style, kThemeDefaultStyle);
    return style;
}
} // namespace

TextStyleRecord* AcquireTextStyle() {
    TextStyleRecord* record = nullptr;
    if (g_freeCount > 0) {
        record = g_free[--g_freeCount];
    } else {
        record = new (std::nothrow) TextStyleRecord;
    }
    if (record) *record = DefaultStyle();
    return record;
}

void ReleaseTextStyle(TextStyleRecord* record) {
    if (!record) return;
    if (g_freeCount < kTextStylesKept)
        g_free[g_freeCount++] = record;
    else
        delete record;
}

TextStyleRecord* NewTextStyleRecord(HeapPool* heap, const TextStyleRecord* model) {
    auto* record =
        static_cast<TextStyleRecord*>(NewPointerBlockClear(heap, sizeof(TextStyleRecord)));
    if (!record) return nullptr;
    *record = DefaultStyle();
    if (model) CopyTextStyle(model, record, kCopyStyleFont | kCopyStyleSize | kCopyStyleFace);
    return record;
}

void DisposeTextStyleRecord(TextStyleRecord* record) {
    if (record) FreeHeapBlock(record);
}

void TextStyleMetrics(TextStyleRecord* record, FontMetricsRecord* out) {
    if (!record) {
        GetStateFontMetrics(out);
        return;
    }
    if (record->flags & kStyleMetricsStale) {
        FontMetricsFor(record->fontNumber, record->size, record->face, &record->metrics);
        record->flags &= uint16_t(~kStyleMetricsStale);
    }
    *out = record->metrics;
}

void TextStyleFromPort(TextStyleRecord* record) {
    const DrawingSettings& s = CurrentState()->settings;
    int16_t number = s.fontNumber;
    if (number == kSystemFontNumber0) number = kSystemFontNumber;
    record->fontNumber = number;
    record->size = s.pointSize ? s.pointSize : kPortSizeWhenZero;
    record->face = s.faceStyle;
    record->flags |= kStyleMetricsStale;
}

void ApplyTextStyle(const TextStyleRecord* record) {
    SetTextFontNumber(record->fontNumber);
    SetTextPointSize(record->size);
    SetTextFaceStyle(uint8_t(record->face));
}

TextStyleRecord* SaveTextStyle() {
    TextStyleRecord* record = AcquireTextStyle();
    if (!record) return nullptr;
    const DrawingSettings& s = CurrentState()->settings;
    record->fontNumber = s.fontNumber;
    record->size = s.pointSize;
    record->face = s.faceStyle;
    return record;
}

void RestoreTextStyle(TextStyleRecord* record) {
    if (!record) return;
    ApplyTextStyle(record);
    ReleaseTextStyle(record);
}

void SelectThemeFontKind(int32_t kind) {
    TextStyleRecord style{};
    TextStyleForKind(&style, kind);
    ApplyTextStyle(&style);
}
