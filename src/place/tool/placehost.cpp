// The installed placement host: one pointer, set before the tool starts.
#include "place/tool/placehost.h"

#include "db/err.h"

namespace {
PlaceHost* g_host = nullptr;
constexpr ErrCode kErrNoPlaceHost = 3616001;
} // namespace

void PlaceHostInstall(PlaceHost* host) {
    g_host = host;
}

PlaceHost& PlHost() {
    if (!g_host) ErrFatal(kErrNoPlaceHost);
    return *g_host;
}
