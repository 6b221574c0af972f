// Stand-ins of the backup writer and the emergency save: BackupWrite writes
// the whole design with the binary writer; the emergency save puts
// "Backup_Err.ZID" beside the open design file (else into the application's
// folder) while a design is valid.
#include <cstdio>

#include "db/dbheader.h"
#include "db/shellsvc.h"
#include "files/binload.h"
#include "headless/headless.h"

namespace {
const char kEmergencyName[] = "Backup_Err.ZID";
}

bool BackupWrite(FileSpec* file) {
    return BinSave(file, true);
}

void HeadlessEmergencyBackup() {
    if (!DbIsValid()) return;
    FileSpec target;
    if (const FileSpec* design = DesignFileSpec())
        target = *design;
    else
        ApplicationFolderSpec(&target);
    std::snprintf(target.name, sizeof target.name, "%s", kEmergencyName);
    BackupWrite(&target);
}
