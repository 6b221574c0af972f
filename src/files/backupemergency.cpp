// The emergency save. It writes nothing while no design is valid, and
// never renames or rotates anything: the one file "Backup_Err.ZID" is
// written whole or not at all (the binary writer's own guarantee).
#include "files/backupemergency.h"

#include <cstdio>

#include "db/dbheader.h"
#include "db/shellsvc.h"
#include "toolbox/core/filespec.h"

namespace {
const char kEmergencyName[] = "Backup_Err.ZID";
}

void BackupEmergency() {
    if (!DbIsValid()) return;
    FileSpec target{};
    if (const FileSpec* design = DesignFileSpec())
        target = *design;
    else
        ApplicationFolderSpec(&target);
    std::snprintf(target.name, sizeof target.name, "%s", kEmergencyName);
    BackupWrite(&target);
}
