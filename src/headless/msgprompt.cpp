// What the message line's stand-in (MsgPrompt) received: the last text (copied, at most a line of
// the catalogue's longest text and a number) and a call count.
#include "headless/msgprompt.h"

#include <cstdio>

namespace {
enum : int32_t { kPromptMaxChars = 255 };
char g_text[kPromptMaxChars + 1];
int32_t g_count;
} // namespace

void HeadlessMsgPromptNote(const char* text) {
    std::snprintf(g_text, sizeof g_text, "%s", text ? text : "");
    ++g_count;
}

const char* HeadlessMsgPromptText() {
    return g_text;
}

int32_t HeadlessMsgPromptCount() {
    return g_count;
}

void HeadlessMsgPromptReset() {
    g_text[0] = 0;
    g_count = 0;
}
