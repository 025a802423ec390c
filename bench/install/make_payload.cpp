// make-payload FOLDER [SEED]
//
// Writes the install benchmark's payload into FOLDER (which must not exist
// yet): about 1,400 files and 50 MB in nested folders, the mix a product
// ships. Text-like files (sources, documents, settings) compress well,
// program-like files partly, and media or archives not at all. Every byte
// follows from the seed through a generator of our own, so that every
// machine and compiler makes the same payload. Prints "FILES BYTES".
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// splitmix64: small, fast and fully defined, unlike the standard
// distributions, whose results differ between libraries.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= value < bound.
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(next() % bound); }
    // Sizes spread evenly on a log scale between low and high, as file
    // sizes are.
    std::size_t logSize(double low, double high) {
        double unit = static_cast<double>(next() >> 11) / 9007199254740992.0;
        return static_cast<std::size_t>(std::exp(std::log(low) + unit * std::log(high / low)));
    }
};

const char* const kWords[] = {
    "the",    "of",      "and",     "to",     "in",     "is",      "for",    "return", "if",
    "else",   "int",     "const",   "char",   "void",   "struct",  "value",  "name",   "file",
    "size",   "count",   "index",   "buffer", "error",  "result",  "window", "text",   "data",
    "static", "include", "while",   "true",   "false",  "nullptr", "string", "length", "path",
    "user",   "setting", "product", "page",   "option", "section", "key",    "button", "color",
    "width",  "height",  "left",    "top",    "font",   "message", "state",  "list",   "item"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

// Made-up identifiers that recur across the payload, as a product's names do.
std::vector<std::string> makeNames(Random& random, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        std::string name;
        int length = 3 + static_cast<int>(random.below(10));
        for (int j = 0; j < length; ++j) name += static_cast<char>('a' + random.below(26));
        if (random.below(3) == 0) name[0] = static_cast<char>(name[0] - 'a' + 'A');
        names.push_back(name);
    }
    return names;
}

// Lines of words and names, indented, with punctuation; common words are
// picked more often than rare names.
void textBytes(Random& random, const std::vector<std::string>& names, std::size_t size,
               std::string& out) {
    const char* const endings[] = {";\r\n", "\r\n", " {\r\n", ",\r\n", ".\r\n"};
    while (out.size() < size) {
        out.append(4 * random.below(4), ' ');
        int tokens = 3 + static_cast<int>(random.below(10));
        for (int t = 0; t < tokens; ++t) {
            if (t) out += random.below(6) == 0 ? ", " : " ";
            uint32_t pick = random.below(100);
            if (pick < 60)
                out += kWords[random.below(random.below(kWordCount) + 1)];
            else
                out += names[random.below(random.below(static_cast<uint32_t>(names.size())) + 1)];
        }
        out += endings[random.below(5)];
    }
    out.resize(size);
}

// Code-like bytes: runs of zeros, repeated small records and random
// stretches, which compress to about half.
void programBytes(Random& random, std::size_t size, std::string& out) {
    while (out.size() < size) {
        uint32_t kind = random.below(4);
        std::size_t run = 16 + random.below(240);
        if (kind == 0) {
            out.append(run, '\0');
        } else if (kind == 1) {
            std::string record;
            for (int i = 0; i < 8; ++i) record += static_cast<char>(random.below(256));
            for (std::size_t i = 0; i < run; i += record.size()) out += record;
        } else {
            for (std::size_t i = 0; i < run; ++i) out += static_cast<char>(random.below(256));
        }
    }
    out.resize(size);
}

void randomBytes(Random& random, std::size_t size, std::string& out) {
    while (out.size() < size) {
        uint64_t v = random.next();
        out.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    out.resize(size);
}

struct Kind {
    const char* const* extensions;
    int extensionCount;
    int files;
    double low, high;  // size range in bytes
    int content;       // 0 text, 1 program, 2 random
};

const char* const kTextExtensions[] = {"txt", "h", "cpp", "xml", "htm", "ini", "css", "js"};
const char* const kProgramExtensions[] = {"dll", "exe", "dat", "bin"};
const char* const kMediaExtensions[] = {"png", "jpg", "ogg", "zip", "cab"};

// About 1,400 files and 50 MB: many small texts, fewer larger programs and
// media, a few large files of each kind.
const Kind kKinds[] = {
    {kTextExtensions, 8, 880, 300, 48e3, 0},     {kTextExtensions, 8, 12, 300e3, 1.2e6, 0},
    {kProgramExtensions, 4, 230, 2e3, 250e3, 1}, {kProgramExtensions, 4, 8, 500e3, 2e6, 1},
    {kMediaExtensions, 5, 270, 1e3, 200e3, 2},   {kMediaExtensions, 5, 8, 400e3, 2e6, 2},
};

// Nested folders, one to four levels below the top.
std::vector<std::string> makeFolders(Random& random, const std::vector<std::string>& names) {
    const char* const tops[] = {"bin", "lib", "plugins", "share", "data", "docs", "locale"};
    std::vector<std::string> folders;
    for (const char* top : tops) {
        folders.push_back(top);
        for (int i = 0; i < 6; ++i) {
            std::string folder = std::string(top) + "/" + names[random.below(200)];
            for (int depth = 0; depth < 3; ++depth) {
                folders.push_back(folder);
                folder += "/" + names[random.below(200)];
            }
        }
    }
    return folders;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make-payload FOLDER [SEED]\n");
        return 2;
    }
    const fs::path root = argv[1];
    if (fs::exists(root)) {
        std::fprintf(stderr, "make-payload: %s exists already\n", argv[1]);
        return 1;
    }
    Random random{argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 1};
    const std::vector<std::string> names = makeNames(random, 400);
    const std::vector<std::string> folders = makeFolders(random, names);

    uint64_t files = 0, bytes = 0;
    std::string content;
    for (const Kind& kind : kKinds) {
        for (int i = 0; i < kind.files; ++i) {
            const fs::path folder =
                root / folders[random.below(static_cast<uint32_t>(folders.size()))];
            // The running number keeps every name unique.
            const std::string name = names[random.below(static_cast<uint32_t>(names.size()))] +
                                     "_" + std::to_string(files) + "." +
                                     kind.extensions[random.below(kind.extensionCount)];
            const std::size_t size = random.logSize(kind.low, kind.high);
            content.clear();
            if (kind.content == 0)
                textBytes(random, names, size, content);
            else if (kind.content == 1)
                programBytes(random, size, content);
            else
                randomBytes(random, size, content);
            fs::create_directories(folder);
            std::ofstream out(folder / name, std::ios::binary);
            out.write(content.data(), static_cast<std::streamsize>(content.size()));
            if (!out.flush()) {
                std::fprintf(stderr, "make-payload: cannot write %s\n", (folder / name).c_str());
                return 1;
            }
            ++files;
            bytes += content.size();
        }
    }
    std::printf("%llu %llu\n", static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(bytes));
    return 0;
}
