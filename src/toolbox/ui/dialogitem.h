// Dialog items: the item record, its item word, family code and options,
// and the order of a dialog's item list with the containers (group boxes,
// tab items) ahead of the other items.
//
// Guarantees: containers stay at the front of the list, an enclosing one
// ahead of those inside it, the other items in creation order; each item
// records the innermost container whose bounds enclose its own; removing a
// container hands its items to its own container. Operations by number
// address the first item with that number.
#pragma once
#include <cstdint>

#include "toolbox/core/memblock.h"
#include "toolbox/core/rect.h"
#include "toolbox/ui/xdlg.h"

struct ToolboxControlRecord;
struct DialogItemList;

// Item flags (bits 24-31 of the item word).
constexpr uint8_t kItemFlagHidden = 0x01;
constexpr uint8_t kItemFlagDisabled = 0x02;
constexpr uint8_t kItemFlagOwnStyle = 0x04;

// Family codes besides the definition family (definition >> 4).
constexpr int16_t kFamilyPushButton = 4096;
constexpr int16_t kFamilyCheckBox = 4097;
constexpr int16_t kFamilyRadioButton = 4098;
constexpr int16_t kFamilyOther = 4100;
// Definition numbers from here up (and those with the sign bit) are of no
// family.
constexpr int32_t kFirstForeignDefinition = 432;
constexpr int16_t kFamilyIconButton = 2;
constexpr int16_t kFamilyTabs = 8;
constexpr int16_t kFamilyGroupBox = 10;
constexpr int16_t kFamilyContainer14 = 14;
constexpr int16_t kFamilyContainer21 = 21;

// Item options.
constexpr uint8_t kItemOptionContainer = 1;
constexpr uint8_t kItemOptionStaysDown = 4;
// The control option of icon buttons that stay down when pressed.
constexpr int32_t kButtonOptionStaysDown = 0x200;

struct DialogItemRecord {
    DialogItemRecord* next;
    ToolboxControlRecord* control; // its back link points to the item
    DialogItemList* owner;
    DialogItemRecord* container; // innermost enclosing container, or null
    void* savedWindowProc;       // the native control's own procedure
    uint32_t itemWord;           // number, kind, flags
    RelocatableBlock taggedData; // created on first use
    int16_t family;
    uint8_t options;
};

// A dialog's items; dialog: the owning window object.
struct DialogItemList {
    DialogItemRecord* head;
    void* dialog;
};

uint32_t MakeItemWord(int16_t number, DialogItemKind kind, uint8_t flags);
int16_t ItemNumber(const DialogItemRecord* item);
DialogItemKind ItemKind(const DialogItemRecord* item);
uint8_t ItemFlags(const DialogItemRecord* item);
void SetItemFlags(DialogItemRecord* item, uint8_t flags, bool on);

int16_t ItemFamilyCode(int32_t definition, DialogItemKind kind);
uint8_t ItemOptionsFor(int16_t family, int32_t controlOptions);

// The item's bounds as its control has them.
typedef void (*ItemBoundsProc)(const DialogItemRecord* item, Rect16* bounds);

// Links an item whose family and options are set: a container goes ahead
// of the first container inside it (else after the front containers) and
// becomes the container of the items inside it; another item goes to the
// end. Every item's container is then the innermost enclosing one.
void LinkDialogItem(DialogItemList* list, DialogItemRecord* item, ItemBoundsProc bounds);
// Unlinks an item; the items it contained take its own container.
void UnlinkDialogItem(DialogItemList* list, DialogItemRecord* item);
// The first item with the number, or null.
DialogItemRecord* FindDialogItem(const DialogItemList* list, int16_t number);
int32_t DialogItemCount(const DialogItemList* list);
