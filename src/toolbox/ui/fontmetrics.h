// Font metrics of the current state's font and of given settings (GDI in
// the Win32 build; natively every metric is 0).
#pragma once
#include <cstdint>

struct FontMetricsRecord {
    int16_t ascent, descent, widest, externalLeading, internalLeading;
};

void GetStateFontMetrics(FontMetricsRecord* out);
// The metrics of the settings; the state's own settings are restored.
void FontMetricsFor(int16_t number, int16_t size, uint16_t face, FontMetricsRecord* out);
