// The list view's own steps shared by its window files: drawing an area,
// drawing what the model changed, geometry, the cell rectangle, asking the
// procedure and disposing the view.
#pragma once
#include <cstdint>
#include <vector>

#include "toolbox/core/rect.h"
#include "toolbox/ui/listview.h"

void ListDrawArea(ListView* view, const Rect16& area);
void ListShowChanges(ListView* view);
void ListUpdateGeometry(ListView* view);
void ListDisposeView(WindowObject* window, ListView* view);
Rect16 ListCellRect(ListView* view, int32_t row, int32_t part);
int32_t ListAsk(ListView* view, int32_t message, ListParams* params);

// The selection of the visible rows, to show what a selection change did.
struct ListSelectionSnapshot {
    int32_t firstVisible;
    std::vector<uint8_t> states;
};
ListSelectionSnapshot ListSnapSelection(const ListView* view);
// The visible rows whose selection changed since the snapshot redrawn with
// message 1 (14 while a row is dragged); everything else the model noted
// drawn from its first changed row.
void ListShowSelection(ListView* view, const ListSelectionSnapshot& before);
// The selected rows, in order.
std::vector<int32_t> ListSelectedRows(const ListView* view);
