// The design header and its derived display units.
#include "db/dbheader.h"

#include <climits>
#include <cstring>

#include "db/err.h"
#include "db/hdrunits.h"

namespace {

DbHeader g_header;

enum : ErrCode {
    kErrSweepNumber = 21260,
    kErrFourthGrid = 21261,
    kErrUserUnit = 21262,
    kErrConnGrid = 21263,
    kErrLayerCount = 21264,
    kErrViaCount = 21265,
    kErrUnitKind = 21266,
    kErrDigitStart = 21267,
    kErrViaNames = 21268,
};

// How many times v must be multiplied by 10 to reach 0.9999, at most 9 (a
// tiny unit size would otherwise run the count past a byte).
uint8_t DigitCount(double v) {
    if (!(v > 0.0)) ErrFatal(kErrDigitStart);
    uint8_t n = 0;
    while (v < 0.9999 && n < 9) {
        v *= 10.0;
        ++n;
    }
    return n;
}

// Display scale and digit counts from the unit kind, unit size and display
// user unit; flag 0x40 marks a metric display.
void DeriveUnits(DbHeader& h) {
    switch (h.unitKind) {
    case 0:
        h.scale = 1.0 / h.dispUserUnit;
        break;
    case 1:
        h.scale = h.unitSize * 1000.0;
        h.flags &= ~kHdrMetric;
        break;
    case 2:
        h.scale = h.unitSize;
        h.flags &= ~kHdrMetric;
        break;
    case 3:
        h.scale = h.unitSize * 2.54;
        h.flags |= kHdrMetric;
        break;
    case 4:
        h.scale = h.unitSize * 2.54 * 10.0;
        h.flags |= kHdrMetric;
        break;
    case 5:
        h.scale = h.unitSize * 2.54 * 1000.0;
        h.flags |= kHdrMetric;
        break;
    case 6:
        h.scale = 1.0;
        break;
    default:
        ErrReport(kErrUnitKind, h.unitKind);
    }
    h.digits[0] = DigitCount(h.scale);
    h.digits[1] = DigitCount(h.scale * h.dispUserUnit);
    h.digits[2] = DigitCount((h.flags & kHdrMetric) ? h.unitSize * 2.54 : h.unitSize);
}

// Hands the display units to value formatting and parsing.
void PublishUnits() {
    g_hdrUnits.unitKind = g_header.unitKind;
    g_hdrUnits.digits = g_header.digits[1];
    g_hdrUnits.scale = g_header.scale;
    g_hdrUnits.unitSize = g_header.unitSize;
    g_hdrUnits.userUnit = g_header.dispUserUnit;
}

void Store(const DbHeader& in, bool checkTransitions) {
    DbHeader h;
    std::memcpy(&h, &in, sizeof h);
    if (!(h.unitSize > 0.0)) h.unitSize = 1.0;
    if (h.userUnit < 1) h.userUnit = 1;
    if (h.connGrid < 1) h.connGrid = h.userUnit;
    if (h.dispUserUnit < 1) h.dispUserUnit = h.userUnit;
    if (h.backupMinutes < 0) h.backupMinutes = 10;
    if (checkTransitions && g_header.valid == 1) {
        if (h.layerCount != g_header.layerCount) ErrReport(kErrLayerCount, h.layerCount);
        if (h.viaCount != g_header.viaCount) ErrReport(kErrViaCount, h.viaCount);
    }
    if (h.valid == 1) {
        if (h.sweep >= 9) ErrReport(kErrSweepNumber, h.sweep);
        if (h.fourthGrid < 0) ErrFatal(kErrFourthGrid);
        if (h.userUnit < 1) ErrFatal(kErrUserUnit);
        if (h.connGrid < 1) ErrFatal(kErrConnGrid);
    }
    if (h.unitKind > 6) ErrReport(kErrUnitKind, h.unitKind);
    // The design file walks the via-name entries 0..count: at most 20 of the
    // 21 entries may be counted.
    if (h.viaNameCount > kMaxViaNames) ErrReport(kErrViaNames, h.viaNameCount);
    bool same = h.dispUserUnit == g_header.dispUserUnit && h.unitKind == g_header.unitKind &&
                h.unitSize == g_header.unitSize && h.scale == g_header.scale && h.scale != 0.0;
    if (!same) DeriveUnits(h);
    std::memcpy(&g_header, &h, sizeof h);
    PublishUnits();
}

} // namespace

DbHeader& DbHdr() {
    return g_header;
}

void DbGetHeader(DbHeader* out) {
    std::memcpy(out, &g_header, sizeof g_header);
}

void DbPutHeader(const DbHeader* header) {
    Store(*header, true);
}

void DbHeaderTemplate(DbHeader* out) {
    DbHeader& h = *out;
    std::memset(&h, 0, sizeof h);
    std::strcpy(h.name, "Unnamed");
    h.unitSize = 1.0 / 60000.0;
    h.userUnit = 60;
    h.connGrid = 60;
    h.routeGrid = 1500;
    h.grid2X = 6000;
    h.grid2Y = 6000;
    h.backupMinutes = 10;
    // A new design needs a layer count and via types for its tables: two
    // layers (the default sweep's) and one via type.
    h.layerCount = 2;
    h.viaCount = 1;
    h.thruCount = 1;
    h.extMinX = INT_MAX;
    h.extMinY = INT_MAX;
    h.extMaxX = -INT_MAX;
    h.extMaxY = -INT_MAX;
    h.value282 = 6000;
    h.value286 = 480;
    // No sweep run has started: the sweep start and saved window origins
    // are unset.
    for (int32_t i = 0; i < 4; ++i)
        h.value212[i] = INT_MAX;
}

void DbHeaderReset() {
    DbHeader h;
    DbHeaderTemplate(&h);
    Store(h, false);
}

int32_t DbNextRecordId() {
    return --g_header.recordId;
}

void DbSetModified() {
    g_header.modified = 1;
}

bool DbIsValid() {
    return g_header.valid == 1;
}

void DbExtentAdd(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY) {
    if (minX > maxX || minY > maxY) return;
    DbHeader& h = DbHdr();
    if (minX < h.extMinX) h.extMinX = minX;
    if (minY < h.extMinY) h.extMinY = minY;
    if (maxX > h.extMaxX) h.extMaxX = maxX;
    if (maxY > h.extMaxY) h.extMaxY = maxY;
}
