// Chain ordering of a net's copper and the writing back of its chains as
// connections. The node lists it reads are kept in nodelists.cpp, loose
// copper is given to nets in loosecopper.cpp, and the chains are joined into
// trees in chaintree.cpp.
//
// Orientation: along a chain (and along an open end's way back to its
// start) every segment node runs from its first point to its second point,
// so the second point of a node is where the next one begins. An open end of
// the ring has its free end in its first point.
#include "db/chains.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

#include "db/altjournal.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbheader.h"
#include "db/err.h"
#include "db/geom.h"
#include "db/layers.h"
#include "db/nets.h"
#include "db/packages.h"
#include "db/paddist.h"
#include "db/pool.h"
#include "db/symbols.h"
#include "db/thru.h"

namespace {

enum : ErrCode {
    kErrConvertNet = 5234019,
    kErrTooFewWritten = 5234020,
    kErrNoListsTake = 5234077,
    kErrNoListsReturn = 5234057,
    kErrFreeKind = 5234079,
    kErrFreeKindGrow = 5234042,
    kErrChainMemory = 5234021,
    kErrViaShape = 5236038,
    kErrSavedIndex = 5265999,
    kErrSavedType = 5265590,
    kErrSavedDeleted = 5265591,
    kErrSavedNet = 5265592,
    kErrSavedTooFew = 5265028,
    kErrSavedNewDeleted = 5265101,
    kErrSavedCheckDeleted = 5265596,
    kErrSavedCheckCreated = 5265597,
    kErrSavedCheckNet = 5265598,
    kErrSavedWritten = 5265020,
};

constexpr uint16_t kLayerExcluded = 0x26;
constexpr uint16_t kAltCallerConverted = 0x0080;

bool g_keepAll = false;

// ---- chain ordering state ---------------------------------------------------------

chains::State g_state;
std::unordered_set<uint32_t> g_seenPins; // pins already in some chain
NetNode* g_list0Pins = nullptr;          // pins of list 0 set aside while ordering

uint32_t PinKey(int32_t comp, int32_t pin) {
    return (uint32_t(uint16_t(comp)) << 16) | uint16_t(pin);
}

NetNode* NewPinNode(int32_t comp, int32_t pin) {
    NetNode* n = chains::NewNode();
    n->kind = kNodePin;
    n->compOrLayer = uint16_t(comp);
    n->pinOrWidth = int16_t(pin);
    chains::PinPlace(n);
    return n;
}

NetNode* NewSegNode(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t layer, int32_t width) {
    NetNode* n = chains::NewNode();
    n->kind = kNodeSegment;
    n->x1 = x1;
    n->y1 = y1;
    n->x2 = x2;
    n->y2 = y2;
    n->compOrLayer = uint16_t(layer & 0xFF);
    n->pinOrWidth = int16_t(width);
    n->layerMask = 1;
    return n;
}

void ChainPush(NetNode* head) {
    head->next = g_state.chainList;
    g_state.chainList = head;
    if (head->kind == kNodePin) ++g_state.pinChains;
}

void RingPushBack(NetNode* n) {
    n->next = nullptr;
    if (g_state.ringTail)
        g_state.ringTail->next = n;
    else
        g_state.ring = n;
    g_state.ringTail = n;
}

void RingRemove(NetNode* n) {
    NetNode** at = &g_state.ring;
    NetNode* prev = nullptr;
    while (*at && *at != n) {
        prev = *at;
        at = &(*at)->next;
    }
    if (!*at) return;
    *at = n->next;
    if (g_state.ringTail == n) g_state.ringTail = prev;
    n->next = nullptr;
}

// Exchanges a segment's points (arc centre stays).
void Turn(NetNode* n) {
    std::swap(n->x1, n->x2);
    std::swap(n->y1, n->y2);
}

// Copies of the way from `from` back along its links to its start, each
// turned, in reverse order; the copy of `from` links to tail. Answers the
// copy of the start.
NetNode* ReverseCopyAll(NetNode* from, NetNode* tail) {
    NetNode* link = tail;
    for (NetNode* p = from; p; p = p->link) {
        NetNode* c = chains::TurnedCopy(p);
        c->link = link;
        link = c;
    }
    return link;
}

// ---- forming chains from nodes -------------------------------------------------------

bool EndAt(const NetNode* n, int32_t x, int32_t y) {
    return n->x1 == x && n->y1 == y;
}

// One step of the ring: closes, grows or finishes its first end.
void RingStep() {
    chains::State& s = g_state;
    NetNode* e = s.ring;
    bool closed = false, grew = false;
    // 1. Ends that meet E close with it into one chain.
    for (NetNode* o = s.ring->next; o;) {
        NetNode* after = o->next;
        if (EndAt(o, e->x1, e->y1) && chains::NodesTouch(e, o)) {
            RingRemove(o);
            ChainPush(ReverseCopyAll(e, o));
            closed = true;
        }
        o = after;
    }
    // 2. E grows into the free nodes that touch its end.
    uint8_t want = e->kind == kNodeSegment ? kNodeVia : kNodeSegment;
    for (;;) {
        bool found = false;
        NetNode** at = &s.freeList;
        while (*at) {
            NetNode* f = *at;
            if (f->kind != kNodeSegment && f->kind != kNodeVia)
                ErrReport(kErrFreeKindGrow, f->kind);
            // The points first: they rule out almost every node cheaply.
            bool atSecond = f->kind == kNodeSegment && f->x2 == e->x1 && f->y2 == e->y1;
            bool atFirst = EndAt(f, e->x1, e->y1);
            bool hit = f->kind == want && (atFirst || atSecond) && chains::NodesTouch(e, f);
            if (hit && !atSecond && f->kind == kNodeSegment) Turn(f);
            if (!hit) {
                at = &f->next;
                continue;
            }
            *at = f->next;
            f->link = e;
            RingPushBack(f);
            found = grew = true;
        }
        if (!found && want == kNodeSegment) break;
        want = want == kNodeSegment ? kNodeVia : kNodeSegment;
    }
    // 3. Nothing touched: a pad may still reach a free end nearby.
    if (!closed && !grew) {
        NetNode* made = nullptr;
        for (NetNode* f = s.freeList; f && !made; f = f->next) {
            if (f->kind != kNodeSegment && f->kind != kNodeVia) ErrReport(kErrFreeKind, f->kind);
            if (e->kind == kNodePin || e->kind == kNodeVia) {
                int32_t layer = chains::NodeLayer(f);
                if (f->kind != kNodeSegment || layer == 0) continue;
                if (!PadstackOnLayer(e->padstack, layer)) continue;
                const int32_t ends[2][2] = {{f->x1, f->y1}, {f->x2, f->y2}};
                for (const auto& p : ends) {
                    bool reach =
                        e->kind == kNodePin
                            ? PtPadDist(e->compOrLayer, e->pinOrWidth, layer, p[0], p[1]) < 1
                            : ViaPadTouch(e->padstack, e->x1, e->y1, layer, p[0], p[1]) != 0;
                    if (reach) {
                        made = NewSegNode(p[0], p[1], e->x1, e->y1, layer, f->pinOrWidth);
                        break;
                    }
                }
            } else if (f->kind == kNodeVia) {
                int32_t layer = chains::NodeLayer(e);
                if (layer == 0 || !PadstackOnLayer(f->padstack, layer)) continue;
                if (ViaPadTouch(f->padstack, f->x1, f->y1, layer, e->x1, e->y1))
                    made = NewSegNode(f->x1, f->y1, e->x1, e->y1, layer, e->pinOrWidth);
            }
        }
        if (made) {
            made->link = e;
            RingPushBack(made);
            grew = true;
        }
    }
    // 4. E leaves the ring; an end that went nowhere finishes its chain.
    RingRemove(e);
    if (!closed && !grew) {
        ChainPush(e);
    }
}

// ---- converting connections --------------------------------------------------------------

bool Seen(int32_t comp, int32_t pin) {
    return g_seenPins.count(PinKey(comp, pin)) != 0;
}
void MarkSeen(int32_t comp, int32_t pin) {
    g_seenPins.insert(PinKey(comp, pin));
}

void LonePin(int32_t comp, int32_t pin) {
    ChainPush(NewPinNode(comp, pin));
    MarkSeen(comp, pin);
    ++g_state.newPins;
}

// Turns one connection into a chain. `widen` stores the net again when the
// segment widths widen it.
void ConvertOne(Conn* r, bool widen) {
    ConnHead& h = r->head;
    if (h.net < 1 || h.net > NetCount()) ErrReport(kErrConvertNet, h.net);
    int32_t count = h.count;
    bool firstGap = count < 2 || r->crn[0].layer == 0;
    bool lastGap = count < 2 || r->crn[count - 2].layer == 0;
    bool fromNew = h.fromComp != 0 && !Seen(h.fromComp, h.fromPin);
    bool toNew = h.toComp != 0 && !Seen(h.toComp, h.toPin);
    if (firstGap && fromNew) LonePin(h.fromComp, h.fromPin);
    if (lastGap && toNew) LonePin(h.toComp, h.toPin);
    if (firstGap && lastGap) return;
    if (firstGap) {
        ConnReverse(r);
        std::swap(firstGap, lastGap);
    }
    // A routed connection that leaves a free end toward a pin is turned so
    // that its chain starts at the pin; with two free ends it is dropped.
    if (h.fromComp == 0) {
        if (h.toComp == 0 || lastGap) return;
        ConnReverse(r);
    }
    bool bothRouted = !firstGap && !lastGap;
    NetNode* head = NewPinNode(h.fromComp, h.fromPin);
    MarkSeen(h.fromComp, h.fromPin);
    NetNode* tail = head;
    auto append = [&](NetNode* n) {
        tail->link = n;
        tail = n;
    };
    Net net;
    NetGet(h.net, &net);
    bool changed = false;
    bool complete = true;
    for (int32_t i = 0; i + 1 < count; ++i) {
        const Crn& c = r->crn[i];
        if (c.layer == 0 && c.via == 0 && !bothRouted) {
            complete = false;
            break;
        }
        changed = chains::WidenNet(&net, c.width) || changed;
        if (c.via != 0) {
            NetNode* v = chains::NewNode();
            v->kind = kNodeVia;
            v->x1 = v->x2 = c.x;
            v->y1 = v->y2 = c.y;
            v->padstack = c.via;
            v->layerMask = 1;
            append(v);
        }
        if (i + 2 < count && (r->crn[i + 1].flags & kCrnArc) && c.layer != 0) {
            const Crn& m = r->crn[i + 1];
            const Crn& e = r->crn[i + 2];
            NetNode* a = NewSegNode(c.x, c.y, e.x, e.y, c.layer, c.width);
            a->x3 = m.x;
            a->y3 = m.y;
            a->flags = uint16_t(c.flags | kCrnArc);
            append(a);
            ++i;
            continue;
        }
        NetNode* seg = NewSegNode(c.x, c.y, r->crn[i + 1].x, r->crn[i + 1].y, c.layer, c.width);
        seg->flags = c.flags;
        append(seg);
    }
    if (complete) {
        const Crn& last = r->crn[count - 1];
        if (last.via != 0) {
            NetNode* v = chains::NewNode();
            v->kind = kNodeVia;
            v->x1 = v->x2 = last.x;
            v->y1 = v->y2 = last.y;
            v->padstack = last.via;
            v->layerMask = 1;
            append(v);
        }
        if (h.toComp != 0) {
            append(NewPinNode(h.toComp, h.toPin));
            MarkSeen(h.toComp, h.toPin);
        }
    }
    ChainPush(head);
    if (widen && changed) NetPut(h.net, &net);
}

// ---- writing chains back ----------------------------------------------------------------

bool IsGap(const NetNode* n) {
    return n->kind == kNodeSegment && chains::NodeLayer(n) == 0;
}

bool StartsWithGap(const NetNode* head) {
    return head->link && IsGap(head->link);
}

bool HasGap(const NetNode* head) {
    for (const NetNode* n = head->link; n && n->kind != kNodePin; n = n->link)
        if (IsGap(n)) return true;
    return false;
}

// The chain from its head to its far pin as a sequence of nodes.
std::vector<NetNode*> ChainNodes(NetNode* head) {
    std::vector<NetNode*> out{head};
    for (NetNode* n = head->link; n; n = n->link) {
        out.push_back(n);
        if (n->kind == kNodePin) break;
    }
    return out;
}

// Splices two chains between the same pins, both with gaps: the copper of
// `a` up to its first gap, a new gap, then the copper of `b` next to the far
// pin.
NetNode* Splice(NetNode* a, NetNode* b) {
    std::vector<NetNode*> bn = ChainNodes(b);
    if (!chains::SamePin(b, a)) std::reverse(bn.begin(), bn.end());
    // Oriented from a's head pin to its far pin: b's part after its last gap.
    size_t lastGap = 0;
    for (size_t i = 0; i < bn.size(); ++i)
        if (IsGap(bn[i])) lastGap = i;
    bool turned = !chains::SamePin(b, a);
    std::vector<NetNode*> tailNodes;
    for (size_t i = lastGap + 1; i < bn.size(); ++i)
        tailNodes.push_back(turned ? chains::TurnedCopy(bn[i]) : chains::NewNode(bn[i]));
    for (size_t i = 0; i + 1 < tailNodes.size(); ++i)
        tailNodes[i]->link = tailNodes[i + 1];
    if (!tailNodes.empty()) tailNodes.back()->link = nullptr;
    NetNode* head = chains::NewNode(a);
    NetNode* tail = head;
    for (NetNode* n = a->link; n && !IsGap(n) && n->kind != kNodePin; n = n->link) {
        NetNode* c = chains::NewNode(n);
        tail->link = c;
        tail = c;
    }
    NetNode* first = tailNodes.empty() ? nullptr : tailNodes.front();
    int32_t yx = first ? first->x1 : tail->x2, yy = first ? first->y1 : tail->y2;
    NetNode* gap = NewSegNode(tail->x2, tail->y2, yx, yy, 0, g_state.gapWidth);
    tail->link = gap;
    gap->link = first;
    return head;
}

struct Writer {
    bool saved = false;
    int32_t written = 0;
};

void Store(Writer& w, std::vector<Crn>& crn, int32_t fromComp, int32_t fromPin, int32_t toComp,
           int32_t toPin, bool arc) {
    auto rec = std::make_unique<Conn>();
    int32_t index = 0;
    if (w.saved) {
        index = ConnCount() + AltCount() + 1;
        DbRecInit(kRecConn, rec.get(), index);
    } else {
        index = ConnAdd();
        std::memset(rec.get(), 0, sizeof(Conn));
    }
    ConnHead& h = rec->head;
    h.fromComp = int16_t(fromComp);
    h.fromPin = int16_t(fromPin);
    h.toComp = int16_t(toComp);
    h.toPin = int16_t(toPin);
    h.net = int16_t(g_state.net);
    if (arc) h.flags = uint16_t(h.flags | kConnArc);
    h.count = int16_t(crn.size());
    std::memcpy(rec->crn, crn.data(), crn.size() * sizeof(Crn));
    ++w.written;
    if (!w.saved) {
        ConnPut(index, rec.get());
        return;
    }
    int32_t id = AltPut(kRecConn, index, 0, rec.get());
    AltItemHeader hdr;
    auto image = std::make_unique<Conn>();
    AltGet(id, &hdr, image.get());
    if (hdr.flags & kAltDeleted) ErrReport(kErrSavedNewDeleted, id);
    hdr.flags = uint16_t(hdr.flags | kAltCreated);
    AltItemPut(&hdr, image.get());
}

// Writes one chain from its head pin to its far pin.
void WriteChain(Writer& w, NetNode* head, NetNode* far) {
    std::vector<Crn> crn;
    Crn c0{};
    c0.x = head->x1;
    c0.y = head->y1;
    crn.push_back(c0);
    bool arc = false;
    for (NetNode* n = head->link; n && n != far; n = n->link) {
        Crn& cur = crn.back();
        if (n->kind == kNodeVia) {
            cur.via = uint8_t(n->padstack);
            continue;
        }
        if (n->kind != kNodeSegment) continue;
        uint8_t lock = uint8_t(n->flags & kCrnLocked);
        cur.layer = uint8_t(chains::NodeLayer(n));
        cur.width = uint16_t(n->pinOrWidth);
        Crn next{};
        next.x = n->x2;
        next.y = n->y2;
        if (n->flags & kCrnArc) {
            cur.flags = uint8_t(cur.flags | kCrnLocked);
            Crn centre{};
            centre.x = n->x3;
            centre.y = n->y3;
            centre.layer = cur.layer;
            centre.width = cur.width;
            centre.flags = kCrnArc | kCrnLocked;
            crn.push_back(centre);
            next.flags = kCrnLocked;
            arc = true;
        } else {
            cur.flags = uint8_t(cur.flags | lock);
            next.flags = lock;
        }
        crn.push_back(next);
    }
    if (crn.size() == 1) {
        Crn end{};
        end.x = far->x1;
        end.y = far->y1;
        crn.push_back(end);
    }
    crn.back().layer = 0;
    crn.back().width = 0;
    // The first interior corner between two unrouted segments goes.
    for (size_t i = 1; i + 1 < crn.size(); ++i) {
        if (crn[i - 1].layer == 0 && crn[i].layer == 0) {
            uint16_t width = std::min(crn[i - 1].width, crn[i].width);
            crn.erase(crn.begin() + std::ptrdiff_t(i));
            crn[i - 1].width = width;
            break;
        }
    }
    // A chain longer than one connection is written in pieces joined at
    // free ends.
    size_t start = 0;
    while (crn.size() - start > size_t(kChainCornerLimit)) {
        size_t end = start + size_t(kChainCornerLimit) - 1;
        if (crn[end].flags & kCrnArc) --end; // never end a piece on an arc centre
        std::vector<Crn> piece(crn.begin() + std::ptrdiff_t(start),
                               crn.begin() + std::ptrdiff_t(end));
        Crn last = crn[end]; // a free end: no segment and no via leave it
        last.layer = 0;
        last.width = 0;
        last.via = 0;
        piece.push_back(last);
        bool pieceArc = false;
        for (const Crn& c : piece)
            pieceArc = pieceArc || (c.flags & kCrnArc);
        Store(w, piece, start == 0 ? head->compOrLayer : 0, start == 0 ? head->pinOrWidth : 0, 0, 0,
              pieceArc);
        start = end;
    }
    std::vector<Crn> rest(crn.begin() + std::ptrdiff_t(start), crn.end());
    bool restArc = arc;
    if (start != 0) {
        restArc = false;
        for (const Crn& c : rest)
            restArc = restArc || (c.flags & kCrnArc);
    }
    Store(w, rest, start == 0 ? head->compOrLayer : 0, start == 0 ? head->pinOrWidth : 0,
          far->compOrLayer, far->pinOrWidth, restArc);
}

void TreeRemove(NetNode* chain) {
    for (NetNode** at = &g_state.treeList; *at; at = &(*at)->next)
        if (*at == chain) {
            *at = chain->next;
            return;
        }
}

void WriteTree(Writer& w, bool keepAll) {
    for (NetNode* c = g_state.treeList; c; c = c->next) {
        if (c->kind != kNodePin) continue;
        NetNode* far = chains::FarPin(c);
        if (!far) continue;
        if (chains::SamePin(c, far) && !keepAll) continue;
        NetNode* chain = c;
        bool write = true;
        for (NetNode* l = c->next; l;) {
            NetNode* after = l->next;
            NetNode* lf = l->kind == kNodePin ? chains::FarPin(l) : nullptr;
            bool same = lf && ((chains::SamePin(c, l) && chains::SamePin(far, lf)) ||
                               (chains::SamePin(c, lf) && chains::SamePin(far, l)));
            if (!same) {
                l = after;
                continue;
            }
            bool cGap = StartsWithGap(chain), lGap = StartsWithGap(l);
            if (cGap && !lGap) {
                write = false;
                break;
            }
            if (lGap) {
                TreeRemove(l);
            } else if (HasGap(l)) {
                TreeRemove(l);
                if (HasGap(chain)) chain = Splice(chain, l);
            } else if (!keepAll) {
                write = false;
                break;
            }
            l = after;
        }
        if (write) WriteChain(w, chain, chains::FarPin(chain));
    }
}

// ---- the node lists of a net in ordering ------------------------------------------------

// Takes the net's list apart: pins into the ring, all else (and the copper
// of list 0) into the free-node list. Answers the number of pins.
int32_t TakeLists(int32_t net) {
    if (!NetNodeListsExist()) ErrReport(kErrNoListsTake, net);
    chains::State& s = g_state;
    int32_t pins = 0;
    {
        NetNode* n = chains::ListTake(net);
        while (n) {
            NetNode* after = n->next;
            n->link = nullptr;
            if (n->kind == kNodePin) {
                chains::PinPlace(n);
                RingPushBack(n);
                ++pins;
            } else {
                n->next = s.freeList;
                s.freeList = n;
            }
            n = after;
        }
    }
    NetNode* n = chains::ListTake(0);
    while (n) {
        NetNode* after = n->next;
        n->link = nullptr;
        if (n->kind == kNodePin) {
            n->next = g_list0Pins;
            g_list0Pins = n;
        } else {
            n->next = s.freeList;
            s.freeList = n;
        }
        n = after;
    }
    return pins;
}

// Unused copper of list 0 (and its pins) goes back to list 0.
void ReturnList0() {
    if (!NetNodeListsExist()) ErrReport(kErrNoListsReturn, 0);
    for (NetNode* n = g_state.freeList; n;) {
        NetNode* after = n->next;
        if (n->freeMark) chains::ListPush(0, n);
        n = after;
    }
    g_state.freeList = nullptr;
    for (NetNode* n = g_list0Pins; n;) {
        NetNode* after = n->next;
        chains::ListPush(0, n);
        n = after;
    }
    g_list0Pins = nullptr;
}

void ResetState(int32_t net, const Net* rec) {
    PoolReset(kPoolChains);
    g_state = chains::State();
    g_state.net = net;
    g_state.gapWidth = rec->width ? rec->width : (rec->minWidth ? rec->minWidth : rec->maxWidth);
    g_seenPins.clear();
    g_list0Pins = nullptr;
}

void BuildAnyTree(int32_t net, uint8_t netType) {
    bool lone = false;
    for (NetNode* c = g_state.chainList; c; c = c->next)
        lone = lone || chains::IsLonePin(c);
    if ((netType & 0x40) && lone)
        BuildECLTree(net);
    else
        BuildTree(net);
}

void OrderNet(int32_t net, bool useLists, Writer& w) {
    Net rec;
    NetGet(net, &rec);
    ResetState(net, &rec);
    bool lists = useLists && NetNodeListsExist();
    if (lists) {
        int32_t pins = TakeLists(net);
        if (pins >= 2) {
            while (g_state.ring)
                RingStep();
        } else {
            // Fewer than two pins: the net's own nodes are dropped.
            g_state.ring = g_state.ringTail = nullptr;
        }
        if (pins >= 2) {
            ChainDump("initial list");
            BuildAnyTree(net, rec.netType);
            ChainDump("final lists");
            WriteTree(w, g_keepAll);
        }
        ReturnList0();
    } else {
        netConvertChains(net);
        BuildAnyTree(net, rec.netType);
        ChainDump("final lists");
        WriteTree(w, g_keepAll);
    }
}

} // namespace

// ---- shared helpers ------------------------------------------------------------------------

namespace chains {

State& St() {
    return g_state;
}

NetNode* NewNode(const NetNode* from) {
    NetNode* n = chains::AllocNode(kPoolChains, kErrChainMemory);
    if (from) {
        *n = *from;
        n->next = nullptr;
        n->link = nullptr;
        n->freeMark = 0;
    }
    return n;
}

NetNode* TurnedCopy(const NetNode* n) {
    NetNode* c = NewNode(n);
    Turn(c);
    return c;
}

int32_t NodeLayer(const NetNode* n) {
    return n->kind == kNodeSegment ? (n->compOrLayer & 0xFF) : 0;
}

bool IsPin(const NetNode* n) {
    return n && n->kind == kNodePin;
}

bool SamePin(const NetNode* a, const NetNode* b) {
    return IsPin(a) && IsPin(b) && a->compOrLayer == b->compOrLayer &&
           a->pinOrWidth == b->pinOrWidth;
}

bool NodesTouch(const NetNode* a, const NetNode* b) {
    if (a->kind != kNodeSegment) std::swap(a, b);
    if (a->kind != kNodeSegment) return false; // two pins or vias never touch directly
    int32_t layer = NodeLayer(a);
    if (b->kind == kNodeSegment) return NodeLayer(b) == layer;
    if (layer < 1 || layer > LayerCount()) return false;
    if (b->padstack < 1 || b->padstack > ThruCount()) return false;
    return PadstackOnLayer(b->padstack, layer);
}

NetNode* FarPin(const NetNode* head) {
    for (NetNode* n = head->link; n; n = n->link)
        if (n->kind == kNodePin) return n;
    return nullptr;
}

NetNode* ChainLast(NetNode* head) {
    while (head->link)
        head = head->link;
    return head;
}

int32_t ChainLength(const NetNode* head) {
    int32_t k = 0;
    for (; head; head = head->link)
        ++k;
    return k;
}

bool IsLonePin(const NetNode* head) {
    return head->kind == kNodePin && head->link == nullptr;
}

void TreeAppend(NetNode* head) {
    head->next = nullptr;
    NetNode** at = &g_state.treeList;
    while (*at)
        at = &(*at)->next;
    *at = head;
}

void ChainListRemove(NetNode* head) {
    for (NetNode** at = &g_state.chainList; *at; at = &(*at)->next)
        if (*at == head) {
            *at = head->next;
            head->next = nullptr;
            if (IsPin(head)) --g_state.pinChains;
            return;
        }
}

void PinPlace(NetNode* n) {
    int32_t comp = n->compOrLayer, pin = n->pinOrWidth;
    if (comp < 1 || comp > CompCount()) return;
    const Component* c = CompRef(comp);
    PlacedPin placed;
    CompPinXY(comp, pin, &placed);
    n->x1 = n->x2 = placed.x;
    n->y1 = n->y2 = placed.y;
    int32_t thru = c->symbol >= 1 ? placed.thru : 0;
    n->padstack = uint16_t(thru);
    uint32_t mask = 0;
    if (thru >= 1 && thru <= ThruCount())
        for (int32_t l = 1; l <= LayerCount() && l <= 32; ++l)
            if (!(LayerRef(l)->flags & kLayerExcluded) && PadstackOnLayer(thru, l))
                mask |= 1u << (l - 1);
    n->layerMask = mask;
    n->role = uint16_t(CompPkgPinCode(comp, pin));
}

} // namespace chains

// ---- chain ordering ---------------------------------------------------------------------------

void ChainOrderNet(int32_t net) {
    if (net < 0 || net > NetCount()) ErrReport(kErrListNet, net);
    if (net == 0) {
        chains::AssignLoose();
        return;
    }
    Writer w;
    OrderNet(net, true, w);
    PoolReset(kPoolChains);
}

int32_t netConvertChains(int32_t net) {
    std::vector<int32_t> converted;
    auto rec = std::make_unique<Conn>();
    for (int32_t c = NetConnFirst(net); c != 0; c = NetConnNext(c)) {
        AltSave(kRecConn, c, rec.get());
        if (rec->head.flags & kConnArc) continue;
        ConvertOne(rec.get(), true);
        converted.push_back(c);
    }
    // Fewer converted connections than pin chains less one is no fault: a
    // design read from a file may hold a net as separate trees, which the
    // tree built from the chains joins.
    std::sort(converted.rbegin(), converted.rend());
    for (int32_t c : converted)
        ConnDelete(c);
    ChainDump(" After netConvertChains");
    return 1;
}

void ChainOrderNetChecked(int32_t net) {
    const Net* rec = NetRef(net);
    if ((rec->flags & kNetNoRoute) || (rec->netType & 0x01)) return;
    Writer w;
    OrderNet(net, false, w);
    int32_t have = 0;
    for (int32_t c = NetConnFirst(net); c != 0; c = NetConnNext(c))
        ++have;
    if (have < g_state.newPins - 1) ErrReport(kErrTooFewWritten, have);
    PoolReset(kPoolChains);
}

int32_t ChainOrderNetSaved(int32_t net) {
    Net rec;
    AltSave(kRecNet, net, &rec);
    if ((rec.flags & kNetNoRoute) || (rec.netType & 0x01)) return 1;
    ResetState(net, &rec);
    // The net's connections as the journal holds them.
    std::vector<int32_t> marked;
    auto image = std::make_unique<Conn>();
    int32_t items = AltCount();
    for (int32_t i = 1; i <= items; ++i) {
        AltItemHeader hdr;
        AltGet(i, &hdr, image.get());
        if (hdr.type != kRecConn || (hdr.flags & kAltDeleted)) continue;
        if (image->head.net != net) continue;
        if (hdr.index >= ConnCount() + items + 1) ErrReport(kErrSavedIndex, hdr.index);
        marked.push_back(i);
    }
    int32_t conversions = 0;
    for (int32_t i : marked) {
        AltItemHeader hdr;
        AltGet(i, &hdr, image.get());
        if (hdr.type != kRecConn) ErrReport(kErrSavedType, i);
        if (hdr.flags & kAltDeleted) ErrReport(kErrSavedDeleted, i);
        if (image->head.net != net) ErrReport(kErrSavedNet, i);
        if (image->head.flags & kConnArc) continue;
        auto work = std::make_unique<Conn>();
        ConnCopy(work.get(), image.get());
        ConvertOne(work.get(), false);
        ++conversions;
        hdr.flags = uint16_t(hdr.flags | kAltDeleted | kAltCallerConverted);
        AltItemPut(&hdr, image.get());
    }
    if (conversions < g_state.newPins - 1) ExpectFail(kErrSavedTooFew);
    BuildAnyTree(net, rec.netType);
    Writer w;
    w.saved = true;
    int32_t before = AltCount();
    WriteTree(w, false);
    int32_t made = 0;
    for (int32_t i = before + 1; i <= AltCount(); ++i) {
        AltItemHeader hdr;
        AltGet(i, &hdr, image.get());
        if (hdr.type != kRecConn) continue;
        if (image->head.net != net) ErrReport(kErrSavedCheckNet, i);
        if (hdr.flags & kAltDeleted) ErrReport(kErrSavedCheckDeleted, i);
        if (!(hdr.flags & kAltCreated)) ErrReport(kErrSavedCheckCreated, i);
        ++made;
    }
    if (made < g_state.newPins - 1) ErrReport(kErrSavedWritten, made);
    PoolReset(kPoolChains);
    return 0;
}

int32_t ViaPadTouch(int32_t viaType, int32_t vx, int32_t vy, int32_t layer, int32_t ex,
                    int32_t ey) {
    ThruLayer block;
    ThruPadGet(viaType, layer, &block);
    if (block.shapeCount == 0) return 0;
    const PadShape& s = block.shape[0];
    int32_t r = s.ext[0];
    switch (s.code) {
    case kPadUndef:
        return 0;
    case kPadRound:
    case kPadThermal:
    case kPadAnnular:
        return PtDist(vx, vy, ex, ey) <= r ? 1 : 0;
    case kPadSquare: {
        int64_t dx = int64_t(ex) - vx, dy = int64_t(ey) - vy;
        return (dx <= r && -dx <= r && dy <= r && -dy <= r) ? 1 : 0;
    }
    case kPadOblong:
    case kPadRect:
    case kPadOval:
        return (int64_t(ex) >= int64_t(vx) - s.ext[0] && int64_t(ey) >= int64_t(vy) - s.ext[1] &&
                int64_t(ex) <= int64_t(vx) + s.ext[2] && int64_t(ey) <= int64_t(vy) + s.ext[3])
                   ? 1
                   : 0;
    default:
        ErrReport(kErrViaShape, s.code);
    }
}

void ChainDump(const char*) {}

namespace chains {

void OrderingForget() {
    g_list0Pins = nullptr;
    g_state = State();
}

} // namespace chains

void ChainSetKeepAll(bool on) {
    g_keepAll = on;
}

bool ChainKeepAll() {
    return g_keepAll;
}
