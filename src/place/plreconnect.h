// Reconnection of moved components: the connections of every component
// held in the open journal level are put into the journal once and their
// ends fitted to the pins where the components now stand. In the Route
// view the changed stretch of each connection is cleaned: corners that
// left the routing window lose their copper and neighbouring gaps merge,
// and every connection the pass changed has its picture updated (the old
// one erased, the new one drawn). Everything happens inside the caller's
// open level.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

enum : ErrCode {
    kErrReconnectNoLevel = 64654, // reconnectMovedComps without an open level
};

enum : uint16_t {
    kAltItemReconnected = 0x0080, // a component item whose connections were put
};

enum : int32_t {
    kStretchSearchStart = 1000, // above the 999-corner limit: the search covers every corner
};

// The routing window the cleaning tests corners against (database units).
struct PlWindowBox {
    int32_t minX, minY, maxX, maxY;
};

// The journal key of connection k: its object-table entry in the Route
// view while the router's objects are loaded, else 0.
uint16_t PlConnKey(int32_t k, bool routeView);
enum : int32_t {
    kConnPictureDraw = 0,  // DrawBoardObject mode: draw
    kConnPictureErase = 1, // DrawBoardObject mode: erase
};

// Updates the picture of a connection the pass changed: erases the old
// image, draws the new one.
typedef void (*PlConnPictureProc)(const Conn* before, const Conn* after);

// As reconnectMovedCompsIn with the front window's view, the pictures
// going to the board display.
void reconnectMovedComps();
// routeView: the Route view's keys (the object-table entry), cleaning
// against the router's current window and, with a picture procedure, the
// changed connections' pictures.
void reconnectMovedCompsIn(bool routeView, PlConnPictureProc picture = nullptr);
// Compares the corner lists of the connection before and after a change;
// corners of the changed stretch outside the window get an unrouted
// segment, then neighbouring gaps merge. Nothing when no corner differs.
void ConnCleanChangedStretch(const Conn* before, Conn* after, const PlWindowBox& window);
