// The set-up of each stream kind: fills a fresh record's flags and
// procedures (and, for a counting stream, its position and length).
#pragma once
#include "toolbox/ui/bytestream.h"

void SetUpFileStream(ByteStream stream);
void SetUpMemoryStream(ByteStream stream);
void SetUpCountingStream(ByteStream stream);
