// The canonical dump of the database: the whole design as text, one line
// per record, every field by name, so that two designs (one saved and
// reloaded, one read from another format) can be compared line by line.
//
// The field descriptions the dump prints by are also the byte images of the
// records: each names a field's offset and width, and the design file's body
// codec writes and reads the fields little-endian by them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Kinds of a described field.
enum DbFieldKind : char {
    kFieldI32 = 'i',  // signed 32-bit
    kFieldU32 = 'u',  // unsigned 32-bit, printed in hex
    kFieldI16 = 's',  // signed 16-bit
    kFieldU16 = 'w',  // unsigned 16-bit
    kFieldU8 = 'b',   // byte
    kFieldF64 = 'f',  // 8-byte floating point
    kFieldName = 'n', // NameId (32-bit), printed as its text
    kFieldText = 't', // zero-terminated text of `count` bytes
    kFieldHex = 'x',  // `count` bytes without a name, printed as hex
};

// What a reference field points at, for the by-name form of the dump.
enum DbFieldRef : uint8_t {
    kRefNone = 0,
    kRefComp = 9,    // a component number
    kRefSymbol = 7,  // a symbol number
    kRefThru = 6,    // a thru code number (0 none)
    kRefPackage = 8, // a package number
    kRefNet = 10,    // a net number (positive values only)
    kRefOwner = 100, // an owner: s > 0 symbol s, -c component c, 0 board
};

// Field flags.
enum : uint8_t {
    kFieldVolatile = 1, // changes with every load; never dumped
    kFieldRecordId = 2, // a record id or the record-id counter
};

struct DbField {
    const char* name;
    uint16_t offset;
    char kind;      // DbFieldKind
    uint16_t count; // array length; bytes for text and hex
    uint8_t ref;    // DbFieldRef
    uint8_t flags;
};

struct DbFieldList {
    const char* record; // the record's name in the dump
    const DbField* fields;
    int32_t count;
    int32_t size; // bytes the list covers
};

// The described parts of the record images.
enum DbPart : int32_t {
    kPartHeader,
    kPartViaName,
    kPartSweep,
    kPartPlaceStrategy,
    kPartLayer,
    kPartThruHead,
    kPartThruLayer,
    kPartPadShape,
    kPartSymbolInfo,
    kPartSymbolPin,
    kPartPackageInfo,
    kPartPackagePin,
    kPartComponent,
    kPartNet,
    kPartConnHead,
    kPartCorner,
    kPartObsHead,
    kPartObsPoint,
    kPartBoardText,
    kPartColorEntry,
    kPartAttribute,
    kPartPlotReport,
    kPartErrorMarker,
    kPartTable23,
    kPartCount
};

const DbFieldList& DbFieldsOf(DbPart part);

// A piece of a record image: a described part at an offset.
struct DbImagePiece {
    DbPart part;
    int32_t offset;
};

// The pieces of a record image of a type in order, for a count (pins,
// corners, points; thru codes take the layer count): every byte of the
// image that holds a field is in one piece. Names and notes have none.
// Answers the image size.
int32_t DbImagePieces(int32_t type, int32_t count, std::vector<DbImagePiece>& out);

struct DbDumpOptions {
    // Leave out record ids and the header's record-id counter.
    bool noRecordIds = false;
    // Print references to components, symbols, thru codes, packages and
    // nets (and owners) by the target's name.
    bool refsByName = false;
    // List the nets by name, each with its connections under it sorted by
    // their printed form, in place of the net and connection tables.
    bool netsByName = false;
    // Fields left out, as "Record.field" or a bare "field" for every record.
    std::vector<std::string> omit;
};

// Appends the dump of the whole database to out.
void DbDump(std::string& out, const DbDumpOptions& options = DbDumpOptions());
