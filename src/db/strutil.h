// Bounded string services for record and message texts (at most 100
// characters and a terminator).
#pragma once
#include <cstdint>

#define STR_MAX 100

// Copies at most 100 characters and a terminator.
void StrCopy(char* dst, const char* src);
// Appends until dst holds 100 characters.
void StrAppend(char* dst, const char* src);
// Appends n in decimal ("-" when negative), within the 100 characters.
void NumToStr(char* dst, int32_t n);
// Appends n in the base (2..36; digits above 9 are A..Z).
void NumToStrBase(char* dst, int32_t n, int32_t base);
// Copies at most 100 characters, a..z changed to upper case.
void StrCopyUpper(char* dst, const char* src);
// Copies at most 100 characters without leading and trailing blanks.
void StrTrim(char* dst, const char* src);
// Natural order: at the first difference, when both characters are digits
// the digit runs from there are compared as numbers (so R9 < R10, A05 ==
// A5); otherwise the characters. Only the sign of the result counts.
int32_t StrCompare(const char* a, const char* b);
// Case-insensitive wildcard match: "?" any one character, "*" as the last
// pattern character the rest of the name; when the name ends first the
// rest of the pattern may hold only "?" and "*".
bool StrMatchWild(const char* name, const char* pattern);
// Resizes a toolbox pointer block and returns it (null when it cannot).
void* MemResize(void* block, int32_t size);
