// Print ports.
#include "toolbox/core/printport.h"

WindowObject* NewPrintPort(void*, const char*, bool) {
    return nullptr;
}

PrintJob* PrintJobOf(const WindowObject* window) {
    if (!window || window->type != kWindowTypePrint) return nullptr;
    return static_cast<PrintJob*>(window->port);
}

void EndPrintJob(PrintJob* job) {
    if (!job || job->ended) return;
    job->ended = true;
    if (job->end) job->end(job);
}
