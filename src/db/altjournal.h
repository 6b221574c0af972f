// The tentative-edit journal (AltJournal): nested levels of record images.
// A level is pushed, records are read through the journal (AltSave) and
// written into it (AltPut), and the level is then committed or rejected;
// committing the outermost level writes the tables. The last committed
// journal stays for undo and redo.
#pragma once
#include <cstdint>

#include "db/records.h"

#pragma pack(push, 1)
// The 16-byte item header that callers read and write.
struct AltItemHeader {
    int16_t id;     // 0: the item's position when it was created
    int16_t level;  // 2: the level at which its image was last written
    uint8_t type;   // 4: RecType
    uint8_t spare;  // 5
    int16_t index;  // 6: record index
    int16_t word1;  // 8: for the callers
    int16_t word2;  // 10
    uint16_t key;   // 12: repeated by the caller on every put
    uint16_t flags; // 14
};
#pragma pack(pop)
static_assert(sizeof(AltItemHeader) == 16);

// Item flags owned by the journal; the callers' bits are kept as given.
enum : uint16_t {
    kAltCreated = 0x0001,      // the record was created inside the journal
    kAltDeleted = 0x0002,      // the record was deleted inside the journal
    kAltKeyMayChange = 0x0100, // on AltItemPut: the key may change
};

enum : int32_t {
    kAltMaxDepth = 2001,
    kAltCheckWord = 24227,
};

void AltPush();
// Closes the current level: commit (into the level below, or into the
// tables at depth 1) or reject.
void AltPop(bool commit);
int32_t AltDepth();
int32_t AltCount();

// Stores an image through the current level; answers the item id.
int32_t AltPut(int32_t type, int32_t index, uint16_t key, const void* record);
// The record as the edit sees it: the journal's image (true) or the table's
// record (false).
bool AltSave(int32_t type, int32_t index, void* out);
// The record as it stood before the current level: the older state's image
// (true) or the table's record (false).
bool AltGetLatest(int32_t type, int32_t index, void* out);
// Components and connections only: a read-only pointer to the journal's
// image, else to the table's record.
const void* AltRef(int32_t type, int32_t index);
// An attribute by its key, preferring an image in the journal; answers
// whether it is present.
bool AltAttrFind(int32_t kind, int32_t subKind, int32_t key1, int32_t key2, Attribute* out);

// Item n (1..count): its header and current image.
void AltGet(int32_t n, AltItemHeader* header, void* record);
// Item n's header and its image before the current level.
bool AltItemGet(int32_t n, AltItemHeader* header, void* record);
// Replaces item n's image and header words (type, index and id must match).
void AltItemPut(const AltItemHeader* header, const void* record);
// The position of the first item of a type, 0 when none or no level open.
int32_t AltFindType(int32_t type);
// ORs bits into every item's flags.
void AltFlagAll(uint16_t bits);
// After records of a type were renumbered: rewrites the items' indexes of
// that type and every image's references through the map (entries
// 0..count).
void AltRenumber(int32_t type, const int16_t* map, int32_t count);

bool AltCanUndo();
// Reopens the last committed journal at depth 1, turned round; committing
// it undoes the edit, doing it again redoes it.
void AltUndo();

// Brings the depth to `depth`, rejecting levels while deeper and pushing
// levels while shallower (the soft depth check of ExpectAlt).
void AltAdjustDepth(int32_t depth);

// Forgets the journal without touching its pool (for a fresh start after
// the pools were reset).
void AltForget();
