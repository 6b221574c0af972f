// Stand-ins of the backup writer and the emergency save: BackupWrite writes
// the whole design with the binary writer; the emergency save is the design
// files' BackupEmergency under its stand-in name, which also remembers
// where the backup went.
#include "db/shellsvc.h"
#include "files/backupemergency.h"
#include "files/binload.h"
#include "headless/headless.h"

namespace {
const FileSpec* s_written = nullptr;
} // namespace

bool BackupWrite(FileSpec* file) {
    return BinSave(file, true);
}

void HeadlessEmergencyBackup() {
    if (const FileSpec* f = BackupEmergency()) s_written = f;
}

const FileSpec* HeadlessEmergencyBackupFile() {
    return s_written;
}
