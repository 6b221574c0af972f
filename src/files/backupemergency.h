// The emergency save of a fatal error, one rule for every program: while a
// design is valid, the journal levels still open are rejected (only
// committed edits are saved) and "Backup_Err.ZID" is written with
// BackupWrite beside the open design's file, or in the program's folder
// when the design has no file record (a design never saved is not lost).
#pragma once

struct FileSpec;

// The file written, or null when nothing was (no valid design, or the
// write failed).
const FileSpec* BackupEmergency();
