// Text style records: the font, size and face a control, dialog item or
// port keeps its text in, with cached metrics, and the theme font kinds.
//
// Guarantees: a style made from a kind or a control's font block always
// names a font (the system face when a name is unknown, flagged).
#pragma once
#include <cstdint>

#include "toolbox/core/heap.h"
#include "toolbox/ui/fontmetrics.h"
#include "toolbox/ui/xdlg.h"

// Flags.
constexpr uint16_t kStyleMetricsStale = 4;
constexpr uint16_t kStyleNameUnknown = 8;
// CopyTextStyle parts.
constexpr uint32_t kCopyStyleFont = 1;
constexpr uint32_t kCopyStyleSize = 2;
constexpr uint32_t kCopyStyleFace = 4;
constexpr uint32_t kCopyStyleToggleFace = 8;
// Theme font kinds.
constexpr int32_t kThemeKinds = 8;
constexpr int32_t kThemeDefaultStyle = 2;
constexpr int32_t kThemeApplication = 6;
constexpr int32_t kThemeApplicationPlain = 7;
constexpr int16_t kApplicationFaceSize = 8;
constexpr int16_t kPortSizeWhenZero = 10;

struct TextStyleRecord {
    FontMetricsRecord metrics;
    int16_t kept;
    uint32_t faceName; // name-heap reference, 0 none
    int16_t fontNumber;
    int16_t size;
    uint16_t face;
    uint16_t flags;
};

// The fixed-pitch face and the application face's size and face bits
// as start-up found them.
void SetFixedFaceName(const char* name);
const char* FixedFaceName();
void SetApplicationFaceStyle(int16_t size, uint16_t face);

void TextStyleForKind(TextStyleRecord* record, int32_t kind);
void TextStyleFromControlFont(const ControlStyleBlock* font, const char* name,
                              TextStyleRecord* record);
void SetTextStyleSize(TextStyleRecord* record, int16_t size);
void SetTextStyleFace(TextStyleRecord* record, uint16_t face);
// A counted name: unknown keeps the system font and flags it; empty sets
// the system face.
void SetTextStyleFontName(TextStyleRecord* record, const uint8_t* countedName);
void CopyTextStyle(const TextStyleRecord* from, TextStyleRecord* to, uint32_t parts);

// Pooled records: a new one starts as a copy of the default style (theme
// kind 2).
TextStyleRecord* AcquireTextStyle();
void ReleaseTextStyle(TextStyleRecord* record);
// A record from the pool's heap: from a model (font, size and face) or
// theme kind 2; null without memory.
TextStyleRecord* NewTextStyleRecord(HeapPool* heap, const TextStyleRecord* model);
void DisposeTextStyleRecord(TextStyleRecord* record);
// The record's metrics, recomputed when out of date; null: the current
// port's.
void TextStyleMetrics(TextStyleRecord* record, FontMetricsRecord* out);
// The current port's font (0 and 1 the system font, size 0 as 10).
void TextStyleFromPort(TextStyleRecord* record);
void ApplyTextStyle(const TextStyleRecord* record);
// A pooled record of the current settings; restoring applies and returns
// it to the pool.
TextStyleRecord* SaveTextStyle();
void RestoreTextStyle(TextStyleRecord* record);
void SelectThemeFontKind(int32_t kind);
