// plv_respack: turns the readable sources of the message catalogue and the
// stroke font into the program's custom resources.
//
//   plv_respack --out DIR [--lang FILE]... [--font FILE]
//
// Writes into DIR:
//   LANG_<n>.bin   the catalogue: 256 the index, 256 + p page p (512 bytes each)
//   RFNT_<n>.bin   the stroke font: 256 header, 257 glyph index, 258 strokes
//   plv_resources.rc   the resources as user-defined types "LANG" and "RFNT"
//   plv_resources.cpp  the same bytes as C++ tables that register themselves
//                      with the headless resource registry
// Every 16-bit and 32-bit value in the resources is big-endian.
//
// Catalogue source: one message a line, the number, blanks, then the text in
// double quotes. Inside the quotes \" is a quote, \\ a backslash, \t a tab,
// \n a line feed and \xHH any byte. Blank lines and lines starting with #
// are ignored. A number appears once across all catalogue files; a text
// holds at most 100 characters.
//
// Font source: "height H" (font units of one text height), then per glyph a
// line "glyph CODE" followed by its strokes, one "stroke x1 y1 x2 y2" line
// each, in font units with y upward. # starts a comment line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kPageBytes = 512;
constexpr int kMaxPages = 254;
constexpr int kMaxText = 100;
constexpr int kCatalogueMagic = 0x0C59;
constexpr int kFirstResource = 256;
constexpr int kGlyphEntries = 257;

typedef std::vector<uint8_t> Bytes;

struct Resource {
    std::string type; // four characters
    int number;
    Bytes bytes;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    std::fprintf(stderr, "plv_respack: %s: %s\n", where.c_str(), what.c_str());
    std::exit(1);
}

void Put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}

void Put32(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 24);
    b[at + 1] = uint8_t(v >> 16);
    b[at + 2] = uint8_t(v >> 8);
    b[at + 3] = uint8_t(v);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path, "cannot open");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool IsBlankOrComment(const std::string& line) {
    size_t i = line.find_first_not_of(" \t");
    return i == std::string::npos || line[i] == '#';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// ---- catalogue ----------------------------------------------------------

struct Message {
    std::string text;
    std::string where;
};

void ReadCatalogue(const std::string& path, std::map<uint32_t, Message>& messages) {
    std::vector<std::string> lines = ReadLines(path);
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        std::string where = path + ":" + std::to_string(n + 1);
        if (IsBlankOrComment(line)) continue;
        size_t i = line.find_first_not_of(" \t");
        size_t digitsEnd = i;
        while (digitsEnd < line.size() && line[digitsEnd] >= '0' && line[digitsEnd] <= '9')
            ++digitsEnd;
        if (digitsEnd == i || digitsEnd - i > 5) Fail(where, "expected a message number");
        unsigned long number = std::strtoul(line.substr(i, digitsEnd - i).c_str(), nullptr, 10);
        if (number > 0xFFFF) Fail(where, "message number above 65535");
        size_t q = line.find_first_not_of(" \t", digitsEnd);
        if (q == std::string::npos || line[q] != '"' || q == digitsEnd)
            Fail(where, "expected blanks and a quoted text after the number");
        std::string text;
        size_t k = q + 1;
        bool closed = false;
        while (k < line.size()) {
            char c = line[k++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                text += c;
                continue;
            }
            if (k >= line.size()) Fail(where, "escape at the end of the line");
            char e = line[k++];
            switch (e) {
            case '"':
                text += '"';
                break;
            case '\\':
                text += '\\';
                break;
            case 't':
                text += '\t';
                break;
            case 'n':
                text += '\n';
                break;
            case 'x': {
                int h1 = k < line.size() ? HexDigit(line[k]) : -1;
                int h2 = k + 1 < line.size() ? HexDigit(line[k + 1]) : -1;
                if (h1 < 0 || h2 < 0) Fail(where, "\\x needs two hexadecimal digits");
                if (h1 == 0 && h2 == 0) Fail(where, "a text cannot hold a zero byte");
                text += char(h1 * 16 + h2);
                k += 2;
                break;
            }
            default:
                Fail(where, std::string("unknown escape \\") + e);
            }
        }
        if (!closed) Fail(where, "text without its closing quote");
        if (line.find_first_not_of(" \t", k) != std::string::npos)
            Fail(where, "characters after the closing quote");
        if (text.size() > size_t(kMaxText))
            Fail(where,
                 "text of " + std::to_string(text.size()) + " characters, at most 100 allowed");
        auto found = messages.find(uint32_t(number));
        if (found != messages.end())
            Fail(where, "message " + std::to_string(number) + " already defined at " +
                            found->second.where);
        messages[uint32_t(number)] = Message{text, where};
    }
}

// Fills pages in ascending number order: a page holds its magic, its entry
// count, the (number, offset) pairs and then the zero-terminated texts.
void PackCatalogue(const std::map<uint32_t, Message>& messages, std::vector<Resource>& out) {
    std::vector<Bytes> pages;
    std::vector<uint32_t> highest;
    std::vector<std::pair<uint32_t, const std::string*>> onPage;
    auto flush = [&]() {
        if (onPage.empty()) return;
        Bytes page(kPageBytes, 0);
        Put16(page, 0, kCatalogueMagic);
        Put16(page, 2, uint32_t(onPage.size()));
        size_t textAt = 4 + 4 * onPage.size();
        for (size_t e = 0; e < onPage.size(); ++e) {
            Put16(page, 4 + 4 * e, onPage[e].first);
            Put16(page, 6 + 4 * e, uint32_t(textAt));
            const std::string& t = *onPage[e].second;
            std::memcpy(&page[textAt], t.data(), t.size());
            textAt += t.size() + 1;
        }
        pages.push_back(page);
        highest.push_back(onPage.back().first);
        onPage.clear();
    };
    size_t used = 4;
    for (const auto& [number, message] : messages) {
        size_t need = 4 + message.text.size() + 1;
        if (used + need > size_t(kPageBytes)) {
            flush();
            used = 4;
        }
        onPage.push_back({number, &message.text});
        used += need;
    }
    flush();
    if (pages.empty()) Fail("catalogue", "no messages");
    if (pages.size() > size_t(kMaxPages))
        Fail("catalogue", std::to_string(pages.size()) + " pages, at most 254 allowed");
    Bytes index(kPageBytes, 0);
    Put16(index, 0, kCatalogueMagic);
    Put16(index, 2, uint32_t(pages.size()));
    for (size_t p = 0; p < pages.size(); ++p)
        Put16(index, 4 + 2 * p, highest[p]);
    out.push_back(Resource{"LANG", kFirstResource, index});
    for (size_t p = 0; p < pages.size(); ++p)
        out.push_back(Resource{"LANG", kFirstResource + 1 + int(p), pages[p]});
}

// ---- stroke font --------------------------------------------------------

struct Glyph {
    int code;
    std::vector<int> strokes; // x1 y1 x2 y2 ...
};

long ParseInt(const std::string& word, const std::string& where, long lo, long hi) {
    char* end = nullptr;
    long v = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != 0) Fail(where, "expected a number, found \"" + word + "\"");
    if (v < lo || v > hi)
        Fail(where, word + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return v;
}

void PackFont(const std::string& path, std::vector<Resource>& out) {
    std::vector<std::string> lines = ReadLines(path);
    long height = -1;
    std::vector<Glyph> glyphs;
    std::map<int, std::string> seen;
    for (size_t n = 0; n < lines.size(); ++n) {
        std::string where = path + ":" + std::to_string(n + 1);
        if (IsBlankOrComment(lines[n])) continue;
        std::istringstream words(lines[n]);
        std::string key;
        words >> key;
        std::vector<std::string> args;
        for (std::string w; words >> w;)
            args.push_back(w);
        if (key == "height") {
            if (args.size() != 1) Fail(where, "height takes one value");
            height = ParseInt(args[0], where, 0, 32000);
        } else if (key == "glyph") {
            if (args.size() != 1) Fail(where, "glyph takes its character code");
            int code = int(ParseInt(args[0], where, 1, kGlyphEntries - 1));
            if (seen.count(code))
                Fail(where, "glyph " + args[0] + " already defined at " + seen[code]);
            seen[code] = where;
            glyphs.push_back(Glyph{code, {}});
        } else if (key == "stroke") {
            if (glyphs.empty()) Fail(where, "stroke before the first glyph");
            if (args.size() != 4) Fail(where, "stroke takes x1 y1 x2 y2");
            for (const std::string& a : args)
                glyphs.back().strokes.push_back(int(ParseInt(a, where, -32768, 32767)));
        } else {
            Fail(where, "unknown keyword \"" + key + "\"");
        }
    }
    if (height < 0) Fail(path, "no height given");
    if (glyphs.empty() || glyphs.size() > 256) Fail(path, "a font holds 1 to 256 glyphs");

    Bytes header(52, 0);
    const char* id = "VELLORIX LTD., Font File";
    std::memcpy(&header[0], id, std::strlen(id));
    Put16(header, 40, 1);
    Put16(header, 42, 0);
    Put32(header, 44, uint32_t(height));
    Put32(header, 48, uint32_t(glyphs.size()));

    Bytes index(8 * kGlyphEntries, 0);
    Bytes strokes;
    uint32_t first = 0;
    for (const Glyph& g : glyphs) {
        uint32_t count = uint32_t(g.strokes.size() / 4);
        Put16(index, 8 * g.code, uint32_t(g.code));
        Put16(index, 8 * g.code + 2, count);
        Put32(index, 8 * g.code + 4, first);
        for (int v : g.strokes) {
            strokes.push_back(uint8_t(uint16_t(v) >> 8));
            strokes.push_back(uint8_t(v));
        }
        first += count;
    }
    out.push_back(Resource{"RFNT", 256, header});
    out.push_back(Resource{"RFNT", 257, index});
    out.push_back(Resource{"RFNT", 258, strokes});
}

// ---- output ---------------------------------------------------------------

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) Fail(path, "cannot write");
    f.write(bytes.data(), std::streamsize(bytes.size()));
    if (!f) Fail(path, "write failed");
}

std::string BinName(const Resource& r) {
    return r.type + "_" + std::to_string(r.number) + ".bin";
}

std::string FourCCHex(const std::string& t) {
    uint32_t v = (uint32_t(uint8_t(t[0])) << 24) | (uint32_t(uint8_t(t[1])) << 16) |
                 (uint32_t(uint8_t(t[2])) << 8) | uint32_t(uint8_t(t[3]));
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08Xu", unsigned(v));
    return buf;
}

void WriteOutputs(const std::string& dir, const std::vector<Resource>& resources) {
    std::string rc = "// Generated by plv_respack; do not edit.\n";
    std::string cpp = "// Generated by plv_respack; do not edit. The program's custom resources\n"
                      "// as byte tables, handed to the headless resource registry.\n"
                      "#include <cstdint>\n\n"
                      "void HeadlessRegisterResource(uint32_t type, int32_t number, const void* "
                      "bytes, int32_t size);\n\n"
                      "namespace {\n";
    for (const Resource& r : resources) {
        WriteFile(dir + "/" + BinName(r), std::string(r.bytes.begin(), r.bytes.end()));
        // The type is a quoted string so that it is stored as a type name,
        // never read as a resource keyword. The file name stays unquoted
        // (the resource compiler joins adjacent quoted strings) and is found
        // beside the .rc.
        rc += std::to_string(r.number) + " \"" + r.type + "\" " + BinName(r) + "\n";
        std::string name = "k" + r.type + "_" + std::to_string(r.number);
        cpp += "const unsigned char " + name + "[" +
               std::to_string(r.bytes.empty() ? 1 : r.bytes.size()) + "] = {";
        for (size_t i = 0; i < r.bytes.size(); ++i) {
            char item[8];
            std::snprintf(item, sizeof item, " %u,", unsigned(r.bytes[i]));
            if (i % 16 == 0) cpp += "\n   ";
            cpp += item;
        }
        cpp += "\n};\n";
    }
    cpp += "} // namespace\n\nvoid HeadlessRegisterBuiltinResources() {\n";
    for (const Resource& r : resources) {
        std::string name = "k" + r.type + "_" + std::to_string(r.number);
        cpp += "    HeadlessRegisterResource(" + FourCCHex(r.type) + ", " +
               std::to_string(r.number) + ", " + name + ", " + std::to_string(r.bytes.size()) +
               ");\n";
    }
    cpp += "}\n";
    WriteFile(dir + "/plv_resources.rc", rc);
    WriteFile(dir + "/plv_resources.cpp", cpp);
}

} // namespace

int main(int argc, char** argv) {
    std::string outDir;
    std::vector<std::string> langFiles;
    std::string fontFile;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) Fail("arguments", a + " needs a value");
        if (a == "--out")
            outDir = argv[++i];
        else if (a == "--lang")
            langFiles.push_back(argv[++i]);
        else if (a == "--font")
            fontFile = argv[++i];
        else
            Fail("arguments", "unknown option " + a);
    }
    if (outDir.empty()) Fail("arguments", "--out DIR is required");
    std::vector<Resource> resources;
    if (!langFiles.empty()) {
        std::map<uint32_t, Message> messages;
        for (const std::string& f : langFiles)
            ReadCatalogue(f, messages);
        PackCatalogue(messages, resources);
    }
    if (!fontFile.empty()) PackFont(fontFile, resources);
    WriteOutputs(outDir, resources);
    return 0;
}
