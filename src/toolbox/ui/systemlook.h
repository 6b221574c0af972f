// What the drawing layer reads of the system's look: the background of a
// theme kind and the desktop's bounds.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"

constexpr int32_t kThemeBackButtonFace = 1;
constexpr int32_t kThemeBackButtonFaceAlt = 3;
constexpr int32_t kThemeBackMenu = 4;
constexpr int32_t kThemeBackHighlight = 5;
constexpr int32_t kDesktopWorkArea = 0;
constexpr int32_t kDesktopWholeScreen = 1;

// Background from the system colour for kinds 1 and 3 (button face), 4
// (menu), 5 (highlight), else white.
void SetBackgroundForThemeKind(int32_t kind);
void DesktopBounds(int32_t which, Rect16* out);
