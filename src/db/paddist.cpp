// Pad distances. A pin's pieces on a layer are measured one by one up to the
// first piece without a shape, and the least distance, held at 0, is the
// answer. A piece that was turned by an angle other than a quarter turn is
// measured in its own frame: the query is turned back about the piece's
// centre (or, for a box, the piece's sides are turned onto the board).
#include "db/paddist.h"

#include <climits>
#include <cstring>

#include "db/comps.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/thru.h"

namespace {

int32_t Trunc(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
}

int32_t Min(int32_t a, int32_t b) {
    return a < b ? a : b;
}
int32_t Max(int32_t a, int32_t b) {
    return a > b ? a : b;
}

// One pad piece as the distances see it.
struct Piece {
    uint8_t code;
    bool turned;
    int32_t cx, cy;                 // the shape's centre on the board
    int32_t minX, minY, maxX, maxY; // its box on the board
    // A turned piece in its own frame: centre, half sizes and angle.
    int32_t mx, my, hw, hh, angle;
};

// The pieces of the pin on the layer, up to the first without a shape.
int32_t Pieces(int32_t c, int32_t pin, int32_t layer, Piece* out) {
    PlacedPin placed;
    PlacedPad pad;
    CompPinPadGet(c, pin, layer, &placed, &pad);
    ThruLayer block;
    ThruPadGet(placed.thru, layer, &block);
    int32_t n = 0;
    for (int32_t j = 0; j < pad.count; ++j) {
        const PlacedShape& s = pad.shape[j];
        if (s.code == kPadUndef) break;
        Piece& p = out[n++];
        p.code = s.code;
        p.cx = s.cx;
        p.cy = s.cy;
        p.minX = s.minX;
        p.minY = s.minY;
        p.maxX = s.maxX;
        p.maxY = s.maxY;
        p.turned =
            pad.angle != 0 && s.code != kPadRound && s.code != kPadThermal && s.code != kPadAnnular;
        if (p.turned) {
            int32_t e[4];
            std::memcpy(e, block.shape[j].ext, sizeof e);
            p.angle = pad.angle;
            p.hw = int32_t((int64_t(e[0]) + e[2]) / 2);
            p.hh = int32_t((int64_t(e[1]) + e[3]) / 2);
            // The middle of the shape's own box, turned about its centre.
            int32_t ox = int32_t((int64_t(e[2]) - e[0]) / 2);
            int32_t oy = int32_t((int64_t(e[3]) - e[1]) / 2);
            PtRotateExact(s.cx, s.cy, p.angle, &ox, &oy);
            p.mx = ox;
            p.my = oy;
        }
    }
    return n;
}

// The point (x, y) turned by minus the angle about (cx, cy).
void IntoFrame(int32_t cx, int32_t cy, int32_t angle, int32_t* x, int32_t* y) {
    double c, s;
    PadCosSin(angle, &c, &s);
    double dx = double(*x) - cx, dy = double(*y) - cy;
    *x = Trunc(double(cx) + Trunc(dx * c + dy * s));
    *y = Trunc(double(cy) + Trunc(-dx * s + dy * c));
}

// The offset (dx, dy) turned by the angle, truncated.
void TurnOffset(int32_t angle, int32_t dx, int32_t dy, int32_t* ox, int32_t* oy) {
    double c, s;
    PadCosSin(angle, &c, &s);
    *ox = Trunc(double(dx) * c - double(dy) * s);
    *oy = Trunc(double(dx) * s + double(dy) * c);
}

// The axis of an oblong in its own frame: the segment through the centre
// along the longer side, with half length |hw - hh|.
void OwnAxis(int32_t cx, int32_t cy, int32_t hw, int32_t hh, int32_t* ax1, int32_t* ay1,
             int32_t* ax2, int32_t* ay2) {
    int32_t dx = hw >= hh ? hw - hh : 0;
    int32_t dy = hw >= hh ? 0 : hh - hw;
    *ax1 = cx - dx;
    *ay1 = cy - dy;
    *ax2 = cx + dx;
    *ay2 = cy + dy;
}

// The axis of an oblong on the board: the same, turned by the angle.
void TurnedAxis(int32_t cx, int32_t cy, int32_t hw, int32_t hh, int32_t angle, int32_t* ax1,
                int32_t* ay1, int32_t* ax2, int32_t* ay2) {
    int32_t ox, oy;
    TurnOffset(angle, hw >= hh ? hw - hh : 0, hw >= hh ? 0 : hh - hw, &ox, &oy);
    *ax1 = cx - ox;
    *ay1 = cy - oy;
    *ax2 = cx + ox;
    *ay2 = cy + oy;
}

// The axis of an upright oblong from its box: the box shrunk on every side
// by half its smaller side h.
int32_t BoxAxis(const Piece& p, int32_t* ax1, int32_t* ay1, int32_t* ax2, int32_t* ay2) {
    int32_t h = Min(p.maxX - p.minX, p.maxY - p.minY) / 2;
    *ax1 = p.minX + h;
    *ay1 = p.minY + h;
    *ax2 = p.maxX - h;
    *ay2 = p.maxY - h;
    return h;
}

int32_t Radius(const Piece& p) {
    return (p.maxX - p.minX) / 2;
}

bool IsRect(uint8_t code) {
    return code == kPadSquare || code == kPadRect;
}
bool IsOblong(uint8_t code) {
    return code == kPadOblong || code == kPadOval;
}
bool IsRound(uint8_t code) {
    return code == kPadRound || code == kPadThermal || code == kPadAnnular;
}

int32_t PtPieceDist(const Piece& p, int32_t px, int32_t py) {
    if (p.turned) {
        if (IsRect(p.code)) return PtRotRectDist(px, py, p.mx, p.my, p.hw, p.hh, p.angle);
        if (IsOblong(p.code)) return PtOblongDist(px, py, p.mx, p.my, p.hw, p.hh, p.angle);
        ErrReport(kErrPadDistShape, p.code);
    }
    if (IsRect(p.code)) return PtBoxDist(px, py, p.minX, p.minY, p.maxX, p.maxY);
    if (IsOblong(p.code)) {
        int32_t x1, y1, x2, y2;
        int32_t h = BoxAxis(p, &x1, &y1, &x2, &y2);
        return PtBoxDist(px, py, x1, y1, x2, y2) - h;
    }
    if (IsRound(p.code)) return PtDist(px, py, p.cx, p.cy) - Radius(p);
    ErrReport(kErrPadDistShape, p.code);
}

int32_t SegPieceDist(const Piece& p, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (p.turned) {
        IntoFrame(p.mx, p.my, p.angle, &x1, &y1);
        IntoFrame(p.mx, p.my, p.angle, &x2, &y2);
        if (IsRect(p.code))
            return SegBoxDist(x1, y1, x2, y2, p.mx - p.hw, p.my - p.hh, p.mx + p.hw, p.my + p.hh);
        if (IsOblong(p.code)) {
            int32_t ax1, ay1, ax2, ay2;
            OwnAxis(p.mx, p.my, p.hw, p.hh, &ax1, &ay1, &ax2, &ay2);
            return SegSegDist(x1, y1, x2, y2, ax1, ay1, ax2, ay2) - Min(p.hw, p.hh);
        }
        ErrReport(kErrPadDistShape, p.code);
    }
    if (IsRect(p.code)) return SegBoxDist(x1, y1, x2, y2, p.minX, p.minY, p.maxX, p.maxY);
    if (IsOblong(p.code)) {
        int32_t ax1, ay1, ax2, ay2;
        int32_t h = BoxAxis(p, &ax1, &ay1, &ax2, &ay2);
        return SegSegDist(x1, y1, x2, y2, ax1, ay1, ax2, ay2) - h;
    }
    if (IsRound(p.code)) return PtSegDist(p.cx, p.cy, x1, y1, x2, y2) - Radius(p);
    ErrReport(kErrPadDistShape, p.code);
}

// The distance between a rectangle given by its four corners in order and a
// box: 0 when they overlap or touch, else the least distance of its sides.
int32_t QuadBoxDist(const int32_t* qx, const int32_t* qy, int32_t bx1, int32_t by1, int32_t bx2,
                    int32_t by2) {
    int32_t best = INT32_MAX;
    for (int32_t i = 0; i < 4; ++i) {
        int32_t j = (i + 1) % 4;
        int32_t d = SegBoxDist(qx[i], qy[i], qx[j], qy[j], bx1, by1, bx2, by2);
        if (d <= 0) return 0;
        best = Min(best, d);
    }
    return best;
}

int32_t BoxPieceDist(const Piece& p, int32_t bx1, int32_t by1, int32_t bx2, int32_t by2) {
    if (p.turned) {
        if (IsRect(p.code)) {
            // A box wholly inside the turned rectangle touches none of its
            // sides.
            if (PtRotRectDist(bx1, by1, p.mx, p.my, p.hw, p.hh, p.angle) == 0) return 0;
            int32_t qx[4], qy[4];
            const int32_t sx[4] = {-1, 1, 1, -1};
            const int32_t sy[4] = {-1, -1, 1, 1};
            for (int32_t i = 0; i < 4; ++i) {
                int32_t ox, oy;
                TurnOffset(p.angle, sx[i] * p.hw, sy[i] * p.hh, &ox, &oy);
                qx[i] = p.mx + ox;
                qy[i] = p.my + oy;
            }
            return QuadBoxDist(qx, qy, bx1, by1, bx2, by2);
        }
        if (IsOblong(p.code)) {
            int32_t ax1, ay1, ax2, ay2;
            TurnedAxis(p.mx, p.my, p.hw, p.hh, p.angle, &ax1, &ay1, &ax2, &ay2);
            return SegBoxDist(ax1, ay1, ax2, ay2, bx1, by1, bx2, by2) - Min(p.hw, p.hh);
        }
        ErrReport(kErrPadDistShape, p.code);
    }
    if (IsRect(p.code)) {
        if (p.minX <= bx2 && bx1 <= p.maxX && p.minY <= by2 && by1 <= p.maxY) return 0;
        const int32_t qx[4] = {p.minX, p.maxX, p.maxX, p.minX};
        const int32_t qy[4] = {p.minY, p.minY, p.maxY, p.maxY};
        return QuadBoxDist(qx, qy, bx1, by1, bx2, by2);
    }
    if (IsOblong(p.code)) {
        int32_t ax1, ay1, ax2, ay2;
        int32_t h = BoxAxis(p, &ax1, &ay1, &ax2, &ay2);
        return SegBoxDist(ax1, ay1, ax2, ay2, bx1, by1, bx2, by2) - h;
    }
    if (IsRound(p.code)) return PtBoxDist(p.cx, p.cy, bx1, by1, bx2, by2) - Radius(p);
    ErrReport(kErrPadDistShape, p.code);
}

template <typename F> int32_t Least(int32_t c, int32_t pin, int32_t layer, F measure) {
    Piece pieces[kThruShapes];
    int32_t n = Pieces(c, pin, layer, pieces);
    int32_t best = kDistNone;
    for (int32_t i = 0; i < n; ++i)
        best = Min(best, Max(measure(pieces[i]), 0));
    return best;
}

} // namespace

int32_t PtPadDist(int32_t c, int32_t pin, int32_t layer, int32_t px, int32_t py) {
    return Least(c, pin, layer, [&](const Piece& p) { return PtPieceDist(p, px, py); });
}

int32_t PadSegDist(int32_t c, int32_t pin, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                   int32_t y2) {
    return Least(c, pin, layer, [&](const Piece& p) { return SegPieceDist(p, x1, y1, x2, y2); });
}

int32_t PadBoxDist(int32_t c, int32_t pin, int32_t layer, int32_t x1, int32_t y1, int32_t x2,
                   int32_t y2) {
    int32_t bx1 = Min(x1, x2), by1 = Min(y1, y2), bx2 = Max(x1, x2), by2 = Max(y1, y2);
    return Least(c, pin, layer,
                 [&](const Piece& p) { return BoxPieceDist(p, bx1, by1, bx2, by2); });
}

int32_t PtOblongDist(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t hw, int32_t hh,
                     int32_t angle) {
    int32_t ax1, ay1, ax2, ay2;
    TurnedAxis(cx, cy, hw, hh, angle, &ax1, &ay1, &ax2, &ay2);
    return Max(PtSegDist(px, py, ax1, ay1, ax2, ay2) - Min(hw, hh), 0);
}

int32_t PtRotRectDist(int32_t px, int32_t py, int32_t cx, int32_t cy, int32_t hw, int32_t hh,
                      int32_t angle) {
    IntoFrame(cx, cy, angle, &px, &py);
    return Max(PtBoxDist(px, py, cx - hw, cy - hh, cx + hw, cy + hh), 0);
}
