// Which procedure a self-drawn control's definition number chooses: the
// toolbox's own definitions by kind, every other number through the
// registered definitions (newest first).
#include "toolbox/ui/controldefs.h"

#include "toolbox/ui/controlrules.h"

ControlDefinitionProc ControlDefinitionFor(int32_t kind, int32_t definitionNumber) {
    switch (kind) {
    case kDefinitionRegistered:
        return FindControlDefinition(definitionNumber);
    default:
        return nullptr;
    }
}
