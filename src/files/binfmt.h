// The binary design file format: a stream of records, each an 8-byte
// big-endian head ("BINR", record type, body length) and a body that is one
// database record's byte image (little-endian, or big-endian in a file whose
// first record carries the platform tag "PMac" or "M68K") or a name text.
// Design files ("MXDF") and strategy files ("MXSF") share it.
#pragma once
#include <cstdint>

#include "db/err.h"
#include "db/records.h"
#include "db/shellsvc.h"

enum : int32_t {
    kRecEndOfFile = 19,  // the end record: the file-header body again
    kRecFileHeader = 24, // the first record of every file
    kBinHeadBytes = 8,
    kBinFileHeaderBytes = 64,
    kBinBufferBytes = 38448, // every record buffer: a full symbol
    kBinVersion = 700,
    kBinSubVersion = 49,
};

// Read errors (the answer of BinReadRec, with type 0).
enum : ErrCode {
    kBinErrHeaderSize = 21120,    // a file header that is not 64 bytes
    kBinErrHeaderText = 21122,    // identification text
    kBinErrHeaderVersion = 21124, // version not 700
    kBinErrSymbolSize = 21150,
    kBinErrPackageSize = 21151,
    kBinErrTextLength = 21160, // name or note length does not fit its text
    kBinErrConnSize = 21175,
    kBinErrObsSize = 21180,
    kBinErrType = 21185,      // types 20 to 22
    kBinErrHeadShort = 21186, // the file ends inside a head
    kBinErrHead = 21187,      // bad magic, length or type
    kBinErrBodyShort = 21188, // the file ends inside a body
    kBinErrCheck = 21190,     // a count, index or text of the record is out of range
};

// Internal errors of the format layer.
enum : ErrCode {
    kBinErrModeOpen = 21100,   // BinOpen of a mode already open
    kBinErrModeLetter = 21101, // a mode other than 'r' and 'w'
    kBinErrModeClosed = 21102, // BinClose, read or write without the mode open
    kBinErrWriteType = 21103,  // BinWriteRec of an unknown type
    kBinErrWriteText = 21104,  // a name or note of more than 100 characters
    kBinErrWriteCount = 21105, // a pin, corner or point count out of range
};

// The file-header body as the caller sees it: the type code ("MXDF",
// "MXSF") as a four-character code; BinWriteRec fills the rest.
struct BinFileHeader {
    uint32_t typeCode;
    char tag[4];
    char ident[24];
    int16_t version;
    int16_t subVersion;
    uint8_t zero[28];
};
static_assert(sizeof(BinFileHeader) == 64);

// Opens the file for binary reading ('r') or writing ('w', created or
// emptied); true when open. The record-error counter of the mode is set to
// 0, or to 1 when the file cannot be opened.
bool BinOpen(const FileSpec* file, char mode);
// Closes the file of the mode; true when no record error was counted since
// BinOpen.
bool BinClose(char mode);
// Reads the next record into buffer (kBinBufferBytes) as the native record
// image and sets *type; answers the size of the image. On a failed read
// *type is 0 and the answer is the error code.
int32_t BinReadRec(void* buffer, int32_t* type);
// Writes one record from its native image; false (and a record error
// counted) when the write fails.
bool BinWriteRec(int32_t type, const void* record);
// Counts a read error found by the loader in a record's contents.
void BinReadError(ErrCode code);
// The sub-version of the last file header read.
int32_t BinSubVersion();
// The code of the last read error (0 when none since BinOpen('r')).
ErrCode BinLastReadError();
// True when the file being read has big-endian bodies.
bool BinBigEndian();

// The body size of a type for a count (pins, corners, points; the layer
// count for thru codes); 0 for names, notes and unknown types.
int32_t BinBodySize(int32_t type, int32_t count);
// Reverses the byte order of a body by its type's layout; count as read
// from the body in the order it is in (pins, corners or points).
void BinSwapBody(int32_t type, uint8_t* body, int32_t length, int32_t layerCount);
