// The route loop's variables and the dispersion pool. The pool is closed
// whole; the list lives inside it and is forgotten with it.
#include "router/loopstate.h"

#include "db/pool.h"

RouteLoopState g_loop;

void DisperseClose() {
    if (g_loop.dispersePool) PoolClose(g_loop.dispersePool);
    g_loop.dispersePool = 0;
    g_loop.disperseList = nullptr;
}

void RouteLoopTestReset() {
    g_loop = RouteLoopState{};
}
