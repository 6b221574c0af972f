// The "Component Selection Criteria" dialog (also the Select Criteria
// command): two name patterns (at most a name's 100 characters read), two
// pin limits and two check boxes. OK checks the pin limits (0..2,400, the
// most pins a footprint has; an empty field sets no limit; a bad value
// keeps the dialog open on its field), remembers the check boxes for the
// next run, and marks every component that is not fixed in one journal
// level: a match gets 0x02 and loses 0x40 and the lock, a non-match gets
// 0x40 and loses 0x02; a component whose flags do not change is not
// stored. An empty pattern matches every name. A run without any match
// alerts, rejects the level and keeps the dialog open.
#include "db/altjournal.h"
#include "db/comps.h"
#include "db/lang.h"
#include "db/names.h"
#include "db/strutil.h"
#include "db/symbols.h"
#include "place/plmodel.h"
#include "place/tool/placehost.h"
#include "place/tool/upnext.h"
#include "place/tool/uptool.h"

namespace {

// The check boxes' states, kept while the program runs.
struct CriteriaMemory {
    int32_t onlyUnplaced = 0;
    int32_t clearLock = 0;
} g_memory;

struct Criteria {
    char name[kNameMaxChars + 1] = {};
    char footprint[kNameMaxChars + 1] = {};
    int32_t minPins = kDlgEmptyNumber, maxPins = kDlgEmptyNumber;
    bool onlyUnplaced = false, clearLock = false;
};

void Build() {
    PlaceHost& host = PlHost();
    host.DlgSetItem(kCriteriaName, "", kCriteriaTextWidth);
    host.DlgSetItem(kCriteriaFootprint, "", kCriteriaTextWidth);
    host.DlgSetItem(kCriteriaMinPins, "", kCriteriaNumberWidth);
    host.DlgSetItem(kCriteriaMaxPins, "", kCriteriaNumberWidth);
    host.DlgSetButton(kDlgStyleCheckBox, kCriteriaUnplaced, 0, g_memory.onlyUnplaced,
                      kDlgStateEnabled);
    host.DlgSetButton(kDlgStyleCheckBox, kCriteriaClearLock, 0, g_memory.clearLock,
                      kDlgStateEnabled);
}

// A pin limit: false (the dialog layer has alerted) when out of range.
bool ReadLimit(int32_t item, int32_t* out) {
    PlaceHost& host = PlHost();
    *out = kDlgEmptyNumber;
    if (host.DlgGetRangedNumber(item, out, 0, kMaxPins)) return true;
    host.DlgFocusItem(item);
    return false;
}

bool Matches(const Component& r, const Criteria& k) {
    if (k.onlyUnplaced && !(r.flags & kPlCompUnplaced) && r.compRef == 0) return false;
    if (!k.clearLock && (r.flags & kPlCompLocked)) return false;
    const bool known = r.symbol >= 1 && r.symbol <= SymCount();
    const int32_t pins = known ? SymPinCount(r.symbol) : 0;
    if (k.minPins != kDlgEmptyNumber && pins < k.minPins) return false;
    if (k.maxPins != kDlgEmptyNumber && pins > k.maxPins) return false;
    if (k.name[0] && !StrMatchWild(NameText(r.name), k.name)) return false;
    if (!k.footprint[0]) return true;
    SymbolInfo info{};
    if (known) SymInfoGet(r.symbol, &info);
    return StrMatchWild(known ? NameText(info.name) : "", k.footprint);
}

// Marks the components in a new level; answers how many matched.
int32_t Mark(const Criteria& k) {
    int32_t matched = 0;
    Component r;
    for (int32_t c = 1; c <= CompCount(); ++c) {
        AltSave(kRecComponent, c, &r);
        if (r.flags & kPlCompFixed) continue;
        uint16_t flags = r.flags;
        if (Matches(r, k)) {
            ++matched;
            flags = uint16_t((flags | kPlCompChosen) & ~(kPlCompLeftOut | kPlCompLocked));
        } else {
            flags = uint16_t((flags | kPlCompLeftOut) & ~kPlCompChosen);
        }
        if (flags == r.flags) continue;
        r.flags = flags;
        AltPut(kRecComponent, c, 0, &r);
    }
    return matched;
}

int32_t Accept() {
    PlaceHost& host = PlHost();
    Criteria k;
    host.DlgGetItemText(kCriteriaName, k.name, int32_t(sizeof k.name));
    host.DlgGetItemText(kCriteriaFootprint, k.footprint, int32_t(sizeof k.footprint));
    if (!ReadLimit(kCriteriaMinPins, &k.minPins) || !ReadLimit(kCriteriaMaxPins, &k.maxPins))
        return 0;
    g_memory.onlyUnplaced = host.DlgGetItemValue(kCriteriaUnplaced) == kDlgValueOn;
    g_memory.clearLock = host.DlgGetItemValue(kCriteriaClearLock) == kDlgValueOn;
    k.onlyUnplaced = g_memory.onlyUnplaced;
    k.clearLock = g_memory.clearLock;
    AltPush();
    if (Mark(k) == 0) {
        host.AlertMessage(LangString(kMsgNoCriteriaMatch));
        AltPop(false);
        return 0;
    }
    AltPop(true);
    host.menuEnableCommand(kUpUndo, kMenuEnabled);
    return 1;
}

int32_t CriteriaHandler(int32_t code) {
    if (code == kDlgCodeInit) {
        Build();
        return 1;
    }
    return code == kDlgCodeOk ? Accept() : 0;
}

} // namespace

int32_t upPickNextDialog() {
    PlaceHost& host = PlHost();
    host.DlgOpen(&CriteriaHandler, kMsgCriteria, nullptr);
    return host.DlgRunModal() == 1 ? 1 : 0;
}

int32_t UpCriteriaDialog() {
    return upPickNextDialog();
}
