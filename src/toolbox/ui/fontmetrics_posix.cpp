// Without GDI fonts have no metrics.
#include "toolbox/ui/fontmetrics.h"

void GetStateFontMetrics(FontMetricsRecord* out) {
    *out = FontMetricsRecord{};
}
void FontMetricsFor(int16_t, int16_t, uint16_t, FontMetricsRecord* out) {
    *out = FontMetricsRecord{};
}
