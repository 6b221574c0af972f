// MzPush: the line pushed forward one step at a time.
#include "router/push.h"
#include "router/pushwork.h"

int32_t MzPush(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {
    return 0;
}
