// The emergency save of a fatal error, one rule for every program: while a
// design is valid, "Backup_Err.ZID" is written with BackupWrite beside the
// open design's file, or in the program's folder when the design has no
// file record (a design never saved is not lost).
#pragma once

void BackupEmergency();
