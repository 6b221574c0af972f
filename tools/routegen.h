// The generated routing boards (see route_gen.cpp): write base.ASC; false
// when it cannot be written or does not read back. *nets receives the
// number of nets.
#pragma once
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "db/comps.h"
#include "db/db.h"
#include "db/lang.h"
#include "files/asc.h"
#include "headless/headless.h"
#include "filespec.h"
#include "genboard.h"

namespace routegen {

enum : int32_t {
    kMinComps = 2,
    kMaxComps = 2000,
    kMaxRowsComps = 4000, // the rows board: up to the database's component limit
    kPitchX = 36000,    // cell pitch: 24 grid points
    kPitchY = 39000,    // 26 grid points
    kMargin = 15000,    // board edge to the first cell
    kDipEvery = 3,      // every third part is a DIP, the others two-pin SMD parts
    kThreePinEvery = 3, // every third net takes a third pin
};

enum : int32_t { kSmd = 1, kDip8 = 2 };

struct Part {
    int32_t symbol;
    int32_t x, y;
    std::vector<int32_t> free; // pins not yet on a net
};

inline std::string Name(const Part& p, int32_t i) {
    return (p.symbol == kDip8 ? "U" : "C") + std::to_string(i + 1);
}

// A small generator of its own, so boards do not depend on the library.
struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    }
};

} // namespace routegen

// The board of either layout. The spread layout has every third part a DIP
// and nets to the neighbours right and below; the rows layout alternates
// rows of DIPs with rows of two-pin SMD parts and adds nets to the two
// neighbours below on the diagonals, so that it carries about twice as
// many connections per part.
inline bool RouteGenBoard(int32_t n, uint32_t seed, const std::filesystem::path& base,
                          int32_t* netCount, bool rowsLayout) {
    using namespace routegen;
    const int32_t cols = int32_t(std::ceil(std::sqrt(double(n))));
    const int32_t rows = (n + cols - 1) / cols;
    const int32_t width = 2 * kMargin + cols * kPitchX, height = 2 * kMargin + rows * kPitchY;
    Lcg rng{seed};
    std::vector<Part> parts(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        Part& p = parts[size_t(i)];
        if (rowsLayout)
            p.symbol = (i / cols) % 2 == 0 ? kDip8 : kSmd;
        else
            p.symbol = i % kDipEvery == 0 ? kDip8 : kSmd;
        p.x = kMargin + (i % cols) * kPitchX + 6000;
        p.y = height - kMargin - (i / cols) * kPitchY - 6000;
        const int32_t pins = p.symbol == kDip8 ? 8 : 2;
        for (int32_t k = 1; k <= pins; ++k)
            p.free.push_back(k);
        // A seeded order of the pins each part gives to its nets.
        for (int32_t k = pins - 1; k > 0; --k)
            std::swap(p.free[size_t(k)], p.free[rng.Next() % uint32_t(k + 1)]);
    }

    std::FILE* f = GenBoardOpen(base, width, height);
    if (!f) return false;
    std::fprintf(f, "*THRU  1  \"SMD60X40\" &\r\n     Layer=1   SHAPE=RECT     W:3600  H:2400 &\r\n"
                    "     Layer=2   SHAPE=UNDEF\r\n");
    std::fprintf(f, "*THRU  2  \"ROUND60\" &\r\n     Layer=1   SHAPE=ROUND    W:3600 &\r\n"
                    "     Layer=2   SHAPE=ROUND    W:3600\r\n");
    std::fprintf(f, "*SYMBOL 1  \"SMD0805\"\r\n 1   \"1\"   [-3000, 0]  Thru=1  &\r\n"
                    " 2   \"2\"   [3000, 0]  Thru=1\r\n");
    std::fprintf(f, "*SYMBOL 2  \"DIP8\"\r\n");
    for (int32_t k = 1; k <= 8; ++k) {
        const int32_t x = k <= 4 ? 0 : 18000, y = k <= 4 ? -6000 * (k - 1) : -6000 * (8 - k);
        std::fprintf(f, " %d   \"%d\"   [%d, %d]  Thru=2%s\r\n", int(k), int(k), int(x), int(y),
                     k < 8 ? "  &" : "");
    }
    for (int32_t i = 0; i < n; ++i) {
        const Part& p = parts[size_t(i)];
        std::fprintf(f, "*COMP %s  [%d, %d]  Rot=0[00]  Symbol=%d ROUTE\r\n", Name(p, i).c_str(),
                     int(p.x), int(p.y), int(p.symbol));
    }
    // Nets between neighbours (right, then below); every third takes a pin
    // of a third part.
    int32_t nets = 0;
    auto take = [&](int32_t i) -> int32_t {
        std::vector<int32_t>& fr = parts[size_t(i)].free;
        if (fr.empty()) return 0;
        const int32_t pin = fr.back();
        fr.pop_back();
        return pin;
    };
    for (int32_t i = 0; i < n; ++i)
        for (int32_t j : {i + 1, i + cols, i + cols + 1, i + cols - 1}) {
            if (!rowsLayout && j > i + cols) break;
            if (j >= n || (j == i + 1 && j % cols == 0)) continue;
            if (j == i + cols + 1 && (i + 1) % cols == 0) continue; // no right neighbour
            if (j == i + cols - 1 && i % cols == 0) continue;       // no left neighbour
            const int32_t a = take(i), b = take(j);
            if (!a || !b) continue;
            ++nets;
            std::fprintf(f, "*Net  \"N%d\" W:15 MIN:15 ZID:15 WT:50\r\n", int(nets));
            std::fprintf(f, "   %s.%d %s.%d\r\n", Name(parts[size_t(i)], i).c_str(), int(a),
                         Name(parts[size_t(j)], j).c_str(), int(b));
            const int32_t k = j + 1;
            if (nets % kThreePinEvery == 0 && k < n && k % cols != 0) {
                if (const int32_t c = take(k))
                    std::fprintf(f, "   %s.%d %s.%d\r\n", Name(parts[size_t(j)], j).c_str(), int(b),
                                 Name(parts[size_t(k)], k).c_str(), int(c));
            }
        }
    GenBoardKeepIn(f, 600, 600, width - 600, height - 600);
    std::fprintf(f, "*END\r\n");
    if (std::fclose(f) != 0) return false;

    if (!GenBoardReadBack(base, n)) return false;
    *netCount = nets;
    return true;
}

inline bool RouteGenWrite(int32_t n, uint32_t seed, const std::filesystem::path& base,
                          int32_t* netCount) {
    return RouteGenBoard(n, seed, base, netCount, false);
}

inline bool RouteGenRowsWrite(int32_t n, uint32_t seed, const std::filesystem::path& base,
                              int32_t* netCount) {
    return RouteGenBoard(n, seed, base, netCount, true);
}
