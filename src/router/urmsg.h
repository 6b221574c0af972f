// Catalogue messages of the router on the window message line: a refusal
// or result note, or a prompt, by message number.
#pragma once
#include <cstdint>

// Router messages (numbers of the message catalogue).
enum : int32_t {
    kMsgNoDatabase = 10051,      // "No database loaded"
    kMsgTooManyLayers = 53207,   // "More than 4 layers not supported"
    kMsgAreaTooLarge = 53208,    // "Routing area too large for available RAM"
    kMsgWindowTooSmall = 53209,  // "Routing window too small for its overlap"
    kMsgNoneRouted = 53511,      // "No new connections routed."
    kMsgRoutedHours = 53513,     // "Routed %d connections in %3.1f hours."
    kMsgRoutedMinutes = 53515,   // "Routed %d connections in %4.1f minutes."
    kMsgRoutedSeconds = 53517,   // "Routed %d connections in %ld seconds."
    kMsgNoneSelected = 53519,    // "No connections selected"
    kMsgTotal = 53521,           // "Total is now %d out of %d (%ld%%)."
    kMsgInitTables = 65301,      // "Initializing DRC tables"
    kMsgCantInitTables = 65305,  // "Can't initialize DRC tables"
    kMsgTooManyObjects = 65306,  // "Too many objects in DRC area"
    kMsgNoLayersEnabled = 65307, // "No layers enabled for routing"
};

// The message's text as a note on the message line.
void UrMsgNote(int32_t number);
// The message's text as the message line's prompt.
void UrMsgPrompt(int32_t number);
