// copper-check DESIGN
//
// An independent legality check of a design's copper. Loads the design (a
// binary design file, or else an ASCII board database) through the
// readers, validates it as a load does, and measures from the database's
// geometry alone, never the router's map: segments as rounded strokes of
// their width, vias and pads as their shapes on each layer, clearances
// from each layer's spacing values (pad to pad, segment to pad, segment to
// segment, via to via, via to pad, via to segment; an obstacle counts as a
// segment). It prints one line per finding:
//   short L (X, Y): A and B                      copper of two nets touching
//   clearance L (X, Y): A and B gap G needs C    closer than the clearance
//   obstacle L (X, Y): A inside|outside|gap G needs C of O
//   open: connection N of NET from P to Q        its copper does not join its ends
// (L the layer, X and Y in mm, G and C in mm), then the line
//   total shorts S clearance C opens O complete K of N
// where clearance counts the clearance and obstacle findings, and N the
// connections the router is asked to route (K of them complete: their two
// ends lie in one piece of their net's touching copper).
// Exit codes: 0 no finding, 1 findings, 2 bad arguments, 3 the design could
// not be loaded.
#include <cstdio>
#include <filesystem>
#include <string>

#include "copper-check-model.h"
#include "copper-check-scan.h"
#include "db/comps.h"
#include "db/conns.h"
#include "db/db.h"
#include "db/dbextent.h"
#include "db/lang.h"
#include "db/names.h"
#include "db/runopt.h"
#include "db/symbols.h"
#include "files/asc.h"
#include "files/binload.h"
#include "filespec.h"
#include "headless/headless.h"

namespace {

namespace fs = std::filesystem;

enum : int {
    kExitClean = 0,
    kExitFindings = 1,
    kExitUsage = 2,
    kExitLoad = 3,
};

bool Load(const fs::path& input) {
    std::error_code ec;
    // The activity log of the load goes to a folder of its own, never
    // beside the design.
    const fs::path logs = fs::temp_directory_path(ec) / "copper-check";
    fs::create_directories(logs, ec);
    HeadlessSetApplicationFolder(logs.string().c_str());
    DbRegisterBuiltins();
    LangInit();
    if (!g_runOptions) RunOptionsAlloc();
    FileSpec in = SpecOf(input);
    bool strategy = false;
    int32_t warnings = 0;
    int32_t loaded = 0;
    DbFree();
    if (BinCheckType(&in, &strategy)) {
        loaded = strategy ? 0 : BinLoadFile(&in, true);
    } else {
        loaded = AscReadDatabase(&in, &warnings);
    }
    if (!loaded) return false;
    DbExtent();
    DbValidate();
    return true;
}

std::string Mm(const CcModel& m, double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.3f", v * m.mmPerUnit);
    return b;
}

std::string Where(const CcModel& m, const CcFinding& f) {
    return std::to_string(f.layer) + " (" + Mm(m, f.at.x) + ", " + Mm(m, f.at.y) + ")";
}

std::string EndName(int32_t comp, int32_t pin, const Conn* k, bool first) {
    if (comp < 1 || comp > CompCount()) {
        const Crn& c = k->crn[first ? 0 : k->head.count - 1];
        return "node [" + std::to_string(c.x) + ", " + std::to_string(c.y) + "]";
    }
    const Component* cr = CompRef(comp);
    if (pin < 1 || pin > SymPinCount(cr->symbol)) return std::string(NameText(cr->name)) + ".?";
    return std::string(NameText(cr->name)) + "." + NameText(SymPinRef(cr->symbol, pin)->name);
}

void Print(const CcModel& m, const CcReport& r) {
    for (const CcFinding& f : r.findings) {
        switch (f.type) {
        case kCcShort:
            std::printf("short %s: %s and %s\n", Where(m, f).c_str(),
                        CcItemName(m, m.items[size_t(f.first)]).c_str(),
                        f.second >= 0 ? CcItemName(m, m.items[size_t(f.second)]).c_str()
                                      : CcObstacleName(m.obstacles[size_t(f.obstacle)]).c_str());
            break;
        case kCcClearance:
            std::printf("clearance %s: %s and %s gap %s needs %s\n", Where(m, f).c_str(),
                        CcItemName(m, m.items[size_t(f.first)]).c_str(),
                        CcItemName(m, m.items[size_t(f.second)]).c_str(), Mm(m, f.gap).c_str(),
                        Mm(m, f.required).c_str());
            break;
        case kCcObstacle: {
            const CcObstacle& ob = m.obstacles[size_t(f.obstacle)];
            const std::string how = !f.inside                      ? "gap " + Mm(m, f.gap) + " needs " +
                                                                        Mm(m, f.required) + " of"
                                    : (ob.rules & kCcObsOutside) ? "outside"
                                                                 : "inside";
            std::printf("obstacle %s: %s %s %s\n", Where(m, f).c_str(),
                        CcItemName(m, m.items[size_t(f.first)]).c_str(), how.c_str(),
                        CcObstacleName(ob).c_str());
            break;
        }
        case kCcOpen: {
            const CcConnection& c = m.connections[size_t(f.connection)];
            const Conn* k = ConnRef(c.index);
            std::printf("open: connection %d of %s from %s to %s\n", int(c.index),
                        CcNetName(c.net).c_str(), EndName(c.fromComp, c.fromPin, k, true).c_str(),
                        EndName(c.toComp, c.toPin, k, false).c_str());
            break;
        }
        }
    }
    std::printf("total shorts %d clearance %d opens %d complete %d of %d\n", int(r.shorts),
                int(r.clearance), int(r.opens), int(r.complete), int(m.connections.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || !*argv[1]) {
        std::fprintf(stderr, "usage: copper-check DESIGN\n");
        return kExitUsage;
    }
    std::error_code ec;
    const fs::path input = fs::absolute(argv[1], ec);
    if (ec || !fs::is_regular_file(input, ec) || !Load(input)) {
        std::fprintf(stderr, "Unable to load %s\n", argv[1]);
        return kExitLoad;
    }
    CcModel model;
    CcModelBuild(&model);
    CcReport report;
    CcScan(model, &report);
    Print(model, report);
    return report.findings.empty() ? kExitClean : kExitFindings;
}
