// Record framing, read errors, body sizes and mode misuse of the binary
// design file format.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "binfixture.h"
#include "db/db.h"
#include "db/names.h"
#include "toolbox/core/byteorder.h"

namespace {

class BinFormatTest : public BinTest {
  protected:
    // Opens the file for reading and reads its first record (the file header).
    void OpenPastHeader(const char* name) {
        ASSERT_TRUE(BinOpen(&m_spec, 'r')) << name;
        int32_t type = 0;
        BinReadRec(m_buf.data(), &type);
        ASSERT_EQ(type, kRecFileHeader);
    }
    FileSpec m_spec{};
    std::vector<uint8_t> m_buf = std::vector<uint8_t>(kBinBufferBytes);
};

TEST_F(BinFormatTest, FileHeaderAndNameRecordsAreWrittenByteForByte) {
    NewDesign();
    FileSpec spec = Spec("a.zid");
    ASSERT_TRUE(BinOpen(&spec, 'w'));
    BinFileHeader h{};
    h.typeCode = FourCC("MXDF");
    EXPECT_TRUE(BinWriteRec(kRecFileHeader, &h));
    std::string name(100, 'N');
    EXPECT_TRUE(BinWriteRec(kRecNameString, name.c_str()));
    std::string tooLong(101, 'N');
    EXPECT_FATAL(BinWriteRec(kRecNameString, tooLong.c_str()), kBinErrWriteText);
    EXPECT_TRUE(BinClose('w'));

    std::vector<uint8_t> bytes = ReadBytes("a.zid");
    ASSERT_EQ(bytes.size(), size_t(8 + 64 + 8 + 101));
    std::vector<uint8_t> expect = {0x42, 0x49, 0x4E, 0x52, 0x00, 0x18, 0x00, 0x40,
                                   0x46, 0x44, 0x58, 0x4D, 0x49, 0x57, 0x33, 0x32};
    const char* ident = "ZELTO BINARY ROUTER FILE";
    for (const char* c = ident; *c; ++c)
        expect.push_back(uint8_t(*c));
    for (uint8_t b : {0xBC, 0x02, 0x31, 0x00})
        expect.push_back(b);
    expect.resize(expect.size() + 28, 0);
    for (uint8_t b : {0x42, 0x49, 0x4E, 0x52, 0x00, 0x04, 0x00, 101})
        expect.push_back(b);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 80), expect);
    EXPECT_EQ(bytes[80 + 99], 'N');
    EXPECT_EQ(bytes.back(), 0);
}

TEST_F(BinFormatTest, EveryFailedReadAnswersItsCodeWithTypeZeroAndFailsTheClose) {
    NewDesign();
    auto body = [](size_t n, std::initializer_list<std::pair<size_t, uint8_t>> set = {}) {
        std::vector<uint8_t> b(n, 0);
        for (auto& s : set)
            b[s.first] = s.second;
        return b;
    };
    auto head = [](const char* magic, int type, int length) {
        return std::vector<uint8_t>{uint8_t(magic[0]),    uint8_t(magic[1]),  uint8_t(magic[2]),
                                    uint8_t(magic[3]),    uint8_t(type >> 8), uint8_t(type),
                                    uint8_t(length >> 8), uint8_t(length)};
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> record; // after the file header
        ErrCode code;
    };
    std::vector<uint8_t> badText = {'A', 'B', 0, 'C', 0};
    std::vector<uint8_t> fh = FileHeaderBody();
    std::vector<uint8_t> fhShort(fh.begin(), fh.end() - 1);
    std::vector<uint8_t> fhText = fh, fhVersion = fh;
    fhText[8] = 'Y';
    fhVersion[32] = 0xBD;
    std::vector<Case> cases = {
        {"head short", {'B', 'I', 'N'}, kBinErrHeadShort},
        {"bad magic", head("BINX", 5, 56), kBinErrHead},
        {"length 0", head("BINR", 5, 0), kBinErrHead},
        {"length 38,449", head("BINR", 7, 38449), kBinErrHead},
        {"type 0", head("BINR", 0, 4), kBinErrHead},
        {"type 25", head("BINR", 25, 4), kBinErrHead},
        {"body short", head("BINR", 5, 56), kBinErrBodyShort},
        {"text length", {}, kBinErrTextLength},
        {"symbol size", {}, kBinErrSymbolSize},
        {"package size", {}, kBinErrPackageSize},
        {"connection size", {}, kBinErrConnSize},
        {"obstacle size", {}, kBinErrObsSize},
        {"header size", {}, kBinErrHeaderSize},
        {"header text", {}, kBinErrHeaderText},
        {"header version", {}, kBinErrHeaderVersion},
        {"type 21", {}, kBinErrType},
        {"via-name count 21", {}, kBinErrCheck},
        {"five shapes", {}, kBinErrCheck},
    };
    AddRecord(cases[7].record, kRecNameString, badText);
    AddRecord(cases[8].record, kRecSymbol, body(48, {{8, 1}}));
    AddRecord(cases[9].record, kRecPackage, body(32, {{8, 1}}));
    AddRecord(cases[10].record, kRecConn, body(36, {{34, 2}}));
    AddRecord(cases[11].record, kRecObstacle, body(48, {{46, 1}}));
    AddRecord(cases[12].record, kRecEndOfFile, fhShort);
    AddRecord(cases[13].record, kRecEndOfFile, fhText);
    AddRecord(cases[14].record, kRecEndOfFile, fhVersion);
    AddRecord(cases[15].record, 21, body(4));
    AddRecord(cases[16].record, kRecHeader, body(734, {{281, 21}}));
    AddRecord(cases[17].record, kRecThruCode, body(ThruRecSizeFor(2), {{12 + 108 + 3, 5}}));
    for (const Case& c : cases) {
        std::vector<uint8_t> file;
        AddRecord(file, kRecFileHeader, FileHeaderBody());
        file.insert(file.end(), c.record.begin(), c.record.end());
        WriteBytes("e.zid", file);
        m_spec = Spec("e.zid");
        OpenPastHeader(c.what);
        int32_t type = -1;
        EXPECT_EQ(BinReadRec(m_buf.data(), &type), c.code) << c.what;
        EXPECT_EQ(type, 0) << c.what;
        EXPECT_FALSE(BinClose('r')) << c.what;
    }

    // A first head that is not "BINR" is a failed read at once.
    WriteBytes("f.zid", {'T', 'E', 'X', 'T', 0, 24, 0, 64});
    FileSpec spec = Spec("f.zid");
    ASSERT_TRUE(BinOpen(&spec, 'r'));
    int32_t type = -1;
    EXPECT_EQ(BinReadRec(m_buf.data(), &type), kBinErrHead);
    EXPECT_EQ(type, 0);
    EXPECT_FALSE(BinClose('r'));
}

TEST_F(BinFormatTest, ShortBodiesTakeTheDefaultsAndLongOnesAreCut) {
    NewDesign();
    std::vector<uint8_t> layer(40, 0);
    layer[16] = 7; // the first spacing
    std::vector<uint8_t> comp(60, 0);
    comp[24] = 9; // x
    comp[56] = 0xEE;
    std::vector<uint8_t> file;
    AddRecord(file, kRecFileHeader, FileHeaderBody());
    AddRecord(file, kRecLayer, layer);
    AddRecord(file, kRecComponent, comp);
    AddRecord(file, kRecSymbol, std::vector<uint8_t>(48, 0));
    AddRecord(file, kRecEndOfFile, FileHeaderBody());
    WriteBytes("s.zid", file);
    m_spec = Spec("s.zid");
    OpenPastHeader("s.zid");

    int32_t type = 0;
    EXPECT_EQ(BinReadRec(m_buf.data(), &type), 56);
    EXPECT_EQ(type, kRecLayer);
    Layer defaults;
    DbRecInit(kRecLayer, &defaults, 1);
    const Layer& got = *reinterpret_cast<const Layer*>(m_buf.data());
    EXPECT_EQ(got.spacing[0], 7);
    EXPECT_EQ(0, std::memcmp(m_buf.data() + 40, reinterpret_cast<uint8_t*>(&defaults) + 40, 16));
    EXPECT_EQ(got.spacing[6], 600);

    EXPECT_EQ(BinReadRec(m_buf.data(), &type), 56);
    EXPECT_EQ(type, kRecComponent);
    EXPECT_EQ(reinterpret_cast<const Component*>(m_buf.data())->x, 9);
    EXPECT_EQ(BinReadRec(m_buf.data(), &type), 48);
    EXPECT_EQ(type, kRecSymbol);
    EXPECT_EQ(BinReadRec(m_buf.data(), &type), 64);
    EXPECT_EQ(type, kRecEndOfFile);
    EXPECT_EQ(BinSubVersion(), 49);
    EXPECT_TRUE(BinClose('r'));
}

TEST_F(BinFormatTest, BigEndianBodiesAreConvertedByTheirLayout) {
    NewDesign();
    std::vector<uint8_t> comp(56, 0);
    comp[24] = 0x01; // x = 0x01020304
    comp[25] = 0x02;
    comp[26] = 0x03;
    comp[27] = 0x04;
    comp[38] = 0x00; // symbol = 2
    comp[39] = 0x02;
    comp[50] = 0xAB; // a byte stays
    std::vector<uint8_t> fh = FileHeaderBody("MXDF", "PMac", 48);
    std::swap(fh[0], fh[3]);
    std::swap(fh[1], fh[2]);
    std::swap(fh[32], fh[33]);
    std::swap(fh[34], fh[35]);
    std::vector<uint8_t> file;
    AddRecord(file, kRecFileHeader, fh);
    AddRecord(file, kRecComponent, comp);
    WriteBytes("m.zid", file);
    m_spec = Spec("m.zid");
    ASSERT_TRUE(BinOpen(&m_spec, 'r'));
    int32_t type = 0;
    EXPECT_EQ(BinReadRec(m_buf.data(), &type), 64);
    EXPECT_EQ(reinterpret_cast<BinFileHeader*>(m_buf.data())->typeCode, FourCC("MXDF"));
    EXPECT_TRUE(BinBigEndian());
    EXPECT_EQ(BinSubVersion(), 48);
    EXPECT_EQ(BinReadRec(m_buf.data(), &type), 56);
    const Component& c = *reinterpret_cast<const Component*>(m_buf.data());
    EXPECT_EQ(c.x, 0x01020304);
    EXPECT_EQ(c.symbol, 2);
    EXPECT_EQ(c.byte50, 0xAB);
    EXPECT_TRUE(BinClose('r'));
}

TEST_F(BinFormatTest, AFullSymbolTakesTheLongestBody) {
    NewDesign();
    auto sym = std::make_unique<Symbol>();
    DbRecInit(kRecSymbol, sym.get(), 1);
    sym->info.pinCount = kMaxPins;
    sym->pin[kMaxPins].x = 12345;
    FileSpec spec = Spec("big.zid");
    ASSERT_TRUE(BinOpen(&spec, 'w'));
    EXPECT_TRUE(BinWriteRec(kRecSymbol, sym.get()));
    EXPECT_TRUE(BinClose('w'));
    std::vector<uint8_t> bytes = ReadBytes("big.zid");
    ASSERT_EQ(bytes.size(), size_t(8 + 38448));
    EXPECT_EQ(bytes[6], 38448 >> 8);
    EXPECT_EQ(bytes[7], 38448 & 0xFF);

    ASSERT_TRUE(BinOpen(&spec, 'r'));
    int32_t type = 0;
    EXPECT_EQ(BinReadRec(m_buf.data(), &type), 38448);
    EXPECT_EQ(type, kRecSymbol);
    EXPECT_EQ(reinterpret_cast<const Symbol*>(m_buf.data())->pin[kMaxPins].x, 12345);
    EXPECT_TRUE(BinClose('r'));
}

TEST_F(BinFormatTest, ModeMisuseIsAnInternalError) {
    NewDesign();
    FileSpec spec = Spec("w.zid");
    EXPECT_FATAL(BinOpen(&spec, 'x'), kBinErrModeLetter);
    EXPECT_FATAL(BinClose('r'), kBinErrModeClosed);
    ASSERT_TRUE(BinOpen(&spec, 'w'));
    EXPECT_FATAL(BinOpen(&spec, 'w'), kBinErrModeOpen);
    uint8_t zero[64] = {};
    EXPECT_FATAL(BinWriteRec(20, zero), kBinErrWriteType);
    EXPECT_FATAL(BinWriteRec(0, zero), kBinErrWriteType);
    auto sym = std::make_unique<Symbol>();
    DbRecInit(kRecSymbol, sym.get(), 1);
    sym->info.pinCount = kMaxPins + 1;
    EXPECT_FATAL(BinWriteRec(kRecSymbol, sym.get()), kBinErrWriteCount);
    auto pkg = std::make_unique<Package>();
    DbRecInit(kRecPackage, pkg.get(), 1);
    pkg->info.pinCount = -1;
    EXPECT_FATAL(BinWriteRec(kRecPackage, pkg.get()), kBinErrWriteCount);
    EXPECT_TRUE(BinClose('w'));
    EXPECT_FATAL(BinClose('w'), kBinErrModeClosed);
    // A file that cannot be opened counts one record error.
    FileSpec missing = Spec("no/such/file");
    EXPECT_FALSE(BinOpen(&missing, 'r'));
}

} // namespace
