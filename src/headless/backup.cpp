// Stand-ins of the backup writer and the emergency save: BackupWrite writes
// the whole design with the binary writer; the emergency save puts
// "Backup_Err.ZID" beside the open design file (else into the application's
// folder) while a design is valid, after rejecting the open journal levels
// so that only committed edits are saved.
#include <cstdio>

#include "db/altjournal.h"
#include "db/dbheader.h"
#include "db/shellsvc.h"
#include "files/binload.h"
#include "headless/headless.h"

namespace {
const char kEmergencyName[] = "Backup_Err.ZID";
FileSpec s_written;
bool s_haveWritten = false;
} // namespace

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
    while (AltDepth() > 0)
        AltPop(false);
    if (!BackupWrite(&target)) return;
    s_written = target;
    s_haveWritten = true;
}

const FileSpec* HeadlessEmergencyBackupFile() {
    return s_haveWritten ? &s_written : nullptr;
}
