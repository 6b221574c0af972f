// Formatted output of the section writers to the current output stream.
#pragma once

void AscOut(const char* format, ...) __attribute__((format(printf, 1, 2)));
