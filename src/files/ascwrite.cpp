// The output side shared by the section writers: the stream, the line
// buffer and AscPutLine.
#include <cstdarg>
#include <cstdio>

#include "files/ascint.h"
#include "files/ascout.h"
#include "files/ascshell.h"

namespace {

std::FILE* g_out = nullptr;
char g_lineBuffer[kAscLineBytes];

} // namespace

void AscSetOutput(std::FILE* stream) {
    g_out = stream;
}

std::FILE* AscOutput() {
    return g_out;
}

char* AscLineBuffer() {
    return g_lineBuffer;
}

void AscPutLine(const char* text) {
    BusyFeedback(0);
    if (!g_out) return;
    if (text && text[0]) std::fputs(text, g_out);
    std::fputs("\r\n", g_out);
}

const char* AscQuoted(const char* text) {
    static char ring[4][512];
    static int32_t next = 0;
    char* out = ring[next];
    next = (next + 1) % 4;
    size_t i = 0;
    for (; text[i] && i + 1 < sizeof ring[0]; ++i)
        out[i] = text[i] == '"' ? '\'' : text[i];
    out[i] = 0;
    return out;
}

void AscOut(const char* format, ...) {
    if (!g_out) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(g_out, format, args);
    va_end(args);
}
