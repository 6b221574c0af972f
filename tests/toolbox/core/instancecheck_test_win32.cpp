#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbox/core/applicationstart.h"
#include "toolbox/core/commandline.h"
#include "toolbox/core/handover.h"
#include "toolbox/core/startuprequest.h"

namespace {

class InstanceMessage : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallCommandLineProcs();
        ClearStartupRequests();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "plv instance " + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        file_ = dir_ + "\\board file.zid";
        HANDLE h = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
    }
    void TearDown() override {
        ClearStartupRequests();
        DeleteFileA(file_.c_str());
        RemoveDirectoryA(dir_.c_str());
        SetCommandLineProcs(nullptr);
    }
    static void Send(uint32_t flags, const std::string& text) {
        ATOM atom = GlobalAddAtomA(text.c_str());
        InstanceMessageReceive(atom, flags);
        if (atom) GlobalDeleteAtom(atom);
    }
    // Hands the line over piece by piece as the second copy does.
    static void HandOver(const std::string& line) {
        int32_t n = int32_t(line.size());
        for (int32_t i = 0; i < HandOverPieceCount(n); ++i)
            Send(HandOverFlags(n, i) & 0xFFFF,
                 line.substr(size_t(i * kHandOverPieceLimit), kHandOverPieceLimit));
    }
    static std::vector<std::string> Queued() {
        std::vector<std::string> out;
        for (StartupRequest* r = FirstStartupRequest(); r; r = r->next)
            out.push_back(std::to_string(r->kind) + " " + StartupRequestPath(r));
        return out;
    }
    std::string dir_, file_;
};

TEST_F(InstanceMessage, AHandedOverLineQueuesItsFiles) {
    std::string padding(250, ' ');
    HandOver("prog.exe" + padding + "-p \"" + file_ + "\" \"" + dir_ + "\\missing.zid\"");
    EXPECT_EQ(Queued(), std::vector<std::string>{"2 " + file_});
}

TEST_F(InstanceMessage, HostilePiecesQueueNothingAndLaterHandOversWork) {
    std::string piece(200, 'x');
    Send(kHandOverLast, piece);               // no first piece
    Send(kHandOverFirst | 4u, "");            // announces length 0
    Send(kHandOverLast, piece);               // then 200 characters
    Send(kHandOverFirst | 14u, "prog.exe  "); // more than announced
    Send(kHandOverLast, "\"" + file_ + "\"");
    EXPECT_TRUE(Queued().empty());
    // Wildcards resolve to nothing.
    HandOver("prog.exe \"" + dir_ + "\\*.zid\"");
    EXPECT_TRUE(Queued().empty());
    HandOver("prog.exe \"" + file_ + "\"");
    EXPECT_EQ(Queued(), std::vector<std::string>{"1 " + file_});
}

} // namespace
