// The generated placement board (see place_gen.cpp): writes base.ASC and
// base.ZID; false when either cannot be written or the text does not read
// back. *nets receives the number of nets.
#pragma once
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "db/comps.h"
#include "db/db.h"
#include "db/lang.h"
#include "files/asc.h"
#include "files/binload.h"
#include "headless/headless.h"
#include "filespec.h"
#include "genboard.h"

namespace placegen {

namespace fs = std::filesystem;

enum : int32_t {
    kMinComps = 1,
    kMaxComps = 4000,
    kCellMin = 60000, // a cell holds the largest part
    kGrid = kGenGrid, // routing grid
    kAreaFactor = 32, // board area >= 3.2 x the parts' area (tenths)
    kParkGap = 60000, // parked parts stand this far apart
    kParkPerRow = 20,
    kQuadPerComps = 100,
    kQuadPerSide = 16, // pins on each side of the quad part
    kQuadPitch = 3000, // its pin pitch: on the routing grid, wider than a pad
    kFixedFlag = 0x0020,
    kLockedFlag = 0x0010,
    kUnplacedFlag = 0x0004,
};

struct Shape {
    const char* name;
    int32_t pins;
    int32_t x1, y1, x2, y2; // Place outline
};

// Symbols 1..5.
const Shape kShapes[] = {
    {"R2", 2, -5400, -2400, 5400, 2400},       {"DIP8", 8, -3000, -21000, 21000, 3000},
    {"DIP14", 14, -3000, -39000, 21000, 3000}, {"DIP16", 16, -3000, -45000, 21000, 3000},
    {"QFP64", 64, -2000, -53000, 53000, 2000},
};
enum : int32_t { kR2 = 1, kDip8, kDip14, kDip16, kQfp64 };

struct Part {
    int32_t symbol;
    bool decoupling;
    int32_t px, py;            // planted position
    std::vector<int32_t> free; // signal pins not yet used
};

inline void Pins(int32_t symbol, std::vector<std::pair<int32_t, int32_t>>& out) {
    out.clear();
    if (symbol == kR2) {
        out = {{-3000, 0}, {3000, 0}};
    } else if (symbol == kQfp64) {
        const int32_t side = kQuadPitch * (kQuadPerSide + 1);
        for (int32_t k = 1; k <= kQuadPerSide; ++k)
            out.push_back({0, -kQuadPitch * k});
        for (int32_t k = 1; k <= kQuadPerSide; ++k)
            out.push_back({kQuadPitch * k, -side});
        for (int32_t k = 1; k <= kQuadPerSide; ++k)
            out.push_back({side, -side + kQuadPitch * k});
        for (int32_t k = 1; k <= kQuadPerSide; ++k)
            out.push_back({side - kQuadPitch * k, 0});
    } else {
        const int32_t half = kShapes[symbol - 1].pins / 2;
        for (int32_t k = 0; k < half; ++k)
            out.push_back({0, -6000 * k});
        for (int32_t k = half - 1; k >= 0; --k)
            out.push_back({18000, -6000 * k});
    }
}

inline int32_t SymbolFor(int32_t i, int32_t n) {
    const int32_t quads = n / kQuadPerComps > 0 ? n / kQuadPerComps : 1;
    const int32_t every = n / quads;
    if (i % every == every / 2 && i / every < quads) return kQfp64;
    switch (i % 10) {
    case 5:
    case 6:
        return kDip8;
    case 7:
        return kDip14;
    case 8:
        return kDip16;
    default:
        return kR2;
    }
}

inline std::string Name(const Part& p, int32_t i) {
    const char* prefix = p.symbol == kR2 ? (p.decoupling ? "C" : "R") : "U";
    return prefix + std::to_string(i + 1);
}

} // namespace placegen

inline bool PlaceGenWrite(int32_t n, uint32_t seed, const std::filesystem::path& base,
                          int32_t* netCount) {
    using namespace placegen;
    std::vector<Part> parts(static_cast<size_t>(n));
    double area = 0;
    for (int32_t i = 0; i < n; ++i) {
        Part& p = parts[size_t(i)];
        p.symbol = SymbolFor(i, int32_t(n));
        p.decoupling = p.symbol == kR2 && (i % 10 == 0 || i % 10 == 1) && i > 1;
        const Shape& s = kShapes[p.symbol - 1];
        area += double(s.x2 - s.x1) * double(s.y2 - s.y1);
        const int32_t pins = s.pins;
        if (p.decoupling) continue;
        for (int32_t k = 1; k <= pins; ++k) {
            const bool power =
                (p.symbol == kQfp64 && (k == 16 || k == 48)) ||
                (p.symbol != kR2 && p.symbol != kQfp64 && (k == pins || k == pins / 2));
            if (!power) p.free.push_back(k);
        }
    }
    const int32_t cols = int32_t(std::ceil(std::sqrt(double(n))));
    const int32_t rows = int32_t((n + cols - 1) / cols);
    int32_t cell = int32_t(std::sqrt(area * double(kAreaFactor) / 10 / (double(cols) * rows)));
    if (cell < kCellMin) cell = kCellMin;
    cell = (cell + kGrid - 1) / kGrid * kGrid;
    const int32_t width = cols * cell, height = rows * cell;
    for (int32_t i = 0; i < n; ++i) {
        Part& p = parts[size_t(i)];
        p.px = (i % cols) * cell + 12000;
        p.py = (i / cols) * cell + cell - 9000;
    }
    // Parking order shuffled by the seed (a small generator of its own).
    std::vector<int32_t> park(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        park[size_t(i)] = i;
    uint32_t state = uint32_t(seed);
    for (int32_t i = int32_t(n) - 1; i > 0; --i) {
        state = state * 1103515245u + 12345u;
        std::swap(park[size_t(i)], park[size_t((state >> 16) % uint32_t(i + 1))]);
    }

    std::FILE* f = GenBoardOpen(base, width, height);
    if (!f) return false;
    std::fprintf(f, "*THRU  1  \"ROUND40\" &\r\n     Layer=1   SHAPE=ROUND    W:2400 &\r\n"
                    "     Layer=2   SHAPE=ROUND    W:2400\r\n");
    std::vector<std::pair<int32_t, int32_t>> pins;
    for (int32_t s = kR2; s <= kQfp64; ++s) {
        std::fprintf(f, "*SYMBOL %d  \"%s\"\r\n", int(s), kShapes[s - 1].name);
        Pins(s, pins);
        for (size_t k = 0; k < pins.size(); ++k)
            std::fprintf(f, " %d   \"%d\"   [%d, %d]  Thru=1%s\r\n", int(k + 1), int(k + 1),
                         int(pins[k].first), int(pins[k].second), k + 1 < pins.size() ? "  &" : "");
    }
    for (int32_t i = 0; i < n; ++i) {
        const Part& p = parts[size_t(i)];
        int32_t x = p.px, y = p.py;
        if (i > 1) {
            const int32_t slot = park[size_t(i)];
            x = width + kParkGap + (slot % kParkPerRow) * kParkGap;
            y = (slot / kParkPerRow) * kParkGap + kParkGap;
        }
        std::fprintf(f, "*COMP %s  [%d, %d]  Rot=0[00]  Symbol=%d ROUTE\r\n", Name(p, i).c_str(),
                     int(x), int(y), int(p.symbol));
    }
    // Signal nets between planted neighbours (right, then below); every
    // third takes a pin of the next part too.
    int32_t nets = 0;
    auto take = [&](int32_t i) -> int32_t {
        std::vector<int32_t>& fr = parts[size_t(i)].free;
        if (fr.empty()) return 0;
        const int32_t pin = fr.front();
        fr.erase(fr.begin());
        return pin;
    };
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j : {i + 1, i + cols}) {
            if (j >= n || (j == i + 1 && j % cols == 0)) continue;
            const int32_t a = take(i), b = take(j);
            if (!a || !b) continue;
            ++nets;
            std::fprintf(f, "*Net  \"N%d\" W:15 MIN:15 ZID:15 WT:50\r\n", int(nets));
            std::fprintf(f, "   %s.%d %s.%d\r\n", Name(parts[size_t(i)], i).c_str(), int(a),
                         Name(parts[size_t(j)], j).c_str(), int(b));
            const int32_t k = j + 1;
            if (nets % 3 == 0 && k < n && k % cols != 0) {
                const int32_t c = take(k);
                if (c)
                    std::fprintf(f, "   %s.%d %s.%d\r\n", Name(parts[size_t(j)], j).c_str(), int(b),
                                 Name(parts[size_t(k)], k).c_str(), int(c));
            }
        }
    // The power nets: decoupling pins and the parts' power pins, chained.
    for (int32_t power = 0; power < 2; ++power) {
        std::vector<std::string> ends;
        for (int32_t i = 0; i < n; ++i) {
            const Part& p = parts[size_t(i)];
            const int32_t pinsOf = kShapes[p.symbol - 1].pins;
            int32_t pin = 0;
            if (p.decoupling)
                pin = power == 0 ? 1 : 2;
            else if (p.symbol == kQfp64)
                pin = power == 0 ? 48 : 16;
            else if (p.symbol != kR2)
                pin = power == 0 ? pinsOf : pinsOf / 2;
            if (pin) ends.push_back(Name(p, i) + "." + std::to_string(pin));
        }
        if (ends.size() < 2) continue;
        std::fprintf(f, "*Net  \"%s\" W:25 MIN:25 ZID:25 WT:30\r\n", power == 0 ? "VCC" : "GND");
        for (size_t k = 0; k + 1 < ends.size(); ++k)
            std::fprintf(f, "   %s %s\r\n", ends[k].c_str(), ends[k + 1].c_str());
    }
    GenBoardKeepIn(f, 0, 0, width, height);
    for (int32_t s = kR2; s <= kQfp64; ++s) {
        const Shape& sh = kShapes[s - 1];
        std::fprintf(f, "*OBS  CINNER   Sym= %d  L:0  W:60 NONET\r\n", int(s));
        const int32_t ox[5] = {sh.x1, sh.x2, sh.x2, sh.x1, sh.x1};
        const int32_t oy[5] = {sh.y2, sh.y2, sh.y1, sh.y1, sh.y2};
        for (int32_t k = 0; k < 5; ++k)
            std::fprintf(f, "    [%d, %d] ARC: N CRNW: 0 %s\r\n", int(ox[k]), int(oy[k]),
                         k < 4 ? "&" : "");
    }
    std::fprintf(f, "*END\r\n");
    if (std::fclose(f) != 0) return false;

    // The binary twin with the component flags.
    if (!GenBoardReadBack(base, n)) return false;
    for (int32_t c = 1; c <= CompCount(); ++c) {
        Component r;
        CompGet(c, &r);
        r.flags |= c == 1 ? kFixedFlag : c == 2 ? kLockedFlag : kUnplacedFlag;
        CompPut(c, &r);
    }
    fs::path zid = base;
    zid += ".ZID";
    FileSpec out = SpecOf(zid);
    if (!BinSave(&out, true)) return false;
    *netCount = nets + 2;
    return true;
}
