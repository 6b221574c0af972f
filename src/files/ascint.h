// The ASCII reader's context and the helpers its section readers share.
#pragma once
#include <cstdint>
#include <cstdio>

#include "db/limits.h"
#include "db/records.h"
#include "db/symbols.h"
#include "files/asc.h"

// Message numbers of the reader and writer in the catalogue.
enum AscMsgId : int32_t {
    kAscMsgSyntax = 24101,
    kAscMsgCantOpen = 24102,
    kAscMsgUnknownKeyword = 24103,
    kAscMsgUnexpectedEnd = 24104,
    kAscMsgBadVersion = 24105,
    kAscMsgBadInch = 24106,
    kAscMsgStartTwice = 24107,
    kAscMsgInitFailed = 24108,
    kAscMsgNoMemory = 24109,
    kAscMsgTooOld = 24110,
    kAscMsgReading = 24111,
    kAscMsgSorting = 24112,
    kAscMsgOptimizing = 24113,
    kAscMsgOutOfRange = 24114,
    kAscMsgTableFull = 24115,
    kAscMsgRejected = 24116,
    kAscMsgStrategyRange = 24120,
    kAscMsgPassRange = 24121,
    kAscMsgBoxZero = 24122,
    kAscMsgUnknownItem = 24123,
    kAscMsgPlacePassRange = 24124,
    kAscMsgLayerCode = 24125,
    kAscMsgLayerNumberTwice = 24130,
    kAscMsgLayerNameTwice = 24131,
    kAscMsgViaNumberTwice = 24132,
    kAscMsgViaNameTwice = 24133,
    kAscMsgThruNumberTwice = 24134,
    kAscMsgThruNameTwice = 24135,
    kAscMsgSymbolNameTwice = 24136,
    kAscMsgPackageNameTwice = 24137,
    kAscMsgLayerHead = 24138,
    kAscMsgViaHead = 24139,
    kAscMsgThruHead = 24140,
    kAscMsgSymbolHead = 24141,
    kAscMsgPackageHead = 24142,
    kAscMsgLayerDuplicate = 24143,
    kAscMsgTooManyLayers = 24144,
    kAscMsgViaDuplicate = 24145,
    kAscMsgViaCode = 24146,
    kAscMsgThruDuplicate = 24147,
    kAscMsgThruCode = 24148,
    kAscMsgUndefinedLayer = 24149,
    kAscMsgTooManyShapes = 24150,
    kAscMsgViaRound = 24151,
    kAscMsgViaOneShape = 24152,
    kAscMsgWidthNegative = 24153,
    kAscMsgHeightNegative = 24154,
    kAscMsgDimsBeforeShape = 24155,
    kAscMsgNoDims = 24156,
    kAscMsgNotSquare = 24157,
    kAscMsgCentreOutside = 24158,
    kAscMsgPrimaryOffsets = 24159,
    kAscMsgSymbolDuplicate = 24160,
    kAscMsgSymbolCode = 24161,
    kAscMsgPinNumberTwice = 24162,
    kAscMsgPinNameTwice = 24163,
    kAscMsgPinThruCode = 24164,
    kAscMsgUndefinedThru = 24165,
    kAscMsgPinMissing = 24166,
    kAscMsgPkgPinNumber = 24167,
    kAscMsgPkgGateName = 24168,
    kAscMsgPkgPadName = 24169,
    kAscMsgPkgGateGroup = 24170,
    kAscMsgPkgPadGroup = 24171,
    kAscMsgCompName = 24180,
    kAscMsgUndefinedSymbol = 24181,
    kAscMsgBadSymbolRef = 24182,
    kAscMsgWMissing = 24183,
    kAscMsgMinNegative = 24184,
    kAscMsgZidNegative = 24185,
    kAscMsgSourceMissing = 24186,
    kAscMsgNoComponent = 24187,
    kAscMsgSourcePin = 24188,
    kAscMsgLayerRange = 24189,
    kAscMsgTooManyCorners = 24190,
    kAscMsgNoPad = 24191,
    kAscMsgTargetMissing = 24192,
    kAscMsgTargetPin = 24193,
    kAscMsgTwoCorners = 24194,
    kAscMsgPinMissingSeg = 24195,
    kAscMsgOneCoord = 24196,
    kAscMsgViaOneCoord = 24197,
    kAscMsgObsType = 24198,
    kAscMsgObsCorners = 24199,
    kAscMsgTextString = 24200,
    kAscMsgTextType = 24201,
    kAscMsgSegCopperNoPins = 24210,
};

// The text of a message: the catalogue's when it is loaded and holds the
// number, else the built-in text.
const char* AscMsg(int32_t id);
// The built-in text (null for an unknown number), and every number, for the
// catalogue's check.
const char* AscMsgBuiltin(int32_t id);
int32_t AscMsgCount();
int32_t AscMsgNumber(int32_t i);

enum : int32_t {
    kAscTokenBytes = 512,
    kAscLineChars = 510, // characters of one line piece
    kAscThruMapSize = 1000,
    kAscSymbolCount = kSymMax,
};

struct AscContext {
    int16_t versionMajor, versionMinor;
    int16_t layerCount;
    int16_t viaCount;
    int16_t thruMapSize;
    int16_t symbolCount;
    int16_t netCount;
    int16_t compCount;
    int16_t connCount;
    int16_t obsCount;
    double inch;
    int32_t userUnits;
    int32_t grid;
    int32_t viaGrid;
    int32_t connGrid;
    int32_t centreX, centreY;
    int32_t height, width;
    int32_t originX, originY;
    int16_t hdrFlags;
    int32_t backupSweep;
    int32_t backupInterval;
    int32_t timeUsed;
    int32_t done;
    int32_t started;
    int32_t segmentsRead;
    int16_t* thruMap; // entries 0..thruMapSize
    int16_t* symMap;  // entries 0..symbolCount
    char section[32];
    char token[kAscTokenBytes];
    int32_t kind;
    int32_t number;
    std::FILE* stream;
    uint8_t line[kAscTokenBytes];
    int32_t lineLength; // characters in line, the CR marker included
    int32_t cursor;
    int32_t lineNumber;
    int16_t errorCount;
    int32_t pushed;
    ThruLayer shape; // the pad shapes being read
    int16_t shapeLayer;
    int16_t viaInHand;
    int16_t layerCounter, viaCounter;
    char fileName[256];
    // Beyond the reader's own fields: the end of the input was met, the
    // database was created, a serial number of tokens (the keyword loop's progress check), and the
    // layer names that earlier *LAYER elements of this file gave.
    bool atEnd;
    bool initialised; // *START created the database
    uint32_t tokenSerial;
    NameId layerNamed[kLayerSlots];
    // The current number token's decimal value lies beyond 32 bits: it was
    // kept at 4,294,967,295 (sign applied after) and every range check
    // refuses it.
    bool numberSaturated;
    // Bit n: a *STRATEGY section of sweep n set a layer enable, so the
    // sweep keeps the layers it names.
    uint32_t sweepsWithLayers;
};

// The one current context (null outside a read).
extern AscContext* g_asc;

// The current token is a word that begins with "*" (a keyword) or the end
// of the input: where an element ends.
bool AscAtKeyword();
// The current token is the word text.
bool AscTokenIs(const char* text);
// Logs "<what> out of range (<value>)" and answers false when value is
// outside lo..hi, or when the current number token lies beyond 32 bits.
bool AscInRange(const char* what, int64_t value, int64_t lo, int64_t hi);
// The current number token's value in 64 bits: beyond 32 bits it is
// -4,294,967,295 or 4,294,967,295, which no range check takes.
int64_t AscNumber64();
// A name text cut to 100 characters, interned; false (after the alert and
// stopping the read) when the name table is full.
bool AscIntern(const char* text, NameId* out);
// Logs "<what> rejected (code n)" for a table check that refused a record.
void AscRejected(const char* what, int32_t code);
// Logs "<what> dropped: table full".
void AscTableFull(const char* what);

// Section readers (handlers of the keyword table).
void AscReadStrategy();
void AscReadPlace();
void AscReadLayer();
void AscReadVias();
void AscReadThru();
void AscReadSymbol();
void AscReadPackage();
// Forgets what the board sections kept of an earlier read (from *START).
void AscBoardStart();
// The board sections; each answers 1 when its element was stored.
int32_t AscReadComp();
int32_t AscReadNet();
// One connection of the net; the net's width is the starting width.
int32_t AscReadNetConn(int32_t net, int32_t width);
int32_t AscReadSeg();
int32_t AscReadSegItem(int32_t net);
// The net step of the rebuild after a read with *SEG elements: every net
// with nodes is ordered from its node list and its connections together,
// and copper that reaches no pin is kept with free ends and reported.
void AscOrderNets();
int32_t AscReadObs();
int32_t AscReadText();
int32_t AscReadNote();
// "[" x "," y "]" with the "[" current; the "]" stays current. 1 when read.
int32_t AscReadPoint(int32_t* x, int32_t* y);
// Kind words of obstacles (any other word 20; kinds above 19 "OTHER") and
// of texts (any other word 7; kinds above 6 "OTHER").
int32_t AscObsKind(const char* word);
const char* AscObsKindWord(int32_t kind);
int32_t AscTextKind(const char* word);
const char* AscTextKindWord(int32_t kind);

// The shape code of a word; 0 for any other word.
int32_t AscShapeCode(const char* word);
