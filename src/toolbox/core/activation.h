// Pending window activations and the application's active state, recorded
// by the native window procedures and delivered by the event loop's wait
// as activate and suspend/resume events.
//
// Guarantees: one pending deactivated and one pending activated window;
// recording the opposite state of the same window cancels the pending one;
// a resume cancels a pending suspend and the other way round.
#pragma once
#include <cstdint>

constexpr int32_t kPendingSuspend = 16;
constexpr int32_t kPendingResume = 17;

void SetWindowActivationPending(void* window, bool active);
void ForgetPendingActivation(void* window);
void SetApplicationActive(bool active);
bool IsApplicationActive();

// The pending deactivated window, else the activated one (null: none);
// `active` tells which; taken (cleared) when `remove`.
void* TakePendingActivation(bool* active, bool remove);
// 0, kPendingSuspend or kPendingResume; cleared when `remove`.
int32_t TakePendingSuspendResume(bool remove);
// Clears every pending state and makes the application active (tests).
void ResetActivationState();
