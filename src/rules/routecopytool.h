// The routing window's route copy tool ("Insert"): copies of the routed
// connections inside the picked rectangle, kept as a list in the tool's own
// memory pool, dragged with the mouse, mirrored and turned, and pasted on
// each click onto every connection that joins the pins under their ends.
// The tool holds the board window's command hook from the pick until it is
// let go (30026) or finished (30044); both close the pool and remove the
// hook. A click pastes once: on button down.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : int32_t {
    kCmdRouteCopy = 30206,       // "Insert"
    kCmdRouteCopyMirror = 30220, // "&Mirror"
    kCmdRouteCopyRotate = 30224, // "&Rotate|R"
};

enum : ErrCode {
    kOwnerRouteCopy = 61002,     // the tool's pool
    kOwnerRouteCopyNode = 61004, // list nodes
    kOwnerRouteCopyConn = 61005, // stored copies
    kErrCopyListLeft = 61181,    // a list left over after opening the pool
    kErrCopyNodeEmpty = 61182,   // a list node without a copy
    kErrCopyComp = 61183,        // a pin's component number out of range
    kErrCopyRoutedStart = 61184, // a partial copy meets a routed first corner
};

// One listed copy; the copy is a connection image of its own size.
struct RouteCopyItem {
    RouteCopyItem* next;
    Conn* copy;
    int32_t partial; // 1: only the routed start of the connection was copied
};

// The tool's state (cleared by RouteCopyTestReset).
struct RouteCopyState {
    RouteCopyItem* list = nullptr; // newest first
    int32_t pool = 0;              // 0 while no pick holds one
    int32_t refX = 0, refY = 0;    // the last mouse point, board units
    int32_t drawn = 0;             // the list is drawn on the board
};
extern RouteCopyState g_routeCopy;

// Builds the list from the picked rectangle: 1 and the tool installed, or
// 0 ("No matches found.") and no tool.
int32_t routeCopyPick();
// The tool's command hook: 1 consumed, 0 not.
int32_t routeCopyChoice(int32_t command);
// Applies every listed copy at its current place, in one committed level.
void routeCopyPaste();
// Draws or erases the list (toggling pen) and flips the drawn flag.
void routeCopyDraw();

// Test-only: the pool closed and the state cleared.
void RouteCopyTestReset();
