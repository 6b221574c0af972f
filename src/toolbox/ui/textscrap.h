// Cut, copy and paste of a text record through the application's text
// scrap, and publishing the scrap to the system clipboard.
//
// Guarantees: a copy that cannot size the scrap leaves the scrap as it
// was; a paste that cannot grow the text leaves the record unchanged.
#pragma once
#include <cstdint>

#include "toolbox/ui/textengine.h"

bool TextCopy(TextRecord* record);
bool TextCut(TextRecord* record);
bool TextPaste(TextRecord* record);
// As paste, the text growing to at most `limit` characters (kTextNoLimit:
// none) and taking only the leading characters the filter accepts.
bool TextPasteFiltered(TextRecord* record, int32_t limit, bool (*filter)(char));
int32_t ClipboardTextLength();
int32_t PublishClipboardText();
int32_t ImportClipboardText();
