// The toolbox's user messages that the core calls: the information box,
// the error alert and the modeless progress message window. One
// declaration for both builds: pelvane.exe takes them from the toolbox,
// native programs and the tests of the core from the headless stand-ins.
#pragma once
#include <cstdint>

// A task-modal information box; the box's answer, or 0 when nothing was
// shown.
int32_t ShowMessageAlert(const char* text);

// "Error:  " and the code's text (or its number); nothing for 0 and 995.
// The box's answer, or 0 when nothing was shown.
int32_t ShowErrorAlert(int32_t code);

// Shows the text in the modeless progress message window (built on first
// use, else its text replaced); an empty or null text closes it, "."
// brings it forward. placement: the window's position code. 0 when the
// window cannot be built.
int32_t ShowProgressMessage(int32_t placement, const char* text);
