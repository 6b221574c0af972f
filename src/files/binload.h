// Loading and saving designs and strategy files in the binary design format.
#pragma once
#include <cstdint>

#include "db/shellsvc.h"

// Load flags, by bit.
enum : uint16_t {
    kLoadMerge = 0x0001,     // into the design in hand; otherwise the database is rebuilt
    kLoadStrategy = 0x0002,  // sweeps and the placement strategy
    kLoadLayers = 0x0004,    // layers (also loaded in a merge)
    kLoadThru = 0x0008,      // thru codes
    kLoadParts = 0x0040,     // symbols, packages, components
    kLoadNets = 0x0080,      // nets and connections
    kLoadObstacles = 0x0100, // obstacles
    kLoadTexts = 0x0200,     // board texts
    kLoadColors = 0x0400,    // display colours
    kLoadOther = 0x4000,     // notes, attributes, plot reports, markers, Table23
    kLoadWholeDesign = 0xFFFE,
    kLoadStrategyFile = 1027,
};

// Design file types and the creator.
#define BIN_TYPE_DESIGN "MXDF"
#define BIN_TYPE_STRATEGY "MXSF"
#define BIN_CREATOR "KVWD"

// Loads the file: 1 loaded, 0 failed (DbValid 0, the tables as far as they
// were filled). The trusted flag is clear when it returns.
int32_t BinLoad(const FileSpec* file, uint16_t flags);
// BinLoad of the whole design, or of the strategy part merged into the
// design in hand.
int32_t BinLoadFile(const FileSpec* file, bool whole);
// True when the file starts with the file header of a design or a strategy
// file; *isStrategy tells which.
bool BinCheckType(const FileSpec* file, bool* isStrategy);
// Writes the design whole ("MXDF") or its strategy ("MXSF"); false, with a
// line in the activity log, when the file cannot be opened or written.
bool BinSave(FileSpec* file, bool whole);
