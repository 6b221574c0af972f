// The corner edits the joins are built from: checked corner insertion,
// window split, the via site and octilinear tests, the route score, the
// merge of two stretches that run together, the elbow search and the tidy
// of a joint. Each edits only an item's scratch copy; each refusal is an
// answer (false or 0) that the join turns into the clean failure flag.
#pragma once
#include <cstdint>

#include "rules/cleanitem.h"

enum : int32_t {
    kScoreNotOctilinear = 100000,
    kScorePerVia = 2000,
    kScorePerAcuteTurn = 5000,
    kScoreGapFactor = 5,
    kDirectionSplit = 50, // a layer's direction value below this prefers x
    kSweepDiagonalElbows = 0x0001,
};

// The incoming and outgoing layer at corner i (at an end, the one segment's).
int32_t LayerBefore(const Conn* c, int32_t i);
int32_t LayerAfter(const Conn* c, int32_t i);
// The via at an interior joint follows its two layers: ViaPairTable's
// type where they differ and there is none, none where they are equal.
void JoinJointVia(Conn* c, int32_t i);
// The largest spacing of a reach, five-fold with the extend flag.
int32_t JoinSpacing(int32_t layer, int32_t cls, int32_t kind, bool extend);

// Inserts n copies of corner i before it when the connection stays within
// the corner limit; false (nothing inserted) otherwise.
bool JoinInsert(Conn* c, int32_t i, int32_t n = 1);
// Window split of segment i: 1 when a corner was inserted after i.
int32_t JoinWindowSplit(Conn* c, int32_t i);
// 1 when a via of the type may stand at the point (entry: the connection
// itself, not counted).
int32_t JoinViaSite(int32_t viaType, int32_t x, int32_t y, int32_t entry);
// Every routed segment between corners a and b is octilinear.
bool JoinOctilinear(const Conn* c, int32_t a, int32_t b);
// The route score of corners 0..end.
int64_t JoinRouteScore(const Conn* c, int32_t end);
// Merge (X, Y): false when the rewrite was refused.
bool JoinMerge(CleanItem* x, CleanItem* y);
// Tidy X against Y: false when it failed.
bool JoinTidy(CleanItem* x, const CleanItem* y);
// Elbow search from A to C; *e the elbow. n neighbours of A tested: nb1
// and nb2.
bool JoinElbow(int32_t entry, int32_t ax, int32_t ay, int32_t cx, int32_t cy, int32_t layer,
               int32_t half, int32_t n, const int32_t nb1[2], const int32_t nb2[2], int32_t e[2]);
