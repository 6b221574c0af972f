// The shell defines the core's shell services only in its Win32 files: the
// portable shell builds beside the native stand-ins without a second
// definition of any of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kSeamNames[] = {
    "FatalErrorAlert", "AlertMessage", "ConfirmMessage", "WarningShow", "SetIdleTask",
    "ToolEventHook", "UserAbort", "UserAbortReset", "BusyFeedback", "PostAppCommand",
    "PostFrameCommand", "BroadcastCommand", "menuEnableCommand", "SystemBeep", "SetCursorKind",
    "StatusLineUpdate", "ZoomTo", "MsgNote", "MsgPrompt", "MsgInfo", "MsgResult", "MsgFlush",
    "DisplayInit", "DisplayClose", "DrawBoardObject", "ShowTrackPath", "PaintAlt",
    "RoutingBoxShow", "batchRefresh", "ViewReinstall", "FrontAppWindow", "g_gridDoubling",
    "MzFlags", "MzFlags2", "g_forceInstall", "DesignFileSpec", "BackupWrite", "UBeep",
    "InvalidateFrontWindow", "NotImplemented", "NotImplemented2", "NotImplemented3",
    "NotImplemented4", "DrcSweepOptionsDialog", "TestPtOptionsDialog", "PaintMapCell",
    "FrontActiveLayer", "FrontPickedRect", "FrontQueryPoint", "DrawPathSegments",
    "ShowMessageAlert", "ShowErrorAlert", "ShowProgressMessage", "StringResourceLoad",
};

TEST(ShellSeamsTest, OnlyWin32FilesDefineTheCoreServices) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(PLV_SOURCE_DIR) / "src" / "shell";
    ASSERT_TRUE(fs::is_directory(dir));
    // A definition at the start of a line: a type, the name, then a
    // parameter list opening a body, or an initialiser.
    std::vector<std::pair<std::regex, std::regex>> checks;
    for (const char* seam : kSeamNames)
        checks.emplace_back(std::regex("(^|\\n)[A-Za-z_][\\w:<>\\*& ]*[\\s\\*&]" + std::string(seam) +
                                       "\\s*\\([^;{]*\\)\\s*(const\\s*)?\\{"),
                            std::regex("(^|\\n)[A-Za-z_][\\w:<>\\*& ]*[\\s\\*&]" + std::string(seam) +
                                       "\\s*(=[^=]|;|\\{)"));
    int32_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".cpp") continue;
        if (name.size() > 10 && name.compare(name.size() - 10, 10, "_win32.cpp") == 0) continue;
        ++files;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        std::string source = text.str();
        for (size_t k = 0; k < checks.size(); ++k) {
            EXPECT_FALSE(std::regex_search(source, checks[k].first)) << name << " defines " << kSeamNames[k];
            EXPECT_FALSE(std::regex_search(source, checks[k].second)) << name << " defines " << kSeamNames[k];
        }
    }
    EXPECT_GT(files, 10);
}

// The check itself: a definition is seen, a call or a declaration is not.
TEST(ShellSeamsTest, TheCheckSeesDefinitions) {
    std::regex function("(^|\\n)[A-Za-z_][\\w:<>\\*& ]*[\\s\\*&]MsgNote\\s*\\([^;{]*\\)\\s*(const\\s*)?\\{");
    EXPECT_TRUE(std::regex_search(std::string("void MsgNote(const char* t) {\n}"), function));
    EXPECT_FALSE(std::regex_search(std::string("    MsgNote(\"x\");"), function));
    EXPECT_FALSE(std::regex_search(std::string("void MsgNote(const char* t);"), function));
}

} // namespace
