// Pending activation slots and the application-active flag.
#include "toolbox/core/activation.h"

namespace {
void* g_deactivated = nullptr;
void* g_activated = nullptr;
int32_t g_suspendResume = 0;
bool g_applicationActive = true;
} // namespace

void SetWindowActivationPending(void* window, bool active) {
    if (active) {
        if (g_deactivated == window) g_deactivated = nullptr;
        g_activated = window;
    } else {
        if (g_activated == window) g_activated = nullptr;
        g_deactivated = window;
    }
}

void ForgetPendingActivation(void* window) {
    if (g_deactivated == window) g_deactivated = nullptr;
    if (g_activated == window) g_activated = nullptr;
}

void SetApplicationActive(bool active) {
    g_applicationActive = active;
    g_suspendResume = active ? kPendingResume : kPendingSuspend;
}

bool IsApplicationActive() {
    return g_applicationActive;
}

void* TakePendingActivation(bool* active, bool remove) {
    void* window = nullptr;
    if (g_deactivated) {
        window = g_deactivated;
        *active = false;
        if (remove) g_deactivated = nullptr;
    } else if (g_activated) {
        window = g_activated;
        *active = true;
        if (remove) g_activated = nullptr;
    }
    return window;
}

int32_t TakePendingSuspendResume(bool remove) {
    int32_t code = g_suspendResume;
    if (remove) g_suspendResume = 0;
    return code;
}

void ResetActivationState() {
    g_deactivated = g_activated = nullptr;
    g_suspendResume = 0;
    g_applicationActive = true;
}
