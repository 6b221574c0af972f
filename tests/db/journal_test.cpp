// The tentative-edit journal: levels, reading and writing through it,
// install order, undo and redo, and a randomised comparison with a plain
// model of the Table23 table and of every open level.
#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "db/err.h"
#include "dbfixture.h"

namespace {

Table23 Rec(int32_t tag) {
    Table23 r{};
    r.value = uint16_t(10 + tag % 490);
    r.value4 = tag;
    return r;
}

class JournalTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        for (int32_t t : {kRecComponent, kRecAttribute})
            m_saved[t] = DbModuleGet(t);
    }
    void TearDown() override {
        for (int32_t t : {kRecComponent, kRecAttribute})
            DbRegisterModule(t, m_saved[t]);
        DebugSetTraceReceiver(nullptr);
        DebugSetFlags(0, 0);
        DbTest::TearDown();
    }

    // A design whose Table23 holds records tagged 1..n.
    static void Design(int32_t n) {
        NewDesign();
        for (int32_t i = 1; i <= n; ++i) {
            Table23Add();
            Table23 r = Rec(i);
            Table23Put(i, &r);
        }
    }
    // The tags of the table's records in order.
    static std::vector<int32_t> Tags() {
        std::vector<int32_t> tags;
        for (int32_t i = 1; i <= Table23Count(); ++i) {
            Table23 r;
            Table23Get(i, &r);
            tags.push_back(r.value4);
        }
        return tags;
    }
    static int32_t Seen(int32_t index) {
        Table23 r;
        AltSave(kRecTable23, index, &r);
        return r.value4;
    }
    // Sets flag bits on the item that AltPut answered.
    static void Flag(int32_t id, uint16_t bits) {
        AltItemHeader h;
        Table23 r;
        AltGet(id, &h, &r);
        h.flags |= bits;
        AltItemPut(&h, &r);
    }
    static int32_t Put(int32_t index, int32_t tag) {
        Table23 r = Rec(tag);
        return AltPut(kRecTable23, index, 0, &r);
    }
    DbModuleOps m_saved[24];
};

using V = std::vector<int32_t>;

TEST_F(JournalTest, PushPutRejectLeavesTablesAndCount) {
    Design(3);
    AltPush();
    EXPECT_EQ(Put(2, 20), 1);
    EXPECT_EQ(AltCount(), 1);
    EXPECT_EQ(Seen(2), 20);
    Table23 r;
    EXPECT_TRUE(AltSave(kRecTable23, 2, &r));
    EXPECT_FALSE(AltSave(kRecTable23, 3, &r));
    AltPop(false);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(AltCount(), 0);
    EXPECT_EQ(Tags(), (V{1, 2, 3}));
    EXPECT_FALSE(AltSave(kRecTable23, 2, &r));
    EXPECT_EQ(r.value4, 2);
    EXPECT_FALSE(AltCanUndo());
}

TEST_F(JournalTest, RejectOfADeeperLevelRestoresTheImageBelow) {
    Design(3);
    AltPush();
    Put(2, 20);
    AltPush();
    EXPECT_EQ(Put(2, 21), 1);
    EXPECT_EQ(Put(3, 31), 2);
    EXPECT_EQ(Seen(2), 21);
    Table23 r;
    EXPECT_TRUE(AltGetLatest(kRecTable23, 2, &r));
    EXPECT_EQ(r.value4, 20);
    EXPECT_FALSE(AltGetLatest(kRecTable23, 3, &r));
    EXPECT_EQ(r.value4, 3);
    AltPop(false);
    EXPECT_EQ(AltDepth(), 1);
    EXPECT_EQ(AltCount(), 1);
    EXPECT_EQ(Seen(2), 20);
    EXPECT_EQ(Seen(3), 3);
    AltItemHeader h;
    AltGet(1, &h, &r);
    EXPECT_EQ(h.level, 1);
    EXPECT_EQ(r.value4, 20);
    AltPop(false);
    EXPECT_EQ(Tags(), (V{1, 2, 3}));
}

TEST_F(JournalTest, CommitOfADeeperLevelKeepsItemsBelowUntilTheOutermostCommit) {
    Design(3);
    AltPush();
    Put(1, 10);
    AltPush();
    Put(1, 11);
    Put(3, 31);
    AltPop(true);
    EXPECT_EQ(AltDepth(), 1);
    EXPECT_EQ(AltCount(), 2);
    AltItemHeader h;
    Table23 r;
    for (int32_t n = 1; n <= 2; ++n) {
        AltGet(n, &h, &r);
        EXPECT_EQ(h.level, 1);
    }
    EXPECT_EQ(Seen(1), 11);
    EXPECT_FALSE(AltGetLatest(kRecTable23, 1, &r)); // the level-1 copy was merged
    EXPECT_EQ(Tags(), (V{1, 2, 3}));
    AltPop(true);
    EXPECT_EQ(Tags(), (V{11, 2, 31}));
    EXPECT_TRUE(AltCanUndo());
}

TEST_F(JournalTest, UndoAndRedo) {
    Design(3);
    AltPush();
    Put(2, 20);
    Flag(Put(4, 40), kAltCreated);
    Flag(Put(1, 1), kAltDeleted);
    AltPop(true);
    EXPECT_EQ(Tags(), (V{20, 3, 40}));
    EXPECT_TRUE(AltCanUndo());
    EXPECT_EQ(AltCount(), 0);

    AltUndo();
    EXPECT_EQ(AltDepth(), 1);
    EXPECT_EQ(AltCount(), 3);
    EXPECT_FATAL(AltUndo(), 5255010);
    AltPop(true);
    // The created record is deleted again; the deleted one comes back at
    // the end of its table.
    EXPECT_EQ(Tags(), (V{2, 3, 1}));
    EXPECT_TRUE(AltCanUndo());

    AltUndo();
    AltPop(true);
    EXPECT_EQ(Tags(), (V{20, 3, 40}));

    // A new outermost level forgets what could be undone.
    AltPush();
    AltPop(false);
    EXPECT_FALSE(AltCanUndo());
    EXPECT_FATAL(AltUndo(), 5255011);
}

TEST_F(JournalTest, EmptyingTheDatabaseForgetsWhatCouldBeUndone) {
    Design(2);
    AltPush();
    Put(1, 10);
    AltPop(true);
    ASSERT_TRUE(AltCanUndo());
    DbFree();
    EXPECT_FALSE(AltCanUndo());
    EXPECT_EQ(AltDepth(), 0);
}

TEST_F(JournalTest, DeletesRunFromTheHighestIndex) {
    Design(6);
    AltPush();
    Flag(Put(3, 3), kAltDeleted);
    Flag(Put(5, 5), kAltDeleted);
    Put(6, 60);
    AltPop(true);
    EXPECT_EQ(Tags(), (V{1, 2, 4, 60}));
    AltUndo();
    AltPop(true);
    EXPECT_EQ(Tags(), (V{1, 2, 4, 6, 3, 5}));
}

TEST_F(JournalTest, DuplicateItemsAtInstallAreAnInternalError) {
    Design(3);
    AltPush();
    Put(1, 10);
    Put(2, 20);
    const int16_t map[] = {0, 1, 1, 3};
    AltRenumber(kRecTable23, map, 3);
    EXPECT_FATAL(AltPop(true), 5255040);
}

TEST_F(JournalTest, CreatedAndDeletedItemsAreSkipped) {
    Design(2);
    AltPush();
    int32_t dead = Put(3, 30);
    Flag(dead, kAltCreated | kAltDeleted);
    Flag(Put(4, 40), kAltCreated);
    AltPop(true);
    EXPECT_EQ(Tags(), (V{1, 2, 40})); // the live record took index 3
    AltUndo();
    AltPop(true);
    EXPECT_EQ(Tags(), (V{1, 2}));
    AltUndo();
    AltPop(true);
    EXPECT_EQ(Tags(), (V{1, 2, 40}));
}

TEST_F(JournalTest, DepthLimit) {
    Design(0);
    for (int i = 0; i < 2001; ++i)
        AltPush();
    EXPECT_EQ(AltDepth(), 2001);
    EXPECT_FATAL(AltPush(), 5255001);
    AltAdjustDepth(0);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_FATAL(AltPop(true), 5255002);
}

std::vector<std::string> g_traces;

TEST_F(JournalTest, VerboseTraces) {
    Design(2);
    DebugSetFlags(1, 0);
    DebugSetTraceReceiver([](const char* t) { g_traces.push_back(t); });
    g_traces.clear();
    AltPush();
    AltPush();
    Put(1, 10);
    Put(2, 20);
    AltPop(true);
    AltPop(true);
    ASSERT_EQ(g_traces.size(), 2u);
    EXPECT_EQ(g_traces[0], "AltPush: initialized");
    EXPECT_EQ(g_traces[1], "altInstall: 2 items in list at depth 1");
    EXPECT_EQ(Tags(), (V{10, 20}));
}

TEST_F(JournalTest, PutAndItemChecks) {
    Design(3);
    Table23 r = Rec(1);
    EXPECT_FATAL(AltPut(kRecTable23, 1, 0, &r), 5255048);
    AltPush();
    EXPECT_EQ(AltPut(kRecTable23, 1, 7, &r), 1);
    EXPECT_FATAL(AltPut(kRecTable23, 1, 8, &r), 5255058);
    AltItemHeader h;
    EXPECT_FATAL(AltGet(0, &h, &r), 5255030);
    EXPECT_FATAL(AltGet(2, &h, &r), 5255030);
    EXPECT_FATAL(AltItemGet(2, &h, &r), 5255030);

    AltGet(1, &h, &r);
    EXPECT_EQ(h.key, 7);
    AltItemHeader bad = h;
    bad.index = 2;
    EXPECT_FATAL(AltItemPut(&bad, &r), 5255060);
    bad = h;
    bad.type = kRecComponent;
    EXPECT_FATAL(AltItemPut(&bad, &r), 5255060);
    bad = h;
    bad.key = 9;
    EXPECT_FATAL(AltItemPut(&bad, &r), 5255058);
    // With 0x100 the key may change; the bit itself is not kept, the
    // callers' bits and words are.
    bad.flags = kAltKeyMayChange | 0x0204;
    bad.word1 = 11;
    bad.word2 = -12;
    AltItemPut(&bad, &r);
    AltGet(1, &h, &r);
    EXPECT_EQ(h.key, 9);
    EXPECT_EQ(h.flags, 0x0204);
    EXPECT_EQ(h.word1, 11);
    EXPECT_EQ(h.word2, -12);
    EXPECT_EQ(AltPut(kRecTable23, 1, 9, &r), 1);
}

TEST_F(JournalTest, ImagesUpToAFullSymbolAreKept) {
    Design(0);
    auto sym = std::make_unique<Symbol>();
    DbRecInit(kRecSymbol, sym.get(), 1);
    sym->info.pinCount = kMaxPins;
    sym->pin[kMaxPins].x = 77;
    AltPush();
    AltPut(kRecSymbol, 1, 0, sym.get());
    auto back = std::make_unique<Symbol>();
    EXPECT_TRUE(AltSave(kRecSymbol, 1, back.get()));
    EXPECT_EQ(std::memcmp(back.get(), sym.get(), sizeof(Symbol)), 0);
    sym->info.pinCount = kMaxPins + 1; // 38,464 bytes
    EXPECT_FATAL(AltPut(kRecSymbol, 2, 0, sym.get()), 5255020);
    sym->info.pinCount = -4;
    EXPECT_FATAL(AltPut(kRecSymbol, 2, 0, sym.get()), 5255020);
}

TEST_F(JournalTest, ItemGetGivesTheImageBeforeTheCurrentLevel) {
    Design(3);
    AltPush();
    Put(1, 10);
    int32_t created = Put(4, 40);
    Flag(created, kAltCreated);
    AltPush();
    Put(1, 11);
    AltItemHeader h;
    Table23 r;
    EXPECT_TRUE(AltItemGet(1, &h, &r)); // the older state
    EXPECT_EQ(r.value4, 10);
    EXPECT_EQ(h.type, kRecTable23);
    EXPECT_FALSE(AltItemGet(created, &h, &r)); // created, nothing older
    EXPECT_EQ(h.type, 0);
    AltPop(false);
    AltPush();
    EXPECT_TRUE(AltItemGet(1, &h, &r)); // no older state: the table's record
    EXPECT_EQ(r.value4, 1);
}

TEST_F(JournalTest, RejectRestoresTheItemFlags) {
    Design(3);
    AltPush();
    int32_t id = Put(2, 20);
    AltPush();
    Flag(id, kAltDeleted);
    AltPop(false);
    AltItemHeader h;
    Table23 r;
    AltGet(id, &h, &r);
    EXPECT_EQ(h.flags, 0);
    AltPop(true);
    EXPECT_EQ(Tags(), (V{1, 20, 3}));
}

TEST_F(JournalTest, ItemsAreReadInAnyOrder) {
    Design(5);
    AltPush();
    for (int32_t i = 1; i <= 5; ++i)
        Put(i, 10 * i);
    AltItemHeader h;
    Table23 r;
    for (int32_t n : {3, 4, 1, 5, 2, 2, 1}) {
        AltGet(n, &h, &r);
        EXPECT_EQ(h.id, n);
        EXPECT_EQ(r.value4, 10 * n);
    }
    EXPECT_EQ(AltFindType(kRecTable23), 1);
    EXPECT_EQ(AltFindType(kRecNet), 0);
    AltFlagAll(0x10);
    AltGet(4, &h, &r);
    EXPECT_EQ(h.flags, 0x10);
    AltPop(false);
    EXPECT_EQ(AltFindType(kRecTable23), 0);
}

TEST_F(JournalTest, RenumberingFollowsIndexesAndLookups) {
    Design(3);
    AltPush();
    Put(3, 30);
    const int16_t map[] = {0, 1, 3, 2};
    AltRenumber(kRecTable23, map, 3);
    EXPECT_EQ(Seen(2), 30);
    EXPECT_EQ(Seen(3), 3);
    Put(2, 31); // reaches the same item
    EXPECT_EQ(AltCount(), 1);
}

const void* g_tableComp = nullptr;

TEST_F(JournalTest, RefReadsComponentsAndConnectionsOnly) {
    static Component stored{};
    stored.x = 5;
    g_tableComp = &stored;
    DbModuleOps comp;
    comp.ref = [](int32_t) { return g_tableComp; };
    comp.get = [](int32_t, void* out) { std::memcpy(out, g_tableComp, sizeof(Component)); };
    DbRegisterModule(kRecComponent, comp);
    Design(1);
    EXPECT_EQ(AltRef(kRecComponent, 1), &stored);
    AltPush();
    Component c{};
    c.x = 9;
    AltPut(kRecComponent, 1, 0, &c);
    const auto* seen = static_cast<const Component*>(AltRef(kRecComponent, 1));
    EXPECT_NE(seen, &stored);
    EXPECT_EQ(seen->x, 9);
    EXPECT_FATAL(AltRef(kRecTable23, 1), 5255050);
    EXPECT_FATAL(AltRef(kRecNet, 1), 5255050);
}

TEST_F(JournalTest, AttributesAreFoundByKeyPreferringTheJournal) {
    DbModuleOps attr;
    attr.get = [](int32_t, void* out) {
        auto* a = static_cast<Attribute*>(out);
        if (a->kind == 7 && a->key1Type == 10 && a->key1 == 1) a->value1 = 5;
    };
    DbRegisterModule(kRecAttribute, attr);
    Design(0);
    Attribute a{};
    EXPECT_TRUE(AltAttrFind(7, 10, 1, 0, &a));
    EXPECT_EQ(a.value1, 5);
    EXPECT_FALSE(AltAttrFind(7, 10, 2, 0, &a));
    EXPECT_EQ(a.key1, 2);
    AltPush();
    Attribute j{};
    j.kind = 7;
    j.key1Type = 10;
    j.key1 = 2;
    j.value3 = 9;
    AltPut(kRecAttribute, 1, 0, &j);
    EXPECT_TRUE(AltAttrFind(7, 10, 2, 0, &a));
    EXPECT_EQ(a.value3, 9);
    j.value3 = 0;
    AltPut(kRecAttribute, 1, 0, &j);
    EXPECT_FALSE(AltAttrFind(7, 10, 2, 0, &a));
}

TEST_F(JournalTest, ExpectAltBringsTheDepthToTheExpectedOne) {
    Design(3);
    AltPush();
    Put(1, 10);
    AltPush();
    AltPush();
    Put(2, 20);
    ExpectAlt(1234, 0);
    EXPECT_EQ(AltDepth(), 0);
    EXPECT_EQ(Tags(), (V{1, 2, 3}));
    AltPush();
    ExpectAlt(1234, 3);
    EXPECT_EQ(AltDepth(), 3);
    DebugSetFlags(0, 1);
    EXPECT_FATAL(ExpectAlt(1234, 0), 1234);
}

TEST_F(JournalTest, ManyPutsInOneJournal) {
    Design(0);
    AltPush();
    constexpr int32_t kItems = 30000;
    for (int32_t i = 1; i <= kItems; ++i)
        Put(i, i);
    EXPECT_EQ(AltCount(), kItems);
    for (int32_t round = 0; round < 2000; ++round) {
        AltPush();
        int32_t i = 1 + (round * 7919) % kItems;
        Put(i, -i);
        EXPECT_EQ(Seen(i), -i);
        AltPop(round % 2 == 0);
    }
    int32_t changed = 0;
    for (int32_t i = 1; i <= kItems; ++i)
        changed += Seen(i) == -i;
    EXPECT_GT(changed, 900);
    EXPECT_EQ(AltCount(), kItems);
    AltPop(false);
}

// ---- randomised comparison with a plain model ----------------------------------------

struct MItem {
    int32_t index;
    Table23 image;
    uint16_t flags;
};

bool Dead(const MItem& m) {
    return (m.flags & 3) == 3;
}

// The model: the table, and for every open level the items as that level
// sees them.
struct Model {
    std::vector<Table23> table; // table[0] unused
    std::vector<std::vector<MItem>> levels;
    std::vector<MItem> committed; // the last committed journal

    int32_t Count() const { return int32_t(table.size()) - 1; }
    std::vector<MItem>& Top() { return levels.back(); }
    MItem* Find(int32_t index) {
        MItem* dead = nullptr;
        for (MItem& m : Top())
            if (m.index == index) {
                if (!Dead(m)) return &m;
                if (!dead) dead = &m;
            }
        return dead;
    }
    void Push() {
        if (levels.empty()) committed.clear();
        levels.push_back(levels.empty() ? std::vector<MItem>{} : Top());
    }
    void Put(int32_t index, const Table23& r) {
        if (MItem* m = Find(index))
            m->image = r;
        else
            Top().push_back({index, r, 0});
    }
    void Reject() {
        levels.pop_back();
        if (levels.empty()) committed.clear();
    }
    void Commit() {
        std::vector<MItem> top = Top();
        levels.pop_back();
        if (!levels.empty()) {
            Top() = top;
            return;
        }
        Install(top);
    }
    void Install(std::vector<MItem> items) {
        std::vector<MItem*> order;
        for (MItem& m : items)
            order.push_back(&m);
        std::stable_sort(order.begin(), order.end(), [](const MItem* a, const MItem* b) {
            bool ad = a->flags & 2, bd = b->flags & 2;
            if (ad != bd) return !ad;
            return ad ? a->index > b->index : a->index < b->index;
        });
        for (MItem* m : order) {
            if (Dead(*m)) continue;
            if (m->flags & 1) {
                table.push_back(m->image);
                m->index = Count();
            } else if (m->flags & 2) {
                int32_t old = Count(), n = m->index;
                m->image = table[size_t(n)];
                table.erase(table.begin() + n);
                for (MItem& o : items)
                    if (o.index >= 1 && o.index <= old)
                        o.index = o.index == n ? old : (o.index > n ? o.index - 1 : o.index);
            } else {
                std::swap(table[size_t(m->index)], m->image);
            }
        }
        committed = items;
    }
    void Undo() {
        for (MItem& m : committed)
            if ((m.flags & 3) == 1 || (m.flags & 3) == 2) m.flags ^= 3;
        levels.push_back(committed);
    }
};

bool Same(const Table23& a, const Table23& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(JournalTest, RandomisedAgainstAModel) {
    Design(0);
    Model model;
    model.table.resize(1);
    std::mt19937 rng(20261210);
    auto pick = [&rng](int32_t n) { return int32_t(rng() % uint32_t(n)); };
    int32_t tag = 1;
    auto fresh = [&] {
        Table23 r = Rec(tag++);
        r.word12 = int16_t(pick(30000));
        return r;
    };
    // Start with a few records, committed through the journal.
    AltPush();
    model.Push();
    for (int32_t i = 1; i <= 6; ++i) {
        Table23 r = fresh();
        Flag(AltPut(kRecTable23, i, 0, &r), kAltCreated);
        model.Put(i, r);
        model.Find(i)->flags |= kAltCreated;
    }
    AltPop(true);
    model.Commit();

    int32_t undos = 0, commits = 0, rejects = 0;
    for (int32_t step = 0; step < 4000; ++step) {
        int32_t depth = int32_t(model.levels.size());
        ASSERT_EQ(AltDepth(), depth);
        int32_t op = pick(100);
        SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
        if (depth == 0) {
            if (op < 15 && AltCanUndo()) {
                ++undos;
                AltUndo();
                model.Undo();
            } else {
                AltPush();
                model.Push();
            }
        } else if (op < 12 && depth < 5) {
            AltPush();
            model.Push();
        } else if (op < 45) { // change a record or an item
            int32_t count = model.Count() + int32_t(model.Top().size());
            int32_t index = 1 + pick(std::max(count, 1));
            if (index > model.Count() && !model.Find(index)) continue;
            Table23 r = fresh();
            int32_t id = AltPut(kRecTable23, index, 0, &r);
            ASSERT_EQ(id >= 1 && id <= AltCount(), true);
            model.Put(index, r);
        } else if (op < 58) { // create: a put beyond the count, then the flag
            if (model.Count() + int32_t(model.Top().size()) > 300) continue;
            int32_t index = model.Count() + 1;
            while (model.Find(index))
                ++index;
            Table23 r = fresh();
            Flag(AltPut(kRecTable23, index, 0, &r), kAltCreated);
            model.Put(index, r);
            model.Find(index)->flags |= kAltCreated;
        } else if (op < 70) { // delete a record or a created one
            std::vector<int32_t> candidates;
            for (int32_t i = 1; i <= model.Count(); ++i)
                candidates.push_back(i);
            for (const MItem& m : model.Top())
                if (m.index > model.Count() && !Dead(m)) candidates.push_back(m.index);
            if (candidates.empty()) continue;
            int32_t index = candidates[size_t(pick(int32_t(candidates.size())))];
            MItem* m = model.Find(index);
            if (m && (m->flags & kAltDeleted)) continue;
            Table23 r;
            AltSave(kRecTable23, index, &r);
            Flag(AltPut(kRecTable23, index, 0, &r), kAltDeleted);
            model.Put(index, r);
            model.Find(index)->flags |= kAltDeleted;
        } else if (op < 82) {
            ++rejects;
            AltPop(false);
            model.Reject();
        } else {
            ++commits;
            AltPop(true);
            model.Commit();
        }

        // Compare.
        depth = int32_t(model.levels.size());
        ASSERT_EQ(AltDepth(), depth);
        ASSERT_EQ(AltCanUndo(), depth == 0 && !model.committed.empty());
        if (depth == 0) {
            ASSERT_EQ(Table23Count(), model.Count());
            for (int32_t i = 1; i <= model.Count(); ++i) {
                Table23 r;
                Table23Get(i, &r);
                ASSERT_TRUE(Same(r, model.table[size_t(i)])) << "record " << i;
            }
            continue;
        }
        ASSERT_EQ(AltCount(), int32_t(model.Top().size()));
        for (int32_t i = 1; i <= model.Count(); ++i) {
            Table23 r;
            MItem* m = model.Find(i);
            ASSERT_EQ(AltSave(kRecTable23, i, &r), m != nullptr) << "index " << i;
            ASSERT_TRUE(Same(r, m ? m->image : model.table[size_t(i)])) << "index " << i;
        }
        for (const MItem& m : model.Top()) {
            if (m.index <= model.Count()) continue;
            Table23 r;
            ASSERT_TRUE(AltSave(kRecTable23, m.index, &r));
            ASSERT_TRUE(Same(r, model.Find(m.index)->image));
        }
    }
    EXPECT_GT(undos, 20);
    EXPECT_GT(commits, 200);
    EXPECT_GT(rejects, 200);
}

} // namespace
