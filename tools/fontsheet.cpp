// fontsheet: checks the stroke font source and draws it as an SVG sheet for review.
//
//   fontsheet <stroke.txt> <out.svg>
//
// The source is the plain text format described at the top of
// resources/font/stroke.txt:
//   height <units>                  once, before the first glyph
//   glyph <code> [<character>]      starts a glyph; the character is for readers
//   stroke <x1> <y1> <x2> <y2>      one stroke of the current glyph, y upward
// Empty lines and lines starting with '#' are ignored.
//
// The checks are the facts the board text layout relies on: 96 glyphs with
// codes 32..127 in order, no strokes for the space, 510 strokes in all for
// codes 33..127, every coordinate within x 0..900 and y 0..1701, a font
// height of 1800, and the "A" of 6 strokes whose first stroke runs from
// (100, 500) to (100, 1100) and whose strokes span x 100..900 and y 500..1700.
// Every fault is reported with its line. The sheet is still drawn from what
// could be read, so a font being reworked can be looked at; the exit status
// is 1 when any fault was found, 2 for a usage or file error.
//
// The sheet shows every glyph in a 16-column grid with the baseline (y 500),
// the x-height (y 1200), the capital height (y 1700) and the advance (the
// glyph's largest x) marked, followed by a few sample lines laid out the way
// board texts are: each glyph moved right by the pen, the pen advanced by the
// glyph's largest x (three quarters of the font height for a glyph without
// strokes) plus a gap.

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 127;
constexpr int kGlyphCount = kLastCode - kFirstCode + 1;
constexpr int kFontHeight = 1800;
constexpr int kStrokeTotal = 510;  // codes 33..127
constexpr int kMinX = 0, kMaxX = 900;
constexpr int kMinY = 0, kMaxY = 1701;
constexpr int kBaseline = 500;
constexpr int kXHeight = 1200;
constexpr int kCapHeight = 1700;

struct Stroke {
    int x1, y1, x2, y2;
    int line;  // source line, for messages
};

struct Glyph {
    int code = 0;
    int line = 0;
    std::vector<Stroke> strokes;
};

struct Font {
    int height = -1;
    int heightLine = 0;
    std::vector<Glyph> glyphs;
};

class Reporter {
public:
    explicit Reporter(std::string file) : file_(std::move(file)) {}
    void error(int line, const std::string& message) {
        if (line > 0)
            std::cerr << file_ << ":" << line << ": error: " << message << "\n";
        else
            std::cerr << file_ << ": error: " << message << "\n";
        ++count_;
    }
    int count() const { return count_; }

private:
    std::string file_;
    int count_ = 0;
};

bool parseInt(std::string_view token, int& value) {
    const char* first = token.data();
    const char* last = token.data() + token.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

// Reads the source; syntax faults go to the reporter.
Font parseFont(std::istream& in, Reporter& report) {
    Font font;
    std::string text;
    int lineNo = 0;
    while (std::getline(in, text)) {
        ++lineNo;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::size_t start = text.find_first_not_of(" \t");
        if (start == std::string::npos || text[start] == '#') continue;
        std::vector<std::string> words = splitWords(text);

        if (words[0] == "height") {
            int value = 0;
            if (words.size() != 2 || !parseInt(words[1], value)) {
                report.error(lineNo, "expected 'height <units>'");
            } else if (font.height >= 0) {
                report.error(lineNo, "second height line (first on line " +
                                         std::to_string(font.heightLine) + ")");
            } else if (!font.glyphs.empty()) {
                report.error(lineNo, "height line after the first glyph");
            } else {
                font.height = value;
                font.heightLine = lineNo;
            }
        } else if (words[0] == "glyph") {
            Glyph glyph;
            glyph.line = lineNo;
            if (words.size() < 2 || !parseInt(words[1], glyph.code)) {
                report.error(lineNo, "expected 'glyph <code> [<character>]'");
                glyph.code = -1;
            }
            font.glyphs.push_back(std::move(glyph));
        } else if (words[0] == "stroke") {
            words.erase(words.begin());
            Stroke s{};
            s.line = lineNo;
            if (words.size() != 4 || !parseInt(words[0], s.x1) || !parseInt(words[1], s.y1) ||
                !parseInt(words[2], s.x2) || !parseInt(words[3], s.y2)) {
                report.error(lineNo, "expected a stroke 'stroke <x1> <y1> <x2> <y2>'");
            } else if (font.glyphs.empty()) {
                report.error(lineNo, "stroke before the first glyph line");
            } else {
                font.glyphs.back().strokes.push_back(s);
            }
        } else {
            report.error(lineNo, "expected 'height', 'glyph' or 'stroke'");
        }
    }
    return font;
}

std::string glyphName(int code) {
    std::string name = "glyph " + std::to_string(code);
    if (code > 32 && code < 127) name += std::string(" '") + static_cast<char>(code) + "'";
    return name;
}

void checkFont(const Font& font, Reporter& report) {
    if (font.height < 0)
        report.error(0, "no height line");
    else if (font.height != kFontHeight)
        report.error(font.heightLine, "font height is " + std::to_string(font.height) +
                                          ", expected " + std::to_string(kFontHeight));

    if (static_cast<int>(font.glyphs.size()) != kGlyphCount)
        report.error(0, "the font has " + std::to_string(font.glyphs.size()) + " glyphs, expected " +
                            std::to_string(kGlyphCount) + " (codes 32..127)");

    // Codes must lie in 32..127 and go up; with 96 glyphs that is every code once.
    int previous = kFirstCode - 1;
    std::vector<bool> present(kLastCode + 1, false);
    for (const Glyph& g : font.glyphs) {
        if (g.code < 0) continue;  // already reported
        if (g.code < kFirstCode || g.code > kLastCode) {
            report.error(g.line, "glyph code " + std::to_string(g.code) + " outside 32..127");
            continue;
        }
        if (g.code <= previous)
            report.error(g.line, "glyph code " + std::to_string(g.code) + " after code " +
                                     std::to_string(previous) + " (codes must go up, each once)");
        previous = std::max(previous, g.code);
        present[g.code] = true;
    }
    std::string missing;
    for (int code = kFirstCode; code <= kLastCode; ++code)
        if (!present[code]) missing += " " + std::to_string(code);
    if (!missing.empty()) report.error(0, "no glyph for code(s)" + missing);

    long total = 0;
    for (const Glyph& g : font.glyphs) {
        if (g.code == 32 && !g.strokes.empty())
            report.error(g.line, "the space (32) must have no strokes, it has " +
                                     std::to_string(g.strokes.size()));
        if (g.code > 32 && g.code <= kLastCode) total += static_cast<long>(g.strokes.size());
        for (const Stroke& s : g.strokes) {
            bool xOk = s.x1 >= kMinX && s.x1 <= kMaxX && s.x2 >= kMinX && s.x2 <= kMaxX;
            bool yOk = s.y1 >= kMinY && s.y1 <= kMaxY && s.y2 >= kMinY && s.y2 <= kMaxY;
            if (!xOk)
                report.error(s.line, glyphName(g.code) + ": x outside " + std::to_string(kMinX) + ".." +
                                         std::to_string(kMaxX));
            if (!yOk)
                report.error(s.line, glyphName(g.code) + ": y outside " + std::to_string(kMinY) + ".." +
                                         std::to_string(kMaxY));
        }
    }
    if (total != kStrokeTotal)
        report.error(0, "codes 33..127 have " + std::to_string(total) + " strokes in all, expected " +
                            std::to_string(kStrokeTotal));

    const Glyph* a = nullptr;
    for (const Glyph& g : font.glyphs)
        if (g.code == 'A') a = &g;
    if (a == nullptr) {
        report.error(0, "no glyph for 'A' (65)");
        return;
    }
    if (a->strokes.size() != 6)
        report.error(a->line, "'A' has " + std::to_string(a->strokes.size()) + " strokes, expected 6");
    if (!a->strokes.empty()) {
        const Stroke& f = a->strokes.front();
        if (f.x1 != 100 || f.y1 != 500 || f.x2 != 100 || f.y2 != 1100)
            report.error(f.line, "the first stroke of 'A' must run from (100, 500) to (100, 1100)");
        int x0 = f.x1, x1 = f.x1, y0 = f.y1, y1 = f.y1;
        for (const Stroke& s : a->strokes) {
            x0 = std::min({x0, s.x1, s.x2});
            x1 = std::max({x1, s.x1, s.x2});
            y0 = std::min({y0, s.y1, s.y2});
            y1 = std::max({y1, s.y1, s.y2});
        }
        if (x0 != 100 || x1 != 900 || y0 != 500 || y1 != 1700)
            report.error(a->line, "'A' spans x " + std::to_string(x0) + ".." + std::to_string(x1) + " and y " +
                                      std::to_string(y0) + ".." + std::to_string(y1) +
                                      ", expected x 100..900 and y 500..1700");
    }
}

std::string escapeXml(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

// Sheet geometry, in font units (the whole sheet is scaled down once).
constexpr double kScale = 0.12;        // pixels per font unit
constexpr int kCellWidth = 1000;
constexpr int kCellGlyph = kFontHeight + 100;  // room for y 0..1800 and a margin
constexpr int kCellLabel = 260;
constexpr int kCellHeight = kCellGlyph + kCellLabel;
constexpr int kColumns = 16;
constexpr int kPenWidth = 70;           // drawn line width
constexpr int kSampleGap = 2 * kPenWidth;  // extra pen advance after every glyph in the samples

void drawStrokes(std::ostream& out, const Glyph& g, int dx, int originY) {
    // Font y runs upward; the sheet's y runs downward from originY (font y 0).
    for (const Stroke& s : g.strokes) {
        out << "<line x1=\"" << dx + s.x1 << "\" y1=\"" << originY - s.y1 << "\" x2=\"" << dx + s.x2
            << "\" y2=\"" << originY - s.y2 << "\"/>\n";
    }
}

int largestX(const Glyph& g) {
    int m = -30000;
    for (const Stroke& s : g.strokes) m = std::max({m, s.x1, s.x2});
    return m;
}

bool writeSheet(const Font& font, const std::string& path) {
    std::ofstream out(path);
    if (!out) return false;

    const std::vector<std::string> samples = {
        "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG",
        "The quick brown fox jumps over the lazy dog.",
        "0123456789 R1 C12 U3.7 GND +5V VCC_IO 10k 4u7",
        "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
        "Hillbilly jig; fill it, lil' Iris! |1|l|I|i|",
    };
    const int rows = (static_cast<int>(font.glyphs.size()) + kColumns - 1) / kColumns;
    const int gridHeight = rows * kCellHeight;
    const int sampleLine = (kFontHeight + 200) / 2;
    int sampleWidth = 0;
    auto glyphFor = [&](int code) -> const Glyph* {
        for (const Glyph& g : font.glyphs)
            if (g.code == code) return &g;
        return nullptr;
    };
    auto advance = [&](const Glyph* g) {
        int m = g ? largestX(*g) : 0;
        if (m <= 0) m = 3 * kFontHeight / 4;
        return m + kSampleGap;
    };
    for (const std::string& text : samples) {
        int pen = 0;
        for (char c : text) pen += advance(glyphFor(static_cast<unsigned char>(c)));
        sampleWidth = std::max(sampleWidth, pen);
    }
    const int width = std::max(kColumns * kCellWidth, sampleWidth / 2 + 200);
    const int height = gridHeight + 300 + static_cast<int>(samples.size()) * sampleLine;

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << static_cast<int>(width * kScale)
        << "\" height=\"" << static_cast<int>(height * kScale) << "\" viewBox=\"0 0 " << width << " "
        << height << "\">\n";
    out << "<rect x=\"0\" y=\"0\" width=\"" << width << "\" height=\"" << height << "\" fill=\"white\"/>\n";

    for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
        const Glyph& g = font.glyphs[i];
        const int cx = static_cast<int>(i % kColumns) * kCellWidth;
        const int cy = static_cast<int>(i / kColumns) * kCellHeight;
        const int originY = cy + kCellLabel + kFontHeight;  // sheet y of font y 0

        out << "<g>\n";
        out << "<rect x=\"" << cx << "\" y=\"" << cy << "\" width=\"" << kCellWidth << "\" height=\""
            << kCellHeight << "\" fill=\"none\" stroke=\"#bbbbbb\" stroke-width=\"6\"/>\n";
        // guide lines: capital height and x-height dashed, baseline solid red
        for (int y : {kCapHeight, kXHeight}) {
            out << "<line x1=\"" << cx << "\" y1=\"" << originY - y << "\" x2=\"" << cx + kCellWidth
                << "\" y2=\"" << originY - y
                << "\" stroke=\"#88aaff\" stroke-width=\"6\" stroke-dasharray=\"30,30\"/>\n";
        }
        out << "<line x1=\"" << cx << "\" y1=\"" << originY - kBaseline << "\" x2=\"" << cx + kCellWidth
            << "\" y2=\"" << originY - kBaseline << "\" stroke=\"#ff5555\" stroke-width=\"10\"/>\n";
        const int adv = largestX(g);
        if (adv > 0) {
            out << "<line x1=\"" << cx + adv << "\" y1=\"" << originY - kMaxY << "\" x2=\"" << cx + adv
                << "\" y2=\"" << originY << "\" stroke=\"#33aa33\" stroke-width=\"6\""
                << " stroke-dasharray=\"20,20\"/>\n";
        }
        std::string label = std::to_string(g.code);
        if (g.code > 32 && g.code < 127) label += std::string("  ") + static_cast<char>(g.code);
        label += "  (" + std::to_string(g.strokes.size()) + ")";
        out << "<text x=\"" << cx + 40 << "\" y=\"" << cy + 190
            << "\" font-family=\"monospace\" font-size=\"150\" fill=\"#444444\">" << escapeXml(label)
            << "</text>\n";
        out << "<g stroke=\"black\" stroke-width=\"" << kPenWidth
            << "\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
        drawStrokes(out, g, cx, originY);
        out << "</g>\n</g>\n";
    }

    // The samples are drawn at half the size of the grid.
    int y = gridHeight + 300;
    for (const std::string& text : samples) {
        out << "<g transform=\"translate(0 " << y << ") scale(0.5)\">\n";
        const int originY = kFontHeight;
        out << "<line x1=\"0\" y1=\"" << originY - kBaseline << "\" x2=\"" << 2 * width << "\" y2=\""
            << originY - kBaseline << "\" stroke=\"#ffaaaa\" stroke-width=\"8\"/>\n";
        out << "<g stroke=\"black\" stroke-width=\"" << kPenWidth
            << "\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
        int pen = 100;
        for (char c : text) {
            const Glyph* g = glyphFor(static_cast<unsigned char>(c));
            if (g) drawStrokes(out, *g, pen, originY);
            pen += advance(g);
        }
        out << "</g>\n</g>\n";
        y += sampleLine;
    }
    out << "</svg>\n";
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: fontsheet <stroke.txt> <out.svg>\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << argv[1] << ": error: cannot open\n";
        return 2;
    }
    Reporter report(argv[1]);
    Font font = parseFont(in, report);
    checkFont(font, report);
    if (!writeSheet(font, argv[2])) {
        std::cerr << argv[2] << ": error: cannot write\n";
        return 2;
    }
    if (report.count() > 0) {
        std::cerr << report.count() << " error(s); sheet written to " << argv[2] << " for review\n";
        return 1;
    }
    long total = 0;
    for (const Glyph& g : font.glyphs) total += static_cast<long>(g.strokes.size());
    std::cout << argv[1] << ": " << font.glyphs.size() << " glyphs, " << total << " strokes; sheet written to "
              << argv[2] << "\n";
    return 0;
}
