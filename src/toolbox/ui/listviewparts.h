// The list view's own steps shared by its window files: drawing an area,
// drawing what the model changed, geometry, the cell rectangle, asking the
// procedure and disposing the view.
#pragma once
#include <cstdint>

#include "toolbox/core/rect.h"
#include "toolbox/ui/listview.h"

void ListDrawArea(ListView* view, const Rect16& area);
void ListShowChanges(ListView* view);
void ListUpdateGeometry(ListView* view);
void ListDisposeView(WindowObject* window, ListView* view);
Rect16 ListCellRect(ListView* view, int32_t row, int32_t part);
int32_t ListAsk(ListView* view, int32_t message, ListParams* params);
