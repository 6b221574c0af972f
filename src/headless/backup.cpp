// Stand-ins of the backup writer and the emergency save: BackupWrite writes
// the whole design with the binary writer; the emergency save is the design
// files' BackupEmergency under its stand-in name.
#include "db/shellsvc.h"
#include "files/backupemergency.h"
#include "files/binload.h"
#include "headless/headless.h"

bool BackupWrite(FileSpec* file) {
    return BinSave(file, true);
}

void HeadlessEmergencyBackup() {
    BackupEmergency();
}
