// Net node lists and chain ordering.
//
// Chain ordering rebuilds the connections of one net from its copper: the
// net is broken into nodes (pins, copper segments, vias), the nodes are
// strung into chains that run from a pin through copper to a pin or to an
// open end, the chains are joined into one tree with new unrouted gaps where
// copper is missing, and every pin-to-pin chain is written back as one
// connection.
//
// The node lists (one per net index, list 0 for copper of no net) carry nets
// between the ASCII board database and the tables; their nodes live in pool
// 9, and building a net's list costs time in step with its nodes
// (nodelists.cpp; loose copper in loosecopper.cpp). Chain ordering
// (chains.cpp) works in pool 10 (released after every net); the tree
// builders (chaintree.cpp) keep the candidate edges of large nets in pools 10
// and 11. A tree joins chains only at pins, vias and routed copper, never at
// the unrouted gaps it made itself.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"

// Node kinds.
enum : uint8_t {
    kNodeSegment = 0, // copper segment; layer 0 is an unrouted gap
    kNodePin = 1,
    kNodeVia = 2,
};

enum : int32_t {
    kPoolNodes = 9,           // the node lists
    kPoolChains = 10,         // chain ordering's working lists and candidate edges
    kPoolChainIndex = 11,     // candidate edges by chain, chains by index
    kChainCornerLimit = 1000, // corners of one written connection
};

// No memory for a node of the node lists.
constexpr ErrCode kErrNodeMemory = 5234018;
// A net index outside 0..10,000 for the node lists.
constexpr ErrCode kErrListNet = 5234049;

// A node of a net's copper.
struct NetNode {
    NetNode* next;  // next node of the same list (node list, chain list or tree list)
    NetNode* link;  // next node along the chain; for an open end, back toward its start
    int32_t x1, y1; // first point (pins and vias: their point)
    int32_t x2, y2; // second point (pins and vias: the same point)
    int32_t x3, y3; // arc segments: the arc's centre
    uint16_t flags; // corner flags of the copper (0x04 marks an arc segment)
    int16_t degree; // joins made at this pin (ECL trees)
    uint8_t kind;
    uint8_t freeMark;     // 1 while the node belongs to node list 0
    uint32_t layerMask;   // pins: bit L - 1 for every padded, usable layer L
    uint16_t compOrLayer; // pins: component; segments: layer in the low byte
    int16_t pinOrWidth;   // pins: pin number; segments: width
    uint16_t padstack;    // pins: thru code; vias: via type
    uint16_t role;        // pins: the package pin's code byte
};

// ---- node lists ------------------------------------------------------------------

// Adds the record's pins, copper segments and vias to the node list of its
// net (0 for copper of no net), without duplicates; widens the net's minimum
// and maximum width by the segment widths.
void NetNodeListBuild(const Conn* record);
// Takes the next node off the net's list and describes it in the buffer in
// connection layout; 1 while nodes remained, 0 at the end.
int32_t NetNodeGet(int32_t net, Conn* buffer);
// True while a node-list table exists.
bool NetNodeListsExist();
// The number of nodes on list n (0 when there is no such list).
int32_t NetNodeListCount(int32_t n);
// Forgets every node list and releases pool 9 (from DbFree).
void NetNodeListFree();

// ---- chain ordering --------------------------------------------------------------

// Rebuilds the net's connections as chains and a tree; with net 0 assigns
// the copper of node list 0 to the nets it touches.
void ChainOrderNet(int32_t net);
// As ChainOrderNet from the net's own connections; does nothing for a net
// with NOROUTE or net type bit 0x01, and verifies the result.
void ChainOrderNetChecked(int32_t net);
// The Nets menu's reconnect: as ChainOrderNetChecked, reading the net's
// connections from the journal and writing the result there. Answers 1 when
// the net is refused (NOROUTE or net type bit 0x01), else 0.
int32_t ChainOrderNetSaved(int32_t net);
// Turns the net's connections into chains and deletes the converted ones;
// connections with the Arc flag stay. Answers 1.
int32_t netConvertChains(int32_t net);
// 1 when the via's pad on the layer reaches the point.
int32_t ViaPadTouch(int32_t viaType, int32_t vx, int32_t vy, int32_t layer, int32_t ex, int32_t ey);
// Debug dump of the chain lists under a label; does nothing in this system.
void ChainDump(const char* label);

// The keep-all switch: set by the shell while it opens a design, so that
// chains whose ends are the same pin, and pin pairs joined by copper more
// than once, are all written back.
void ChainSetKeepAll(bool on);
bool ChainKeepAll();

// ---- trees (chaintree.cpp) ---------------------------------------------------------

// Joins the chain list into the tree list.
void BuildTree(int32_t net);
void BuildECLTree(int32_t net);
// Ties open copper ends to pins.
void fixChains();
void fixECLChains();
// Joins one chain to the tree; 1 while chains remain.
int32_t mergeChains(int32_t width);
int32_t mergeECLChains(int32_t width);
// The distance of an offset under one of the six tree metrics.
int32_t TreeDistance(int32_t dx, int32_t dy, int32_t metric);
// The metric a net type selects.
int32_t TreeMetric(int32_t netType);

// ---- shared state of chain ordering and the tree builders ---------------------------

namespace chains {

struct State {
    int32_t net = 0;
    int32_t gapWidth = 0;
    int32_t metric = 0;
    NetNode* ring = nullptr; // open ends (a queue: first end, last end)
    NetNode* ringTail = nullptr;
    NetNode* freeList = nullptr;  // segments and vias not yet used
    NetNode* chainList = nullptr; // heads of chains not in the tree
    NetNode* treeList = nullptr;  // heads of chains in the tree
    int32_t pinChains = 0;        // chains in the chain list that start at a pin
    int32_t newPins = 0;          // k: pins that became chains of their own
    int32_t ecl1 = 0, ecl4 = 0, eclOther = 0;
    bool large = false;
};
State& St();

// Node helpers shared by both files.
NetNode* NewNode(const NetNode* from = nullptr); // a copy in pool 10 (zeroed when null)
NetNode* TurnedCopy(const NetNode* n);           // a copy with its points exchanged
int32_t NodeLayer(const NetNode* n);
bool IsPin(const NetNode* n);
bool SamePin(const NetNode* a, const NetNode* b);
// The two nodes touch at a common point (the caller compares the points).
bool NodesTouch(const NetNode* a, const NetNode* b);
// The first pin along the chain after its head, null when none.
NetNode* FarPin(const NetNode* head);
// The last node of the chain.
NetNode* ChainLast(NetNode* head);
// The number of nodes of the chain.
int32_t ChainLength(const NetNode* head);
// A lone pin: a pin head with nothing beyond it.
bool IsLonePin(const NetNode* head);
// Appends a chain to the end of the tree list.
void TreeAppend(NetNode* head);
// Takes a chain off the chain list.
void ChainListRemove(NetNode* head);
// Fills a pin node's point, layer mask, padstack and role.
void PinPlace(NetNode* n);
// Forgets the state of the net in ordering (from NetNodeListFree).
void OrderingForget();

// The node-list table (nodelists.cpp). Taking or pushing through these keeps
// the lists' duplicate index in step; a caller that changes a list in place
// (appending behind its last node) says so with ListChanged.
NetNode* AllocNode(int32_t pool, ErrCode code); // zeroed, 8-byte aligned
int32_t ListTableSize();                        // lists in the table (0: none)
NetNode* ListHead(int32_t n);                   // null for a list beyond the table
NetNode* ListTake(int32_t n);                   // takes list n whole
void ListPush(int32_t n, NetNode* node);        // onto list n's head
void ListChanged(int32_t n);
// Widens the net's minimum and maximum width by a segment width; true when
// either changed.
bool WidenNet(Net* net, uint16_t width);

// Gives the copper of list 0 to the nets it touches (loosecopper.cpp).
void AssignLoose();

} // namespace chains
