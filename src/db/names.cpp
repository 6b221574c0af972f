// Names: the NameId forms and the name string table. Texts of five or more
// characters (and numbers without a number form) live in pages of 8,000
// bytes, chained per hash; a stored text never moves, so its NameId stays
// valid until the database is emptied.
#include "db/names.h"

#include <cstdio>
#include <cstdint>
#include <cstring>

#include "db/db.h"
#include "db/err.h"
#include "db/pool.h"
#include "db/value.h"

namespace {

enum : ErrCode {
    kErrPages = 5221010,
    kErrPageAlloc = 5221012,
    kErrDirectory = 5221022,
    kErrTooLong = 5221045,
    kErrBadId = 5221052,
    kErrStoredLong = 5221054,
    kErrNextLimit = 5221058,
};

struct NamePage {
    char* block;  // kNamePageBytes + 1 bytes once the page holds a text
    int16_t free; // 8,000 for a new page; left negative when it overflowed
    int16_t used; // offset of the next text
    int16_t next; // next page of the same chain, -1 none
};

NamePage* g_pages = nullptr; // the directory, null until the first intern
int32_t g_highest = -1;      // highest page in use

// Whether a stored-form id points at a text of the table: 0, or the code
// of the fault.
ErrCode NameIdRule(NameId id) {
    if (id == 0 || (id >> 24) || id <= 65535u) return 0;
    int32_t page = int32_t(id >> 16) - 1;
    int32_t offset = int32_t(id & 0xFFFFu);
    if (page > g_highest || !g_pages || !g_pages[page].block || offset >= g_pages[page].used)
        return kErrBadId;
    const NamePage& p = g_pages[page];
    if (strnlen(p.block + offset, size_t(p.used - offset)) > size_t(kNameMaxChars))
        return kErrStoredLong;
    return 0;
}

// Pool pieces are 4-byte aligned; records that hold pointers need 8.
void* AlignedAlloc(int32_t size, ErrCode code) {
    auto* p = static_cast<uint8_t*>(PoolAlloc(size + 4, kPoolDb, code));
    return reinterpret_cast<void*>((reinterpret_cast<uintptr_t>(p) + 7) & ~uintptr_t(7));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number form of a text, 0 when it has none.
NameId NumberForm(const char* text, size_t n) {
    if (n < 1 || n > 6) return 0;
    for (size_t i = 0; i < n; ++i)
        if (!IsDigit(text[i])) return 0;
    if (text[0] == '0') return n == 1 ? NameId(kNameNumberBase) : 0;
    int32_t v = 0;
    for (size_t i = 0; i < n; ++i)
        v = v * 10 + (text[i] - '0');
    return v <= kNameNumberMax ? NameId(kNameNumberBase + v) : 0;
}

// Up to four characters from the high byte down. The bytes are taken
// unsigned, so a character above 127 never spills into the ones before it.
NameId Packed(const char* text, size_t n) {
    NameId id = 0;
    for (size_t i = 0; i < 4; ++i) {
        uint32_t c = i < n ? uint32_t(uint8_t(text[i])) : 0u;
        id |= c << (24 - 8 * i);
    }
    return id;
}

uint32_t Hash(const char* text) {
    uint32_t h = 0;
    for (const char* p = text; *p; ++p)
        h = (h * 256u + uint32_t(int32_t(static_cast<signed char>(*p)))) % uint32_t(kNameChains);
    return h;
}

NameId StoredId(int32_t page, int32_t offset) {
    return NameId(uint32_t(page + 1) * 65536u + uint32_t(offset));
}

void SetUp() {
    g_pages =
        static_cast<NamePage*>(AlignedAlloc(int32_t(sizeof(NamePage)) * kNamePages, kErrDirectory));
    for (int32_t p = 0; p < kNamePages; ++p)
        g_pages[p] = NamePage{nullptr, kNamePageBytes, 0, -1};
    g_highest = kNameChains - 1;
}

char* NewBlock() {
    return static_cast<char*>(PoolAlloc(kNamePageBytes + 1, kPoolDb, kErrPageAlloc));
}

} // namespace

NameId NameLookup(const char* text) {
    size_t n = std::strlen(text);
    if (n == 0) return 0;
    if (n <= 6) {
        NameId id = NumberForm(text, n);
        if (id) return id;
    }
    if (n <= 4) return Packed(text, n);
    if (!g_pages) return 0;
    for (int32_t p = int32_t(Hash(text)); p >= 0; p = g_pages[p].next) {
        const NamePage& page = g_pages[p];
        if (!page.block) return 0;
        for (int32_t off = 0; off < page.used;) {
            const char* stored = page.block + off;
            size_t len = strnlen(stored, size_t(page.used - off));
            if (len == n && std::memcmp(stored, text, n) == 0) return StoredId(p, off);
            off += int32_t(len) + 1;
        }
    }
    return 0;
}

NameId NameIntern(const char* text) {
    if (!g_pages) SetUp();
    NameId id = NameLookup(text);
    if (id || text[0] == 0) return id;
    int32_t p = int32_t(Hash(text));
    if (!g_pages[p].block) g_pages[p].block = NewBlock();
    while (g_pages[p].next >= 0)
        p = g_pages[p].next;
    size_t len = std::strlen(text);
    if (len > size_t(kNameMaxChars)) ErrReport(kErrTooLong, int32_t(len > 32767 ? 32767 : len));
    int32_t n = int32_t(len);
    g_pages[p].free = int16_t(g_pages[p].free - (n + 1));
    if (g_pages[p].free < 0) {
        // The chain overflows onto the next unused page; the full page keeps
        // its negative free count.
        if (g_highest + 1 >= kNamePages) ErrOutOfMemory(kErrPages);
        int32_t q = ++g_highest;
        g_pages[p].next = int16_t(q);
        g_pages[q] = NamePage{NewBlock(), int16_t(kNamePageBytes - 1 - n), 0, -1};
        p = q;
    }
    NamePage& page = g_pages[p];
    int32_t offset = page.used;
    std::memcpy(page.block + offset, text, len + 1);
    page.used = int16_t(page.used + n + 1);
    return StoredId(p, offset);
}

bool NameFits(const char* text) {
    if (!g_pages || text[0] == 0 || NameLookup(text)) return true;
    if (std::strlen(text) > size_t(kNameMaxChars)) return false;
    if (g_highest + 1 < kNamePages) return true;
    // No page is left for a chain to overflow onto: the chain's last page
    // must have room.
    int32_t p = int32_t(Hash(text));
    while (g_pages[p].next >= 0)
        p = g_pages[p].next;
    return g_pages[p].free - int32_t(std::strlen(text) + 1) >= 0;
}

bool NameIdValid(NameId id) {
    return NameIdRule(id) == 0;
}

void NameToText(NameId id, int32_t limit, char* buffer) {
    char text[kNameMaxChars + 1];
    if (id == 0) {
        text[0] = 0;
    } else if (id >> 24) {
        for (int i = 0; i < 4; ++i)
            text[i] = char(uint8_t(id >> (24 - 8 * i)));
        text[4] = 0;
    } else if (id > 65535u) {
        if (ErrCode code = NameIdRule(id)) ErrReport(code, int32_t(id));
        const NamePage& p = g_pages[int32_t(id >> 16) - 1];
        int32_t offset = int32_t(id & 0xFFFFu);
        size_t len = strnlen(p.block + offset, size_t(p.used - offset));
        std::memcpy(text, p.block + offset, len);
        text[len] = 0;
    } else {
        std::snprintf(text, sizeof text, "%d", int(int32_t(id) - kNameNumberBase));
    }
    if (limit < 0) limit = 0;
    if (limit < kNameMaxChars && std::strlen(text) > size_t(limit)) text[limit] = 0;
    std::strcpy(buffer, text);
}

const char* NameText(NameId id) {
    char* out = StrRingBuf();
    NameToText(id, kNameMaxChars, out);
    return out;
}

void NameNext(char* buffer, int32_t limit) {
    if (limit > kNameMaxChars) ErrReport(kErrNextLimit, limit);
    if (limit < 1) limit = 1;
    int32_t len = int32_t(std::strlen(buffer));
    if (len > limit) {
        buffer[limit] = 0;
        return;
    }
    int32_t i = len - 1;
    while (i >= 0 && !IsDigit(buffer[i]))
        --i;
    if (i < 0) {
        if (len >= limit) --len;
        buffer[len] = '2';
        buffer[len + 1] = 0;
        return;
    }
    int32_t j = i;
    while (j >= 0 && buffer[j] == '9') {
        buffer[j] = '0';
        --j;
    }
    if (j >= 0 && IsDigit(buffer[j])) {
        ++buffer[j];
        return;
    }
    // The run of nines reached the start or a non-digit: a "1" goes in front
    // of it, the last character making room at the limit.
    if (len >= limit) {
        --len;
        buffer[len] = 0;
    }
    std::memmove(buffer + j + 2, buffer + j + 1, size_t(len - (j + 1)) + 1);
    buffer[j + 1] = '1';
}

NameId NameOfNumber(int32_t v) {
    if (v >= 0 && v <= kNameNumberMax) return NameId(kNameNumberBase + v);
    char text[16];
    std::snprintf(text, sizeof text, "%d", int(v));
    return NameIntern(text);
}

void NameInit() {}

void NameReset() {
    g_pages = nullptr;
    g_highest = -1;
}

void NameRegister() {
    DbModuleOps ops;
    ops.init = &NameInit;
    ops.free = &NameReset;
    DbRegisterModule(kRecNameString, ops);
}

int32_t NameHighestPage() {
    return g_highest;
}
int32_t NamePageFree(int32_t page) {
    return g_pages ? g_pages[page].free : 0;
}
int32_t NamePageUsed(int32_t page) {
    return g_pages ? g_pages[page].used : 0;
}
int32_t NamePageNext(int32_t page) {
    return g_pages ? g_pages[page].next : -1;
}
int32_t NameHash(const char* text) {
    return int32_t(Hash(text));
}
