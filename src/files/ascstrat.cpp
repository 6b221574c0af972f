// The *STRATEGY and *PLACE sections: the nine default sweeps, the readers
// and the writers.
#include <cstdio>
#include <cstring>

#include "db/db.h"
#include "db/dbheader.h"
#include "db/placestrat.h"
#include "db/sweeps.h"
#include "files/ascint.h"
#include "files/ascout.h"

namespace {

struct Word {
    const char* word;
    uint16_t bit;
};

// Pass words of a sweep pass, in the order the writer emits them.
const Word kPassWords[] = {
    {"HEUR", 0x0001},     {"MAZE", 0x0002},   {"NEAREST", 0x0004},   {"PARTIAL", 0x0010},
    {"REROUTE", 0x0040},  {"CDE", 0x0080},    {"VIAREDUCE", 0x0200}, {"FAST", 0x0400},
    {"DISBURSE", 0x0800}, {"ENABLE", 0x1000}, {"DONE", 0x2000},      {"RETRY", 0},
    {"ECO", 0},           {"DISABLE", 0},
};
constexpr int32_t kWrittenPassWords = 9; // HEUR .. DISBURSE

const Word kPlaceWords[] = {
    {"ASSIGN", 0x01}, {"CLUSTERPL", 0x02}, {"PROXPL", 0x04},  {"SWAPCOMP", 0x10},
    {"ALIGN", 0x20},  {"CLASSIFY", 0x40},  {"SWAPPIN", 0x80},
};
const Word kPlaceStates[] = {
    {"ENABLED", 0x1},
    {"DONE", 0x2},
    {"RECON", 0x4},
    {"GATESWAP", 0x8},
};

template <size_t N> const Word* Lookup(const Word (&table)[N], const char* text) {
    for (const Word& w : table)
        if (std::strcmp(w.word, text) == 0) return &w;
    return nullptr;
}

enum : uint16_t { kPassEnable = 0x1000, kPassDone = 0x2000 };

// State of one *STRATEGY section.
struct StrategyState {
    Sweep sweep;
    bool drop = false;     // a value out of range: the section is not stored
    int16_t diag = 0;      // what the last "DIAG:" of the section set
    uint8_t primary = 0;   // ... the last "PRIMARY:"
    uint8_t secondary = 0; // ... the last "SECONDARY:"
    bool layersGiven = false; // a LAYER line set an enable
};

// A number item: the value, or 0 when none came (the token that came
// instead stays current). Answers whether one came.
bool ItemNumber(int32_t* out) {
    if (AscGetToken(kAscNumber)) {
        *out = g_asc->number;
        return true;
    }
    *out = 0;
    return false;
}

// A percentage of the sweep (0..100); out of range drops the section.
uint8_t Percent(StrategyState& st, const char* what, int32_t v) {
    if (!AscInRange(what, v, 0, 100)) {
        st.drop = true;
        return 0;
    }
    return uint8_t(v);
}

// After "PASS": the pass number and its words; the token that ended the
// line stays current.
void ReadStrategyPass(StrategyState& st) {
    int32_t passLine = g_asc->lineNumber;
    if (!AscGetToken(kAscNumber)) return;
    int32_t p = g_asc->number;
    bool store = p >= 0 && p <= 4;
    if (!store) AscError("%s", AscMsg(kAscMsgPassRange));
    uint16_t bits = 0;
    for (;;) {
        if (!AscGetToken(kAscWord)) break;
        // RETRY is also an item: on a later line it begins that item.
        if (std::strcmp(g_asc->token, "RETRY") == 0 && g_asc->lineNumber > passLine) break;
        const Word* w = Lookup(kPassWords, g_asc->token);
        if (!w) break;
        bits = uint16_t(bits | w->bit);
    }
    if (store) st.sweep.passFlags[p] = bits;
}

// After "LAYER": the layer number and its values; the token that ended the
// line stays current. Colour and visibility words are read and have no
// effect.
void ReadStrategyLayer(StrategyState& st) {
    if (!AscGetToken(kAscNumber)) return;
    int32_t l = g_asc->number;
    bool keep = l >= 0 && l <= kMaxLayers;
    if (!keep) AscError(AscMsg(kAscMsgLayerCode), int(l));
    Sweep& s = st.sweep;
    for (;;) {
        if (!AscGetToken(kAscWord)) break;
        const char* w = g_asc->token;
        if (std::strcmp(w, "VISIBLE") == 0 || std::strcmp(w, "NOTVISIBLE") == 0) continue;
        if (std::strcmp(w, "ENABLE") == 0 || std::strcmp(w, "DISABLE") == 0) {
            if (keep) {
                s.enable[l] = w[0] == 'E' ? 1 : 0;
                st.layersGiven = true;
            }
            continue;
        }
        uint8_t* field = nullptr;
        const char* what = nullptr;
        if (std::strcmp(w, "DIR:") == 0) {
            field = s.dir;
            what = "DIR:";
        } else if (std::strcmp(w, "COST:") == 0) {
            field = s.cost;
            what = "COST:";
        } else if (std::strcmp(w, "BETWEEN:") == 0) {
            field = s.between;
            what = "BETWEEN:";
        } else if (std::strcmp(w, "COLOR:") != 0) {
            break;
        }
        int32_t v = 0;
        if (!ItemNumber(&v)) break;
        if (field) {
            uint8_t value = Percent(st, what, v);
            if (keep) field[l] = value;
        }
    }
}

void SetDirection(uint8_t& field, uint8_t& last, bool secondary) {
    static const Word kDirs[] = {{"UP", 1}, {"DOWN", 2}, {"LEFT", 4}, {"RIGHT", 8}, {"NEXT", 16}};
    AscGetToken(kAscAny);
    if (AscAtKeyword()) return; // the keyword stays current
    const Word* d = Lookup(kDirs, g_asc->token);
    if (d && !(secondary && d->bit == 16)) last = uint8_t(d->bit);
    field = last;
    AscGetToken(kAscAny);
}

} // namespace

void StrategyDefaults(Sweep* sweep, int32_t n) {
    Sweep& s = *sweep;
    DbRecInit(kRecSweep, &s, n);
    auto values = [&s](int32_t p, uint8_t via, uint8_t retry, uint8_t limit, uint8_t attempts) {
        s.via[p] = via;
        s.retry[p] = retry;
        s.limit[p] = limit;
        s.attempts[p] = attempts;
    };
    auto name = [&s](const char* text) { std::snprintf(s.name, sizeof s.name, "%s", text); };
    switch (n) {
    case 0:
    case 2:
        name(n == 0 ? "Win/Comp/Man" : "Maze Route");
        s.passFlags[1] = n == 0 ? 0x1001 : 0x0001;
        s.passFlags[2] |= 0x1000;
        values(1, 0, 0, 0, 2);
        values(2, 70, 30, 80, 20);
        values(3, 40, 60, 80, 20);
        break;
    case 1:
        name("Preliminary Route");
        s.passFlags[1] = 0x0090;
        s.passFlags[2] = 0x0810;
        s.passFlags[3] = 0x1001;
        for (int32_t p = 1; p <= 3; ++p)
            values(p, 0, 0, 0, 2);
        break;
    case 3:
        name("Next 1");
        s.passFlags[1] |= 0x1000;
        for (int32_t p = 1; p <= 3; ++p)
            s.attempts[p] = 20;
        break;
    case 4:
        name("Next 2");
        s.passFlags[2] |= 0x1000;
        break;
    case 5:
        name("Next 3");
        s.passFlags[3] |= 0x1000;
        break;
    case 6:
        name("Special Options");
        s.passFlags[1] |= 0x0400;
        s.passFlags[2] = 0x0210;
        s.passFlags[3] = 0x0050;
        values(1, 40, 40, 40, 2);
        values(2, 80, 80, 80, 2);
        values(3, 80, 80, 0, 0);
        break;
    default:
        break;
    }
    if (n == 0 || n == 3 || n == 4 || n == 5) s.primary = 16;
    if (n <= 2) {
        for (int32_t l = 1; l <= 8; ++l) {
            s.dir[l] = (l % 2) ? 80 : 20;
            if (n != 1) s.between[l] = 30;
        }
    }
}

void AscReadStrategy() {
    AscContext& c = *g_asc;
    if (!AscGetToken(kAscNumber)) return;
    int32_t n = c.number;
    if (n < 0 || n > 8) {
        AscError("%s", AscMsg(kAscMsgStrategyRange));
        AscGetToken(kAscAny);
        return;
    }
    uint8_t saved = DbHdr().sweep;
    DbHdr().sweep = uint8_t(n);
    static StrategyState st;
    st = StrategyState{};
    SweepGet(&st.sweep);
    DbHdr().sweep = saved;
    Sweep& s = st.sweep;
    if (!AscGetToken(kAscString)) return;
    std::snprintf(s.name, sizeof s.name, "%.31s", c.token);
    AscGetToken(kAscAny);
    bool store = true;
    while (!AscAtKeyword()) {
        const char* t = c.token;
        int32_t v = 0;
        if (c.kind != kAscWord) {
            AscError(AscMsg(kAscMsgUnknownItem), t);
            AscGetToken(kAscAny);
            break;
        }
        if (std::strcmp(t, "EDGECOLOR:") == 0 || std::strcmp(t, "COMPOUTLINECOLOR:") == 0 ||
            std::strcmp(t, "COMPNAMECOLOR:") == 0 || std::strcmp(t, "BACKGROUNDCOLOR:") == 0) {
            char which = t[0] == 'E' ? 'E' : (t[0] == 'B' ? 'B' : t[4]);
            bool got = ItemNumber(&v);
            if (which == 'E') s.edgeColor = v;
            if (which == 'B') s.backColor = v;
            if (which == 'O') s.compOutlineColor = v;
            if (which == 'N') s.compNameColor = v;
            if (got) AscGetToken(kAscAny);
        } else if (std::strcmp(t, "WHITEBACKGROUND") == 0) {
            if (AscGetToken(kAscWord)) {
                s.backColor = std::strcmp(c.token, "YES") == 0 ? 0xFFFFFF : 0;
                AscGetToken(kAscAny);
            }
        } else if (std::strcmp(t, "DIAG:") == 0) {
            if (AscGetToken(kAscWord) && c.token[0] != '*') {
                if (std::strcmp(c.token, "ON") == 0) st.diag = 1;
                if (std::strcmp(c.token, "OFF") == 0) st.diag = 16;
                if (std::strcmp(c.token, "ZID") == 0) st.diag = 3;
                s.diagonal = st.diag;
                AscGetToken(kAscAny);
            }
        } else if (std::strcmp(t, "PRIMARY:") == 0) {
            SetDirection(s.primary, st.primary, false);
        } else if (std::strcmp(t, "SECONDARY:") == 0) {
            SetDirection(s.secondary, st.secondary, true);
        } else if (std::strcmp(t, "OPTIONS:") == 0) {
            AscGetToken(kAscAny);
        } else if (std::strcmp(t, "PASS") == 0) {
            ReadStrategyPass(st);
        } else if (std::strcmp(t, "LAYER") == 0) {
            ReadStrategyLayer(st);
        } else if (std::strcmp(t, "VIA") == 0 || std::strcmp(t, "RETRY") == 0 ||
                   std::strcmp(t, "LIMIT") == 0 || std::strcmp(t, "ATTEMPS") == 0) {
            uint8_t* field = t[0] == 'V'   ? s.via
                             : t[0] == 'R' ? s.retry
                             : t[0] == 'L' ? s.limit
                                           : s.attempts;
            char what[16];
            std::snprintf(what, sizeof what, "%.15s", t);
            bool got = true;
            for (int32_t p = 0; p < 5; ++p) {
                if (got) got = ItemNumber(&v);
                field[p] = Percent(st, what, got ? v : 0);
            }
            if (got) AscGetToken(kAscAny);
        } else if (std::strcmp(t, "BOX") == 0) {
            int32_t box[4] = {};
            bool got = true;
            for (int32_t i = 0; i < 4 && got; ++i)
                got = ItemNumber(&box[i]);
            if (got) AscGetToken(kAscAny);
            if (box[0] == 0 || box[1] == 0) {
                AscError("%s", AscMsg(kAscMsgBoxZero));
                store = false;
                break;
            }
            if (!AscInRange("BOX", box[0], 1, 500) || !AscInRange("BOX", box[1], 1, 1000) ||
                !AscInRange("BOX", box[2], 0, box[0]) || !AscInRange("BOX", box[3], 0, box[1])) {
                st.drop = true;
                continue;
            }
            for (int32_t i = 0; i < 4; ++i)
                s.box[i] = int16_t(box[i]);
            s.boxPercent[0] = uint8_t((100 * box[2] + box[0] / 2) / box[0]);
            s.boxPercent[1] = uint8_t((100 * box[3] + box[1] / 2) / box[1]);
        } else {
            AscError(AscMsg(kAscMsgUnknownItem), t);
            AscGetToken(kAscAny);
            break;
        }
    }
    if (!store || st.drop) return;
    DbHdr().sweep = uint8_t(n);
    if (ErrCode code = SweepPutCheck(&s)) {
        AscRejected("*STRATEGY", code);
    } else {
        SweepPut(&s);
        if (st.layersGiven) c.sweepsWithLayers |= 1u << n;
    }
    DbHdr().sweep = saved;
}

void AscReadPlace() {
    AscContext& c = *g_asc;
    PlaceStrategy ps;
    std::memset(&ps, 0, sizeof ps);
    bool drop = false;
    AscGetToken(kAscAny);
    while (!AscAtKeyword()) {
        if (AscTokenIs("BOX")) {
            int32_t i = 0;
            while (AscGetToken(kAscAny), c.kind == kAscNumber) {
                if (i < 4) {
                    if (!AscInRange("BOX", c.number, -kCoordLimit, kCoordLimit)) drop = true;
                    ps.box[i] = c.number;
                }
                ++i;
            }
        } else if (AscTokenIs("PASS")) {
            if (!AscGetToken(kAscNumber)) continue;
            int32_t p = c.number;
            bool store = p >= 0 && p <= 11;
            if (!store) AscError("%s", AscMsg(kAscMsgPlacePassRange));
            uint16_t actions = 0, states = 0;
            while (AscGetToken(kAscWord)) {
                if (const Word* w = Lookup(kPlaceWords, c.token))
                    actions = uint16_t(actions | w->bit);
                else if (const Word* st = Lookup(kPlaceStates, c.token))
                    states = uint16_t(states | st->bit);
                else
                    break;
            }
            if (store) {
                ps.actions[p] = actions;
                ps.states[p] = states;
            }
        } else if (AscTokenIs("ITERATIONS") || AscTokenIs("ATTEMP") || AscTokenIs("CLUSTERS")) {
            int16_t* field = c.token[0] == 'I'   ? ps.iterations
                             : c.token[1] == 'T' ? ps.attempts
                                                 : ps.clusters;
            int32_t hi = field == ps.clusters ? 255 : 100;
            char what[16];
            std::snprintf(what, sizeof what, "%.15s", c.token);
            int32_t i = 0;
            while (AscGetToken(kAscAny), c.kind == kAscNumber) {
                if (!AscInRange(what, c.number, 0, hi)) drop = true;
                field[1 + i % 11] = int16_t(c.number & 0xFF);
                ++i;
            }
        } else {
            AscGetToken(kAscAny);
        }
    }
    if (!drop) PlaceStratPut(&ps);
}

// ---- writers ------------------------------------------------------------------

int32_t strategyAsc() {
    uint8_t saved = DbHdr().sweep;
    int32_t layers = DbHdr().layerCount;
    for (int32_t n = 0; n < kSweepCount; ++n) {
        DbHdr().sweep = uint8_t(n);
        Sweep s;
        SweepGet(&s);
        AscOut("*STRATEGY %d \"%.31s\"\r\n", int(n), AscQuoted(s.name));
        AscOut("   EdgeColor: %ld\r\n", long(s.edgeColor));
        AscOut("   BackgroundColor: %ld\r\n", long(s.backColor));
        AscOut("   CompOutlineColor: %ld\r\n", long(s.compOutlineColor));
        AscOut("   CompNameColor: %ld\r\n", long(s.compNameColor));
        AscOut("   Diag:%s", (s.diagonal & 2) ? " ZID " : (s.diagonal & 1) ? " ON " : " OFF ");
        static const char* const kDirs[] = {"UP", "DOWN", "LEFT", "RIGHT", "NEXT"};
        AscOut("Primary: ");
        const char* dir = "?";
        for (int32_t i = 0; i < 5; ++i)
            if (s.primary & (1 << i)) {
                dir = kDirs[i];
                break;
            }
        AscOut("%s ", dir);
        AscOut("Secondary: ");
        for (int32_t i = 0; i < 4; ++i)
            if (s.secondary & (1 << i)) {
                AscOut("%s", kDirs[i]);
                break;
            }
        AscOut("\r\n");
        AscOut("   OPTIONS:\r\n");
        for (int32_t p = 0; p < 5; ++p) {
            uint16_t f = s.passFlags[p];
            AscOut("   PASS %d ", int(p));
            // A pass that is enabled and done is written with both words,
            // so that it reads back with both bits.
            if ((f & kPassEnable) && (f & kPassDone))
                AscOut("ENABLE DONE ");
            else if (f & kPassEnable)
                AscOut("ENABLE ");
            else
                AscOut("DISABLE ");
            for (int32_t i = 0; i < kWrittenPassWords; ++i)
                if (f & kPassWords[i].bit) AscOut("%s ", kPassWords[i].word);
            AscOut("\r\n");
        }
        for (int32_t l = 0; l <= layers && l <= kMaxLayers; ++l)
            AscOut("   Layer %d %sDir: %d Cost: %d Between: %d\r\n", int(l),
                   s.enable[l] == 1 ? "Enable  " : "Disable ", s.dir[l], s.cost[l], s.between[l]);
        const struct {
            const char* word;
            const uint8_t* values;
        } rows[] = {
            {"VIA ", s.via}, {"RETRY ", s.retry}, {"LIMIT ", s.limit}, {"ATTEMPS ", s.attempts}};
        for (const auto& r : rows) {
            AscOut("%s", r.word);
            for (int32_t p = 0; p < 5; ++p)
                AscOut(" %d", r.values[p]);
            AscOut("\r\n");
        }
        AscOut("BOX %d %d %d %d\r\n", s.box[0], s.box[1], s.box[2], s.box[3]);
    }
    DbHdr().sweep = saved;
    return 1;
}

int32_t PlaceAsc() {
    PlaceStrategy ps;
    PlaceStratGet(&ps);
    AscOut("*PLACE\r\n");
    AscOut("  BOX %ld %ld", long(ps.box[0]), long(ps.box[1]));
    AscOut(" %ld %ld\r\n", long(ps.box[2]), long(ps.box[3]));
    AscOut("  OPTIONS:\r\n");
    for (int32_t p = 1; p <= 11; ++p) {
        AscOut("    PASS %d ", int(p));
        for (const Word& w : kPlaceWords)
            if (ps.actions[p] & w.bit) AscOut("%s ", w.word);
        for (const Word& w : kPlaceStates)
            if (ps.states[p] & w.bit) AscOut(" %s", w.word);
        AscOut("\r\n");
    }
    const struct {
        const char* word;
        const int16_t* values;
    } rows[] = {{"  ITERATIONS", ps.iterations},
                {"  ATTEMP    ", ps.attempts},
                {"  CLUSTERS", ps.clusters}};
    for (const auto& r : rows) {
        AscOut("%s", r.word);
        for (int32_t p = 1; p <= 11; ++p)
            AscOut(" %d", r.values[p]);
        AscOut("\r\n");
    }
    return 1;
}
