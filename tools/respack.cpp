// plv_respack: turns the readable sources of the message catalogue, the
// stroke font, the dialog templates and the string table into the
// program's resources.
//
//   plv_respack --out DIR [--lang FILE]... [--font FILE] [--dialog FILE]...
//               [--strings FILE]... [--picture FILE]... [--menu FILE]...
//               [--icon FILE]... [--base NAME] [--entry NAME]
//
// Writes into DIR:
//   LANG_<n>.bin   the catalogue: 256 the index, 256 + p page p (512 bytes each)
//   RFNT_<n>.bin   the stroke font: 256 header, 257 glyph index, 258 strokes
//   XDLG_<n>.bin   dialog template n (see PackDialog for the source form)
//   BMP_<n>.bmp, CUR_<n>.cur  bitmaps and cursors (win64 only; see
//                  PackPicture)
//   MENU_<n>.bin   menu n as its RT_MENU template (see PackMenus)
//   ICO_<n>.ico    icon family n (see PackIcons)
//   plv_resources.rc   the resources as user-defined types "LANG", "RFNT"
//                      and "XDLG", the menus as MENU statements, and the
//                      STRINGTABLE (--base names the .rc and .cpp)
//   plv_resources.cpp  the same bytes and strings as C++ tables that
//                      register themselves with the headless stand-ins
//                      (menus under the numeric type 4), or, with --entry,
//                      are handed to the procedure that function takes
// Every 16-bit and 32-bit value of "LANG" and "RFNT" is big-endian; the
// templates are little-endian.
//
// String source: the catalogue's form, texts of at most 255 characters.
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
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "toolbox/core/menutemplate.h"
#include "toolbox/core/resource.h"

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
    // A resource-script keyword (BITMAP, CURSOR) for the system's own
    // resource types: written to the .rc only, as a file of that type.
    std::string keyword = std::string();
    // A resource of a standard numeric type (RT_MENU): written to the .rc
    // as this resource-script statement, registered natively under the
    // numeric type.
    uint32_t numericType = 0;
    std::string script = std::string();
    // Registered natively only: the .rc holds it through another statement
    // (icon members and directories through the ICON statement's file).
    bool nativeOnly = false;
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

// A text in double quotes starting at line[k] (the quote); k moves past
// the closing quote. Inside the quotes \" is a quote, \\ a backslash, \t a
// tab, \n a line feed and \xHH any byte but zero.
std::string ParseQuoted(const std::string& line, size_t& k, const std::string& where) {
    if (k >= line.size() || line[k] != '"') Fail(where, "expected a quoted text");
    ++k;
    std::string text;
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
    return text;
}

// ---- catalogue ----------------------------------------------------------

struct Message {
    std::string text;
    std::string where;
};

void ReadCatalogue(const std::string& path, std::map<uint32_t, Message>& messages, size_t maxText) {
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
        size_t k = q;
        std::string text = ParseQuoted(line, k, where);
        if (line.find_first_not_of(" \t", k) != std::string::npos)
            Fail(where, "characters after the closing quote");
        if (text.size() > maxText)
            Fail(where, "text of " + std::to_string(text.size()) + " characters, at most " +
                            std::to_string(maxText) + " allowed");
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

// ---- dialog templates ---------------------------------------------------

// Dialog source: one template a file, one statement a line (# starts a
// comment line):
//   template N
//   bounds TOP LEFT BOTTOM RIGHT        (1/96 inch, or pixels with flag 8)
//   flags F                             (template flags)
//   title "TEXT"
//   style SIZE FACE "FONT"              (with template flag 1)
//   item NUMBER def D flags F bounds TOP LEFT BOTTOM RIGHT
//        [just J] [font SIZE FACE "FONT"] [icon N] [options N]
//        (text "TEXT" | pages "A" "B" ...)
// An item's extra block follows its definition & 0x7FF0: 32 takes icon
// and options, 320 takes icon, any other a style block (just with item
// flag 2, font with item flag 1). Tabs (128) take pages.
//
// The resource: little-endian signed 16-bit values and padded strings
// (text, zero, and one more zero when that length is odd).
constexpr size_t kMaxTemplateText = 255;
constexpr int kFamilyMask = 0x7FF0;
constexpr int kIconButtonFamily = 32;
constexpr int kIconFamily = 320;
constexpr int kTabsFamily = 128;
constexpr int kStyleJustification = 2;
constexpr int kStyleFont = 1;
constexpr int kTemplateHasStyle = 1;

struct Token {
    std::string text;
    bool quoted;
};

std::vector<Token> Tokens(const std::string& line, const std::string& where) {
    std::vector<Token> out;
    size_t k = 0;
    while (true) {
        k = line.find_first_not_of(" \t", k);
        if (k == std::string::npos) break;
        if (line[k] == '"') {
            out.push_back(Token{ParseQuoted(line, k, where), true});
        } else {
            size_t end = line.find_first_of(" \t", k);
            if (end == std::string::npos) end = line.size();
            out.push_back(Token{line.substr(k, end - k), false});
            k = end;
        }
    }
    return out;
}

void PutLE16(Bytes& b, long v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(uint16_t(v) >> 8));
}

void PutPadded(Bytes& b, const std::string& text, const std::string& where) {
    if (text.size() > kMaxTemplateText)
        Fail(where, "text of " + std::to_string(text.size()) + " characters, at most 255 allowed");
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    if ((text.size() + 1) % 2) b.push_back(0);
}

// Reads the statement's words after a keyword: n numbers in range.
struct Statement {
    const std::vector<Token>& t;
    size_t at;
    const std::string& where;
    bool More() const { return at < t.size(); }
    std::string Word() {
        if (at >= t.size() || t[at].quoted) Fail(where, "expected a keyword or number");
        return t[at++].text;
    }
    long Number(long lo = -32768, long hi = 32767) { return ParseInt(Word(), where, lo, hi); }
    std::string Quoted() {
        if (at >= t.size() || !t[at].quoted) Fail(where, "expected a quoted text");
        return t[at++].text;
    }
};

struct StyleSource {
    bool hasJust = false, hasFont = false;
    long just = 0, size = 0, face = 0;
    std::string font;
};

void PutStyle(Bytes& b, const StyleSource& s, long flags, const std::string& where) {
    if (flags & kStyleJustification) {
        if (!s.hasJust) Fail(where, "flag 2 needs just");
        PutLE16(b, s.just);
    }
    if (flags & kStyleFont) {
        if (!s.hasFont) Fail(where, "flag 1 needs font");
        PutLE16(b, s.size);
        PutLE16(b, s.face);
        PutPadded(b, s.font, where);
    }
}

void PackDialog(const std::string& path, std::map<int, std::string>& seen,
                std::vector<Resource>& out) {
    std::vector<std::string> lines = ReadLines(path);
    long number = -1, flags = 0;
    long bounds[4] = {};
    bool hasBounds = false;
    std::string title;
    StyleSource style;
    Bytes items;
    int count = 0;
    std::map<long, std::string> itemNumbers;
    for (size_t n = 0; n < lines.size(); ++n) {
        std::string where = path + ":" + std::to_string(n + 1);
        if (IsBlankOrComment(lines[n])) continue;
        std::vector<Token> tokens = Tokens(lines[n], where);
        Statement st{tokens, 0, where};
        std::string key = st.Word();
        if (key == "template") {
            number = st.Number(1, 32767);
        } else if (key == "bounds") {
            for (long& v : bounds)
                v = st.Number();
            hasBounds = true;
        } else if (key == "flags") {
            flags = st.Number(0, 15);
        } else if (key == "title") {
            title = st.Quoted();
        } else if (key == "style") {
            style.size = st.Number();
            style.face = st.Number();
            style.font = st.Quoted();
            style.hasFont = true;
        } else if (key == "item") {
            long item = st.Number();
            auto dup = itemNumbers.find(item);
            if (dup != itemNumbers.end())
                Fail(where, "item " + std::to_string(item) + " already defined at " + dup->second);
            itemNumbers[item] = where;
            long def = -1, itemFlags = 0, ib[4] = {}, icon = 0, options = 0;
            bool hasItemBounds = false, hasText = false, hasPages = false;
            StyleSource is;
            std::string text;
            std::vector<std::string> pages;
            while (st.More()) {
                std::string k = st.Word();
                if (k == "def") {
                    def = st.Number(0, 32767);
                } else if (k == "flags") {
                    itemFlags = st.Number(0, 65535);
                } else if (k == "bounds") {
                    for (long& v : ib)
                        v = st.Number();
                    hasItemBounds = true;
                } else if (k == "just") {
                    is.just = st.Number(-1, 1);
                    is.hasJust = true;
                } else if (k == "font") {
                    is.size = st.Number();
                    is.face = st.Number();
                    is.font = st.Quoted();
                    is.hasFont = true;
                } else if (k == "icon") {
                    icon = st.Number();
                } else if (k == "options") {
                    options = st.Number(0, 65535);
                } else if (k == "text") {
                    text = st.Quoted();
                    hasText = true;
                } else if (k == "pages") {
                    while (st.More() && st.t[st.at].quoted) {
                        pages.push_back(st.Quoted());
                        if (pages.back().empty()) Fail(where, "a page name cannot be empty");
                    }
                    hasPages = true;
                } else {
                    Fail(where, "unknown item keyword " + k);
                }
            }
            if (def < 0 || !hasItemBounds) Fail(where, "an item needs def and bounds");
            int family = int(def) & kFamilyMask;
            if ((family == kTabsFamily) != hasPages || (hasPages && hasText))
                Fail(where, "tabs (def 128-143) take pages, other items text");
            for (long v : ib)
                PutLE16(items, v);
            PutLE16(items, def);
            PutLE16(items, item);
            PutLE16(items, itemFlags);
            if (family == kIconButtonFamily) {
                PutLE16(items, icon);
                PutLE16(items, options);
            } else if (family == kIconFamily) {
                PutLE16(items, icon);
                PutLE16(items, 0);
            } else {
                PutStyle(items, is, itemFlags, where);
            }
            if (hasPages) {
                for (const std::string& page : pages)
                    PutPadded(items, page, where);
                PutPadded(items, "", where);
            } else {
                PutPadded(items, text, where);
            }
            ++count;
        } else {
            Fail(where, "unknown keyword " + key);
        }
    }
    if (number < 0 || !hasBounds) Fail(path, "a template needs its number and bounds");
    if (seen.count(int(number)))
        Fail(path,
             "template " + std::to_string(number) + " already defined in " + seen[int(number)]);
    seen[int(number)] = path;
    Bytes b;
    for (long v : bounds)
        PutLE16(b, v);
    PutLE16(b, count);
    PutLE16(b, flags);
    PutPadded(b, title, path);
    if (flags & kTemplateHasStyle) PutStyle(b, style, kStyleFont, path);
    b.insert(b.end(), items.begin(), items.end());
    out.push_back(Resource{"XDLG", int(number), b});
}

// ---- pictures -----------------------------------------------------------

// Picture source (bitmaps and cursors, win64 only): text art.
//   bitmap N | cursor N
//   size WIDTH HEIGHT
//   hotspot X Y                         (cursors)
//   then one line per pixel row, one character per pixel: "#" black,
//   "." white, "_" transparent (cursors only); short rows and missing
//   rows are filled with white (bitmaps) or transparent (cursors).
// Bitmaps become 1-bit BMP files, cursors 1-bit CUR files (an XOR and an
// AND mask), both little-endian as the formats define them.
constexpr int kMaxPictureSide = 256;
constexpr char kBlack = '#';
constexpr char kWhite = '.';
constexpr char kTransparent = '_';

void PutLE(Bytes& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

// Rows bottom-up, 1 bit a pixel, each row padded to 4 bytes; bit set
// where set(x, y).
template <typename F> void PutMask(Bytes& b, int w, int h, F set) {
    int stride = ((w + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(size_t(stride), 0);
        for (int x = 0; x < w; ++x)
            if (set(x, y)) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
}

// BITMAPINFOHEADER and a black-and-white palette.
void PutInfoHeader(Bytes& b, int w, int h, uint32_t imageBytes) {
    PutLE(b, 40, 4);
    PutLE(b, uint32_t(w), 4);
    PutLE(b, uint32_t(h), 4);
    PutLE(b, 1, 2); // planes
    PutLE(b, 1, 2); // bits per pixel
    PutLE(b, 0, 4); // no compression
    PutLE(b, imageBytes, 4);
    PutLE(b, 0, 4);
    PutLE(b, 0, 4);
    PutLE(b, 2, 4); // colours used
    PutLE(b, 0, 4);
    PutLE(b, 0x000000, 4);
    PutLE(b, 0xFFFFFF, 4);
}

void PackPicture(const std::string& path, std::vector<Resource>& out) {
    std::vector<std::string> lines = ReadLines(path);
    std::string kind;
    long number = -1, w = 0, h = 0, hx = 0, hy = 0;
    std::vector<std::string> rows;
    for (size_t n = 0; n < lines.size(); ++n) {
        std::string where = path + ":" + std::to_string(n + 1);
        const std::string& line = lines[n];
        if (w > 0 && !line.empty() && line.find_first_not_of("#._") == std::string::npos) {
            if (long(line.size()) > w || long(rows.size()) >= h)
                Fail(where, "a row beyond the picture's size");
            if (kind == "bitmap" && line.find(kTransparent) != std::string::npos)
                Fail(where, "a bitmap has no transparent pixels");
            rows.push_back(line);
            continue;
        }
        if (IsBlankOrComment(line)) continue;
        std::vector<Token> tokens = Tokens(line, where);
        Statement st{tokens, 0, where};
        std::string key = st.Word();
        if (key == "bitmap" || key == "cursor") {
            kind = key;
            number = st.Number(1, 32767);
        } else if (key == "size") {
            w = st.Number(1, kMaxPictureSide);
            h = st.Number(1, kMaxPictureSide);
        } else if (key == "hotspot") {
            hx = st.Number(0, kMaxPictureSide - 1);
            hy = st.Number(0, kMaxPictureSide - 1);
        } else {
            Fail(where, "unknown keyword " + key);
        }
    }
    if (kind.empty() || w == 0) Fail(path, "a picture needs its kind, number and size");
    char fill = kind == "bitmap" ? kWhite : kTransparent;
    auto at = [&](int x, int y) {
        if (size_t(y) >= rows.size() || size_t(x) >= rows[size_t(y)].size()) return fill;
        return rows[size_t(y)][size_t(x)];
    };
    int W = int(w), H = int(h);
    uint32_t maskBytes = uint32_t(((W + 31) / 32) * 4 * H);
    Bytes b;
    if (kind == "bitmap") {
        const uint32_t offset = 14 + 40 + 8;
        b.push_back('B');
        b.push_back('M');
        PutLE(b, offset + maskBytes, 4);
        PutLE(b, 0, 4);
        PutLE(b, offset, 4);
        PutInfoHeader(b, W, H, maskBytes);
        PutMask(b, W, H, [&](int x, int y) { return at(x, y) != kBlack; });
        out.push_back(Resource{"BMP", int(number), b, "BITMAP"});
        return;
    }
    if (hx >= w || hy >= h) Fail(path, "the hot spot lies outside the cursor");
    Bytes image;
    PutInfoHeader(image, W, 2 * H, 2 * maskBytes);
    // XOR mask: white pixels; AND mask: transparent pixels.
    PutMask(image, W, H, [&](int x, int y) { return at(x, y) == kWhite; });
    PutMask(image, W, H, [&](int x, int y) { return at(x, y) == kTransparent; });
    PutLE(b, 0, 2);
    PutLE(b, 2, 2); // a cursor file
    PutLE(b, 1, 2); // one image
    b.push_back(uint8_t(W == kMaxPictureSide ? 0 : W));
    b.push_back(uint8_t(H == kMaxPictureSide ? 0 : H));
    b.push_back(0);
    b.push_back(0);
    PutLE(b, uint32_t(hx), 2);
    PutLE(b, uint32_t(hy), 2);
    PutLE(b, uint32_t(image.size()), 4);
    PutLE(b, 6 + 16, 4);
    b.insert(b.end(), image.begin(), image.end());
    out.push_back(Resource{"CUR", int(number), b, "CURSOR"});
}

// ---- icons ----------------------------------------------------------------

// Icon source (families of icons): text art in the pictures' form.
//   icon N                     the family, RT_GROUP_ICON N
//   member WIDTH HEIGHT BITS   a member of 4 or 8 bits a pixel, then its
//                              rows, one character per pixel
// Pixel characters: "_" transparent, and the sixteen standard colours
// "#" black, "r" maroon, "g" green, "o" olive, "n" navy, "p" purple,
// "t" teal, "s" silver, "d" grey, "R" red, "G" lime, "Y" yellow, "B" blue,
// "M" fuchsia, "C" aqua, "." white (palette entries 0 to 15; an 8-bit
// member's other entries are black). Short and missing rows are
// transparent. A family becomes an .ico file for the ICON statement and,
// natively, its RT_GROUP_ICON directory and RT_ICON members; members are
// numbered from 1 in the order of the files and their members, as the
// resource compiler numbers them, so both hold the same bytes.
constexpr char kIconPixels[] = "#rgonptsdRGYBMC.";
constexpr uint32_t kIconColours[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                       0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                       0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr int kMaxIconSide = 256;
constexpr uint32_t kTypeIconNumber = 3;
constexpr uint32_t kTypeGroupIconNumber = 14;

struct IconSourceMember {
    int w = 0, h = 0, bits = 0;
    std::vector<std::string> rows;
};

int IconIndex(const std::vector<std::string>& rows, int x, int y) {
    if (size_t(y) >= rows.size() || size_t(x) >= rows[size_t(y)].size()) return -1;
    char c = rows[size_t(y)][size_t(x)];
    if (c == kTransparent) return -1;
    const char* at = std::strchr(kIconPixels, c);
    return at ? int(at - kIconPixels) : -1;
}

Bytes IconImage(const IconSourceMember& m) {
    int colours = m.bits == 4 ? 16 : 256;
    int xorRow = ((m.w * m.bits + 31) / 32) * 4, andRow = ((m.w + 31) / 32) * 4;
    Bytes b;
    PutLE(b, 40, 4);
    PutLE(b, uint32_t(m.w), 4);
    PutLE(b, uint32_t(2 * m.h), 4);
    PutLE(b, 1, 2);
    PutLE(b, uint32_t(m.bits), 2);
    PutLE(b, 0, 4);
    PutLE(b, uint32_t((xorRow + andRow) * m.h), 4);
    for (int i = 0; i < 4; ++i)
        PutLE(b, 0, 4);
    for (int i = 0; i < colours; ++i)
        PutLE(b, i < 16 ? kIconColours[i] : 0, 4);
    for (int y = m.h - 1; y >= 0; --y) {
        Bytes row(size_t(xorRow), 0);
        for (int x = 0; x < m.w; ++x) {
            int index = std::max(0, IconIndex(m.rows, x, y));
            if (m.bits == 8)
                row[size_t(x)] = uint8_t(index);
            else
                row[size_t(x / 2)] |= uint8_t(x % 2 ? index : index << 4);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    PutMask(b, m.w, m.h, [&](int x, int y) { return IconIndex(m.rows, x, y) < 0; });
    return b;
}

void PackIcons(const std::string& path, int& nextIconId, std::map<int, std::string>& seen,
               std::vector<Resource>& out) {
    std::vector<std::string> lines = ReadLines(path);
    long number = -1;
    std::vector<IconSourceMember> members;
    for (size_t n = 0; n < lines.size(); ++n) {
        std::string where = path + ":" + std::to_string(n + 1);
        const std::string& line = lines[n];
        // A line of pixel characters alone is a row of the open member.
        if (!members.empty() && !line.empty() &&
            line.find_first_not_of(std::string(kIconPixels) + kTransparent) == std::string::npos) {
            IconSourceMember& m = members.back();
            if (long(line.size()) > m.w || long(m.rows.size()) >= m.h)
                Fail(where, "a row beyond the member's size");
            m.rows.push_back(line);
            continue;
        }
        if (IsBlankOrComment(line)) continue;
        std::vector<Token> tokens = Tokens(line, where);
        Statement st{tokens, 0, where};
        std::string key = st.Word();
        if (key == "icon") {
            if (number >= 0) Fail(where, "one family a file");
            number = st.Number(1, 32767);
        } else if (key == "member") {
            IconSourceMember m;
            m.w = int(st.Number(1, kMaxIconSide));
            m.h = int(st.Number(1, kMaxIconSide));
            m.bits = int(st.Number(4, 8));
            if (m.bits != 4 && m.bits != 8) Fail(where, "members have 4 or 8 bits a pixel");
            members.push_back(m);
        } else {
            Fail(where, "unknown keyword " + key);
        }
    }
    if (number < 0 || members.empty()) Fail(path, "an icon family needs its number and members");
    auto [it, fresh] = seen.emplace(int(number), path);
    if (!fresh) Fail(path, "icon " + std::to_string(number) + " also in " + it->second);
    Bytes ico, group;
    for (Bytes* b : {&ico, &group}) {
        PutLE(*b, 0, 2);
        PutLE(*b, 1, 2);
        PutLE(*b, uint32_t(members.size()), 2);
    }
    std::vector<Bytes> images;
    uint32_t offset = uint32_t(6 + 16 * members.size());
    for (const IconSourceMember& m : members) {
        images.push_back(IconImage(m));
        uint32_t size = uint32_t(images.back().size());
        for (Bytes* b : {&ico, &group}) {
            b->push_back(uint8_t(m.w == kMaxIconSide ? 0 : m.w));
            b->push_back(uint8_t(m.h == kMaxIconSide ? 0 : m.h));
            b->push_back(uint8_t(m.bits == 4 ? 16 : 0));
            b->push_back(0);
            PutLE(*b, 1, 2);
            PutLE(*b, uint32_t(m.bits), 2);
            PutLE(*b, size, 4);
        }
        PutLE(ico, offset, 4);
        offset += size;
        PutLE(group, uint32_t(nextIconId), 2);
        Resource member{"ICON", nextIconId++, images.back()};
        member.numericType = kTypeIconNumber;
        member.nativeOnly = true;
        out.push_back(member);
    }
    for (const Bytes& image : images)
        ico.insert(ico.end(), image.begin(), image.end());
    out.push_back(Resource{"ICO", int(number), ico, "ICON"});
    Resource directory{"GRPI", int(number), group};
    directory.numericType = kTypeGroupIconNumber;
    directory.nativeOnly = true;
    out.push_back(directory);
}

// ---- menus ----------------------------------------------------------------

// Menu source: the resource script's MENU form, one or more menus a file.
//   N MENU
//   BEGIN
//       POPUP "Title"
//       BEGIN
//           MENUITEM "Open...`O", 101
//           MENUITEM SEPARATOR
//           MENUITEM "Recent", 300, INACTIVE       (a submenu reference)
//           MENUITEM "Print", 102, GRAYED
//       END
//   END
// Options GRAYED, INACTIVE and CHECKED follow a comma or a blank; // and #
// start comment lines. Texts hold printable characters but quotes and
// backslashes, at most 255 of them. The resource is the standard RT_MENU
// template: a zero header of 4 bytes, then per item {flags 16-bit, id
// 16-bit unless a popup, text in UTF-16 to a zero}, little-endian, the
// last item of every level flagged 0x80.
constexpr uint32_t kRtMenu = kResourceTypeMenu;
constexpr size_t kMaxMenuText = kMenuItemTextMax;
constexpr uint16_t kMenuGrayed = kMenuTemplateGrayed;
constexpr uint16_t kMenuInactive = kMenuTemplateDisabled;
constexpr uint16_t kMenuChecked = kMenuTemplateChecked;
constexpr uint16_t kMenuPopup = kMenuTemplatePopup;
constexpr uint16_t kMenuEnd = kMenuTemplateEnd;
constexpr int kMaxMenuDepth = kMenuTemplateDepthMax;

struct MenuToken {
    std::string text;
    bool quoted;
    std::string where;
};

std::vector<MenuToken> MenuTokens(const std::string& path) {
    std::vector<std::string> lines = ReadLines(path);
    std::vector<MenuToken> out;
    for (size_t n = 0; n < lines.size(); ++n) {
        std::string where = path + ":" + std::to_string(n + 1);
        const std::string& line = lines[n];
        size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#' || line.compare(first, 2, "//") == 0)
            continue;
        size_t k = first;
        while (k < line.size()) {
            char c = line[k];
            if (c == ' ' || c == '\t' || c == '\r' || c == ',') {
                ++k;
                continue;
            }
            if (c == '"') {
                size_t end = line.find('"', k + 1);
                if (end == std::string::npos) Fail(where, "a text without its closing quote");
                std::string text = line.substr(k + 1, end - k - 1);
                if (end + 1 < line.size() && line[end + 1] == '"')
                    Fail(where, "quotes are not allowed in menu texts");
                for (char t : text)
                    if (uint8_t(t) < 32 || uint8_t(t) > 126 || t == '\\')
                        Fail(where, "menu texts hold printable characters but backslashes");
                if (text.size() > kMaxMenuText)
                    Fail(where, "text of " + std::to_string(text.size()) +
                                    " characters, at most 255 allowed");
                out.push_back(MenuToken{text, true, where});
                k = end + 1;
                continue;
            }
            size_t end = line.find_first_of(" \t\r,\"", k);
            if (end == std::string::npos) end = line.size();
            out.push_back(MenuToken{line.substr(k, end - k), false, where});
            k = end;
        }
    }
    return out;
}

struct MenuParser {
    const std::vector<MenuToken>& t;
    size_t at;
    std::string path;
    std::string script;
    const std::string& Where() const { return at < t.size() ? t[at].where : path; }
    bool IsWord(const char* w) const { return at < t.size() && !t[at].quoted && t[at].text == w; }
    void Expect(const char* w) {
        if (!IsWord(w)) Fail(Where(), std::string("expected ") + w);
        ++at;
    }
    long Number(long lo, long hi) {
        if (at >= t.size() || t[at].quoted) Fail(Where(), "expected a number");
        long v = ParseInt(t[at].text, t[at].where, lo, hi);
        ++at;
        return v;
    }
    std::string Quoted() {
        if (at >= t.size() || !t[at].quoted) Fail(Where(), "expected a quoted text");
        return t[at++].text;
    }
    uint16_t Options(std::string& words) {
        uint16_t flags = 0;
        for (;;) {
            if (IsWord("GRAYED"))
                flags |= kMenuGrayed;
            else if (IsWord("INACTIVE"))
                flags |= kMenuInactive;
            else if (IsWord("CHECKED"))
                flags |= kMenuChecked;
            else
                return flags;
            words += ", " + t[at].text;
            ++at;
        }
    }
    static void PutText(Bytes& b, const std::string& text) {
        for (char c : text) {
            b.push_back(uint8_t(c));
            b.push_back(0);
        }
        b.push_back(0);
        b.push_back(0);
    }
    // Items up to END; each item's bytes are written with the end flag on
    // the last one patched in afterwards.
    void Items(Bytes& b, int depth, const std::string& indent) {
        if (depth > kMaxMenuDepth) Fail(Where(), "popups nested too deep");
        Expect("BEGIN");
        script += indent + "BEGIN\n";
        size_t lastFlags = std::string::npos;
        while (!IsWord("END")) {
            if (at >= t.size()) Fail(path, "a menu without its END");
            lastFlags = b.size();
            if (IsWord("MENUITEM")) {
                ++at;
                if (IsWord("SEPARATOR")) {
                    ++at;
                    PutLE16(b, 0);
                    PutLE16(b, 0);
                    PutText(b, "");
                    script += indent + "    MENUITEM SEPARATOR\n";
                    continue;
                }
                std::string text = Quoted();
                long id = Number(0, 65535);
                std::string words;
                uint16_t flags = Options(words);
                PutLE16(b, flags);
                PutLE16(b, id);
                PutText(b, text);
                script +=
                    indent + "    MENUITEM \"" + text + "\", " + std::to_string(id) + words + "\n";
            } else if (IsWord("POPUP")) {
                ++at;
                std::string text = Quoted();
                std::string words;
                uint16_t flags = Options(words) | kMenuPopup;
                PutLE16(b, flags);
                PutText(b, text);
                script += indent + "    POPUP \"" + text + "\"" + words + "\n";
                Items(b, depth + 1, indent + "    ");
            } else {
                Fail(Where(), "expected MENUITEM, POPUP or END");
            }
        }
        ++at;
        if (lastFlags == std::string::npos) Fail(Where(), "a menu or popup without items");
        b[lastFlags] = uint8_t(b[lastFlags] | kMenuEnd);
        script += indent + "END\n";
    }
};

void PackMenus(const std::string& path, std::map<int, std::string>& seen,
               std::vector<Resource>& out) {
    std::vector<MenuToken> tokens = MenuTokens(path);
    MenuParser p{tokens, 0, path, ""};
    while (p.at < tokens.size()) {
        std::string where = p.Where();
        long number = p.Number(1, 32767);
        auto [it, fresh] = seen.emplace(int(number), where);
        if (!fresh) Fail(where, "menu " + std::to_string(number) + " also in " + it->second);
        p.Expect("MENU");
        p.script = std::to_string(number) + " MENU\n";
        Bytes b(4, 0);
        p.Items(b, 0, "");
        Resource r{"MENU", int(number), b};
        r.numericType = kRtMenu;
        r.script = p.script;
        out.push_back(r);
    }
}

// ---- output ---------------------------------------------------------------

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) Fail(path, "cannot write");
    f.write(bytes.data(), std::streamsize(bytes.size()));
    if (!f) Fail(path, "write failed");
}

std::string BinName(const Resource& r) {
    std::string ext = r.keyword.empty() ? ".bin" : "." + r.type;
    for (char& c : ext)
        c = char(std::tolower(uint8_t(c)));
    return r.type + "_" + std::to_string(r.number) + ext;
}

std::string FourCCHex(const std::string& t) {
    uint32_t v = (uint32_t(uint8_t(t[0])) << 24) | (uint32_t(uint8_t(t[1])) << 16) |
                 (uint32_t(uint8_t(t[2])) << 8) | uint32_t(uint8_t(t[3]));
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08Xu", unsigned(v));
    return buf;
}

// A text as a C (and resource-script) string literal body: printable
// characters as they are, quotes and backslashes escaped, others in octal.
std::string Escaped(const std::string& text, bool rc) {
    std::string out;
    for (char ch : text) {
        unsigned char c = uint8_t(ch);
        if (c == '"')
            out += rc ? "\"\"" : "\\\"";
        else if (c == '\\')
            out += "\\\\";
        else if (c < 32 || c > 126) {
            char oct[8];
            std::snprintf(oct, sizeof oct, "\\%03o", unsigned(c));
            out += oct;
        } else
            out += ch;
    }
    return out;
}

// With an entry name the C++ tables are handed to a procedure the caller
// passes (test executables), else to the headless registry.
void WriteOutputs(const std::string& dir, const std::string& base, const std::string& entry,
                  const std::vector<Resource>& resources,
                  const std::map<uint32_t, Message>& strings) {
    std::string rc = "// Generated by plv_respack; do not edit.\n";
    std::string cpp = "// Generated by plv_respack; do not edit. The program's custom resources\n"
                      "// as byte tables, handed to the headless resource registry.\n"
                      "#include <cstdint>\n\n"
                      "void HeadlessRegisterResource(uint32_t type, int32_t number, const void* "
                      "bytes, int32_t size);\n"
                      "void HeadlessRegisterString(int32_t id, const char* text);\n\n"
                      "namespace {\n";
    for (const Resource& r : resources) {
        WriteFile(dir + "/" + BinName(r), std::string(r.bytes.begin(), r.bytes.end()));
        // The type is a quoted string so that it is stored as a type name,
        // never read as a resource keyword. The file name stays unquoted
        // (the resource compiler joins adjacent quoted strings) and is found
        // beside the .rc.
        if (!r.keyword.empty()) {
            rc += std::to_string(r.number) + " " + r.keyword + " " + BinName(r) + "\n";
            continue;
        }
        if (r.nativeOnly)
            ;
        else if (!r.script.empty())
            rc += r.script;
        else
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
    std::string put = "HeadlessRegisterResource";
    if (entry.empty()) {
        cpp += "} // namespace\n\nvoid HeadlessRegisterBuiltinResources() {\n";
    } else {
        put = "put";
        cpp += "} // namespace\n\nvoid " + entry +
               "(void (*put)(uint32_t type, int32_t number, const void* bytes, int32_t size)) "
               "{\n";
    }
    for (const Resource& r : resources) {
        if (!r.keyword.empty()) continue;
        std::string name = "k" + r.type + "_" + std::to_string(r.number);
        std::string type = r.numericType ? std::to_string(r.numericType) + "u" : FourCCHex(r.type);
        cpp += "    " + put + "(" + type + ", " + std::to_string(r.number) + ", " + name + ", " +
               std::to_string(r.bytes.size()) + ");\n";
    }
    for (const auto& [id, message] : strings)
        cpp += "    HeadlessRegisterString(" + std::to_string(id) + ", \"" +
               Escaped(message.text, false) + "\");\n";
    cpp += "}\n";
    if (!strings.empty()) {
        rc += "STRINGTABLE\nBEGIN\n";
        for (const auto& [id, message] : strings)
            rc += "    " + std::to_string(id) + ", \"" + Escaped(message.text, true) + "\"\n";
        rc += "END\n";
    }
    WriteFile(dir + "/" + base + ".rc", rc);
    WriteFile(dir + "/" + base + ".cpp", cpp);
}

} // namespace

int main(int argc, char** argv) {
    std::string outDir;
    std::vector<std::string> langFiles;
    std::string fontFile;
    std::vector<std::string> stringFiles;
    std::vector<std::string> dialogFiles;
    std::vector<std::string> pictureFiles;
    std::vector<std::string> menuFiles;
    std::vector<std::string> iconFiles;
    std::string base = "plv_resources", entry;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) Fail("arguments", a + " needs a value");
        if (a == "--out")
            outDir = argv[++i];
        else if (a == "--lang")
            langFiles.push_back(argv[++i]);
        else if (a == "--font")
            fontFile = argv[++i];
        else if (a == "--strings")
            stringFiles.push_back(argv[++i]);
        else if (a == "--picture")
            pictureFiles.push_back(argv[++i]);
        else if (a == "--menu")
            menuFiles.push_back(argv[++i]);
        else if (a == "--icon")
            iconFiles.push_back(argv[++i]);
        else if (a == "--base")
            base = argv[++i];
        else if (a == "--entry")
            entry = argv[++i];
        else if (a == "--dialog")
            dialogFiles.push_back(argv[++i]);
        else
            Fail("arguments", "unknown option " + a);
    }
    if (outDir.empty()) Fail("arguments", "--out DIR is required");
    std::vector<Resource> resources;
    if (!langFiles.empty()) {
        std::map<uint32_t, Message> messages;
        for (const std::string& f : langFiles)
            ReadCatalogue(f, messages, kMaxText);
        PackCatalogue(messages, resources);
    }
    if (!fontFile.empty()) PackFont(fontFile, resources);
    std::map<int, std::string> templates;
    for (const std::string& f : dialogFiles)
        PackDialog(f, templates, resources);
    for (const std::string& f : pictureFiles)
        PackPicture(f, resources);
    std::map<int, std::string> menus;
    for (const std::string& f : menuFiles)
        PackMenus(f, menus, resources);
    std::map<int, std::string> icons;
    int nextIconId = 1;
    for (const std::string& f : iconFiles)
        PackIcons(f, nextIconId, icons, resources);
    std::map<uint32_t, Message> strings;
    for (const std::string& f : stringFiles)
        ReadCatalogue(f, strings, kMaxTemplateText);
    WriteOutputs(outDir, base, entry, resources, strings);
    return 0;
}
