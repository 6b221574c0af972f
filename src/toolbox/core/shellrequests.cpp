// Request handlers of the application. The document procedures turn the
// request's path into a file spec first; a path that does not resolve is
// dropped without a message.
#include "toolbox/core/shellrequests.h"

#include <cstring>

#include "toolbox/core/coreevents.h"
#include "toolbox/core/eventconvert.h"
#include "toolbox/core/shelldefaults.h"
#include "toolbox/core/startuprequest.h"

namespace {

OpenApplicationHandler g_openApplication = nullptr;
DocumentHandler g_openDocuments = nullptr;
DocumentHandler g_printDocuments = nullptr;
QuitHandler g_quit = nullptr;
DropHandler g_drop = nullptr;
bool g_procsRegistered = false;

bool SplitSpec(const char* path, FileSpec* out) {
    return FileSpecFromPath(path, PathKindOf(path), out);
}

WindowObject* NoWindow(void*) {
    return nullptr;
}

ShellRequestProcs g_procs{&SplitSpec, &NoWindow};

void Document(DocumentHandler handler, const char* path) {
    FileSpec spec;
    if (!handler || !FileSpecWithType(path, &spec)) return;
    handler(&spec);
}

} // namespace

bool FileSpecFromPath(const char* path, PathKind kind, FileSpec* out) {
    std::memset(out, 0, sizeof *out);
    if (kind == PathKind::Missing || !path) return false;
    const char* slash = std::strrchr(path, '\\');
    size_t folder = slash ? size_t(slash - path) : 0;
    const char* name = slash ? slash + 1 : path;
    if (folder >= size_t(kFileSpecFolderSize) || std::strlen(name) >= size_t(kFileSpecNameSize))
        return false;
    std::memcpy(out->folder, path, folder);
    std::strcpy(out->name, name);
    const char* dot = std::strrchr(name, '.');
    if (kind == PathKind::Folder)
        std::strcpy(out->type, kFolderType);
    else if (dot && std::strlen(dot) < size_t(kFileSpecTypeSize))
        std::strcpy(out->type, dot);
    return true;
}

void SetShellRequestProcs(const ShellRequestProcs* procs) {
    g_procs = procs ? *procs : ShellRequestProcs{};
    if (!g_procs.fileSpecWithType) g_procs.fileSpecWithType = &SplitSpec;
    if (!g_procs.windowObjectOfNative) g_procs.windowObjectOfNative = &NoWindow;
}

bool FileSpecWithType(const char* path, FileSpec* out) {
    return g_procs.fileSpecWithType(path, out);
}

void InstallCoreEventHandlers(OpenApplicationHandler openApplication, DocumentHandler openDocuments,
                              DocumentHandler printDocuments, QuitHandler quit, DropHandler drop) {
    g_openApplication = openApplication;
    g_openDocuments = openDocuments;
    g_printDocuments = printDocuments;
    g_quit = quit;
    g_drop = drop;
    if (g_procsRegistered) return;
    InstallCoreEventProcs(&HighLevelOpenApplication, &HighLevelOpenDocuments,
                          &HighLevelPrintDocuments);
    g_procsRegistered = true;
}

QuitHandler InstalledQuitHandler() {
    return g_quit;
}

void ResetShellRequests() {
    g_openApplication = nullptr;
    g_openDocuments = g_printDocuments = nullptr;
    g_quit = nullptr;
    g_drop = nullptr;
    g_procsRegistered = false;
    SetShellRequestProcs(nullptr);
    ResetCoreEventProcs();
}

void HighLevelOpenApplication() {
    if (g_openApplication) g_openApplication();
}

void HighLevelOpenDocuments(const char* path) {
    Document(g_openDocuments, path);
}

void HighLevelPrintDocuments(const char* path) {
    Document(g_printDocuments, path);
}

int32_t DropRequestHandler(EventCallRef*, EventObject event, void*) {
    if (!event || (*event)->eventClass != kEventClassHighLevel || (*event)->kind != kCoreEventKind)
        return kEventNotHandled;
    int16_t kind = 0;
    if (EventParamGet(event, kParamRequestKind, kCoreTypeShort, sizeof kind, &kind) !=
            kEventResultOk ||
        kind != int16_t(kStartupDroppedFile))
        return kEventNotHandled;
    char path[kCorePathBufferSize];
    FileSpec spec;
    if (!g_drop || CoreEventPath(event, path) != kEventResultOk || !FileSpecWithType(path, &spec))
        return kEventResultOk;
    void* native = nullptr;
    int16_t index = 0, count = 0;
    EventParamGet(event, kParamWindow, kReceiverWindow, sizeof native, &native);
    EventParamGet(event, kParamDropIndex, kCoreTypeShort, sizeof index, &index);
    EventParamGet(event, kParamDropCount, kCoreTypeShort, sizeof count, &count);
    g_drop(&spec, native ? g_procs.windowObjectOfNative(native) : nullptr, index, count);
    return kEventResultOk;
}
