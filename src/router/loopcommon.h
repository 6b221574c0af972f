// Small shared steps of the route loop's files: the pass word in hand, the
// board-shown test, the quiet byte, putting the gap in hand back (the
// connection re-read, redrawn and its gap mapped again), and the activity
// log line of a connection or window given up after an internal error.
#pragma once
#include <cstdint>

#include "db/err.h"

// The PassFlags word of MzGoal's pass in CurSweep.
uint16_t LoopPassFlags();
// 1 when the front window shows the board.
bool LoopBoardShown();
// Sets or clears the quiet byte of RunOptions (nothing before it exists).
void LoopSetQuiet(bool on);
// Re-reads MzGoal's connection into ConnPath, redraws its gap normally and
// maps the gap back into the object map.
void LoopRereadGap();
// The change of the open level repainted (board shown), the windows told,
// its change in complete connections added to the routed count, the level
// committed.
void LoopCommitShown();
// True when the connection was given up after an internal error in this
// pass; LoopGiveUpAdd records one (false when the record is full), and
// LoopGivenUpClear forgets them all (a new pass).
bool LoopGivenUp(int32_t conn);
bool LoopGiveUpAdd(int32_t conn);
void LoopGivenUpClear();
// Writes "Connection N given up: Error code ..." (conn > 0) or "Window
// given up: Error code ..." (conn 0) to the activity log, the error as the
// fatal display would show it (number: its detail, none without one).
void LoopLogGiveUp(int32_t conn, ErrCode code, int32_t number, bool hasNumber = true);
