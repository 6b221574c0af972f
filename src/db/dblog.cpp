#include "db/dblog.h"

#include <cstdio>
#include <cstring>

#include "db/shellsvc.h"
#include "toolbox/core/byteorder.h"
#include "toolbox/core/timetext.h"

namespace {

void LogSpec(FileSpec* spec) {
    ApplicationFolderSpec(spec);
    std::snprintf(spec->name, sizeof spec->name, "%s", LOG_FILE_NAME);
}

} // namespace

void LogAppend(const char* text1, const char* text2) {
    FileSpec spec;
    LogSpec(&spec);
    if (!FileSpecExists(&spec, nullptr)) OpenFileSpec(&spec, FourCC("ttxt"), FourCC("TEXT"), 0);
    // Binary append: the line carries its own CR LF.
    std::FILE* f = FileSpecOpenStream(&spec, "ab");
    if (!f) return;
    TimeValue now = CurrentTimeValue(true);
    char date[64];
    char time[32];
    FormatDateText(now, 2, date);
    FormatTimeText(now, true, time);
    std::fprintf(f, "%s  %s  %s%s\r\n", date, time, text1 ? text1 : "", text2 ? text2 : "");
    std::fclose(f);
}

void LogWrite(const char* text) {
    LogAppend(text, "");
}

void LogErase() {
    if (!ConfirmMessage("Are you sure you want to erase the contents of the activity log?")) return;
    FileSpec spec;
    LogSpec(&spec);
    FileHandle h = nullptr;
    if (OpenFileSpecHandle(&spec, 0, &h) != 0) return;
    SetFileLength(h, 0);
    CloseFileHandle(h, 1, 1);
}
