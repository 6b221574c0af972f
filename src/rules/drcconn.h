// The connection rule check: whether a corner range of one connection keeps
// the design rules against the pads, connections, obstacles and board edge
// near it, and the rules of the connection alone (its ends at their pins,
// jumper segments, via sites). Answers 1 pass, 0 fail; what a violation
// does besides is DrcMode's (drcerror.h). The record under test is never
// written; scratch records taken are returned on every way out; nothing is
// allocated per check.
#pragma once
#include <cstdint>

#include "db/conns.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/records.h"

enum : ErrCode {
    kErrDrcGathered = 2166083, // a gathered entry below 1
    kErrDrcObjType = 2166084,  // a gathered entry of an unknown type
    kErrDrcPadCode = 2166085,  // a pad shape code above 7
    kErrDrcEndVariant = 2166086,
};

enum : int32_t {
    kDrcEndLayerTest = 0,
    kDrcEndExitTest = 1,
    kJumperLengthsMax = 64, // listed jumper lengths read per layer
    kAttrJumperLength = 2,  // attribute kind of a jumper layer's lengths
    kAttrKeyLayer = 5,      // ... keyed by the layer
    kAttrViaListed = 7,     // attribute kind of a net's listed via types
    kAttrKeyNet = 10,       // ... keyed by the net and the via type
    kAttrKeyThru = 6,       // the listed entry's second key type
};

// The check itself, installed as the router's DrcCheckConn (rulesvc.h),
// through which every caller reaches it.
int32_t DrcCheckConnRules(int32_t entry, const Conn* conn, int32_t first, int32_t last);

// The outcode of a point against the box widened by w: 4 left, 8 right, 2
// below, 1 above.
int32_t DrcOutcode(int32_t x, int32_t y, int32_t w, int32_t xmin, int32_t ymin, int32_t xmax,
                   int32_t ymax);
// 1 when corner i + 1 makes corners i..i+2 an arc: an Arc flag with three
// Locked corners inside the record.
bool DrcIsArc(const Conn* conn, int32_t i);

int32_t DrcConnVsSeg(const Conn* conn, int32_t first, int32_t last, int32_t x1, int32_t y1,
                     int32_t x2, int32_t y2, int32_t layer, int32_t h);
int32_t DrcConnVsBox(const Conn* conn, int32_t first, int32_t last, int32_t x1, int32_t y1,
                     int32_t x2, int32_t y2, int32_t layer);
int32_t DrcConnVsArc(const Conn* conn, int32_t first, int32_t last, const ArcSpec* arc,
                     int32_t layer, int32_t half);
int32_t DrcConnVsPadShape(const Conn* conn, int32_t first, int32_t last, int32_t x1, int32_t y1,
                          int32_t x2, int32_t y2, int32_t comp, int32_t pin, int32_t layer);
int32_t DrcConnVsConn(const Conn* conn, int32_t first, int32_t last, int32_t other);
int32_t DrcConnVsPad(const Conn* conn, int32_t first, int32_t last, int32_t pad);
int32_t DrcConnVsObstacle(const Conn* conn, int32_t first, int32_t last, int32_t obs);
int32_t DrcViaInObstacle(const Conn* conn, int32_t corner, int32_t obs, int32_t owner);
int32_t DrcJumperCheck(const Conn* conn, int32_t first, int32_t last);
// The lengths listed for a jumper layer, read whole before any other call
// (the attribute scan is shared with NetPut); answers their count.
int32_t JumperLengths(int32_t layer, int32_t out[kJumperLengthsMax]);
int32_t DrcConnEnds(int32_t index, const Conn* conn, int32_t first, int32_t last, int32_t variant);
