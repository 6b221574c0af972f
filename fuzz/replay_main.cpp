// A small main for the fuzz entry without libFuzzer: replays every file of
// the folders given (the seed corpus and the kept crash inputs), then, with
// "--mutate SECONDS", feeds seeded mutations of them for that long (the
// stand-in for the fuzzer where clang is missing).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> Mutate(std::vector<uint8_t> in, std::mt19937& rng,
                            const std::vector<std::vector<uint8_t>>& corpus) {
    static const char* const kWords[] = {
        "*START",     "*END",        "*LAYER", "*VIA",  "*THRU", "*SYMBOL", "*PACKAGE", "*STRATEGY",
        "*PLACE",     "LAYER=",      "SHAPE=", "W:",    "H:",    "XOFF:",   "ROT=",     "THRU=",
        "PASS",       "BOX",         "&\r\n",  "\"",    "[",     "]",       ",",        "-",
        "2147483647", "-2147483648", "0",      "99999", "\r\n"};
    int rounds = 1 + int(rng() % 8);
    for (int r = 0; r < rounds; ++r) {
        size_t at = in.empty() ? 0 : rng() % (in.size() + 1);
        switch (rng() % 6) {
        case 0: // flip a byte
            if (!in.empty()) in[at % in.size()] = uint8_t(rng());
            break;
        case 1: { // insert a word of the format
            const char* w = kWords[rng() % (sizeof kWords / sizeof kWords[0])];
            in.insert(in.begin() + long(at), w, w + std::strlen(w));
            break;
        }
        case 2: // delete a run
            if (!in.empty()) {
                size_t n = 1 + rng() % 16;
                size_t from = at % in.size();
                in.erase(in.begin() + long(from), in.begin() + long(std::min(in.size(), from + n)));
            }
            break;
        case 3: { // splice a piece of another input
            const auto& other = corpus[rng() % corpus.size()];
            if (!other.empty()) {
                size_t from = rng() % other.size();
                size_t n = std::min(other.size() - from, size_t(1 + rng() % 64));
                in.insert(in.begin() + long(at), other.begin() + long(from),
                          other.begin() + long(from + n));
            }
            break;
        }
        case 4: // repeat a run
            if (!in.empty()) {
                size_t from = at % in.size();
                size_t n = std::min(in.size() - from, size_t(1 + rng() % 32));
                std::vector<uint8_t> piece(in.begin() + long(from), in.begin() + long(from + n));
                in.insert(in.begin() + long(from), piece.begin(), piece.end());
            }
            break;
        default: // a random byte
            in.insert(in.begin() + long(at), uint8_t(rng()));
            break;
        }
    }
    if (in.size() > 8192) in.resize(8192);
    return in;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::vector<uint8_t>> corpus;
    double seconds = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mutate") == 0 && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
            continue;
        }
        std::filesystem::path p(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(p)) {
            for (const auto& e : std::filesystem::directory_iterator(p))
                if (e.is_regular_file()) files.push_back(e.path());
        } else if (std::filesystem::exists(p)) {
            files.push_back(p);
        }
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            corpus.push_back(std::move(bytes));
        }
    }
    std::printf("replayed %zu inputs\n", corpus.size());
    if (seconds <= 0 || corpus.empty()) return 0;
    std::mt19937 rng(12345);
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long runs = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::vector<uint8_t> input = Mutate(corpus[rng() % corpus.size()], rng, corpus);
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++runs;
    }
    std::printf("ran %ld mutated inputs\n", runs);
    return 0;
}
