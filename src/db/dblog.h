// The activity log: the text file "Pelvane.Log" in the application's
// folder, one line per entry: date, two blanks, time, two blanks, the
// first text, the second text directly after it, CR LF, for example
//   Wed, Dec 10, 2025  12:05:09 AM  Design loaded
// The file is opened, appended to and closed for every line.
#pragma once

#define LOG_FILE_NAME "Pelvane.Log"

// Appends one line; creates the file when it does not exist. A log that
// cannot be opened is skipped silently.
void LogAppend(const char* text1, const char* text2);

// One entry with the text alone.
void LogWrite(const char* text);

// Asks whether to erase the log and, when confirmed, empties the file.
void LogErase();
