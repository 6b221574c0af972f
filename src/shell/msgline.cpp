// The message line's texts go to the host (the program's host drops them);
// the cursor kind is a remembered number.
#include "shell/msgline.h"

#include "db/lang.h"
#include "shell/shellhost.h"

namespace {
int32_t s_cursorKind = 0;
const char* Text(const char* t) {
    return t ? t : "";
}
} // namespace

void MessageLineNote(const char* text) {
    if (ShellHostInstalled()) Host().Note(Text(text));
}
void MessageLinePrompt(const char*) {}
void MessageLineInfo(const char*) {}
const char* MessageLineResult(const char* text) {
    return text;
}
void MessageLineFlush() {}
void MessageLineNoteId(int32_t message) {
    MessageLineNote(LangString(message));
}

int32_t CursorKindSet(int32_t kind) {
    int32_t previous = s_cursorKind;
    s_cursorKind = kind;
    return previous;
}
void CursorKindReset() {
    s_cursorKind = 0;
}
