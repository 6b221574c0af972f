// The file choosers over the system's common dialogs: choose files to
// open, where to save, or a folder; the last folder the user was in,
// remembered for the life of the process; and the hook that centres the
// choosers and follows the user's folder.
//
// Guarantees: a cancelled chooser is never an error (995 for Open, false
// for Save and the folder browser) and leaves the caller's spec at the
// last folder; a chooser the system could not show answers its error code
// instead; the native-modal flag is raised for the run of Open and Save
// and restored afterwards; no name is copied beyond its buffer.
#pragma once
#include <cstdint>

#include "toolbox/core/filespec.h"
#include "toolbox/ui/chooserbuffer.h"

// ShowOpenFileDialog options.
constexpr int32_t kOpenStartInFolder = 1;
constexpr int32_t kOpenSeveralFiles = 2;
// ChooseFileSpec options.
constexpr int32_t kChooseStartInFolder = 1;
constexpr int32_t kChooseOfferName = 8;
// The filter text that asks ChooseFileSpec for a folder.
constexpr char kFolderFilterText[] = "Fldr";

// Buffer sizes of the choosers' names and the last folder's room.
constexpr int32_t kOpenNameBufferSize = 2048;
constexpr int32_t kOpenNameBufferSlack = 4;
constexpr int32_t kSaveNameBufferSize = 400;
constexpr int32_t kLastFolderChars = 256;

// 0 when files were chosen and every call of the procedure answered 0;
// 995 when the user cancelled; 8 when the name buffer could not be made;
// the procedure's first non-zero answer; or the chooser's own error code
// when it could not be shown.
int32_t ShowOpenFileDialog(const char* title, const char* filter, int32_t options, FileSpec* folder,
                           int32_t* filterIndex, const char* initialName, ChosenFileProc procedure,
                           void* userData);
// True when the user confirmed a name; the FileSpec then holds folder, name and
// the type from the extension. On cancel the FileSpec's folder is the last
// folder.
bool ShowSaveFileDialog(const char* prompt, const char* defaultName, const char* filter,
                        bool useFolder, FileSpec* spec, int32_t* filterIndex);
// "Fldr": the folder browser (the FileSpec then names the folder);
// otherwise Open for one file with the filter.
bool ChooseFileSpec(const char* prompt, const char* filter, int32_t options, FileSpec* spec,
                    int32_t* filterIndex);
// The folder browser limited to file-system folders; owner: the native
// window (null: none).
bool BrowseForFolder(void* owner, const char* title, bool startInSpec, FileSpec* spec);

const char* LastChooserFolder();
void SetLastChooserFolder(const char* path);
