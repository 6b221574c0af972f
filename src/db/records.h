// Record images of the board database. Every record is a packed,
// pointer-free image with fixed-width little-endian fields: the image held
// in the tables, in the tentative-edit journal and in the binary design
// file. Sizes and field offsets are checked at compile time, so both builds
// lay them out identically.
#pragma once
#include <cstddef>
#include <cstdint>

// Record types shared by the tables, the journal and the design file.
enum RecType : int32_t {
    kRecHeader = 1,
    kRecSweep = 2,
    kRecPlaceStrategy = 3,
    kRecNameString = 4,
    kRecLayer = 5,
    kRecThruCode = 6,
    kRecSymbol = 7,
    kRecPackage = 8,
    kRecComponent = 9,
    kRecNet = 10,
    kRecConn = 11,
    kRecObstacle = 12,
    kRecBoardText = 13,
    kRecNote = 14,
    kRecColorEntry = 15,
    kRecAttribute = 16,
    kRecPlotReport = 17,
    kRecErrorMarker = 18,
    kRecTable23 = 23,
};

typedef uint32_t NameId;

// Limits of the variable records.
enum : int32_t {
    kMaxLayers = 30,         // routing layers 1..30; slot 0 is the connection layer
    kLayerSlots = 31,        // layers 0..30
    kMaxPins = 2400,         // pins of a symbol or package
    kMaxCorners = 1001,      // room of every connection buffer
    kMaxPoints = 1001,       // room of every obstacle buffer
    kTextChars = 101,        // texts of records: 100 characters and the zero
    kViaNameEntries = 21,    // header entries 298..633
    kMaxViaNames = 20,       // the via-name count the header accepts
    kRecordImageMax = 38448, // the largest record image (a full symbol)
    kRecTypeMax = 24,        // record types are 1..24
};

#pragma pack(push, 1)

// One via-name entry of the header.
struct DbViaName {
    NameId name1;  // 0
    int32_t value; // 4
    NameId name3;  // 8
    uint16_t word; // 12
    uint8_t spare[2];
};

// The design header (734 bytes).
struct DbHeader {
    char name[64];                                  // 0
    double unitSize;                                // 64: inches per database unit
    int32_t userUnit;                               // 72: database units per user unit
    int32_t connGrid;                               // 76: unit of corner widths
    int32_t routeGrid;                              // 80
    int32_t fourthGrid;                             // 84: not negative
    int32_t grid88;                                 // 88
    int32_t grid92;                                 // 92
    int32_t grid2X, grid2Y;                         // 96, 100: second grid pair
    int32_t grid3X, grid3Y;                         // 104, 108: third grid pair (0 = routing grid)
    int32_t originX, originY;                       // 112, 116
    uint16_t flags;                                 // 120
    int16_t backupMinutes;                          // 122: automatic backup interval, 0 = never
    int16_t noteCount;                              // 124
    int16_t count126;                               // 126
    int16_t layerCount;                             // 128
    int16_t viaCount;                               // 130: predefined thru codes (via types) V
    int16_t thruCount;                              // 132
    int16_t symbolCount;                            // 134
    int16_t compCount;                              // 136
    int16_t netCount;                               // 138
    int16_t connCount;                              // 140
    int16_t obsCount;                               // 142
    int16_t textCount;                              // 144
    int16_t pkgCount;                               // 146
    int16_t colorCount;                             // 148
    int16_t reportCount;                            // 150
    int16_t markerCount;                            // 152
    int16_t table23Count;                           // 154
    int32_t extMinX, extMinY, extMaxX, extMaxY;     // 156..168: design extent
    int32_t offsetX, offsetY;                       // 172, 176
    int32_t dispMinX, dispMaxX, dispMinY, dispMaxY; // 180..192: display box
    int32_t centreX, centreY;                       // 196, 200: board centre
    int32_t height;                                 // 204
    int32_t width;                                  // 208
    int32_t value212[4];                            // 212..224
    int32_t timeUsed;                               // 228: seconds
    uint8_t sweep;                                  // 232: current sweep number (below 9)
    uint8_t byte233;                                // 233
    int16_t backupEachSweep;                        // 234: 1 = backup after each sweep
    int16_t valid;                                  // 236: DbValid
    int16_t modified;                               // 238: DbModified
    int32_t value240;                               // 240
    uint32_t savedWhole;                            // 244: 0x31415926 in a file written whole
    double scale;                                   // 248: display units per database unit
    int32_t dispUserUnit;                           // 256: database units per user unit on display
    uint8_t unitKind;                               // 260: 0..6
    uint8_t digits[3];                              // 261..263
    int32_t recordId;                               // 264: record-id counter, counts down
    int16_t word268, word270;                       // 268, 270
    int32_t value272, value276;                     // 272, 276
    uint8_t byte280;                                // 280
    uint8_t viaNameCount;                           // 281
    int32_t value282;                               // 282 (6,000 on reset)
    int32_t value286;                               // 286 (480 on reset)
    uint8_t bytes290[8];                            // 290..297
    DbViaName viaNames[kViaNameEntries];            // 298 + 16 i
    uint16_t word634;                               // 634
    int32_t value636;                               // 636
    uint8_t rest[94];                               // 640..733
};

// Header flag bits.
enum : uint16_t {
    kHdrNoOffGrid = 0x0001,
    kHdrMultiVia = 0x0008,
    kHdrNetValidate = 0x0010,
    kHdrConnFit = 0x0020,
    kHdrMetric = 0x0040,
    kHdrLayerValidate = 0x0100,
    kHdrNameTexts = 0x0200,
    kHdrOutlines = 0x0400,
    kHdrNetRebuild = 0x4000,
};

enum : uint32_t { kSavedWholeMark = 0x31415926 };

// A routing sweep strategy (228 bytes).
struct Sweep {
    char name[32];                // 0: at most 31 characters
    int16_t diagonal;             // 32: 1 on, 16 off, 3 max
    uint16_t passFlags[5];        // 34
    uint8_t via[5];               // 44
    uint8_t retry[5];             // 49
    uint8_t limit[5];             // 54
    uint8_t attempts[5];          // 59
    int16_t layerCount;           // 64
    int16_t usedLayers;           // 66
    uint8_t enable[kLayerSlots];  // 68
    uint8_t dir[kLayerSlots];     // 99
    uint8_t cost[kLayerSlots];    // 130
    uint8_t between[kLayerSlots]; // 161
    int16_t box[4];               // 192: routing box words
    uint8_t boxPercent[2];        // 200
    int16_t word202;              // 202
    int32_t backColor;            // 204
    int32_t edgeColor;            // 208
    uint8_t primary;              // 212
    uint8_t secondary;            // 213
    uint8_t curPrimary;           // 214
    uint8_t curSecondary;         // 215
    int32_t compOutlineColor;     // 216
    int32_t compNameColor;        // 220
    int32_t value224;             // 224
};

// The placement strategy (148 bytes), arrays indexed by placement pass.
struct PlaceStrategy {
    uint16_t actions[12];   // 0
    uint16_t states[12];    // 24
    int16_t iterations[12]; // 48
    int16_t attempts[12];   // 72
    int16_t clusters[12];   // 96
    int32_t box[4];         // 120
    uint8_t byte136;        // 136
    uint8_t byte137;        // 137
    uint16_t word138;       // 138 (256 by default)
    int32_t value140;       // 140
    int32_t value144;       // 144
};

// A layer (56 bytes).
struct Layer {
    NameId name;         // 0
    NameId shortName;    // 4
    NameId className;    // 8
    int32_t recordId;    // 12
    int32_t spacing[7];  // 16
    int32_t reserved[2]; // 44
    uint16_t flags;      // 52
    uint8_t mirror;      // 54
    uint8_t spare;       // 55
};

// A pad shape (26 bytes).
struct PadShape {
    int32_t x, y;   // 0, 4: offset from the pin
    int32_t ext[4]; // 8: left, bottom, right, top
    uint8_t code;   // 24
    uint8_t spare;  // 25
};

// The pads of one layer of a thru code (108 bytes).
struct ThruLayer {
    int16_t rotation;   // 0
    uint8_t flags;      // 2
    uint8_t shapeCount; // 3
    PadShape shape[4];  // 4 + 26 j
};

// A thru code (padstack): a 12-byte head and one layer block for each layer
// 0..layer count; this buffer has room for all 31.
struct ThruCode {
    NameId name;                  // 0
    int32_t recordId;             // 4
    int16_t word8;                // 8
    int16_t word10;               // 10
    ThruLayer layer[kLayerSlots]; // 12 + 108 l
};

struct SymbolInfo {
    NameId name;            // 0
    int32_t recordId;       // 4
    int16_t pinCount;       // 8
    uint8_t byte10, byte11; // 10, 11
    int16_t word12, word14; // 12, 14
    int32_t value[4];       // 16
};

struct SymbolPin {
    NameId name;  // 0
    int32_t x, y; // 4, 8
    int16_t thru; // 12
    int16_t word; // 14
};

// A symbol (footprint) with its pins: pin slot 0 is empty (38,448 bytes).
struct Symbol {
    SymbolInfo info;             // 0
    SymbolPin pin[kMaxPins + 1]; // 32 + 16 p
};

struct PackageInfo {
    NameId name;      // 0
    int32_t recordId; // 4
    int16_t pinCount; // 8
    int16_t word;     // 10
};

struct PackagePin {
    NameId name;     // 0
    NameId name2;    // 4
    int16_t value;   // 8
    uint8_t byte10;  // 10
    uint8_t code;    // 11
    int32_t value12; // 12
};

// A package: its 12-byte summary padded to 16, then pin slot 0 (empty) and
// pins 1..2,400 (38,432 bytes).
struct Package {
    PackageInfo info;             // 0
    uint8_t pad[4];               // 12
    PackagePin pin[kMaxPins + 1]; // 16 + 16 p
};

// A component (56 bytes).
struct Component {
    NameId name;                    // 0
    int32_t recordId;               // 4
    int32_t minX, minY, maxX, maxY; // 8..20
    int32_t x, y;                   // 24, 28
    int32_t value32;                // 32
    uint16_t flags;                 // 36
    int16_t symbol;                 // 38
    int16_t word40;                 // 40
    int16_t compRef;                // 42: a component reference, 0..4,000
    int16_t angle;                  // 44
    int16_t otherSymbol;            // 46
    int16_t package;                // 48
    uint8_t byte50, byte51;         // 50, 51
    int32_t value52;                // 52
};

// A net (28 bytes).
struct Net {
    NameId name;       // 0
    int32_t recordId;  // 4
    int32_t value8;    // 8: no layer mask
    int32_t netLevel;  // 12: allowed layers, bit n - 1 = layer n (0xFFFF: layers 1..16)
    uint16_t minWidth; // 16
    uint16_t width;    // 18
    uint16_t maxWidth; // 20
    uint16_t word22;   // 22
    uint8_t weight;    // 24
    uint8_t netType;   // 25
    uint16_t flags;    // 26
};

// A corner (14 bytes).
struct Crn {
    int32_t x, y;   // 0, 4
    uint16_t width; // 8: in connection-grid units
    uint8_t layer;  // 10
    uint8_t flags;  // 11
    uint8_t via;    // 12
    uint8_t spare;  // 13
};

struct ConnHead {
    int32_t minX, minY, maxX, maxY; // 0..12
    int32_t spare;                  // 16
    int16_t fromComp;               // 20
    int16_t toComp;                 // 22
    int16_t fromPin;                // 24
    int16_t toPin;                  // 26
    int16_t net;                    // 28
    uint16_t flags;                 // 30
    uint16_t spareWord;             // 32
    int16_t count;                  // 34
};

// A connection buffer with room for 1,001 corners (14,050 bytes).
struct Conn {
    ConnHead head;        // 0
    Crn crn[kMaxCorners]; // 36 + 14 i
};

struct ObsHead {
    NameId name;                    // 0
    int32_t recordId;               // 4
    int32_t minX, minY, maxX, maxY; // 8..20
    int32_t width;                  // 24
    int32_t value28;                // 28
    uint8_t layer;                  // 32
    uint8_t kind;                   // 33
    uint8_t byte34;                 // 34
    uint8_t byte35;                 // 35
    uint16_t flags;                 // 36
    int16_t net;                    // 38: 0x8001 none, 0 any, -p pin p
    int16_t owner;                  // 40: 0 board, s symbol, -c component
    int16_t word42;                 // 42
    int16_t word44;                 // 44
    int16_t count;                  // 46
};

struct ObsPoint {
    int32_t x, y;   // 0, 4
    uint16_t flags; // 8
    int16_t width;  // 10
};

// An obstacle buffer with room for 1,001 points (12,060 bytes).
struct Obstacle {
    ObsHead head;            // 0
    ObsPoint pt[kMaxPoints]; // 48 + 12 i
};

enum : int16_t { kObsNoNet = -32767 }; // 0x8001

// A board text (156 bytes).
struct BoardText {
    NameId name;                    // 0
    int32_t recordId;               // 4
    int32_t minX, minY, maxX, maxY; // 8..20
    int32_t width;                  // 24
    int32_t height;                 // 28
    int32_t x, y;                   // 32, 36
    int32_t r;                      // 40
    int16_t angle;                  // 44
    int16_t owner;                  // 46
    int16_t ratio;                  // 48
    int16_t value50;                // 50
    uint8_t layer;                  // 52
    uint8_t kind;                   // 53
    uint8_t flags;                  // 54
    char text[kTextChars];          // 55
};

// A note: its text (101 bytes).
struct Note {
    char text[kTextChars];
};

// A display colour entry (12 bytes).
struct ColorEntry {
    uint8_t kind;    // 0
    uint8_t subKind; // 1
    uint8_t layer;   // 2: 255 = every layer
    uint8_t spare;   // 3
    int32_t value;   // 4
    int32_t color;   // 8
};

// An attribute (20 bytes).
struct Attribute {
    uint8_t kind;     // 0
    uint8_t key1Type; // 1
    uint8_t key2Type; // 2
    uint8_t byte3;    // 3
    int16_t key1;     // 4
    int16_t key2;     // 6
    int32_t value1;   // 8
    int32_t value2;   // 12
    int32_t value3;   // 16
};

// A plot report (848 bytes): a 68-byte head and 65 colour entries.
struct PlotReport {
    NameId name;            // 0
    int32_t value4;         // 4
    int32_t value8;         // 8
    int16_t word12, word14; // 12, 14
    int32_t value16[3];     // 16
    int16_t word28[5];      // 28
    uint8_t bytes38[28];    // 38
    int16_t word66;         // 66
    ColorEntry entry[65];   // 68 + 12 i
};

// An error marker (40 bytes).
struct ErrorMarker {
    int32_t x, y;         // 0, 4
    int32_t id1, id2;     // 8, 12: record ids of the objects
    int16_t sub1, sub2;   // 16, 18
    uint8_t kind1, kind2; // 20, 21: record types of the objects
    uint8_t type;         // 22
    uint8_t layer;        // 23
    uint8_t flags;        // 24
    uint8_t bytes25[3];   // 25
    int32_t value[3];     // 28
};

// A Table23 record (16 bytes).
struct Table23 {
    uint16_t value;       // 0: 10..500
    uint8_t byte2, byte3; // 2, 3
    int32_t value4;       // 4
    int32_t value8;       // 8
    int16_t word12;       // 12
    int16_t word14;       // 14
};

#pragma pack(pop)

// clang-format off
#define PLV_AT(T, f, off) static_assert(offsetof(T, f) == (off), #T "." #f)

static_assert(sizeof(DbViaName) == 16);
PLV_AT(DbViaName, name1, 0); PLV_AT(DbViaName, value, 4); PLV_AT(DbViaName, name3, 8);
PLV_AT(DbViaName, word, 12);

static_assert(sizeof(DbHeader) == 734);
PLV_AT(DbHeader, name, 0); PLV_AT(DbHeader, unitSize, 64); PLV_AT(DbHeader, userUnit, 72);
PLV_AT(DbHeader, connGrid, 76); PLV_AT(DbHeader, routeGrid, 80); PLV_AT(DbHeader, fourthGrid, 84);
PLV_AT(DbHeader, grid88, 88); PLV_AT(DbHeader, grid92, 92);
PLV_AT(DbHeader, grid2X, 96); PLV_AT(DbHeader, grid2Y, 100);
PLV_AT(DbHeader, grid3X, 104); PLV_AT(DbHeader, grid3Y, 108);
PLV_AT(DbHeader, originX, 112); PLV_AT(DbHeader, originY, 116);
PLV_AT(DbHeader, flags, 120); PLV_AT(DbHeader, backupMinutes, 122);
PLV_AT(DbHeader, noteCount, 124); PLV_AT(DbHeader, count126, 126);
PLV_AT(DbHeader, layerCount, 128); PLV_AT(DbHeader, viaCount, 130);
PLV_AT(DbHeader, thruCount, 132); PLV_AT(DbHeader, symbolCount, 134);
PLV_AT(DbHeader, compCount, 136); PLV_AT(DbHeader, netCount, 138);
PLV_AT(DbHeader, connCount, 140); PLV_AT(DbHeader, obsCount, 142);
PLV_AT(DbHeader, textCount, 144); PLV_AT(DbHeader, pkgCount, 146);
PLV_AT(DbHeader, colorCount, 148); PLV_AT(DbHeader, reportCount, 150);
PLV_AT(DbHeader, markerCount, 152); PLV_AT(DbHeader, table23Count, 154);
PLV_AT(DbHeader, extMinX, 156); PLV_AT(DbHeader, extMinY, 160);
PLV_AT(DbHeader, extMaxX, 164); PLV_AT(DbHeader, extMaxY, 168);
PLV_AT(DbHeader, offsetX, 172); PLV_AT(DbHeader, offsetY, 176);
PLV_AT(DbHeader, dispMinX, 180); PLV_AT(DbHeader, dispMaxX, 184);
PLV_AT(DbHeader, dispMinY, 188); PLV_AT(DbHeader, dispMaxY, 192);
PLV_AT(DbHeader, centreX, 196); PLV_AT(DbHeader, centreY, 200);
PLV_AT(DbHeader, height, 204); PLV_AT(DbHeader, width, 208);
PLV_AT(DbHeader, value212, 212); PLV_AT(DbHeader, timeUsed, 228);
PLV_AT(DbHeader, sweep, 232); PLV_AT(DbHeader, byte233, 233);
PLV_AT(DbHeader, backupEachSweep, 234); PLV_AT(DbHeader, valid, 236);
PLV_AT(DbHeader, modified, 238); PLV_AT(DbHeader, value240, 240);
PLV_AT(DbHeader, savedWhole, 244); PLV_AT(DbHeader, scale, 248);
PLV_AT(DbHeader, dispUserUnit, 256); PLV_AT(DbHeader, unitKind, 260);
PLV_AT(DbHeader, digits, 261); PLV_AT(DbHeader, recordId, 264);
PLV_AT(DbHeader, word268, 268); PLV_AT(DbHeader, word270, 270);
PLV_AT(DbHeader, value272, 272); PLV_AT(DbHeader, value276, 276);
PLV_AT(DbHeader, byte280, 280); PLV_AT(DbHeader, viaNameCount, 281);
PLV_AT(DbHeader, value282, 282); PLV_AT(DbHeader, value286, 286);
PLV_AT(DbHeader, bytes290, 290); PLV_AT(DbHeader, viaNames, 298);
PLV_AT(DbHeader, word634, 634); PLV_AT(DbHeader, value636, 636);
PLV_AT(DbHeader, rest, 640);

static_assert(sizeof(Sweep) == 228);
PLV_AT(Sweep, name, 0); PLV_AT(Sweep, diagonal, 32); PLV_AT(Sweep, passFlags, 34);
PLV_AT(Sweep, via, 44); PLV_AT(Sweep, retry, 49); PLV_AT(Sweep, limit, 54);
PLV_AT(Sweep, attempts, 59); PLV_AT(Sweep, layerCount, 64); PLV_AT(Sweep, usedLayers, 66);
PLV_AT(Sweep, enable, 68); PLV_AT(Sweep, dir, 99); PLV_AT(Sweep, cost, 130);
PLV_AT(Sweep, between, 161); PLV_AT(Sweep, box, 192); PLV_AT(Sweep, boxPercent, 200);
PLV_AT(Sweep, word202, 202); PLV_AT(Sweep, backColor, 204); PLV_AT(Sweep, edgeColor, 208);
PLV_AT(Sweep, primary, 212); PLV_AT(Sweep, secondary, 213);
PLV_AT(Sweep, curPrimary, 214); PLV_AT(Sweep, curSecondary, 215);
PLV_AT(Sweep, compOutlineColor, 216); PLV_AT(Sweep, compNameColor, 220);
PLV_AT(Sweep, value224, 224);

static_assert(sizeof(PlaceStrategy) == 148);
PLV_AT(PlaceStrategy, actions, 0); PLV_AT(PlaceStrategy, states, 24);
PLV_AT(PlaceStrategy, iterations, 48); PLV_AT(PlaceStrategy, attempts, 72);
PLV_AT(PlaceStrategy, clusters, 96); PLV_AT(PlaceStrategy, box, 120);
PLV_AT(PlaceStrategy, byte136, 136); PLV_AT(PlaceStrategy, byte137, 137);
PLV_AT(PlaceStrategy, word138, 138); PLV_AT(PlaceStrategy, value140, 140);
PLV_AT(PlaceStrategy, value144, 144);

static_assert(sizeof(Layer) == 56);
PLV_AT(Layer, name, 0); PLV_AT(Layer, shortName, 4); PLV_AT(Layer, className, 8);
PLV_AT(Layer, recordId, 12); PLV_AT(Layer, spacing, 16); PLV_AT(Layer, reserved, 44);
PLV_AT(Layer, flags, 52); PLV_AT(Layer, mirror, 54); PLV_AT(Layer, spare, 55);

static_assert(sizeof(PadShape) == 26);
PLV_AT(PadShape, x, 0); PLV_AT(PadShape, y, 4); PLV_AT(PadShape, ext, 8);
PLV_AT(PadShape, code, 24); PLV_AT(PadShape, spare, 25);
static_assert(sizeof(ThruLayer) == 108);
PLV_AT(ThruLayer, rotation, 0); PLV_AT(ThruLayer, flags, 2); PLV_AT(ThruLayer, shapeCount, 3);
PLV_AT(ThruLayer, shape, 4);
static_assert(sizeof(ThruCode) == 12 + 108 * kLayerSlots);
PLV_AT(ThruCode, name, 0); PLV_AT(ThruCode, recordId, 4); PLV_AT(ThruCode, word8, 8);
PLV_AT(ThruCode, word10, 10); PLV_AT(ThruCode, layer, 12);

static_assert(sizeof(SymbolInfo) == 32);
PLV_AT(SymbolInfo, name, 0); PLV_AT(SymbolInfo, recordId, 4); PLV_AT(SymbolInfo, pinCount, 8);
PLV_AT(SymbolInfo, byte10, 10); PLV_AT(SymbolInfo, byte11, 11); PLV_AT(SymbolInfo, word12, 12);
PLV_AT(SymbolInfo, word14, 14); PLV_AT(SymbolInfo, value, 16);
static_assert(sizeof(SymbolPin) == 16);
PLV_AT(SymbolPin, name, 0); PLV_AT(SymbolPin, x, 4); PLV_AT(SymbolPin, y, 8);
PLV_AT(SymbolPin, thru, 12); PLV_AT(SymbolPin, word, 14);
static_assert(sizeof(Symbol) == 38448);
PLV_AT(Symbol, info, 0); PLV_AT(Symbol, pin, 32);

static_assert(sizeof(PackageInfo) == 12);
PLV_AT(PackageInfo, name, 0); PLV_AT(PackageInfo, recordId, 4);
PLV_AT(PackageInfo, pinCount, 8); PLV_AT(PackageInfo, word, 10);
static_assert(sizeof(PackagePin) == 16);
PLV_AT(PackagePin, name, 0); PLV_AT(PackagePin, name2, 4); PLV_AT(PackagePin, value, 8);
PLV_AT(PackagePin, byte10, 10); PLV_AT(PackagePin, code, 11); PLV_AT(PackagePin, value12, 12);
static_assert(sizeof(Package) == 38432);
PLV_AT(Package, info, 0); PLV_AT(Package, pad, 12); PLV_AT(Package, pin, 16);

static_assert(sizeof(Component) == 56);
PLV_AT(Component, name, 0); PLV_AT(Component, recordId, 4); PLV_AT(Component, minX, 8);
PLV_AT(Component, minY, 12); PLV_AT(Component, maxX, 16); PLV_AT(Component, maxY, 20);
PLV_AT(Component, x, 24); PLV_AT(Component, y, 28); PLV_AT(Component, value32, 32);
PLV_AT(Component, flags, 36); PLV_AT(Component, symbol, 38); PLV_AT(Component, word40, 40);
PLV_AT(Component, compRef, 42); PLV_AT(Component, angle, 44);
PLV_AT(Component, otherSymbol, 46); PLV_AT(Component, package, 48);
PLV_AT(Component, byte50, 50); PLV_AT(Component, byte51, 51); PLV_AT(Component, value52, 52);

static_assert(sizeof(Net) == 28);
PLV_AT(Net, name, 0); PLV_AT(Net, recordId, 4); PLV_AT(Net, value8, 8);
PLV_AT(Net, netLevel, 12); PLV_AT(Net, minWidth, 16); PLV_AT(Net, width, 18);
PLV_AT(Net, maxWidth, 20); PLV_AT(Net, word22, 22); PLV_AT(Net, weight, 24);
PLV_AT(Net, netType, 25); PLV_AT(Net, flags, 26);

static_assert(sizeof(Crn) == 14);
PLV_AT(Crn, x, 0); PLV_AT(Crn, y, 4); PLV_AT(Crn, width, 8); PLV_AT(Crn, layer, 10);
PLV_AT(Crn, flags, 11); PLV_AT(Crn, via, 12); PLV_AT(Crn, spare, 13);
static_assert(sizeof(ConnHead) == 36);
PLV_AT(ConnHead, minX, 0); PLV_AT(ConnHead, minY, 4); PLV_AT(ConnHead, maxX, 8);
PLV_AT(ConnHead, maxY, 12); PLV_AT(ConnHead, spare, 16); PLV_AT(ConnHead, fromComp, 20);
PLV_AT(ConnHead, toComp, 22); PLV_AT(ConnHead, fromPin, 24); PLV_AT(ConnHead, toPin, 26);
PLV_AT(ConnHead, net, 28); PLV_AT(ConnHead, flags, 30); PLV_AT(ConnHead, spareWord, 32);
PLV_AT(ConnHead, count, 34);
static_assert(sizeof(Conn) == 14050);
PLV_AT(Conn, head, 0); PLV_AT(Conn, crn, 36);

static_assert(sizeof(ObsHead) == 48);
PLV_AT(ObsHead, name, 0); PLV_AT(ObsHead, recordId, 4); PLV_AT(ObsHead, minX, 8);
PLV_AT(ObsHead, minY, 12); PLV_AT(ObsHead, maxX, 16); PLV_AT(ObsHead, maxY, 20);
PLV_AT(ObsHead, width, 24); PLV_AT(ObsHead, value28, 28); PLV_AT(ObsHead, layer, 32);
PLV_AT(ObsHead, kind, 33); PLV_AT(ObsHead, byte34, 34); PLV_AT(ObsHead, byte35, 35);
PLV_AT(ObsHead, flags, 36); PLV_AT(ObsHead, net, 38); PLV_AT(ObsHead, owner, 40);
PLV_AT(ObsHead, word42, 42); PLV_AT(ObsHead, word44, 44); PLV_AT(ObsHead, count, 46);
static_assert(sizeof(ObsPoint) == 12);
PLV_AT(ObsPoint, x, 0); PLV_AT(ObsPoint, y, 4); PLV_AT(ObsPoint, flags, 8);
PLV_AT(ObsPoint, width, 10);
static_assert(sizeof(Obstacle) == 12060);
PLV_AT(Obstacle, head, 0); PLV_AT(Obstacle, pt, 48);

static_assert(sizeof(BoardText) == 156);
PLV_AT(BoardText, name, 0); PLV_AT(BoardText, recordId, 4); PLV_AT(BoardText, minX, 8);
PLV_AT(BoardText, minY, 12); PLV_AT(BoardText, maxX, 16); PLV_AT(BoardText, maxY, 20);
PLV_AT(BoardText, width, 24); PLV_AT(BoardText, height, 28); PLV_AT(BoardText, x, 32);
PLV_AT(BoardText, y, 36); PLV_AT(BoardText, r, 40); PLV_AT(BoardText, angle, 44);
PLV_AT(BoardText, owner, 46); PLV_AT(BoardText, ratio, 48); PLV_AT(BoardText, value50, 50);
PLV_AT(BoardText, layer, 52); PLV_AT(BoardText, kind, 53); PLV_AT(BoardText, flags, 54);
PLV_AT(BoardText, text, 55);

static_assert(sizeof(Note) == 101);

static_assert(sizeof(ColorEntry) == 12);
PLV_AT(ColorEntry, kind, 0); PLV_AT(ColorEntry, subKind, 1); PLV_AT(ColorEntry, layer, 2);
PLV_AT(ColorEntry, spare, 3); PLV_AT(ColorEntry, value, 4); PLV_AT(ColorEntry, color, 8);

static_assert(sizeof(Attribute) == 20);
PLV_AT(Attribute, kind, 0); PLV_AT(Attribute, key1Type, 1); PLV_AT(Attribute, key2Type, 2);
PLV_AT(Attribute, byte3, 3); PLV_AT(Attribute, key1, 4); PLV_AT(Attribute, key2, 6);
PLV_AT(Attribute, value1, 8); PLV_AT(Attribute, value2, 12); PLV_AT(Attribute, value3, 16);

static_assert(sizeof(PlotReport) == 848);
PLV_AT(PlotReport, name, 0); PLV_AT(PlotReport, value4, 4); PLV_AT(PlotReport, value8, 8);
PLV_AT(PlotReport, word12, 12); PLV_AT(PlotReport, word14, 14);
PLV_AT(PlotReport, value16, 16); PLV_AT(PlotReport, word28, 28);
PLV_AT(PlotReport, bytes38, 38); PLV_AT(PlotReport, word66, 66);
PLV_AT(PlotReport, entry, 68);

static_assert(sizeof(ErrorMarker) == 40);
PLV_AT(ErrorMarker, x, 0); PLV_AT(ErrorMarker, y, 4); PLV_AT(ErrorMarker, id1, 8);
PLV_AT(ErrorMarker, id2, 12); PLV_AT(ErrorMarker, sub1, 16); PLV_AT(ErrorMarker, sub2, 18);
PLV_AT(ErrorMarker, kind1, 20); PLV_AT(ErrorMarker, kind2, 21); PLV_AT(ErrorMarker, type, 22);
PLV_AT(ErrorMarker, layer, 23); PLV_AT(ErrorMarker, flags, 24);
PLV_AT(ErrorMarker, bytes25, 25); PLV_AT(ErrorMarker, value, 28);

static_assert(sizeof(Table23) == 16);
PLV_AT(Table23, value, 0); PLV_AT(Table23, byte2, 2); PLV_AT(Table23, byte3, 3);
PLV_AT(Table23, value4, 4); PLV_AT(Table23, value8, 8); PLV_AT(Table23, word12, 12);
PLV_AT(Table23, word14, 14);

#undef PLV_AT
// clang-format on

// Size of a thru-code record for a layer count.
constexpr int32_t ThruRecSizeFor(int32_t layers) {
    return 12 + 108 * (layers + 1);
}
