// The File reader against the one it replaced, which read a line with one
// getc per byte and asked the C runtime for every position: on any file
// (the fuzzer's bytes, tiled past the read buffer's size when the first
// byte says so) and any sequence of line reads of every capacity, reads,
// takes, seeks, position and size queries, both must give the same bytes
// and the same results. The reference lives here and nowhere else.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file.h"

using kestrova::File;

namespace {

// The reader before the File kept a buffer of its own.
class ReferenceFile {
  public:
    explicit ReferenceFile(std::FILE* stream) : stream_(stream) {}
    ~ReferenceFile() { std::fclose(stream_); }

    std::size_t read(void* buffer, std::size_t n) {
        return n == 0 ? 0 : std::fread(buffer, 1, n, stream_);
    }
    bool seek(int64_t position) {
        return position >= 0 && fseeko(stream_, static_cast<off_t>(position), SEEK_SET) == 0;
    }
    int64_t tell() { return ftello(stream_); }
    int64_t size() {
        const int64_t here = tell();
        if (here < 0 || fseeko(stream_, 0, SEEK_END) != 0) return -1;
        const int64_t end = tell();
        seek(here);
        return end;
    }
    int readLine(char* buffer, int capacity) {
        if (capacity <= 0) return -1;
        buffer[0] = '\0';
        int n = 0;
        while (n < capacity - 1) {
            const int c = std::getc(stream_);
            if (c == EOF) break;
            buffer[n++] = static_cast<char>(c);
            if (c == '\n') break;
        }
        buffer[n] = '\0';
        return n == 0 ? -1 : n;
    }

  private:
    std::FILE* stream_;
};

// The operations come from a small generator seeded by the input, so each
// input always runs the same sequence.
struct Steps {
    uint32_t state;
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string file(reinterpret_cast<const char*>(data), size);
    uint32_t seed = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) seed = (seed ^ data[i]) * 16777619u;
    if (size > 0 && (data[0] & 1)) {
        // Lines across the 64 KB blocks the File reads in.
        const std::string unit = file;
        while (!unit.empty() && file.size() < 3 * File::kReadBuffer / 2) file += unit;
    }
    // Each side reads its own file, kept in memory by the kernel: a real
    // file's seeks and positions (a C library stream over a buffer has
    // quirks of its own at its end).
    auto open = [&file]() -> std::FILE* {
        const int fd = memfd_create("file_reader", 0);
        if (fd < 0) return nullptr;
        if (write(fd, file.data(), file.size()) != static_cast<ssize_t>(file.size()) ||
            lseek(fd, 0, SEEK_SET) != 0) {
            close(fd);
            return nullptr;
        }
        return fdopen(fd, "rb");
    };
    std::FILE* a = open();
    std::FILE* b = open();
    if (!a || !b) {
        if (a) std::fclose(a);
        if (b) std::fclose(b);
        return 0;
    }
    File tested(a);
    ReferenceFile reference(b);

    static const int kCapacities[] = {1, 2, 3, 9, 100, 400, 480, 70000};
    static const std::size_t kCounts[] = {1, 7, 40, 4096, 65535, 65536, 100000};
    static std::vector<char> got(200000), want(200000);
    const int64_t length = static_cast<int64_t>(file.size());
    Steps steps{seed};
    for (int step = 0; step < 200; ++step) {
        const uint32_t r = steps.next();
        switch (r % 8) {
            case 0:
            case 1:
            case 2: {  // mostly lines, as the setup reads its script
                const int capacity = kCapacities[(r >> 3) % 8];
                const int n = tested.readLine(got.data(), capacity);
                if (n != reference.readLine(want.data(), capacity)) __builtin_trap();
                if (std::memcmp(got.data(), want.data(), n < 0 ? 1 : n + 1) != 0) __builtin_trap();
                break;
            }
            case 3: {
                const std::size_t count = kCounts[(r >> 3) % 7];
                const std::size_t n = tested.read(got.data(), count);
                if (n != reference.read(want.data(), count) ||
                    std::memcmp(got.data(), want.data(), n) != 0)
                    __builtin_trap();
                break;
            }
            case 4: {  // what take hands out, the reference reads
                const uint8_t* bytes = nullptr;
                const std::size_t n = tested.take(&bytes, kCounts[(r >> 3) % 7]);
                if (reference.read(want.data(), n) != n) __builtin_trap();
                if (n == 0 ? reference.read(want.data(), 1) != 0
                           : std::memcmp(bytes, want.data(), n) != 0)
                    __builtin_trap();
                break;
            }
            case 5: {  // near here (inside the buffer or just past it) or anywhere
                const int64_t here = reference.tell();
                int64_t to = (r >> 3) % 2 ? here + static_cast<int64_t>((r >> 4) % 200) - 100
                                          : static_cast<int64_t>((r >> 4) % (length + 20));
                if (tested.seek(to) != reference.seek(to)) __builtin_trap();
                break;
            }
            case 6:
                if (tested.tell() != reference.tell()) __builtin_trap();
                break;
            case 7:
                if (tested.size() != reference.size()) __builtin_trap();
                break;
        }
    }
    if (tested.tell() != reference.tell()) __builtin_trap();
    return 0;
}
