#include "toolbox/core/tryframe.h"

#include <new>

namespace {

struct TryFrame {
    uint32_t serial;
    int32_t code;
    TryFrame* next;
};

TryFrame* g_stack = nullptr; // innermost first
TryFrame* g_free = nullptr;
int32_t g_depth = 0;
uint32_t g_serial = 0;
bool g_ready = false;

TryFrame* newTryFrame() {
    TryFrame* f = g_free;
    if (f) {
        g_free = f->next;
    } else {
        f = new (std::nothrow) TryFrame;
        if (!f) return nullptr;
    }
    f->serial = ++g_serial;
    if (f->serial == 0) f->serial = ++g_serial;
    f->code = 0;
    f->next = g_stack;
    g_stack = f;
    ++g_depth;
    return f;
}

void dropInnermost() {
    TryFrame* f = g_stack;
    if (!f) return;
    g_stack = f->next;
    f->next = g_free;
    g_free = f;
    --g_depth;
}

} // namespace

void InitTryFrames(int32_t count) {
    if (g_ready) return;
    g_ready = true;
    if (count <= 0) count = 16;
    for (int32_t i = 0; i < count; ++i) {
        TryFrame* f = new (std::nothrow) TryFrame{0, 0, g_free};
        if (!f) break;
        g_free = f;
    }
}

int32_t TryFrameDepth() { return g_depth; }

int32_t InnermostTryFrameCode() { return g_stack ? g_stack->code : 0; }

int32_t PopExceptionFrame() {
    if (!g_stack) return 0;
    int32_t code = g_stack->code;
    dropInnermost();
    return code;
}

void ThrowToFrame(int32_t code) {
    if (code == 0 || !g_stack) return;
    g_stack->code = code;
    throw TryFrameThrow{g_stack->serial, code};
}

TryFrameScope::TryFrameScope() {
    TryFrame* f = newTryFrame();
    if (f) {
        serial_ = f->serial;
        status_ = 0;
    }
}

bool TryFrameScope::isOpen() const {
    if (status_ != 0) return false;
    for (TryFrame* f = g_stack; f; f = f->next)
        if (f->serial == serial_) return true;
    return false;
}

TryFrameScope::~TryFrameScope() {
    if (status_ != 0) return;
    // Drop this frame, and any inner frame its body left open, if still there.
    if (!isOpen()) return;
    while (g_stack && g_stack->serial != serial_) dropInnermost();
    dropInnermost();
}
