// The ordering of the nets after a read with *SEG elements.
//
// A *SEG element hands its loose pins, runs and vias to the node list of its
// net; a *NET element stores its connections as read. A net whose node list
// holds anything is ordered from all of its copper: each of its connections
// joins the node list and is deleted, and chain ordering rebuilds the net
// from its pins and copper, so the copper of a *SEG completes the *NET
// connections it runs along and no unrouted duplicate stays beside it. A net
// with an empty node list keeps its connections exactly as read.
//
// Guarantees:
// - No copper goes without a word. Copper that chain ordering joined to no
//   pin (all of it when the net has fewer than two pins) is kept as
//   connections with free ends, and one error line names the net. Only a
//   lone via with no copper of its own, which no connection can hold, is
//   left out; the same line reports it.
// - Every connection the rebuild makes ends in a corner that carries the
//   layer and width of the corner before it, as the reader gives the last
//   corner of a connection, so the design reads back the same from either
//   file format.
#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "db/chains.h"
#include "db/conns.h"
#include "db/names.h"
#include "db/nets.h"
#include "files/ascint.h"
#include "files/ascshell.h"

namespace {

// A record of a node list as NetNodeGet describes it.
struct NodeRecord {
    ConnHead head;
    std::vector<Crn> crn;
};

// A copper segment of a net, in the direction its node had; arc segments
// keep their centre.
struct Segment {
    int32_t x1, y1, x2, y2, cx, cy;
    uint16_t width;
    uint8_t layer, flags;
    bool arc;
};

struct Via {
    int32_t x, y;
    uint8_t type;
};

// The copper a net's node list held before ordering.
struct NetCopper {
    int32_t net = 0;
    std::vector<Segment> segments;
    std::vector<Via> vias;
};

using Point = std::pair<int32_t, int32_t>;
// A segment whatever its direction: layer (arcs above 255), then both points in order.
using SegmentKey = std::array<int32_t, 5>;
using ViaKey = std::array<int32_t, 3>;

constexpr int32_t kArcKey = 0x100;

SegmentKey KeyOf(int32_t layer, bool arc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (std::make_pair(x2, y2) < std::make_pair(x1, y1)) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    return {layer | (arc ? kArcKey : 0), x1, y1, x2, y2};
}

Segment SegmentOf(const Crn& from, const Crn& to, const Crn* centre) {
    Segment s{};
    s.x1 = from.x;
    s.y1 = from.y;
    s.x2 = to.x;
    s.y2 = to.y;
    s.width = from.width;
    s.layer = from.layer;
    s.flags = uint8_t(from.flags & ~kCrnArc);
    s.arc = centre != nullptr;
    if (centre) {
        s.cx = centre->x;
        s.cy = centre->y;
    }
    return s;
}

Conn* Scratch() {
    static std::unique_ptr<Conn> record(new Conn());
    return record.get();
}

// Reads the net's node list without using it up: every node is taken off
// and described, then the list is built again from the descriptions in the
// order that gives back the same list.
NetCopper Snapshot(int32_t net) {
    NetCopper out;
    out.net = net;
    std::vector<NodeRecord> records;
    Conn* rec = Scratch();
    while (NetNodeGet(net, rec)) {
        int32_t corners = std::max<int32_t>(rec->head.count, 1);
        records.push_back({rec->head, std::vector<Crn>(rec->crn, rec->crn + corners)});
    }
    for (auto r = records.rbegin(); r != records.rend(); ++r) {
        rec->head = r->head;
        std::memcpy(rec->crn, r->crn.data(), r->crn.size() * sizeof(Crn));
        NetNodeListBuild(rec);
    }
    for (const NodeRecord& r : records) {
        int32_t count = r.head.count;
        if (count == 1) {
            out.vias.push_back({r.crn[0].x, r.crn[0].y, r.crn[0].via});
        } else if (count == 3 && (r.crn[1].flags & kCrnArc)) {
            out.segments.push_back(SegmentOf(r.crn[0], r.crn[2], &r.crn[1]));
        } else {
            for (int32_t i = 0; i + 1 < count; ++i)
                out.segments.push_back(SegmentOf(r.crn[size_t(i)], r.crn[size_t(i + 1)], nullptr));
        }
    }
    return out;
}

// The copper of the net's connections.
void ConnCopper(int32_t net, std::set<SegmentKey>* segments, std::set<ViaKey>* vias) {
    for (int32_t c = NetConnFirst(net); c; c = NetConnNext(c)) {
        const Conn* r = ConnRef(c);
        if (!r) continue;
        int32_t count = r->head.count;
        for (int32_t i = 0; i < count; ++i) {
            const Crn& k = r->crn[i];
            if (k.via) vias->insert({k.x, k.y, k.via});
            if (i + 1 >= count || k.layer == 0) continue;
            bool arc = i + 2 < count && (r->crn[i + 1].flags & kCrnArc);
            const Crn& e = r->crn[arc ? i + 2 : i + 1];
            segments->insert(KeyOf(k.layer, arc, k.x, k.y, e.x, e.y));
            if (arc) ++i;
        }
    }
}

// The last corner takes the layer and width of the corner before it.
void EndAsRead(Crn* crn, int32_t count) {
    if (count < 2) return;
    crn[count - 1].layer = crn[count - 2].layer;
    crn[count - 1].width = crn[count - 2].width;
}

// Stores copper with free ends as a new connection of the net; false when
// the table cannot take it.
bool StoreFree(int32_t net, const std::vector<Crn>& crn, bool arc) {
    ConnLayout layout;
    ConnTestLayout(&layout);
    if (ConnCount() >= layout.capacity && layout.capacity + kConnGrow >= kConnLimit) {
        AscTableFull("*SEG");
        return false;
    }
    Conn* rec = Scratch();
    std::memset(&rec->head, 0, sizeof rec->head);
    rec->head.net = int16_t(net);
    rec->head.count = int16_t(crn.size());
    if (arc) rec->head.flags = kConnArc;
    std::memcpy(rec->crn, crn.data(), crn.size() * sizeof(Crn));
    EndAsRead(rec->crn, rec->head.count);
    int32_t n = ConnAdd();
    if (ErrCode code = ConnPutCheck(n, rec, nullptr)) {
        AscRejected("*SEG", int32_t(code));
        ConnDelete(n);
        return true;
    }
    ConnPut(n, rec);
    return true;
}

// Keeps the copper that the net's connections do not hold as connections
// with free ends: runs are followed from their ends through shared points,
// across layers only where a via stands. Answers whether any copper was
// left over.
bool KeepUnjoined(const NetCopper& copper) {
    std::set<SegmentKey> held;
    std::set<ViaKey> heldVias;
    ConnCopper(copper.net, &held, &heldVias);
    std::vector<const Segment*> loose;
    for (const Segment& s : copper.segments)
        if (!held.count(KeyOf(s.layer, s.arc, s.x1, s.y1, s.x2, s.y2))) loose.push_back(&s);
    std::set<Point> viaAt;
    std::map<Point, uint8_t> looseVias;
    for (const Via& v : copper.vias) {
        viaAt.insert({v.x, v.y});
        if (!heldVias.count({v.x, v.y, v.type})) looseVias.emplace(Point{v.x, v.y}, v.type);
    }
    if (loose.empty() && looseVias.empty()) return false;
    std::map<Point, std::vector<size_t>> ends;
    for (size_t i = 0; i < loose.size(); ++i) {
        ends[{loose[i]->x1, loose[i]->y1}].push_back(i);
        ends[{loose[i]->x2, loose[i]->y2}].push_back(i);
    }
    std::vector<bool> used(loose.size(), false);
    auto placeVia = [&](Crn& k) {
        auto v = looseVias.find({k.x, k.y});
        if (v == looseVias.end()) return;
        k.via = v->second;
        looseVias.erase(v);
    };
    // One run from a point along unused segments.
    auto follow = [&](size_t first, Point start) {
        std::vector<Crn> crn;
        bool arc = false;
        Point at = start;
        for (size_t i = first;;) {
            const Segment& s = *loose[i];
            used[i] = true;
            Crn k{};
            k.x = at.first;
            k.y = at.second;
            k.layer = s.layer;
            k.width = s.width;
            k.flags = s.flags;
            placeVia(k);
            crn.push_back(k);
            if (s.arc) {
                Crn m = k;
                m.x = s.cx;
                m.y = s.cy;
                m.flags = kCrnArc;
                m.via = 0;
                crn.push_back(m);
                arc = true;
            }
            at = Point{s.x1, s.y1} == at ? Point{s.x2, s.y2} : Point{s.x1, s.y1};
            // The next unused segment at the far point: the same layer
            // first, another layer through a via.
            size_t next = loose.size();
            for (size_t j : ends[at])
                if (!used[j] && loose[j]->layer == s.layer) {
                    next = j;
                    break;
                }
            if (next == loose.size() && viaAt.count(at))
                for (size_t j : ends[at])
                    if (!used[j]) {
                        next = j;
                        break;
                    }
            if (next == loose.size() || int32_t(crn.size()) + 3 > kConnMaxCorners) {
                Crn end{};
                end.x = at.first;
                end.y = at.second;
                placeVia(end);
                crn.push_back(end);
                break;
            }
            i = next;
        }
        return StoreFree(copper.net, crn, arc);
    };
    // Runs start at their ends and branch points, then what is left are
    // rings.
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < loose.size(); ++i) {
            if (used[i]) continue;
            Point a{loose[i]->x1, loose[i]->y1}, b{loose[i]->x2, loose[i]->y2};
            Point start = a;
            if (pass == 0) {
                if (ends[a].size() == 2 && ends[b].size() == 2) continue;
                if (ends[a].size() == 2) start = b;
            }
            if (!follow(i, start)) return true;
        }
    return true;
}

} // namespace

void AscOrderNets() {
    if (!NetNodeListsExist()) return;
    // The connections of every net with nodes join its node list.
    std::vector<int32_t> nets, handed;
    for (int32_t n = 1; n <= NetCount(); ++n) {
        if (NetNodeListCount(n) == 0) continue;
        nets.push_back(n);
        for (int32_t c = NetConnFirst(n); c; c = NetConnNext(c)) {
            const Conn* r = ConnRef(c);
            if (!r) continue;
            NetNodeListBuild(r);
            handed.push_back(c);
        }
    }
    std::sort(handed.rbegin(), handed.rend());
    for (int32_t c : handed)
        ConnDelete(c);
    BusyFeedback(0);
    ChainOrderNet(0);
    std::vector<NetCopper> copper;
    for (int32_t n : nets)
        copper.push_back(Snapshot(n));
    int32_t kept = ConnCount();
    for (int32_t n = 1; n <= NetCount(); ++n) {
        BusyFeedback(0);
        ChainOrderNet(n);
    }
    // What the ordering wrote ends as the reader would read it back.
    Conn* rec = Scratch();
    for (int32_t c = kept + 1; c <= ConnCount(); ++c) {
        ConnGet(c, rec);
        EndAsRead(rec->crn, rec->head.count);
        ConnPut(c, rec);
    }
    for (const NetCopper& net : copper)
        if (KeepUnjoined(net))
            AscError(AscMsg(kAscMsgSegCopperNoPins), NameText(NetRef(net.net)->name));
}
