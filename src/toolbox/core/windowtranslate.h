// Translation of pane-level native records into window events: the content
// procedure of every window object's surface list.
//
// Guarantees: the window is found again by sequence number after every
// event sent, and the list is not touched once the window is gone.
#pragma once
#include <cstdint>

struct SurfaceList;

int32_t TranslateWindowEvent(SurfaceList* list, int32_t what, void* data);
// Whether keypad keys take their own key codes in key events.
void SetNumericKeypadCodes(bool on);
// Forgets the remembered click (tests).
void ResetClickHistory();
