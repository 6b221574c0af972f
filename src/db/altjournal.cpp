// The tentative-edit journal.
//
// Items form one list in order of creation. Each item holds its current
// image and, once a deeper level wrote it, a copy of itself as it stood
// before (its older state), which links on to still older copies. Items are
// found by (type, index) through a hash index kept in step with the list.
// Each open level remembers where the list ended when it was pushed (the
// items created at that level are the list's tail after it) and which older
// items it wrote over, so closing a level touches only what that level did.
// Items and images come from pool 4 through free lists by size class.
#include "db/altjournal.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/db.h"
#include "db/err.h"
#include "db/pool.h"

namespace {

enum : ErrCode {
    kErrPushDepth = 5255001,
    kErrPopDepth = 5255002,
    kErrUndoOpen = 5255010,
    kErrUndoEmpty = 5255011,
    kErrImageSize = 5255020,
    kErrFreeNull = 5255021,
    kErrPosition = 5255030,
    kErrDuplicate = 5255040,
    kErrCheckWord = 5255041,
    kErrInstallLevel = 5255042,
    kErrPutNoLevel = 5255048,
    kErrRefType = 5255050,
    kErrRefMissing = 5255051,
    kErrKey = 5255058,
    kErrItemMismatch = 5255060,
    kErrRejectIndex = 5255062,
    kErrBrokenList = 5255065,
    kErrAlloc = 5255070,
    kErrClass = 5255071,
};

struct Item {
    Item* next;
    Item* older;
    uint8_t* image;
    int32_t size;
    uint16_t check;
    AltItemHeader h;
};

struct Level {
    int32_t countAtPush;        // items before this level
    Item* tailAtPush;           // the list's last item then
    std::vector<Item*> written; // older items this level wrote over
};

// Size classes of 16 bytes, up to 38,464 bytes.
constexpr int32_t kClasses = 2404;

Item* g_head = nullptr;
Item* g_tail = nullptr;
int32_t g_count = 0;
int32_t g_depth = 0;
int32_t g_undoCount = 0;
int32_t g_cursorPos = 0;
Item* g_cursor = nullptr;
std::vector<Level> g_levels; // g_levels[d - 1] describes level d
void* g_freeList[kClasses + 1];
std::unordered_map<uint32_t, Item*> g_index;
bool g_indexHasDuplicates = false;

// ---- memory ----------------------------------------------------------------

int32_t SizeClass(int32_t size) {
    int32_t c = (size + 15) / 16;
    if (c < 1 || c > kClasses) ErrReport(kErrClass, int32_t(size));
    return c;
}

void* BlockAlloc(int32_t size) {
    int32_t c = SizeClass(size);
    if (void* p = g_freeList[c]) {
        std::memcpy(&g_freeList[c], p, sizeof(void*));
        return p;
    }
    // Pool pieces are only 4-byte aligned: take room to align to 16.
    auto raw = reinterpret_cast<uintptr_t>(PoolAlloc(c * 16 + 12, kPoolAlt, kErrAlloc));
    return reinterpret_cast<void*>((raw + 15) & ~uintptr_t(15));
}

void BlockFree(void* p, int32_t size) {
    if (!p) ErrFatal(kErrFreeNull);
    int32_t c = SizeClass(size);
    std::memcpy(p, &g_freeList[c], sizeof(void*));
    g_freeList[c] = p;
}

Item* NewItem() {
    auto* item = static_cast<Item*>(BlockAlloc(sizeof(Item)));
    std::memset(static_cast<void*>(item), 0, sizeof(Item));
    item->check = kAltCheckWord;
    return item;
}

void FreeItem(Item* item) {
    BlockFree(item, sizeof(Item));
}

uint8_t* NewImage(const void* record, int32_t size) {
    auto* image = static_cast<uint8_t*>(BlockAlloc(size));
    std::memcpy(image, record, size_t(size));
    return image;
}

// ---- index -------------------------------------------------------------------

uint32_t Key(int32_t type, int32_t index) {
    return (uint32_t(type & 0xFF) << 16) | uint16_t(index);
}

// An item both created and deleted is never installed.
bool Dead(const Item* item) {
    return (item->h.flags & (kAltCreated | kAltDeleted)) == (kAltCreated | kAltDeleted);
}

// Indexes every item; where two share a (type, index), the first live one
// in list order wins.
void RebuildIndex() {
    g_index.clear();
    g_indexHasDuplicates = false;
    for (Item* it = g_head; it; it = it->next) {
        auto [at, inserted] = g_index.emplace(Key(it->h.type, it->h.index), it);
        if (!inserted) {
            g_indexHasDuplicates = true;
            if (Dead(at->second) && !Dead(it)) at->second = it;
        }
    }
}

void IndexErase(Item* item) {
    auto found = g_index.find(Key(item->h.type, item->h.index));
    if (found != g_index.end() && found->second == item) g_index.erase(found);
}

Item* Find(int32_t type, int32_t index) {
    if (g_depth == 0) return nullptr;
    auto found = g_index.find(Key(type, index));
    return found == g_index.end() ? nullptr : found->second;
}

// ---- items ---------------------------------------------------------------------

int32_t CheckedSize(int32_t type, const void* record) {
    int32_t size = DbRecSize(type, record);
    if (size < 1 || size > kRecordImageMax) ErrReport(kErrImageSize, int32_t(size));
    return size;
}

// Writes a new image into an item at the current level; an image written at
// a lower level is kept as the item's older state first.
void WriteImage(Item* item, const void* record, int32_t size) {
    if (item->h.level == g_depth) {
        if (SizeClass(size) != SizeClass(item->size)) {
            BlockFree(item->image, item->size);
            item->image = static_cast<uint8_t*>(BlockAlloc(size));
        }
        std::memcpy(item->image, record, size_t(size));
        item->size = size;
        return;
    }
    Item* older = NewItem();
    std::memcpy(static_cast<void*>(older), item, sizeof(Item));
    older->next = nullptr;
    item->older = older;
    item->image = NewImage(record, size);
    item->size = size;
    item->h.level = int16_t(g_depth);
    g_levels.back().written.push_back(item);
}

Item* ItemAt(int32_t n) {
    if (n < 1 || n > g_count) ErrReport(kErrPosition, int32_t(n));
    if (g_cursorPos == 0 || n < g_cursorPos) {
        g_cursorPos = 1;
        g_cursor = g_head;
    }
    while (g_cursor && g_cursorPos < n) {
        g_cursor = g_cursor->next;
        ++g_cursorPos;
    }
    if (!g_cursor) {
        g_cursorPos = 0;
        ErrReport(kErrBrokenList, int32_t(n));
    }
    return g_cursor;
}

void CopyAttrKey(const Item* item, void* out) {
    if (item->h.type == kRecAttribute) std::memcpy(out, item->image, 8); // kind, key types and keys
}

// ---- closing a level -------------------------------------------------------------

void Reject() {
    Level& level = g_levels.back();
    for (Item* item : level.written) {
        Item* older = item->older;
        if (!older || older->h.index != item->h.index) ErrReport(kErrRejectIndex, item->h.index);
        BlockFree(item->image, item->size);
        item->image = older->image;
        item->size = older->size;
        item->older = older->older;
        item->h = older->h;
        FreeItem(older);
    }
    // The items created at this level are the list's tail.
    Item* keep = level.tailAtPush;
    Item* it = keep ? keep->next : g_head;
    bool removed = false;
    while (it) {
        Item* next = it->next;
        IndexErase(it);
        for (Item* o = it->older; o;) {
            Item* on = o->older;
            BlockFree(o->image, o->size);
            FreeItem(o);
            o = on;
        }
        BlockFree(it->image, it->size);
        FreeItem(it);
        removed = true;
        it = next;
    }
    g_tail = keep;
    if (keep)
        keep->next = nullptr;
    else
        g_head = nullptr;
    g_count = level.countAtPush;
    if (removed && g_indexHasDuplicates) RebuildIndex();
}

void Merge() {
    int16_t below = int16_t(g_depth - 1);
    Level& level = g_levels.back();
    Level& lower = g_levels[g_levels.size() - 2];
    for (Item* item : level.written) {
        item->h.level = below;
        Item* older = item->older;
        if (older && older->h.level == below) {
            item->older = older->older;
            BlockFree(older->image, older->size);
            FreeItem(older);
        } else {
            lower.written.push_back(item);
        }
    }
    for (Item* it = level.tailAtPush ? level.tailAtPush->next : g_head; it; it = it->next)
        it->h.level = below;
}

bool InstallBefore(const Item* a, const Item* b) {
    bool ad = a->h.flags & kAltDeleted, bd = b->h.flags & kAltDeleted;
    if (ad != bd) return !ad;
    if (a->h.type != b->h.type) return ad ? a->h.type > b->h.type : a->h.type < b->h.type;
    return ad ? a->h.index > b->h.index : a->h.index < b->h.index;
}

// Orders the list for installing: records not deleted by ascending type and
// index, then deleted ones by descending type and index, so that deleting a
// higher index never moves a lower one still to be deleted.
void InstallSort() {
    if (g_count <= 1) return;
    std::vector<Item*> items;
    items.reserve(size_t(g_count));
    std::unordered_set<uint32_t> seen;
    for (Item* it = g_head; it; it = it->next) {
        // A created and deleted item is skipped at install: its index may
        // since have been taken by a record created after it.
        if (!Dead(it) && !seen.insert(Key(it->h.type, it->h.index)).second)
            ErrReport(kErrDuplicate, it->h.index);
        items.push_back(it);
    }
    std::stable_sort(items.begin(), items.end(), InstallBefore);
    // Ids follow the new positions, so that a reopened journal (undo) is
    // read and written by position like a fresh one.
    for (size_t i = 0; i < items.size(); ++i) {
        items[i]->h.id = int16_t(i + 1);
        items[i]->next = i + 1 < items.size() ? items[i + 1] : nullptr;
    }
    g_head = items.front();
    g_tail = items.back();
}

// Writes every item into the tables and leaves in the journal the state
// before the commit, so that the journal can undo it.
void Install() {
    if (g_verbose) {
        int32_t n = 0;
        for (Item* it = g_head; it; it = it->next) {
            ++n;
            if (it->check != kAltCheckWord) ErrReport(kErrCheckWord, int32_t(n));
            if (it->h.level != 1) ErrReport(kErrInstallLevel, it->h.level);
        }
        if (n != g_count) ErrReport(kErrBrokenList, int32_t(n));
        DebugPrint("%s: %d items in list at depth %d", "altInstall", int(g_count), int(g_depth));
    }
    void* present = ScratchPush();
    void* scratch = ScratchPush();
    for (Item* it = g_head; it; it = it->next) {
        uint16_t flags = it->h.flags;
        bool created = flags & kAltCreated, deleted = flags & kAltDeleted;
        if (created && deleted) continue;
        int32_t type = it->h.type;
        if (created) {
            std::memcpy(present, it->image, size_t(it->size));
        } else {
            CopyAttrKey(it, present);
            DbGetRecord(type, it->h.index, present);
        }
        if (deleted && type != kRecAttribute) {
            // The item takes the record's present state before the delete,
            // so that the renumbering of the delete reaches it too.
            BlockFree(it->image, it->size);
            it->size = CheckedSize(type, present);
            it->image = NewImage(present, it->size);
            DbDeleteRecord(type, it->h.index);
            continue;
        }
        std::memcpy(scratch, it->image, size_t(it->size));
        if (deleted) {
            auto* attr = static_cast<Attribute*>(scratch);
            attr->value1 = 0;
            attr->value3 = 0;
            DbPutRecord(type, it->h.index, scratch);
        } else if (created && type != kRecAttribute) {
            int32_t index = DbNewRecord(type);
            IndexErase(it);
            it->h.index = int16_t(index);
            g_index.emplace(Key(type, index), it);
            DbPutRecord(type, index, scratch);
        } else {
            DbPutRecord(type, it->h.index, scratch);
        }
        BlockFree(it->image, it->size);
        it->size = CheckedSize(type, present);
        it->image = NewImage(present, it->size);
    }
    ScratchPop(scratch);
    ScratchPop(present);
    g_undoCount = g_count;
    RebuildIndex();
}

} // namespace

// ---- levels ------------------------------------------------------------------------

void AltPush() {
    if (g_depth > kAltMaxDepth - 1) ErrReport(kErrPushDepth, int32_t(g_depth));
    if (g_depth == 0) {
        AltForget();
        PoolReset(kPoolAlt);
        if (g_verbose) DebugPrint("AltPush: initialized");
    }
    ++g_depth;
    g_levels.push_back(Level{g_count, g_tail, {}});
}

void AltPop(bool commit) {
    if (g_depth < 1) ErrFatal(kErrPopDepth);
    if (!commit)
        Reject();
    else if (g_depth > 1)
        Merge();
    else {
        InstallSort();
        Install();
    }
    g_levels.pop_back();
    --g_depth;
    g_cursorPos = 0;
    g_cursor = nullptr;
    if (g_depth == 0) {
        if (!commit) g_undoCount = 0;
        g_count = 0;
    }
}

int32_t AltDepth() {
    return g_depth;
}
int32_t AltCount() {
    return g_count;
}

void AltAdjustDepth(int32_t depth) {
    while (g_depth > depth)
        AltPop(false);
    while (g_depth < depth)
        AltPush();
}

void AltForget() {
    g_head = g_tail = nullptr;
    g_count = 0;
    g_depth = 0;
    g_undoCount = 0;
    g_cursorPos = 0;
    g_cursor = nullptr;
    g_levels.clear();
    g_index.clear();
    g_indexHasDuplicates = false;
    std::memset(g_freeList, 0, sizeof g_freeList);
}

// ---- reading and writing -----------------------------------------------------------

int32_t AltPut(int32_t type, int32_t index, uint16_t key, const void* record) {
    if (g_depth < 1) ErrFatal(kErrPutNoLevel);
    int32_t size = CheckedSize(type, record);
    if (Item* item = Find(type, index)) {
        if (item->h.key != key) ErrReport(kErrKey, int32_t(int16_t(key)));
        WriteImage(item, record, size);
        return item->h.id;
    }
    Item* item = NewItem();
    item->h.id = int16_t(g_count + 1);
    item->h.level = int16_t(g_depth);
    item->h.type = uint8_t(type);
    item->h.index = int16_t(index);
    item->h.key = key;
    item->image = NewImage(record, size);
    item->size = size;
    if (g_tail)
        g_tail->next = item;
    else
        g_head = item;
    g_tail = item;
    ++g_count;
    g_index.emplace(Key(type, index), item);
    return item->h.id;
}

bool AltSave(int32_t type, int32_t index, void* out) {
    if (Item* item = Find(type, index)) {
        std::memcpy(out, item->image, size_t(item->size));
        return true;
    }
    DbGetRecord(type, index, out);
    return false;
}

bool AltGetLatest(int32_t type, int32_t index, void* out) {
    Item* item = Find(type, index);
    if (item && item->older) {
        std::memcpy(out, item->older->image, size_t(item->older->size));
        return true;
    }
    DbGetRecord(type, index, out);
    return false;
}

const void* AltRef(int32_t type, int32_t index) {
    if (type != kRecComponent && type != kRecConn) ErrReport(kErrRefType, type);
    if (Item* item = Find(type, index)) return item->image;
    DbModuleOps ops = DbModuleGet(type);
    if (!ops.ref) ErrReport(kErrRefMissing, type);
    return ops.ref(index);
}

bool AltAttrFind(int32_t kind, int32_t subKind, int32_t key1, int32_t key2, Attribute* out) {
    if (g_depth > 0) {
        for (Item* it = g_head; it; it = it->next) {
            if (it->h.type != kRecAttribute) continue;
            const auto* a = reinterpret_cast<const Attribute*>(it->image);
            if (a->kind == kind && a->key1Type == subKind && a->key1 == key1 && a->key2 == key2) {
                std::memcpy(out, a, sizeof(Attribute));
                return out->value1 != 0 || out->value3 != 0;
            }
        }
    }
    std::memset(out, 0, sizeof(Attribute));
    out->kind = uint8_t(kind);
    out->key1Type = uint8_t(subKind);
    out->key1 = int16_t(key1);
    out->key2 = int16_t(key2);
    DbGetRecord(kRecAttribute, 0, out);
    return out->value1 != 0 || out->value3 != 0;
}

void AltGet(int32_t n, AltItemHeader* header, void* record) {
    Item* item = ItemAt(n);
    *header = item->h;
    std::memcpy(record, item->image, size_t(item->size));
}

bool AltItemGet(int32_t n, AltItemHeader* header, void* record) {
    Item* item = ItemAt(n);
    *header = item->h;
    if (item->older) {
        std::memcpy(record, item->older->image, size_t(item->older->size));
        return true;
    }
    if (item->h.flags & kAltCreated) {
        header->type = 0;
        return false;
    }
    CopyAttrKey(item, record);
    DbGetRecord(item->h.type, item->h.index, record);
    return true;
}

void AltItemPut(const AltItemHeader* header, const void* record) {
    Item* item = ItemAt(header->id);
    if (item->h.type != header->type || item->h.index != header->index || item->h.id != header->id)
        ErrReport(kErrItemMismatch, header->id);
    bool keyMayChange = header->flags & kAltKeyMayChange;
    if (!keyMayChange && header->key != item->h.key)
        ErrReport(kErrKey, int32_t(int16_t(header->key)));
    WriteImage(item, record, CheckedSize(item->h.type, record));
    item->h.word1 = header->word1;
    item->h.word2 = header->word2;
    item->h.key = header->key;
    item->h.flags = uint16_t(header->flags & ~kAltKeyMayChange);
}

int32_t AltFindType(int32_t type) {
    if (g_depth == 0) return 0;
    int32_t n = 1;
    for (Item* it = g_head; it && n <= g_count; it = it->next, ++n)
        if (it->h.type == type) return n;
    return 0;
}

void AltFlagAll(uint16_t bits) {
    int32_t n = 1;
    for (Item* it = g_head; it && n <= g_count; it = it->next, ++n)
        it->h.flags |= bits;
}

void AltRenumber(int32_t type, const int16_t* map, int32_t count) {
    for (Item* it = g_head; it; it = it->next) {
        for (Item* s = it; s; s = s->older) {
            if (s->h.type == type && s->h.index >= 1 && s->h.index <= count)
                s->h.index = map[s->h.index];
            DbRenumberRefs(type, map, count, s->h.type, s->image);
        }
    }
    RebuildIndex();
}

// ---- undo ----------------------------------------------------------------------------

bool AltCanUndo() {
    return g_depth == 0 && g_undoCount > 0;
}

void AltUndo() {
    if (g_depth != 0) ErrFatal(kErrUndoOpen);
    if (g_undoCount <= 0) ErrFatal(kErrUndoEmpty);
    g_depth = 1;
    g_count = g_undoCount;
    g_levels.clear();
    g_levels.push_back(Level{0, nullptr, {}});
    g_cursorPos = 0;
    g_cursor = nullptr;
    for (Item* it = g_head; it; it = it->next) {
        uint16_t both = it->h.flags & (kAltCreated | kAltDeleted);
        if (both == kAltCreated || both == kAltDeleted) it->h.flags ^= kAltCreated | kAltDeleted;
    }
    RebuildIndex();
}
