// Command lines: words of a command line, the long form of an existing
// path, and the requests a command line queues (open application, open
// and print documents).
//
// Guarantees: a word never overruns its room; only existing files with a
// drive or a backslash and no wildcard are resolved; every queued request
// is owned by the queue, every refused one is freed.
#pragma once
#include <cstdint>

// Blanks between words: tab, line feed, vertical tab, form feed, carriage
// return and space.
bool IsCommandLineBlank(char c);
// The next word into out (quotes toggle quoting and are dropped); false at
// the end of the line or when the word needs the whole room.
bool CommandLineWord(const char** cursor, char* out, int32_t room);
// The length of a "\\server\share\" prefix, 0 without one.
int32_t UncPrefixLength(const char* path);

// What command-line resolution asks of the file system: the long name of
// the last component of an existing path (false when it does not exist),
// and bringing the application to the front after a hand-over.
struct CommandLineProcs {
    bool (*findName)(const char* path, char* name, int32_t room);
    void (*activate)();
};
void SetCommandLineProcs(const CommandLineProcs* procs);

// The long form of an existing path into out; false (out empty) when a
// component is missing, the path has neither drive nor backslash, or the
// result does not fit the room.
bool LongPathName(const char* path, char* out, int32_t room);
// Replaces the path by its long form; false for wildcards, missing files
// and a long form that does not fit the room.
bool ResolveExistingFile(char* path, int32_t room);

// The room of one command-line word.
constexpr int32_t kCommandLineWordRoom = 320;
// The word after which every file is printed.
constexpr char kPrintSwitch[] = "-p";
// True when at least one file request was queued.
bool QueueCommandLineRequests(const char* line, bool activate);
