// Scroll-bar item parts and steps, in 64 bits so that no step overflows.
#include "toolbox/ui/dialogscroll.h"

int32_t ScrollItemPartFromTracked(int32_t trackedPart) {
    switch (trackedPart) {
    case kTrackedLineUp:
        return kScrollItemLineUp;
    case kTrackedLineDown:
        return kScrollItemLineDown;
    case kTrackedPageUp:
        return kScrollItemPageUp;
    case kTrackedPageDown:
        return kScrollItemPageDown;
    case kTrackedThumb:
        return kScrollItemThumb;
    default:
        return kScrollItemNoPart;
    }
}

bool ScrollItemStep(int32_t part, int32_t lineStep, int32_t pageStep, int32_t controlValue,
                    int32_t maximum, int32_t* value) {
    int64_t v = *value;
    switch (part) {
    case kScrollItemLineUp:
        v -= lineStep;
        break;
    case kScrollItemLineDown:
        v += lineStep;
        break;
    case kScrollItemPageUp:
        v -= pageStep;
        break;
    case kScrollItemPageDown:
        v += pageStep;
        break;
    case kScrollItemThumb:
    case kScrollItemThumbMoved:
        v = controlValue;
        break;
    default:
        return false;
    }
    if (v > maximum) v = maximum;
    if (v < 0) v = 0;
    bool changed = v != *value;
    *value = int32_t(v);
    return changed;
}
