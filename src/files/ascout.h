// Formatted output of the section writers to the current output stream.
#pragma once

void AscOut(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A text for a quoted field: a double quote, which would end the field, is
// written as a single one. The answer lives in a ring of four buffers
// (valid over the next three calls); texts are cut to 511 characters.
const char* AscQuoted(const char* text);

// A component name as the writers put it where the reader takes a word or a
// string: as it is when the reader's word rule gives it back unchanged (an
// upper-case letter or "#", then upper-case letters, digits, "-", "/" and
// "_"), else in double quotes (through AscQuoted), so lower-case letters,
// leading digits and other characters come back as written. Same ring of
// buffers as AscQuoted.
const char* AscCompName(const char* name);
