// Values between database units and the design's display units (the unit
// fields of the header, db/hdrunits.h).
#pragma once
#include <cstdint>

enum : int32_t { kValueRingBuffers = 5, kValueBufferBytes = 128 };

// The next of the 5 ring buffers of 128 bytes; a text in one stays valid
// over the next four calls.
char* StrRingBuf();

// A database value as display text in the next ring buffer: unit kind 6 as
// the integer; otherwise v x scale with the header's decimal digits (at
// most 9), or, with 0 digits, rounded half toward zero. No leading or
// trailing blanks.
const char* ValueFormat(int32_t v);

// A display text ("1 1/2in", "-5", "2.5mm", "10 mils") in database units;
// INT_MAX when the text holds no number, a zero denominator, or a value
// that does not fit in 32 bits. A "-" is taken only with allowSign.
int32_t ValueParse(const char* text, bool allowSign);

// "x,y" split at the first comma; both INT_MAX first; a text without a
// comma sets x only. Signs are allowed.
void ValueParsePair(const char* text, int32_t* x, int32_t* y);
