// The file choosers' filter text: pairs of a label and a pattern, each
// followed by "|", and the forms the system's choosers take of it.
#pragma once
#include <string>

// Appends (or, without append, starts afresh with) one pair: a label that
// begins with "`" gives "label|extension|" with the extension text as the
// whole pattern; any other gives "label (*.ext)|*.ext|".
void BuildFileFilter(std::string& filter, const char* label, const char* extension, bool append);
// The filter with a zero for every "|" and one more at the end, so that it
// ends in two zeros.
std::string NativeFileFilter(const std::string& filter);
// The text after the first "." of the first pattern; empty when that
// pattern lists several (holds a ";").
std::string FilterDefaultExtension(const std::string& filter);
