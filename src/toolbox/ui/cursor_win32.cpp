// The cursor cache over LoadCursorA and SetCursor: a list of entries, one
// per cursor loaded, newest first, never freed. A cursor that cannot be
// loaded adds nothing.
#include <windows.h>

#include "toolbox/core/memblock.h"
#include "toolbox/ui/cursor.h"

namespace {

CursorEntry* s_cursors = nullptr;

bool IsSystemCursorNumber(int32_t n) {
    return (n >= 32512 && n <= 32516) || (n >= 32642 && n <= 32646) || n == 32648 || n == 32650 ||
           n == 32651;
}

HCURSOR LoadByNumber(int16_t number) {
    switch (number) {
    case kCursorIBeam:
        return LoadCursor(nullptr, IDC_IBEAM);
    case kCursorCross:
    case kCursorCrossToo:
        return LoadCursor(nullptr, IDC_CROSS);
    case kCursorWait:
        return LoadCursor(nullptr, IDC_WAIT);
    default:
        break;
    }
    if (IsSystemCursorNumber(uint16_t(number)))
        return LoadCursorA(nullptr, MAKEINTRESOURCEA(uint16_t(number)));
    return LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(uint16_t(number)));
}

} // namespace

CursorEntry* CursorGet(int16_t number) {
    for (CursorEntry* e = s_cursors; e; e = e->next)
        if (e->number == number) return e;
    HCURSOR cursor = LoadByNumber(number);
    if (!cursor) return nullptr;
    CursorEntry* entry = static_cast<CursorEntry*>(NewPointerBlockClear(nullptr, sizeof *entry));
    if (!entry) return nullptr;
    entry->cursor = cursor;
    entry->number = number;
    entry->next = s_cursors;
    s_cursors = entry;
    return entry;
}

void SetCursorHandle(const CursorEntry* entry) {
    if (entry) SetCursor(static_cast<HCURSOR>(entry->cursor));
}

void ResetCursorToArrow() {
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

int32_t CursorCacheCount() {
    int32_t n = 0;
    for (CursorEntry* e = s_cursors; e; e = e->next)
        ++n;
    return n;
}
