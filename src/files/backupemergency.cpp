// The emergency save. It writes nothing while no design is valid, and
// never renames or rotates anything: the one file "Backup_Err.ZID" is
// written whole or not at all (the binary writer's own guarantee).
#include "files/backupemergency.h"

#include <cstdio>

#include "db/altjournal.h"
#include "db/dbheader.h"
#include "db/shellsvc.h"
#include "toolbox/core/filespec.h"

namespace {
const char kEmergencyName[] = "Backup_Err.ZID";
FileSpec s_written{};
} // namespace

const FileSpec* BackupEmergency() {
    if (!DbIsValid()) return nullptr;
    FileSpec target{};
    if (const FileSpec* design = DesignFileSpec())
        target = *design;
    else
        ApplicationFolderSpec(&target);
    std::snprintf(target.name, sizeof target.name, "%s", kEmergencyName);
    while (AltDepth() > 0)
        AltPop(false);
    if (!BackupWrite(&target)) return nullptr;
    s_written = target;
    return &s_written;
}
