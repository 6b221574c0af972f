// Fixture of the symbol, package, component and pad tests: a new design
// (two layers, one via type) with helpers that make thru codes, symbols and
// components.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "db/comps.h"
#include "db/names.h"
#include "db/packages.h"
#include "db/symbols.h"
#include "db/thru.h"
#include "dbfixture.h"

class CompDbTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        // Other tests may have replaced the symbols' part of ThruDelete.
        SymRegister();
        NewDesign();
    }
    void TearDown() override {
        DbSetTrusted(false);
        DbFree();
        DbTest::TearDown();
    }

    struct Shape {
        uint8_t code;
        int32_t left, bottom, right, top;
        int32_t x = 0, y = 0;
    };

    // A thru code with the shapes on the layers of the mask (bit l for layer
    // l) at the layer rotation.
    static int32_t AddThru(std::vector<Shape> shapes, uint32_t layers = 0x6, int16_t rotation = 0) {
        int32_t n = ThruAdd();
        ThruCode t;
        ThruGet(n, &t);
        for (int32_t l = 1; l <= 2; ++l) {
            if (!(layers & (1u << l))) continue;
            ThruLayer& b = t.layer[l];
            b.rotation = rotation;
            b.shapeCount = uint8_t(shapes.size());
            for (size_t j = 0; j < shapes.size(); ++j) {
                PadShape& s = b.shape[j];
                s.code = shapes[j].code;
                s.x = shapes[j].x;
                s.y = shapes[j].y;
                s.ext[0] = shapes[j].left;
                s.ext[1] = shapes[j].bottom;
                s.ext[2] = shapes[j].right;
                s.ext[3] = shapes[j].top;
            }
        }
        ThruPut(n, &t);
        return n;
    }

    struct Pin {
        int32_t x, y;
        int16_t thru;
    };

    static std::unique_ptr<Symbol> NewSymbolRecord(const char* name, std::vector<Pin> pins) {
        auto s = std::make_unique<Symbol>();
        DbRecInit(kRecSymbol, s.get(), 1);
        s->info.name = NameIntern(name);
        s->info.pinCount = int16_t(pins.size());
        for (size_t p = 0; p < pins.size(); ++p) {
            s->pin[p + 1].x = pins[p].x;
            s->pin[p + 1].y = pins[p].y;
            s->pin[p + 1].thru = pins[p].thru;
        }
        return s;
    }

    static int32_t AddSymbol(const char* name, std::vector<Pin> pins) {
        int32_t n = SymAdd();
        SymPut(n, NewSymbolRecord(name, pins).get());
        return n;
    }

    static Component CompRecord(const char* name, int32_t symbol, int32_t x, int32_t y,
                                int32_t angle = 0) {
        Component c{};
        c.name = NameIntern(name);
        c.symbol = int16_t(symbol);
        c.x = x;
        c.y = y;
        c.angle = int16_t(angle);
        return c;
    }

    static int32_t AddComp(const char* name, int32_t symbol, int32_t x, int32_t y,
                           int32_t angle = 0) {
        int32_t n = CompAdd();
        Component c = CompRecord(name, symbol, x, y, angle);
        CompPut(n, &c);
        return n;
    }
};
