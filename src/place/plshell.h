// Shell services the placement engine calls: the message line. pelvane.exe
// takes it from the shell; native programs and the tests from the headless
// stand-in, which records the text.
#pragma once

// Shows the text on the message line (an empty text clears it).
void MsgPrompt(const char* text);
