// Paints a synthetic board into a 1,600 x 1,200 offscreen bitmap through
// the drawing interface, grouped by layer and kind as a board painter
// draws: components (outline frame, pads as painted rectangles, ovals and
// rounded rectangles, name text), connections of 2 to 8 segments on two
// layer colours at pen sizes 1 to 8 with a via at each layer change, and a
// ratsnest pass in xor mode. Prints one CSV line per case: the median
// milliseconds of the repaints and the pens, brushes and fonts created per
// repaint. --tiny paints a small scene once (CTest's run: no time check).
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "toolbox/core/memblock.h"
#include "toolbox/ui/drawcounters.h"
#include "toolbox/ui/drawprocs.h"
#include "toolbox/ui/drawsetters.h"
#include "toolbox/ui/drawstate.h"
#include "toolbox/ui/gdicontext.h"

namespace {
constexpr int kWidth = 1600, kHeight = 1200;
constexpr int kFullComponents = 2000, kFullConnections = 5000, kFullRepaints = 10;
constexpr int kTinyComponents = 20, kTinyConnections = 50;
constexpr int kLayers = 2;
constexpr uint32_t kLayerColours[kLayers] = {0x00C00000, 0x000000C0};
constexpr uint32_t kPadColour = 0x00808000, kOutlineColour = 0x00404040, kViaColour = 0x00008080;
constexpr uint32_t kRatsnestColour = 0x00FFFF00, kBoardColour = 0x00000000;

struct Pad {
    Rect16 rect;
    uint8_t shape; // 0 rectangle, 1 oval, 2 rounded
};
struct Component {
    Rect16 outline;
    std::vector<Pad> pads;
    char name[8];
};
struct Corner {
    int16_t h, v;
    uint8_t layer;
};
struct Connection {
    std::vector<Corner> corners;
    int32_t width;
};
struct Scene {
    std::vector<Component> components;
    std::vector<Connection> connections;
};

uint32_t g_seed = 12345;
int32_t Next(int32_t below) {
    g_seed = g_seed * 1103515245u + 12345u;
    return int32_t((g_seed >> 8) % uint32_t(below));
}

Scene MakeScene(int components, int connections) {
    Scene scene;
    for (int i = 0; i < components; ++i) {
        Component c{};
        int16_t h = int16_t(Next(kWidth - 60)), v = int16_t(Next(kHeight - 40));
        int16_t w = int16_t(30 + Next(30)), t = int16_t(16 + Next(20));
        c.outline = Rect16{v, h, int16_t(v + t), int16_t(h + w)};
        int pads = 8 + Next(17);
        for (int p = 0; p < pads; ++p) {
            int16_t ph = int16_t(h + 2 + (p % 8) * (w - 6) / 8), pv = int16_t(v + 2 + (p / 8) * 5);
            c.pads.push_back(Pad{Rect16{pv, ph, int16_t(pv + 4), int16_t(ph + 4)}, uint8_t(p % 3)});
        }
        std::snprintf(c.name, sizeof c.name, "U%d", i + 1);
        scene.components.push_back(c);
    }
    for (int i = 0; i < connections; ++i) {
        Connection c{};
        c.width = 1 + Next(8);
        int segments = 2 + Next(7);
        int16_t h = int16_t(Next(kWidth)), v = int16_t(Next(kHeight));
        uint8_t layer = uint8_t(Next(kLayers));
        c.corners.push_back(Corner{h, v, layer});
        for (int s = 0; s < segments; ++s) {
            h = int16_t(std::clamp(h + Next(121) - 60, 0, kWidth - 1));
            v = int16_t(std::clamp(v + Next(121) - 60, 0, kHeight - 1));
            if (Next(4) == 0) layer = uint8_t(1 - layer);
            c.corners.push_back(Corner{h, v, layer});
        }
        scene.connections.push_back(c);
    }
    // A painter draws each layer's tracks width by width.
    std::stable_sort(scene.connections.begin(), scene.connections.end(),
                     [](const Connection& a, const Connection& b) { return a.width < b.width; });
    return scene;
}

void PaintComponents(const Scene& scene) {
    ResetPen();
    SetForegroundColour(kOutlineColour);
    for (const Component& c : scene.components)
        DrawRectShape(&c.outline, 0);
    SetForegroundColour(kPadColour);
    for (const Component& c : scene.components)
        for (const Pad& p : c.pads) {
            if (p.shape == 0)
                DrawRectShape(&p.rect, 1);
            else if (p.shape == 1)
                DrawOvalShape(&p.rect, 1);
            else
                DrawRoundRectShape(&p.rect, 2, 2, 1);
        }
    SetForegroundColour(kOutlineColour);
    SetTextPointSize(8);
    for (const Component& c : scene.components) {
        MovePenTo(c.outline.left + 2, c.outline.bottom - 2);
        DrawTextRun(c.name, int32_t(std::strlen(c.name)));
    }
}

void PaintConnections(const Scene& scene) {
    ResetPen();
    for (int layer = 0; layer < kLayers; ++layer) {
        SetForegroundColour(kLayerColours[layer]);
        for (const Connection& c : scene.connections) {
            SetPenSize(c.width, c.width);
            for (size_t i = 1; i < c.corners.size(); ++i) {
                if (c.corners[i].layer != layer) continue;
                MovePenTo(c.corners[i - 1].h, c.corners[i - 1].v);
                DrawLineToPoint(c.corners[i].h, c.corners[i].v);
            }
        }
    }
    ResetPen();
    SetForegroundColour(kViaColour);
    for (const Connection& c : scene.connections)
        for (size_t i = 1; i < c.corners.size(); ++i) {
            if (c.corners[i].layer == c.corners[i - 1].layer) continue;
            const Corner& at = c.corners[i - 1];
            Rect16 via{int16_t(at.v - 3), int16_t(at.h - 3), int16_t(at.v + 4), int16_t(at.h + 4)};
            DrawOvalShape(&via, 1);
        }
}

void PaintRatsnest(const Scene& scene) {
    ResetPen();
    ExchangePenMode(2);
    SetForegroundColour(kRatsnestColour);
    for (size_t i = 1; i < scene.components.size(); i += 2) {
        const Rect16& a = scene.components[i - 1].outline;
        const Rect16& b = scene.components[i].outline;
        MovePenTo(a.left, a.top);
        DrawLineToPoint(b.left, b.top);
    }
    ExchangePenMode(0);
}

void Erase() {
    SetBackgroundColour(kBoardColour);
    Rect16 all{0, 0, kHeight, kWidth};
    DrawRectShape(&all, 2);
}

void PaintAll(const Scene& scene) {
    Erase();
    PaintComponents(scene);
    PaintConnections(scene);
    PaintRatsnest(scene);
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

template <typename Paint> void RunCase(const char* name, int repaints, Paint paint) {
    std::vector<double> times;
    ResetDrawingCounters();
    for (int i = 0; i < repaints; ++i) {
        LARGE_INTEGER from, to;
        QueryPerformanceCounter(&from);
        paint();
        FlushDrawing();
        QueryPerformanceCounter(&to);
        times.push_back(Milliseconds(from, to));
    }
    std::sort(times.begin(), times.end());
    const DrawCounters& counters = DrawingCounters();
    std::printf("%s,%.2f,%d,%d,%d\n", name, times[times.size() / 2],
                counters.pensCreated / repaints, counters.brushesCreated / repaints,
                counters.fontsCreated / repaints);
}
} // namespace

int main(int argc, char** argv) {
    bool tiny = argc > 1 && std::strcmp(argv[1], "--tiny") == 0;
    MemInit(0, -1);
    InitDrawingGlobals();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    DrawingState* state = NewDrawingState();
    if (!bitmap || !state) {
        std::fprintf(stderr, "no bitmap\n");
        return 1;
    }
    BindStateTarget(state, kStateDcBitmap, bitmap);
    Scene scene = tiny ? MakeScene(kTinyComponents, kTinyConnections)
                       : MakeScene(kFullComponents, kFullConnections);
    int repaints = tiny ? 1 : kFullRepaints;
    std::printf("case,median_ms,pens,brushes,fonts\n");
    PaintAll(scene); // warm the caches
    RunCase("components", repaints, [&] { PaintComponents(scene); });
    RunCase("connections", repaints, [&] { PaintConnections(scene); });
    RunCase("ratsnest", repaints, [&] { PaintRatsnest(scene); });
    RunCase("full_repaint", repaints, [&] { PaintAll(scene); });
    DisposeDrawingState(state);
    DeleteObject(bitmap);
    return 0;
}
