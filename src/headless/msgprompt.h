// The headless message line: MsgPrompt keeps the last text and counts its
// calls, for tests and the driver.
#pragma once
#include <cstdint>

#include "db/shellsvc.h"

// The last text MsgPrompt received ("" before the first).
const char* HeadlessMsgPromptText();
// Calls of MsgPrompt since the last reset.
int32_t HeadlessMsgPromptCount();
void HeadlessMsgPromptReset();
// Keeps the text and counts the call (MsgPrompt calls it).
void HeadlessMsgPromptNote(const char* text);
