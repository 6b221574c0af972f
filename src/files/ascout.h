// Formatted output of the section writers to the current output stream.
#pragma once

void AscOut(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A text for a quoted field: a double quote, which would end the field, is
// written as a single one. The answer lives in a ring of four buffers
// (valid over the next three calls); texts are cut to 511 characters.
const char* AscQuoted(const char* text);
