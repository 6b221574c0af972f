// The native popup menus under menu records: a small interface (create,
// insert, remove, read and write one item) that is a Win32 HMENU with
// owner-drawn items in the Win32 build and an in-memory item list natively.
// Positions are 0-based; removing an item never destroys its popup.
#pragma once
#include <cstdint>

struct NativeMenuTag;
typedef NativeMenuTag* NativeMenu;

struct NativeMenuItem {
    uint32_t id = 0;
    uintptr_t data = 0; // the item's slot in its menu's item index
    bool greyed = false;
    bool disabled = false;
    bool checked = false;
    NativeMenu popup = nullptr;
};

NativeMenu NativeMenuCreate();
// Destroys the menu and, as the system does, the popups still attached.
void NativeMenuDestroy(NativeMenu menu);
int32_t NativeMenuCount(NativeMenu menu);
// Inserts an owner-drawn item before position (-1 or past the end: at the
// end); false when the system refuses.
bool NativeMenuInsert(NativeMenu menu, int32_t position, const NativeMenuItem& item);
bool NativeMenuRemove(NativeMenu menu, int32_t position);
bool NativeMenuRead(NativeMenu menu, int32_t position, NativeMenuItem& out);
// Writes id, data and state (greyed, disabled, checked); the popup stays.
bool NativeMenuWrite(NativeMenu menu, int32_t position, const NativeMenuItem& item);

// The menu bar: plain text items, each with a popup.
NativeMenu NativeMenuCreateBar();
bool NativeMenuInsertTitle(NativeMenu bar, int32_t position, const char* title, NativeMenu popup,
                           bool greyed);
bool NativeMenuSetTitle(NativeMenu bar, int32_t position, const char* title, bool greyed);
// The title text of a bar item ("" when none).
bool NativeMenuTitleOf(NativeMenu bar, int32_t position, char* out, int32_t size);
