// Runs a fuzz target without libFuzzer, as a fixed, repeatable test: each
// file named on the command line, then a fixed number of inputs mutated
// from them with a fixed seed (bytes flipped, inserted, deleted, markup
// spliced in). The sanitizer builds run it in every test run; libFuzzer
// builds of the same target search for longer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr int kMutations = 10000;

// Pieces of markup that reach the conversion's less common paths.
const char* const kPieces[] = {"<",
                               ">",
                               "&",
                               ";",
                               "<!--",
                               "-->",
                               "</",
                               "<pre>",
                               "</pre>",
                               "<li>",
                               "<ol>",
                               "</ol>",
                               "<br>",
                               "<td>",
                               "<script>",
                               "</script",
                               "&#x",
                               "&#",
                               "&nbsp",
                               "\"",
                               "'",
                               "=",
                               "<meta charset=utf-8>",
                               "\r\n",
                               "\xEF\xBB\xBF",
                               "\xF0\x9F\x98\x80",
                               "\xD0\xED"};

void run(const std::string& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> seeds{""};
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    for (const std::string& seed : seeds) run(seed);

    std::mt19937 random(20040305);
    for (int i = 0; i < kMutations; ++i) {
        std::string input = seeds[random() % seeds.size()];
        int edits = 1 + random() % 8;
        for (int e = 0; e < edits; ++e) {
            std::size_t at = input.empty() ? 0 : random() % (input.size() + 1);
            switch (random() % 4) {
                case 0:
                    if (at < input.size()) input[at] = static_cast<char>(random());
                    break;
                case 1:
                    input.insert(at, 1, static_cast<char>(random()));
                    break;
                case 2:
                    if (at < input.size()) input.erase(at, 1 + random() % 16);
                    break;
                default:
                    input.insert(at, kPieces[random() % std::size(kPieces)]);
                    break;
            }
        }
        run(input);
    }
    std::printf("%zu seeds and %d mutated inputs ran\n", seeds.size(), kMutations);
    return 0;
}
