// Opening a design handed to the program (the command line, a dropped file,
// the open request), a new empty design, the save question's first steps,
// and the five requests the toolbox passes on.
#pragma once
#include <cstdint>

#include "toolbox/core/filespec.h"

// Loads the file (none: the open dialog); 1 when a design was loaded.
int32_t FileCommand(const FileSpec* file);
// Empties the database into a new, not valid design with no file.
void NewDesign();

void OpenApplicationEvent();
void OpenDocumentEvent(const FileSpec* file);
void DropDocumentEvent(const FileSpec* file);
void PrintDocumentsEvent(const FileSpec* file);
void QuitEvent();
