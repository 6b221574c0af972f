// The modal script's queue and log. One thread (the event loop's) uses
// them; the dialogs' deliveries live in modalscript_win32.cpp.
#include "toolbox/ui/modalscript.h"

#include <deque>

namespace {

std::deque<ModalStep> g_steps;
std::vector<std::string> g_log;
bool g_on = false;

const char* KindName(ModalDialogKind kind) {
    switch (kind) {
    case kModalToolboxDialog:
        return "dialog";
    case kModalMessageBox:
        return "message";
    case kModalOpenChooser:
        return "open";
    case kModalSaveChooser:
        return "save";
    case kModalFolderBrowser:
        return "folder";
    }
    return "?";
}

} // namespace

void ModalScriptPush(const ModalStep& step) {
    g_on = true;
    g_steps.push_back(step);
}

const std::vector<std::string>& ModalScriptLog() {
    return g_log;
}

void ModalScriptReset() {
    g_steps.clear();
    g_log.clear();
    g_on = false;
}

bool ModalScriptOn() {
    return g_on;
}

int32_t ModalScriptPending() {
    return int32_t(g_steps.size());
}

bool ModalScriptTake(ModalDialogKind kind, int32_t templateNumber, ModalStep* step) {
    if (g_steps.empty()) return false;
    const ModalStep& front = g_steps.front();
    if (front.kind != kind) return false;
    if (kind == kModalToolboxDialog && front.templateNumber != 0 &&
        front.templateNumber != templateNumber)
        return false;
    *step = front;
    g_steps.pop_front();
    return true;
}

std::string ModalScriptLine(ModalDialogKind kind, int32_t templateNumber, const char* title,
                            const std::vector<std::string>& texts, bool expected) {
    std::string line = expected ? "" : "unexpected ";
    line += KindName(kind);
    if (kind == kModalToolboxDialog) line += " " + std::to_string(templateNumber);
    line += " \"";
    line += title ? title : "";
    line += "\"";
    for (const std::string& t : texts)
        line += " \"" + t + "\"";
    return line;
}

void ModalScriptRecord(ModalDialogKind kind, int32_t templateNumber, const char* title,
                       const std::vector<std::string>& texts, bool expected) {
    if (!g_on) return;
    g_log.push_back(ModalScriptLine(kind, templateNumber, title, texts, expected));
}
