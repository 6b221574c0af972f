// The board text table with its owner lists.
#include "db/texts.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/font.h"
#include "db/geom.h"
#include "db/lang.h"
#include "db/layers.h"
#include "db/names.h"
#include "db/packages.h"
#include "db/pool.h"
#include "db/symbols.h"

namespace {

enum : int32_t {
    kMsgCompPlaceholder = 551,      // "&Comp"
    kMsgFootprintPlaceholder = 552, // "&FP"
    kMsgPackagePlaceholder = 553,   // "&Pack"
    kMsgNoPackage = 554,            // "No Package"
    kHeadsGrowBy = 10,
    kKindMsgFirst = 21671,
};

// A slot: the record (a block from pool 2) and the link to the next text of
// the same owner (0 at the end of the list, -1 while not linked). The slot
// array itself lives outside the pools: with 8-byte pointers 8,000 slots
// pass a pool piece.
struct Slot {
    BoardText* rec;
    int16_t link;
};

std::vector<Slot> g_slot(1, Slot{nullptr, -1}); // slot 0 unused
int32_t g_count = 0;
bool g_ready = false;
std::vector<int16_t> g_symHead;  // per symbol; 0 the board
std::vector<int16_t> g_compHead; // per component

void SetCount(int32_t count) {
    g_count = count;
    DbHdr().textCount = int16_t(count);
}

int16_t& Head(int32_t owner) {
    std::vector<int16_t>& heads = owner >= 0 ? g_symHead : g_compHead;
    const size_t at = size_t(owner >= 0 ? owner : -owner);
    if (at >= heads.size()) heads.resize((at / kHeadsGrowBy + 1) * kHeadsGrowBy, 0);
    return heads[at];
}

void Link(int32_t t) {
    int16_t& head = Head(g_slot[size_t(t)].rec->owner);
    g_slot[size_t(t)].link = head;
    head = int16_t(t);
}

void Unlink(int32_t t) {
    int16_t* at = &Head(g_slot[size_t(t)].rec->owner);
    for (int32_t steps = 0; *at != 0; ++steps) {
        if (steps > kTextMax) ErrReport(kErrTextLinkWalk, t);
        if (*at == t) {
            *at = g_slot[size_t(t)].link;
            g_slot[size_t(t)].link = -1;
            return;
        }
        at = &g_slot[size_t(*at)].link;
    }
    ErrReport(kErrTextLinkMissing, t);
}

// Another text than t named id.
bool NameTaken(NameId id, int32_t t) {
    for (int32_t i = 1; i <= g_count; ++i)
        if (i != t && g_slot[size_t(i)].rec && g_slot[size_t(i)].rec->name == id) return true;
    return false;
}

void Message(int32_t number, char* out) {
    LangGetString(number, kTextChars - 1, out);
}

void CopyText(char* out, const char* text) {
    std::strncpy(out, text, kTextChars - 1);
    out[kTextChars - 1] = 0;
}

// A component's stored package-name id is shown only when it names an
// entry of the name table: a file may carry any value there.
bool PackageNameIdUsable(const Component* comp) {
    return comp->value52 != 0 && NameIdValid(NameId(comp->value52));
}

const Component* OwnerComp(int32_t owner) {
    if (owner >= 0 || -owner > CompCount()) return nullptr;
    return CompRef(-owner);
}

void SymbolName(int32_t s, char* out) {
    SymbolInfo info;
    SymInfoGet(s, &info);
    NameToText(info.name, kTextChars - 1, out);
}

// The component's package name; false when it has no package.
bool PackageName(const Component* comp, char* out) {
    if (comp->package < 1 || comp->package > PkgCount()) return false;
    PackageInfo info;
    PkgInfoGet(comp->package, &info);
    NameToText(info.name, kTextChars - 1, out);
    return true;
}

void Turn(int32_t angle, int32_t* x, int32_t* y) {
    PtRotateExact(0, 0, angle, x, y);
}

// The owners through the map, keeping the sign; texts of a deleted owner
// go.
void RenumberOwners(bool components, const int16_t* map, int32_t count) {
    DbTrustedScope trusted;
    for (int32_t t = g_count; t >= 1; --t) {
        const BoardText* rec = g_slot[size_t(t)].rec;
        if (!rec) continue;
        const int32_t owner = rec->owner;
        if (components ? owner >= 0 : owner <= 0) continue;
        const int32_t o = owner < 0 ? -owner : owner;
        if (o > count) continue;
        const int32_t to = map[o];
        if (to == 0) {
            TextDelete(t);
        } else if (to != o) {
            BoardText copy = *rec;
            copy.owner = int16_t(owner < 0 ? -to : to);
            TextPut(t, &copy);
        }
    }
}

} // namespace

void TextInit() {
    const DbHeader& h = DbHdr();
    g_slot.assign(1, Slot{nullptr, -1});
    g_slot.reserve(size_t(h.textCount > 0 ? h.textCount : 0) + 1);
    g_symHead.assign(size_t(h.symbolCount > 0 ? h.symbolCount : 0) + 1, 0);
    g_compHead.assign(size_t(h.compCount > 0 ? h.compCount : 0) + 1, 0);
    g_ready = true;
    SetCount(0);
}

void TextReset() {
    g_slot.assign(1, Slot{nullptr, -1});
    g_slot.shrink_to_fit();
    g_symHead.clear();
    g_compHead.clear();
    g_count = 0;
    g_ready = false;
}

int32_t TextCount() {
    return g_count;
}

int32_t TextSlots() {
    return int32_t(g_slot.capacity()) - 1;
}

int32_t TextAdd() {
    if (g_count >= kTextMax) ErrOutOfMemory(kErrTextFull);
    if (g_slot.size() == g_slot.capacity())
        g_slot.reserve((g_slot.size() - 1) / kTextGrowBy * kTextGrowBy + kTextGrowBy + 1);
    g_slot.push_back(Slot{nullptr, -1});
    SetCount(g_count + 1);
    DbSetModified();
    return g_count;
}

void TextDelete(int32_t t) {
    if (t < 1 || t > g_count) ErrReport(kErrTextDelete, t);
    const int32_t last = g_count;
    if (g_slot[size_t(t)].rec) {
        Unlink(t);
        PoolFreePtr(g_slot[size_t(t)].rec);
        g_slot[size_t(t)].rec = nullptr;
    }
    if (t != last) {
        const bool linked = g_slot[size_t(last)].rec != nullptr;
        if (linked) Unlink(last);
        g_slot[size_t(t)].rec = g_slot[size_t(last)].rec;
        g_slot[size_t(last)].rec = nullptr;
        if (linked) Link(t);
    }
    g_slot.pop_back();
    // Whatever still refers to the moved text (attributes, journal items)
    // follows it: t and the old last exchange their numbers.
    std::vector<int16_t> map(size_t(last) + 1);
    for (int32_t i = 0; i <= last; ++i)
        map[size_t(i)] = int16_t(i);
    map[size_t(t)] = int16_t(last);
    map[size_t(last)] = int16_t(t);
    DbAttrRenumber(kRecBoardText, map.data(), last);
    AltRenumber(kRecBoardText, map.data(), last);
    SetCount(last - 1);
    DbSetModified();
}

const BoardText* TextRef(int32_t t) {
    if (t < 1 || t > g_count) ErrReport(kErrTextGet, t);
    return g_slot[size_t(t)].rec;
}

void TextGet(int32_t t, BoardText* out) {
    if (t < 1 || t > g_count) ErrReport(kErrTextGet, t);
    const BoardText* rec = g_slot[size_t(t)].rec;
    if (!rec) {
        DbRecInit(kRecBoardText, out, t);
        return;
    }
    *out = *rec;
    switch (out->kind) {
    case kTextCompName:
        Message(kMsgCompPlaceholder, out->text);
        break;
    case kTextFootprintName:
        if (out->owner > 0 && out->owner <= SymCount()) {
            SymbolName(out->owner, out->text);
        } else if (const Component* comp = OwnerComp(out->owner)) {
            if (comp->symbol >= 1 && comp->symbol <= SymCount())
                SymbolName(comp->symbol, out->text);
        } else if (out->owner == 0) {
            Message(kMsgFootprintPlaceholder, out->text);
        }
        break;
    case kTextPackageName:
        if (const Component* comp = OwnerComp(out->owner)) {
            if (!PackageName(comp, out->text) && PackageNameIdUsable(comp))
                NameToText(NameId(comp->value52), kTextChars - 1, out->text);
        } else {
            Message(kMsgPackagePlaceholder, out->text);
        }
        break;
    default:
        break;
    }
}

ErrCode TextPutCheck(int32_t t, const BoardText* record, int32_t* number) {
    int32_t dummy = 0;
    int32_t& out = number ? *number : dummy;
    auto fail = [&out](ErrCode code, int32_t value) {
        out = value;
        return code;
    };
    if (t < 1 || t > g_count) return fail(kErrTextPutIndex, t);
    if (DbIsTrusted()) return 0;
    BoardText rec = *record;
    if (rec.height < 1) rec.height = 1000 * DbHdr().userUnit;
    if (rec.kind > kTextMaxKind) return fail(kErrTextPutKind, rec.kind);
    if (rec.width < 0) return fail(kErrTextPutWidth, rec.width);
    if (rec.height < 0) return fail(kErrTextPutHeight, rec.height);
    if (rec.r < 0) return fail(kErrTextPutR, rec.r);
    if (rec.layer > LayerCount()) return fail(kErrTextPutLayer, rec.layer);
    if (rec.ratio < 1 || rec.ratio > 1000) return fail(kErrTextPutRatio, rec.ratio);
    if (rec.value50 < 0 || rec.value50 > kAngFullTurn)
        return fail(kErrTextPutGlyphAngle, rec.value50);
    return 0;
}

void TextPut(int32_t t, const BoardText* record) {
    int32_t number = 0;
    if (ErrCode code = TextPutCheck(t, record, &number)) ErrReport(code, number);
    BoardText rec = *record;
    rec.text[kTextChars - 1] = 0;
    if (!DbIsTrusted()) {
        if (rec.height < 1) rec.height = 1000 * DbHdr().userUnit;
        if (rec.text[0] == 0) CopyText(rec.text, "Empty string");
        if (rec.recordId == 0) rec.recordId = DbNextRecordId();
        // A whole turn stays as it is; any other angle comes into 0..21,599.
        if (rec.angle != kAngFullTurn) rec.angle = int16_t(AngNormalize(rec.angle));
        rec.minX = rec.minY = INT32_MAX;
        rec.maxX = rec.maxY = INT32_MIN;
        TextBoxRefresh(&rec);
        // A text whose strokes give no box (no font, or no drawable
        // character) takes the point box at its position.
        if (rec.minX > rec.maxX || rec.minY > rec.maxY) {
            rec.minX = rec.maxX = rec.x;
            rec.minY = rec.maxY = rec.y;
        }
        if (rec.name == NameId(0xFFFFFFFF)) {
            char text[32];
            std::snprintf(text, sizeof text, "%ld", long(rec.recordId));
            rec.name = NameIntern(text);
        } else if (NameTaken(rec.name, t)) {
            char text[kTextChars];
            NameToText(DbNumberName(2 * t), kTextChars - 1, text);
            for (NameId id = NameLookup(text); id != 0 && NameTaken(id, t); id = NameLookup(text))
                NameNext(text, kNameMaxChars);
            rec.name = NameIntern(text);
        }
    }
    // A text without strokes keeps its inverted box, which never widens it.
    if (rec.owner == 0 && !(rec.flags & kTextFlagNoExtent))
        DbExtentAdd(rec.minX, rec.minY, rec.maxX, rec.maxY);

    Slot& slot = g_slot[size_t(t)];
    if (slot.rec) {
        Unlink(t);
    } else {
        slot.rec = static_cast<BoardText*>(PoolNewPtr(sizeof(BoardText), kPoolDb, kErrTextBlock));
        if (!slot.rec) ErrOutOfMemory(kErrTextBlock);
    }
    *slot.rec = rec;
    Link(t);
    DbSetModified();
}

int32_t TextFind(const char* text) {
    if (!g_ready) ErrReport(kErrTextFindTable, 0);
    const NameId id = NameLookup(text);
    if (id == 0) return 0;
    for (int32_t t = 1; t <= g_count; ++t)
        if (g_slot[size_t(t)].rec && g_slot[size_t(t)].rec->name == id) return t;
    return 0;
}

int32_t TextBoardFirst() {
    return g_symHead.empty() ? 0 : g_symHead[0];
}

int32_t SymTextFirst(int32_t s) {
    if (s < 0 || s > SymCount()) ErrReport(kErrTextSymFirst, s);
    return size_t(s) < g_symHead.size() ? g_symHead[size_t(s)] : 0;
}

int32_t CompTextFirst(int32_t c) {
    if (c < 1 || c > CompCount()) ErrReport(kErrTextCompFirst, c);
    return size_t(c) < g_compHead.size() ? g_compHead[size_t(c)] : 0;
}

int32_t TextNext(int32_t t) {
    if (t < 1 || t > g_count) ErrReport(kErrTextNext, t);
    const int16_t next = g_slot[size_t(t)].link;
    return next > 0 ? next : 0;
}

void TextString(const BoardText* text, const Component* comp, char* out) {
    const bool compName = text->kind == kTextCompName ||
                          (text->kind == kTextStatic && std::strcmp(text->text, "&N") == 0);
    const bool footprint = text->kind == kTextFootprintName ||
                           (text->kind == kTextStatic && std::strcmp(text->text, "&F") == 0);
    const bool packageP = text->kind == kTextStatic && std::strcmp(text->text, "&P") == 0;
    if (compName) {
        NameToText(comp->name, kTextChars - 1, out);
    } else if (footprint) {
        out[0] = 0;
        if (comp->symbol >= 1 && comp->symbol <= SymCount()) SymbolName(comp->symbol, out);
    } else if (text->kind == kTextPackageName) {
        if (!PackageName(comp, out)) {
            if (PackageNameIdUsable(comp))
                NameToText(NameId(comp->value52), kTextChars - 1, out);
            else
                Message(kMsgNoPackage, out);
        }
    } else if (packageP) {
        if (!PackageName(comp, out)) Message(kMsgNoPackage, out);
    } else {
        CopyText(out, text->text);
    }
}

void TextPlace(BoardText* text, int32_t dx, int32_t dy, int32_t angle) {
    int32_t x = text->x, y = text->y;
    Turn(angle, &x, &y);
    text->x = x + dx;
    text->y = y + dy;
    int32_t a = text->angle + angle;
    if (a > kAngFullTurn) a -= kAngFullTurn;
    text->angle = int16_t(a);
    // The inverted box of a text without strokes stays as it is.
    if (text->minX > text->maxX || text->minY > text->maxY) return;
    if (angle != 0) {
        const int32_t cx[4] = {text->minX, text->maxX, text->maxX, text->minX};
        const int32_t cy[4] = {text->minY, text->minY, text->maxY, text->maxY};
        int32_t x1 = INT32_MAX, y1 = INT32_MAX, x2 = INT32_MIN, y2 = INT32_MIN;
        for (int k = 0; k < 4; ++k) {
            int32_t px = cx[k], py = cy[k];
            Turn(angle, &px, &py);
            if (px < x1) x1 = px;
            if (py < y1) y1 = py;
            if (px > x2) x2 = px;
            if (py > y2) y2 = py;
        }
        text->minX = x1, text->minY = y1, text->maxX = x2, text->maxY = y2;
    }
    text->minX += dx, text->maxX += dx;
    text->minY += dy, text->maxY += dy;
}

void TextPlaceOnComp(int32_t t, int32_t c, BoardText* out) {
    AltSave(kRecBoardText, t, out);
    if (c == 0) {
        if (out->owner != 0) ErrReport(kErrTextPlaceNoComp, t);
        return;
    }
    if (out->owner == 0) ErrReport(kErrTextPlaceBoard, t);
    Component comp;
    AltSave(kRecComponent, c, &comp);
    TextPlace(out, comp.x, comp.y, comp.angle);
}

int32_t TextKindMsgId(int32_t kind) {
    if (kind >= 0 && kind <= kTextFootprintDetail) return kKindMsgFirst + kind;
    ExpectFail(kErrTextLinkWalk);
    return 0;
}

void TextCompRenumber(const int16_t* map, int32_t count) {
    RenumberOwners(true, map, count);
}

void TextSymRenumber(const int16_t* map, int32_t count) {
    RenumberOwners(false, map, count);
}

void CompTextsFromSym(int32_t c) {
    Component comp;
    AltSave(kRecComponent, c, &comp);
    AltPush();
    const int32_t base = g_count;
    int32_t k = 0;
    if (comp.symbol >= 1 && comp.symbol <= SymCount()) {
        for (int32_t t = SymTextFirst(comp.symbol); t != 0; t = TextNext(t)) {
            BoardText text = *g_slot[size_t(t)].rec;
            if (text.kind == kTextFootprintDetail) continue;
            text.owner = int16_t(-c);
            ++k;
            const int32_t id = AltPut(kRecBoardText, AltCount() + base + k, 0, &text);
            AltItemHeader header;
            BoardText image;
            AltGet(id, &header, &image);
            header.flags |= kAltCreated;
            AltItemPut(&header, &image);
        }
    }
    AltPop(true);
}

void TextRegister() {
    DbModuleOps ops;
    ops.init = &TextInit;
    ops.free = &TextReset;
    ops.add = &TextAdd;
    ops.del = &TextDelete;
    ops.get = [](int32_t n, void* out) { TextGet(n, static_cast<BoardText*>(out)); };
    ops.put = [](int32_t n, const void* rec) { TextPut(n, static_cast<const BoardText*>(rec)); };
    DbRegisterModule(kRecBoardText, ops);
}
