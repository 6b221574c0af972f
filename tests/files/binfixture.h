// Fixture of the design-file tests: a scratch folder for the files (and
// the activity log), raw file access and record builders.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "db/dbfixture.h"
#include "db/shellsvc.h"
#include "dumpcompare.h"
#include "files/binfmt.h"
#include "headless/headless.h"

class BinTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path() /
                (std::string("plv_bin_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        HeadlessSetApplicationFolder(m_dir.string().c_str());
    }
    void TearDown() override {
        HeadlessSetApplicationFolder(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
        DbTest::TearDown();
    }

    FileSpec Spec(const char* name) const {
        FileSpec s;
        std::memset(&s, 0, sizeof s);
        std::snprintf(s.folder, sizeof s.folder, "%s", m_dir.string().c_str());
        std::snprintf(s.name, sizeof s.name, "%s", name);
        return s;
    }
    std::string PathOf(const char* name) const { return (m_dir / name).string(); }

    std::vector<uint8_t> ReadBytes(const char* name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    void WriteBytes(const char* name, const std::vector<uint8_t>& bytes) const {
        std::ofstream out(PathOf(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::string LogText() const {
        std::ifstream in(PathOf("Pelvane.Log"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // A record: the big-endian head and the body as given.
    static void AddRecord(std::vector<uint8_t>& out, int32_t type,
                          const std::vector<uint8_t>& body) {
        const uint8_t head[8] = {'B',
                                 'I',
                                 'N',
                                 'R',
                                 uint8_t(type >> 8),
                                 uint8_t(type),
                                 uint8_t(body.size() >> 8),
                                 uint8_t(body.size())};
        out.insert(out.end(), head, head + 8);
        out.insert(out.end(), body.begin(), body.end());
    }
    // A little-endian file-header body for a type code.
    static std::vector<uint8_t> FileHeaderBody(const char* code = "MXDF", const char* tag = "IW32",
                                               int32_t subVersion = 49) {
        std::vector<uint8_t> b(64, 0);
        for (int i = 0; i < 4; ++i)
            b[size_t(i)] = uint8_t(code[3 - i]);
        std::memcpy(&b[4], tag, 4);
        std::memcpy(&b[8], "ZELTO BINARY ROUTER FILE", 24);
        b[32] = 700 & 0xFF;
        b[33] = 700 >> 8;
        b[34] = uint8_t(subVersion);
        b[35] = uint8_t(subVersion >> 8);
        return b;
    }
    static std::vector<uint8_t> NameBody(const char* text) {
        std::vector<uint8_t> b(text, text + std::strlen(text) + 1);
        return b;
    }

    std::filesystem::path m_dir;
};
