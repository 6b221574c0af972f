// What copper-check reads from the loaded design: every piece of copper on
// every layer as a shape (segments as rounded strokes of their width, vias
// and pads as their pad shapes), the obstacles that copper must keep clear
// of (their edges as strokes of their width, their areas for the inside
// test), the layers' clearances and the connections to be joined. Built
// from the database tables alone; the router is never opened.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "copper-check-geom.h"

// Kinds of item; the first three index the layer's clearance table.
enum : uint8_t {
    kCcSegment = 0,
    kCcPad = 1,
    kCcVia = 2,
    kCcEdge = 3, // an obstacle's edge (or its whole disc), measured as a segment
};

enum : int32_t {
    kCcNoNet = -1,  // an obstacle of no net: every net's copper keeps clear of it
    kCcAnyNet = -2, // an obstacle of any net: no copper keeps clear of it
    kCcClearKinds = 3,
    kCcArcStepsMax = 720, // segments of an arc made straight
};

struct CcItem {
    CcShape shape;
    CcBox box;
    int32_t layer = 0;
    uint8_t kind = kCcSegment;
    int32_t net = 0;  // 1..net count; 0 a pad of no net
    int32_t node = 0; // the copper it is one piece with (a pin, a via, a segment); -1 for edges
    int32_t a = 0, b = 0; // segment, via: connection and corner; pad: component and pin;
                          // edge: the obstacle (index into CcModel::obstacles)
};

// How an obstacle constrains copper.
enum : uint8_t {
    kCcObsEdges = 1,   // its edges keep a clearance
    kCcObsInside = 2,  // no copper inside it (vias only for a no-via area)
    kCcObsOutside = 4, // no copper outside it (a board outline)
    kCcObsCopper = 8,  // copper of its net: joins its net, shorts others
    kCcObsViasOnly = 16,
};

struct CcObstacle {
    int32_t index = 0; // database index
    int32_t comp = 0;  // the component it is placed on, 0 for the board
    uint8_t kind = 0;
    uint8_t rules = 0;
    int32_t layer = 0; // 0: every layer
    int32_t net = kCcNoNet;
    int32_t node = -1; // copper obstacles: their node
    bool circle = false;
    CcPoint centre;
    double radius = 0;
    CcOutline area; // closed outline for the inside test (not for circles)
    CcBox box;
    std::string name;
};

struct CcConnection {
    int32_t index = 0;
    int32_t net = 0;
    int32_t fromComp = 0, fromPin = 0, toComp = 0, toPin = 0;
    int32_t fromNode = -1, toNode = -1; // the copper at each end; -1 none
};

struct CcModel {
    int32_t layers = 0;
    double mmPerUnit = 0;
    double clear[31][kCcClearKinds][kCcClearKinds] = {}; // [layer][kind][kind]
    std::vector<CcItem> items;
    std::vector<CcObstacle> obstacles;
    std::vector<CcConnection> connections; // those the router is asked to route
    int32_t nodes = 0;
    std::vector<std::vector<int32_t>> pinNode; // [component][pin]
    std::vector<std::vector<int32_t>> pinNet;  // [component][pin]
};

// Reads the loaded design into the model.
void CcModelBuild(CcModel* m);
// A readable name of an item ("segment of N12 (connection 5 corner 3)").
std::string CcItemName(const CcModel& m, const CcItem& it);
// A readable name of an obstacle ("Route keepout "H1"").
std::string CcObstacleName(const CcObstacle& o);
std::string CcNetName(int32_t net);
