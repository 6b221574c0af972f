// The clipboard's change number. Where the system answers one it is used;
// otherwise the layer keeps its own (first value 1) and stores it on the
// clipboard under a private format: finding it there means nothing
// changed; missing means another party put new contents (or emptied the
// clipboard), so the kept number plus 1 is stored and answered.
#pragma once
#include <cstdint>

struct ClipboardSequenceAccess {
    void* context;
    // The system's number; false when the system has none.
    bool (*systemNumber)(void* context, uint32_t* out);
    // The stored private number; false when it is not on the clipboard.
    bool (*readPrivate)(void* context, uint32_t* out);
    void (*writePrivate)(void* context, uint32_t number);
};

// Installs the access (copied) and forgets the kept number.
void SetClipboardSequenceAccess(const ClipboardSequenceAccess* access);
// The number; the fallback needs the clipboard open.
uint32_t ClipboardSequenceNumber();
// The number last answered.
uint32_t CurrentClipboardSequence();
