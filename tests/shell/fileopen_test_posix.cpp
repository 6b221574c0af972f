// The open road and the requests: loading, the messages of a load, a file
// that does not load, the range warnings, parse errors, strategy files, the
// print refusal and the save question's first steps.
#include <filesystem>
#include <fstream>

#include "db/dbextent.h"
#include "files/binload.h"
#include "shell/fileopen.h"
#include "shell/shellids.h"
#include "shell/recordinghost.h"

namespace {

const char kBoardPath[] = PLV_SOURCE_DIR "/samples/board.asc";

class FileOpenTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        folder = std::filesystem::temp_directory_path() /
                 ("plv_open_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        OpenBoard();
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        ShellTest::TearDown();
    }
    FileSpec Spec(const std::string& name, const char* type) {
        FileSpec f{};
        std::snprintf(f.folder, sizeof f.folder, "%s", folder.string().c_str());
        std::snprintf(f.name, sizeof f.name, "%s", name.c_str());
        std::snprintf(f.type, sizeof f.type, "%s", type);
        return f;
    }
    FileSpec Write(const std::string& name, const std::string& text, const char* type = "TEXT") {
        std::ofstream(folder / name, std::ios::binary) << text;
        return Spec(name, type);
    }
    FileSpec Sample() {
        std::filesystem::copy_file(kBoardPath, folder / "board.asc");
        return Spec("board.asc", "TEXT");
    }
    std::filesystem::path folder;
};

TEST_F(FileOpenTest, LoadingTheSampleTitlesAndValidates) {
    FileSpec board = Sample();
    EXPECT_EQ(FileCommand(&board), 1);
    EXPECT_TRUE(DbIsValid());
    EXPECT_EQ(DbHdr().modified, 0);
    ASSERT_TRUE(g_shell.hasDesignFile);
    EXPECT_STREQ(g_shell.designFile.name, "board.asc");
    EXPECT_TRUE(host.Has("Note Loading board.asc"));
    EXPECT_TRUE(host.Has("Note Updating board.asc"));
    EXPECT_TRUE(host.Has("Note File Loaded"));
    EXPECT_TRUE(host.Has("SetTitle " + std::to_string(g_shell.boardWindow) + " board.asc"));
    EXPECT_FALSE(host.Has("Alert Unable to load file"));
}

TEST_F(FileOpenTest, AFileThatDoesNotLoadLeavesAnEmptyDesign) {
    FileSpec board = Sample();
    ASSERT_EQ(FileCommand(&board), 1);
    FileSpec junk = Write("junk.zid", "not a design", ".ZID");
    EXPECT_EQ(FileCommand(&junk), 0);
    EXPECT_TRUE(host.Has("Alert Unable to load file"));
    EXPECT_FALSE(DbIsValid());
    EXPECT_EQ(DbHdr().compCount, 0);
    EXPECT_FALSE(g_shell.hasDesignFile);
}

TEST_F(FileOpenTest, ParseErrorsGiveTheMessageBox) {
    std::ifstream in(kBoardPath, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t start = text.find("*START");
    ASSERT_NE(start, std::string::npos);
    text.insert(text.find('\n', start) + 1, "*FOO 1\r\n"); // an unrecognised keyword
    FileSpec bad = Write("bad.asc", text);
    EXPECT_EQ(FileCommand(&bad), 1);
    bool counted = false;
    for (const std::string& line : host.lines)
        counted |= line.find("errors written to log file.") != std::string::npos;
    EXPECT_TRUE(counted) << testing::PrintToString(host.lines);
}

TEST_F(FileOpenTest, RequestsSkipStrategyFilesAndAskFirst) {
    FileSpec board = Sample();
    ASSERT_EQ(FileCommand(&board), 1);
    // A strategy file handed over is not opened.
    FileSpec strat = Spec("s.zid", ".ZID");
    ASSERT_TRUE(BinSave(&strat, false));
    host.lines.clear();
    OpenDocumentEvent(&strat);
    EXPECT_FALSE(host.Has("Note Loading s.zid"));
    // A modified design asks; the question (cancelled until it is built)
    // keeps the design.
    DbHdr().modified = 1;
    host.placeholderAnswer = 0;
    FileSpec again = Spec("board.asc", "");
    OpenDocumentEvent(&again);
    EXPECT_TRUE(host.Has("SaveChangesCheck 0"));
    EXPECT_FALSE(host.Has("Note Loading board.asc"));
    EXPECT_NE(DbHdr().flags & kHdrComponentsChanged, 0);
    // Unmodified: no question; a file that is not binary is read as ASCII.
    DbHdr().modified = 0;
    host.lines.clear();
    OpenDocumentEvent(&again);
    EXPECT_FALSE(host.Has("SaveChangesCheck 0"));
    EXPECT_TRUE(host.Has("Note File Loaded"));
}

TEST_F(FileOpenTest, PrintRequestIsRefusedOncePer300Ticks) {
    host.ticks = 1000;
    PrintDocumentsEvent(nullptr);
    host.ticks = 1200;
    PrintDocumentsEvent(nullptr);
    EXPECT_EQ(host.Count("MessageBox Printing is not supported by this application!"), 1);
    // Started only to print: Exit is posted each time.
    EXPECT_EQ(host.Count("Post 30114 0"), 2);
    host.ticks = 1400;
    g_shell.openedByRequest = true;
    PrintDocumentsEvent(nullptr);
    EXPECT_EQ(host.Count("MessageBox Printing is not supported by this application!"), 2);
    EXPECT_EQ(host.Count("Post 30114 0"), 2);
}

} // namespace
