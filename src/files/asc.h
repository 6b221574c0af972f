// The ASCII board database: a plain-text form of a whole design, read by
// AscReadDatabase and written section by section by the writers below.
#pragma once
#include <cstdint>
#include <cstdio>

#include "db/records.h"
#include "db/shellsvc.h"

// Token kinds, one bit each so that a caller accepts several with a mask.
enum : int32_t {
    kAscEof = 1,
    kAscString = 2,
    kAscNumber = 4,
    kAscWord = 8,
    kAscPunct = 16,
    kAscAny = 31,
    // A word, read as with kAscWord alone (a leading digit goes on as a
    // word), or a string: where a component name may stand.
    kAscName = kAscWord | kAscString,
};

// Reads the whole file into a freshly created database. 1 when the design
// was read, 0 when not; *errors (may be null) receives the number of parse
// errors written to the activity log (0 when the read fails).
int32_t AscReadDatabase(const FileSpec* spec, int32_t* errors);

// ---- the reader's pieces, for the section readers and the tests -------------

// Reads the next token into the current context; 1 when its kind is in the
// mask, 0 otherwise (after logging "Syntax Error"), and 0 at the end of the
// input without a message.
int32_t AscGetToken(int32_t mask);
// The next character (0..255) or -1 at the end of the input; one character
// may be handed back.
int32_t AscGetChar();
void AscUngetChar(int32_t c);
// Reads at most size - 1 characters into buffer, stopping after a CR or an
// LF (a CR LF pair counts as one line end), and ends them with a zero.
// Answers the number read, or -1 at the end of the file with nothing read.
int32_t AscReadLine(char* buffer, int32_t size, std::FILE* stream);
// Logs one parse error ("File "name"; Line n ### message") and counts it.
void AscError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The current token, line number and error count of the current context.
int32_t AscTokenKind();
const char* AscTokenText();
int32_t AscTokenNumber();
int32_t AscLineNumber();
int32_t AscErrorCount();

// A reading context over an open stream without the file check and without
// the keyword loop, for tests of the tokenizer: AscBeginStream makes one
// current (defaults set, nothing read), AscEndStream frees it (the stream
// stays open).
bool AscBeginStream(std::FILE* stream, const char* name);
void AscEndStream();

// The step after a read with segments: header refresh and the rebuilds the
// board sections ask for.
void AscRebuild();

// ---- strategy and placement sections ---------------------------------------

// Fills sweep n (0..8) with its defaults.
void StrategyDefaults(Sweep* sweep, int32_t n);

// ---- writers ---------------------------------------------------------------

// The stream the section writers write to (null: none).
void AscSetOutput(std::FILE* stream);
std::FILE* AscOutput();
// Gives busy feedback, writes the text when it is not empty, then CR LF.
void AscPutLine(const char* text);
// The output line buffer shared by the writers that build a line first.
enum : int32_t { kAscLineBytes = 512 };
char* AscLineBuffer();

// The section writers: 1 on success.
int32_t strategyAsc();
int32_t PlaceAsc();
int32_t LayerAsc();
int32_t ThruAsc();
int32_t symAsc();
int32_t PackAsc();
int32_t NoteAsc();
int32_t CompAsc();
int32_t NetAsc();
// The connections of one net, one logical line each.
int32_t ConnAsc(int32_t net);
// These two poll the abort key after each record: 0 when the user aborted.
int32_t ObsAsc();
int32_t TextAsc();

// The offset point the section writers subtract from every board-level
// coordinate (the design's offset while the whole file is written; 0
// otherwise).
void AscSetWriteOffset(int32_t x, int32_t y);

// True when the name is made of decimal digits only and its value, as an
// unsigned 16-bit number, is the pin number (an empty name is 0): the
// connection writer then writes comp.number instead of comp."name".
bool AscPinNameIsNumber(int32_t pin, const char* name);

// Writes the whole design as an ASCII board database: 1 when the file was
// written whole without a stream error, 0 otherwise (the file could not be
// created or opened, a stream error, or the user aborted before *END).
int32_t AscWriteDatabase(const FileSpec* spec);
