// Core request dispatch: 'evti' 0 opens the application, 1 opens and 2
// prints the document named by 'Path'. Every other kind, and every event
// before InstallCoreEventProcs, is left unhandled.
#include "toolbox/core/coreevents.h"

#include "toolbox/core/startuprequest.h"

namespace {

bool g_enabled = false;
CoreOpenApplicationProc g_openApplication = nullptr;
CoreDocumentProc g_openDocument = nullptr;
CoreDocumentProc g_printDocument = nullptr;

} // namespace

void InstallCoreEventProcs(CoreOpenApplicationProc openApplication, CoreDocumentProc openDocument,
                           CoreDocumentProc printDocument) {
    g_openApplication = openApplication;
    g_openDocument = openDocument;
    g_printDocument = printDocument;
    g_enabled = true;
}

void ResetCoreEventProcs() {
    g_enabled = false;
    g_openApplication = nullptr;
    g_openDocument = nullptr;
    g_printDocument = nullptr;
}

int32_t CoreEventPath(EventObject event, char* out) {
    out[0] = 0;
    uint32_t size = 0;
    int32_t err =
        EventParamGet(event, kParamPath, kTypeCString, nullptr, kCorePathBufferSize, &size, out);
    if (err != kEventResultOk) return err;
    out[size < kCorePathBufferSize ? size : kCorePathBufferSize - 1] = 0;
    return kEventResultOk;
}

int32_t CoreEventDispatch(EventObject event) {
    if (!g_enabled || !event) return kEventNotHandled;
    if ((*event)->eventClass != kEventClassHighLevel || (*event)->kind != kCoreEventKind)
        return kEventNotHandled;
    int16_t kind = 0;
    int32_t err = EventParamGet(event, kParamRequestKind, kCoreTypeShort, sizeof kind, &kind);
    if (err != kEventResultOk) return err;
    if (kind == int16_t(kStartupOpenApplication)) {
        if (g_openApplication) g_openApplication();
        return kEventResultOk;
    }
    if (kind != int16_t(kStartupOpenDocument) && kind != int16_t(kStartupPrintDocument))
        return kEventNotHandled;
    char path[kCorePathBufferSize];
    err = CoreEventPath(event, path);
    if (err != kEventResultOk) return err;
    CoreDocumentProc proc =
        kind == int16_t(kStartupOpenDocument) ? g_openDocument : g_printDocument;
    if (proc) proc(path);
    return kEventResultOk;
}
