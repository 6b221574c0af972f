// Shared help for the replaceable procedure tables of the layer: a field
// takes the given procedure, or its default when none is given.
#pragma once

template <typename T> void PickProc(T& slot, T given, T fallback) {
    slot = given ? given : fallback;
}
