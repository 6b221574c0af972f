// The whole-board drivers: one walk over the object table in DrcMode 0,
// each entry handed to the checks of its type. Every connection's current
// error names the connection first. Nothing runs without loaded objects.
#include "db/obstacles.h"
#include "router/objmap.h"
#include "router/objtable.h"
#include "rules/drcboard.h"
#include "rules/drcconn.h"
#include "rules/drcerror.h"
#include "rules/ruleadapt.h"

namespace {

// What a driver does with each entry type (null: nothing).
struct DriverSteps {
    void (*pad)(const MapObj& o, const Component* comp);
    void (*conn)(int32_t entry, const MapObj& o, const Conn* conn);
    void (*obstacle)(int32_t entry, const MapObj& o);
};

void StartConn(const MapObj& o) {
    DrcCurrentError = DrcError{};
    DrcCurrentError.object = o.index;
    DrcCurrentError.objectType = kErrObjConn;
}

void Run(const DriverSteps& steps, ErrCode badType) {
    if (!ObjTableValid()) return;
    DrcModeScope mode(kDrcRecord);
    ScratchRecord<Conn> rec;
    for (int32_t k = 1; k <= ObjCount(); ++k) {
        const MapObj o = *ObjEntry(k);
        switch (o.type) {
        case kObjPad:
            if (!steps.pad) break;
            CompReadJournal(o.index, reinterpret_cast<Component*>(rec.get()));
            steps.pad(o, reinterpret_cast<const Component*>(rec.get()));
            break;
        case kObjConn:
            if (!steps.conn) break;
            ConnReadJournal(o.index, rec.get());
            StartConn(o);
            steps.conn(k, o, rec.get());
            break;
        case kObjObstacle:
            if (steps.obstacle) steps.obstacle(k, o);
            break;
        case kObjEdge:
        case kObjText:
            break;
        default:
            ErrReport(badType, o.type);
        }
    }
}

void NetRules(int32_t, const MapObj& o, const Conn* c) {
    DrcNetLayerVia(o.index, c);
    checkNetRules(o.index, c);
}

} // namespace

void DrcAllRules() {
    DrcErrorCount = 0;
    DrcObsRunCache cache;
    DriverSteps s{};
    s.pad = [](const MapObj& o, const Component* comp) {
        DrcCheckPadVia(o.index, o.link, o.net > 0 ? o.net : 0, comp);
    };
    s.conn = [](int32_t k, const MapObj& o, const Conn* c) {
        if (c->head.count > 0) DrcCheckConn(k, c, 0, c->head.count - 1);
        NetRules(k, o, c);
    };
    s.obstacle = [](int32_t k, const MapObj& o) {
        ScratchRecord<Obstacle> ob;
        ObsPlaceOnComp(o.index, o.link, ob.get());
        DrcObsCheck(k, o.net, o.link, ob.get());
    };
    Run(s, kErrDrcAllType);
}

void DrcAllConnPads() {
    DriverSteps s{};
    s.conn = [](int32_t, const MapObj& o, const Conn* c) {
        if (c->head.count > 0) DrcConnEnds(o.index, c, 0, c->head.count - 1, kDrcEndExitTest);
    };
    Run(s, kErrDrcRunType);
}

void DrcAllPads() {
    DriverSteps s{};
    s.pad = [](const MapObj& o, const Component* comp) {
        DrcCheckPadVia(o.index, o.link, 0, comp);
    };
    Run(s, kErrDrcRunType);
}

void DrcAllNetRules() {
    DriverSteps s{};
    s.conn = &NetRules;
    Run(s, kErrDrcRunType);
}

void DrcAllViaGrid() {
    DrcErrorCount = 0;
    DriverSteps s{};
    s.conn = [](int32_t, const MapObj& o, const Conn* c) { DrcViaOnGrid(o.index, c); };
    Run(s, kErrDrcRunType);
}

void DrcAllSpaceCheck() {
    const int32_t saved = CheckOptions;
    CheckOptions = kCheckSameNetViasOnly;
    DrcAllRules();
    CheckOptions = saved;
}
