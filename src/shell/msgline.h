// The message line and the cursor kind. The message line shows nothing of
// its own: its texts go to the host's message line, which may show them;
// nothing depends on them. The cursor kind changes nothing visible and
// answers the previous kind, which callers restore.
#pragma once
#include <cstdint>

void MessageLineNote(const char* text);
void MessageLinePrompt(const char* text);
void MessageLineInfo(const char* text);
const char* MessageLineResult(const char* text);
void MessageLineFlush();
// The catalogue text of the number as a note.
void MessageLineNoteId(int32_t message);
int32_t CursorKindSet(int32_t kind);
void CursorKindReset();
