#include "toolbox/core/commandline.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "toolbox/core/startuprequest.h"
#include "toolbox/core/versioncheck.h"

namespace {

// A file system of upper-case paths; the long name is the lower-cased
// last component with "_long" appended for names marked '~'.
std::set<std::string>& Files() {
    static std::set<std::string> files;
    return files;
}
int g_activations = 0;

bool FakeFind(const char* path, char* name, int32_t room) {
    if (!Files().count(path)) return false;
    std::string p(path);
    std::string last = p.substr(p.rfind('\\') + 1);
    if (!last.empty() && last.back() == '~') last = last.substr(0, last.size() - 1) + "_long";
    for (char& c : last)
        c = char(std::tolower(uint8_t(c)));
    if (int32_t(last.size()) >= room) return false;
    std::strcpy(name, last.c_str());
    return true;
}

class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override {
        Files() = {"C:\\DOCS",   "C:\\DOCS\\A.ZID",   "C:\\DOCS\\B~",      "C:\\DOCS\\B~\\C.ZID",
                   "C:\\MY DIR", "C:\\MY DIR\\D.ZID", "\\\\SRV\\SHARE\\X", "\\\\SRV\\SHARE\\X\\E"};
        g_activations = 0;
        CommandLineProcs procs{&FakeFind, [] { ++g_activations; }};
        SetCommandLineProcs(&procs);
        ClearStartupRequests();
    }
    void TearDown() override {
        ClearStartupRequests();
        SetCommandLineProcs(nullptr);
    }
    static std::vector<std::string> Queued() {
        std::vector<std::string> out;
        for (StartupRequest* r = FirstStartupRequest(); r; r = r->next)
            out.push_back(std::to_string(r->kind) + " " + StartupRequestPath(r));
        return out;
    }
};

TEST_F(CommandLine, WordsSplitOnBlanksAndQuotes) {
    const char* line = "prog.exe\t\"C:\\My Dir\\d.zid\"\n\v\f\r -p  x\"y z\"w";
    char word[kCommandLineWordRoom];
    std::vector<std::string> words;
    while (CommandLineWord(&line, word, kCommandLineWordRoom))
        words.push_back(word);
    EXPECT_EQ(words, (std::vector<std::string>{"prog.exe", "C:\\My Dir\\d.zid", "-p", "xy zw"}));
    // A word of room - 1 characters ends the scan.
    std::string longWord(9, 'a');
    const char* cursor = longWord.c_str();
    EXPECT_FALSE(CommandLineWord(&cursor, word, 10));
    cursor = longWord.c_str();
    EXPECT_TRUE(CommandLineWord(&cursor, word, 11));
    EXPECT_STREQ(word, longWord.c_str());
    const char* blank = " \t ";
    EXPECT_FALSE(CommandLineWord(&blank, word, 10));
}

TEST_F(CommandLine, UncPrefix) {
    EXPECT_EQ(UncPrefixLength("\\\\srv\\share\\x"), 12);
    EXPECT_EQ(UncPrefixLength("\\\\srv\\share"), 0);
    EXPECT_EQ(UncPrefixLength("\\\\\\share\\x"), 0);
    EXPECT_EQ(UncPrefixLength("C:\\srv\\share\\x"), 0);
    EXPECT_EQ(UncPrefixLength("\\srv\\share\\x"), 0);
}

TEST_F(CommandLine, LongPathsOfExistingFiles) {
    char out[64];
    EXPECT_TRUE(LongPathName("C:\\DOCS\\B~\\C.ZID", out, sizeof out));
    EXPECT_STREQ(out, "C:\\docs\\b_long\\c.zid");
    EXPECT_TRUE(LongPathName("\\\\SRV\\SHARE\\X\\E", out, sizeof out));
    EXPECT_STREQ(out, "\\\\SRV\\SHARE\\x\\e");
    EXPECT_FALSE(LongPathName("C:\\DOCS\\MISSING", out, sizeof out));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(LongPathName("A.ZID", out, sizeof out));
    EXPECT_FALSE(LongPathName("C:\\DOCS\\B~\\C.ZID", out, 16)); // does not fit
    // Wildcards are never resolved, whatever they would match.
    char wild[kCommandLineWordRoom] = "C:\\DOCS\\*.ZID";
    Files().insert(wild);
    EXPECT_FALSE(ResolveExistingFile(wild, kCommandLineWordRoom));
    char plain[kCommandLineWordRoom] = "C:\\DOCS\\A.ZID";
    EXPECT_TRUE(ResolveExistingFile(plain, kCommandLineWordRoom));
    EXPECT_STREQ(plain, "C:\\docs\\a.zid");
}

TEST_F(CommandLine, RequestsFromALine) {
    struct Case {
        const char* line;
        bool queued;
        std::vector<std::string> requests;
    } cases[] = {
        {"C:\\DOCS\\A.ZID", false, {}}, // the program word alone
        {"prog C:\\DOCS\\A.ZID -p \"C:\\MY DIR\\D.ZID\" C:\\DOCS\\B~\\C.ZID",
         true,
         {"1 C:\\docs\\a.zid", "2 C:\\my dir\\d.zid", "2 C:\\docs\\b_long\\c.zid"}},
        {"prog C:\\DOCS\\MISSING A.ZID", false, {}},
        {"prog -p", false, {}},
    };
    for (const Case& c : cases) {
        ClearStartupRequests();
        EXPECT_EQ(QueueCommandLineRequests(c.line, false), c.queued) << c.line;
        EXPECT_EQ(Queued(), c.requests) << c.line;
    }
    EXPECT_EQ(g_activations, 0);
    QueueCommandLineRequests("prog", true);
    EXPECT_EQ(g_activations, 1);
}

TEST(SystemVersion, OldestSystems) {
    struct Case {
        uint32_t major, minor;
        bool nine, accepted;
    } cases[] = {{3, 51, false, false}, {4, 0, true, false}, {4, 0, false, true},
                 {4, 10, true, true},   {4, 90, true, true}, {5, 1, false, true},
                 {3, 95, true, false},  {10, 0, false, true}};
    for (const Case& c : cases)
        EXPECT_EQ(SystemVersionAccepted(c.major, c.minor, c.nine), c.accepted)
            << c.major << "." << c.minor << " " << c.nine;
}

} // namespace
