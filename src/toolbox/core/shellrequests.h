// The application's request handlers: open application, open documents,
// print, quit and dropped files, reached through the core request dispatch
// and the drop handler on the application-level receiver.
//
// Guarantees: a document request reaches its handler only with a file
// spec made from a resolvable path; a dropped file reaches the drop
// handler with its window object or null, never a stale pointer.
#pragma once
#include <cstdint>

#include "toolbox/core/eventobject.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/filespec.h"
#include "toolbox/core/windowobject.h"

typedef void (*OpenApplicationHandler)();
typedef void (*DocumentHandler)(const FileSpec* spec);
typedef void (*QuitHandler)();
typedef void (*DropHandler)(const FileSpec* spec, WindowObject* window, int16_t index,
                            int16_t count);

// What the requests ask of the file and window layers: a spec from a path
// (false when it cannot be resolved) and the window object of a native
// window. The defaults: a zeroed spec holding the path split at its last
// backslash, of type "Fldr" for a folder, else the name's extension with
// its dot (false for a path the system does not find), and no window.
struct ShellRequestProcs {
    bool (*fileSpecWithType)(const char* path, FileSpec* out);
    WindowObject* (*windowObjectOfNative)(void* native);
};
void SetShellRequestProcs(const ShellRequestProcs* procs);
bool FileSpecWithType(const char* path, FileSpec* out);

constexpr char kFolderType[] = "Fldr";

// Stores the handlers; registers the request procedures once.
void InstallCoreEventHandlers(OpenApplicationHandler openApplication, DocumentHandler openDocuments,
                              DocumentHandler printDocuments, QuitHandler quit, DropHandler drop);
QuitHandler InstalledQuitHandler();
// Forgets the handlers (tests).
void ResetShellRequests();

void HighLevelOpenApplication();
void HighLevelOpenDocuments(const char* path);
void HighLevelPrintDocuments(const char* path);
// 'eppc' 1 with 'evti' 3: the drop handler; 0. Other requests: -9874.
int32_t DropRequestHandler(EventCallRef* call, EventObject event, void* userData);
