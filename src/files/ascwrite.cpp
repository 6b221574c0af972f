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

namespace {
bool ReadsBackAsWord(const char* name) {
    auto upper = [](char ch) { return ch >= 'A' && ch <= 'Z'; };
    if (!upper(name[0]) && name[0] != '#') return false;
    for (const char* p = name + 1; *p; ++p)
        if (!upper(*p) && !(*p >= '0' && *p <= '9') && *p != '-' && *p != '/' && *p != '_')
            return false;
    return true;
}
} // namespace

const char* AscCompName(const char* name) {
    if (ReadsBackAsWord(name)) return AscQuoted(name);
    static char ring[4][516];
    static int32_t next = 0;
    char* out = ring[next];
    next = (next + 1) % 4;
    std::snprintf(out, sizeof ring[0], "\"%s\"", AscQuoted(name));
    return out;
}

void AscOut(const char* format, ...) {
    if (!g_out) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(g_out, format, args);
    va_end(args);
}
