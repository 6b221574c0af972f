// Path arithmetic of file specifications on std::string, shared by
// ResolvePath and the toolbox's callers that build paths of their own.
#pragma once
#include <cstdint>
#include <string>

// Appends rest to path one component at a time (see JoinPathComponents in
// toolbox/core/filespec.h). False empties path.
bool JoinPathText(std::string& path, const char* rest, char sep, size_t floor);
