// Fixture of the ASCII database tests: a fresh database state, the
// catalogue loaded, the activity log in a folder of its own, and helpers
// that read a text as a file and collect the parse error lines.
#pragma once
#include <cstdio>
#include <chrono>
#include <filesystem>
#include <random>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/dbfixture.h"
#include "db/lang.h"
#include "files/asc.h"
#include "files/ascshell.h"
#include "headless/ascio.h"

class AscTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        HeadlessAscioReset();
        LangInit();
        // A folder of this process and test alone: test programs run side
        // by side (under Wine with the same addresses in every process).
        static const uint64_t process =
            uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
            (uint64_t(std::random_device{}()) << 20);
        static uint32_t serial = 0;
        m_folder = std::filesystem::temp_directory_path() /
                   ("plv_asc_" + std::to_string(process) + "_" + std::to_string(++serial));
        std::filesystem::create_directories(m_folder);
        std::filesystem::remove(m_folder / "Pelvane.Log");
        HeadlessSetApplicationFolder(m_folder.string().c_str());
    }
    void TearDown() override {
        AscSetOutput(nullptr);
        AscEndStream();
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
        HeadlessAscioReset();
        DbTest::TearDown();
    }

    // Reads text as the file "t.asc"; answers the result, errors in *errors.
    int32_t Read(const std::string& text, int32_t* errors = nullptr) {
        FileSpec spec;
        HeadlessMemoryFileSpec(text.data(), text.size(), "t.asc", &spec);
        int32_t count = -1;
        int32_t ok = AscReadDatabase(&spec, &count);
        if (errors) *errors = count;
        return ok;
    }

    // A file with the header keywords given, *START, the body and *END.
    static std::string File(const std::string& body, const std::string& header = "") {
        return "*PELVANE\r\n" + header + "*START\r\n" + body + "\r\n*END\r\n";
    }

    // The parse error lines of the log, from "File" on.
    std::vector<std::string> LogLines() {
        std::vector<std::string> out;
        std::ifstream in(m_folder / "Pelvane.Log", std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            size_t at = line.find("File \"");
            if (at != std::string::npos) out.push_back(line.substr(at));
        }
        return out;
    }

    // The messages of the log lines (after "### ").
    std::vector<std::string> Messages() {
        std::vector<std::string> out;
        for (const std::string& l : LogLines()) {
            size_t at = l.find("### ");
            out.push_back(at == std::string::npos ? l : l.substr(at + 4));
        }
        return out;
    }

    // Starts a tokenizer context over text.
    void Lex(const std::string& text) {
        FileSpec spec;
        HeadlessMemoryFileSpec(text.data(), text.size(), "lex", &spec);
        m_stream = FileSpecOpenStream(&spec, "rb");
        ASSERT_NE(m_stream, nullptr);
        ASSERT_TRUE(AscBeginStream(m_stream, "lex"));
    }
    void EndLex() {
        AscEndStream();
        if (m_stream) std::fclose(m_stream);
        m_stream = nullptr;
    }

    // What the writer gives into a string.
    template <typename F> static std::string Written(F writer) {
        std::FILE* f = HeadlessTempFile();
        AscSetOutput(f);
        writer();
        AscSetOutput(nullptr);
        std::fflush(f);
        std::rewind(f);
        std::string out;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, n);
        std::fclose(f);
        return out;
    }

    std::filesystem::path m_folder;
    std::FILE* m_stream = nullptr;
};
