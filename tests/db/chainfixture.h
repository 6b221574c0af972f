// Fixture of the chain-ordering tests: a new design with two layers, via
// type 1 (round pads of 300 on both layers), a through-hole padstack (round
// pads of 600) and one-pin components placed where a test needs pins; one
// net of width 10.
#pragma once
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "compfixture.h"
#include "db/altjournal.h"
#include "db/chains.h"
#include "db/conns.h"
#include "db/err.h"
#include "db/nets.h"

class ChainTest : public CompDbTest {
  protected:
    struct C {
        int32_t x, y;
        uint8_t layer = 0;
        uint8_t flags = 0;
        uint8_t via = 0;
        uint16_t width = 10;
    };

    void SetUp() override {
        CompDbTest::SetUp();
        ConnRegister();
        NetRegister();
        ChainSetKeepAll(false);
        DebugSetFlags(0, 0);
        ThruCode v;
        ThruGet(1, &v);
        for (int32_t l = 1; l <= 2; ++l) {
            v.layer[l].shapeCount = 1;
            v.layer[l].shape[0].code = kPadRound;
            for (int32_t& e : v.layer[l].shape[0].ext)
                e = 300;
        }
        ThruPut(1, &v);
        pad = AddThru({{kPadRound, 600, 600, 600, 600}});
        sym = AddSymbol("ONE", {{0, 0, int16_t(pad)}});
        net = AddNet();
    }
    void TearDown() override {
        ChainSetKeepAll(false);
        DebugSetFlags(0, 0);
        CompDbTest::TearDown();
    }

    static int32_t AddNet(uint8_t type = 0, uint16_t flags = 0) {
        int32_t n = NetAdd();
        Net r;
        NetGet(n, &r);
        r.width = 10;
        r.netType = type;
        r.flags = flags;
        NetPut(n, &r);
        return n;
    }

    // A one-pin component at the point; its pin is (index, 1).
    int32_t Pin(int32_t x, int32_t y) {
        char name[16];
        std::snprintf(name, sizeof name, "U%d", ++m_pins);
        return AddComp(name, sym, x, y);
    }

    static std::unique_ptr<Conn> Rec(int32_t n, int32_t fc, int32_t tc, std::vector<C> corners,
                                     int32_t fp = 1, int32_t tp = 1) {
        auto r = std::make_unique<Conn>();
        std::memset(r.get(), 0, sizeof(Conn));
        r->head.net = int16_t(n);
        r->head.fromComp = int16_t(fc);
        r->head.fromPin = int16_t(fc ? fp : 0);
        r->head.toComp = int16_t(tc);
        r->head.toPin = int16_t(tc ? tp : 0);
        r->head.count = int16_t(corners.size());
        for (size_t i = 0; i < corners.size(); ++i) {
            Crn& c = r->crn[i];
            c.x = corners[i].x;
            c.y = corners[i].y;
            c.layer = corners[i].layer;
            c.flags = corners[i].flags;
            c.via = corners[i].via;
            c.width = i + 1 < corners.size() ? corners[i].width : 0;
        }
        return r;
    }

    static int32_t Put(const std::unique_ptr<Conn>& r) {
        int32_t n = ConnAdd();
        ConnPut(n, r.get());
        return n;
    }

    // A connection as text: "a-b x,y/L x,y/L ..." with the end components,
    // each corner's point and the layer of the segment that starts there
    // ("vT" adds a via type, "fF" corner flags other than 0).
    static std::string Text(const Conn* record) {
        // Written chains may run either way: the text starts at the lower pin.
        auto copy = std::make_unique<Conn>();
        ConnCopy(copy.get(), record);
        const Conn* r = copy.get();
        int32_t fc = r->head.fromComp, tc = r->head.toComp;
        if (tc != 0 && (fc == 0 || fc > tc)) ConnReverse(copy.get());
        std::string s = std::to_string(r->head.fromComp) + "-" + std::to_string(r->head.toComp);
        for (int32_t i = 0; i < r->head.count; ++i) {
            const Crn& c = r->crn[i];
            s += " " + std::to_string(c.x) + "," + std::to_string(c.y);
            if (i + 1 < r->head.count) s += "/" + std::to_string(c.layer);
            if (c.via) s += "v" + std::to_string(c.via);
            if (c.flags) s += "f" + std::to_string(c.flags);
        }
        return s;
    }

    // The net's connections as text, sorted.
    static std::vector<std::string> Conns(int32_t n) {
        std::vector<std::string> out;
        for (int32_t c = NetConnFirst(n); c != 0; c = NetConnNext(c))
            out.push_back(Text(ConnRef(c)));
        std::sort(out.begin(), out.end());
        return out;
    }

    // The net's connections as unordered pairs of end components, sorted.
    static std::vector<std::pair<int32_t, int32_t>> Pairs(int32_t n) {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (int32_t c = NetConnFirst(n); c != 0; c = NetConnNext(c)) {
            int32_t a = ConnRef(c)->head.fromComp, b = ConnRef(c)->head.toComp;
            out.emplace_back(std::min(a, b), std::max(a, b));
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    int32_t pad = 0, sym = 0, net = 0;

  private:
    int32_t m_pins = 0;
};

using Pairs_t = std::vector<std::pair<int32_t, int32_t>>;
using Texts = std::vector<std::string>;
