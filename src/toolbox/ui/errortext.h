// The texts of error codes: the system's file codes and the toolbox's own
// codes (0x20000000 + n) turned into sentences from the string table, and
// the text of the error alert.
#pragma once
#include <cstdint>
#include <string>

// An application hook asked before the table; true when it wrote the text
// (at most 255 characters and a zero) into text.
typedef bool (*ErrorTextHook)(int32_t code, char* text);
void SetErrorTextHook(ErrorTextHook hook);

// The code's text into text (256 bytes); false, with text empty, for 0,
// 995 and codes without a text.
bool ErrorCodeText(int32_t code, char* text);

// What the error alert shows: "Error:  " and the code's text, or
// "Error:  #n" (a positive code's low 25 bits); empty for 0 and 995,
// which show nothing.
std::string ErrorAlertText(int32_t code);
