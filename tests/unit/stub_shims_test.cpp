// The stub's replacements for library helpers, built here under other names
// beside the originals: its adler32() against zlib's, and its 64-bit
// division against the compiler's own '/' and '%' (the runtime library's
// helpers on a 32-bit build, the processor's on a 64-bit one).
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#define KESTROVA_DIVISION_NAME(name) shim##name
#include "startup/stub/division_shim.cpp"

#define adler32 shimAdler32
#include "startup/stub/zlib_shim.cpp"
#undef adler32

namespace {

// zlib's value at every length around its 5552-byte block, from the start,
// continued from an earlier value, and at the largest sums.
TEST(StubShims, Adler32AgreesWithZlib) {
    std::mt19937 random(7);
    std::vector<Bytef> bytes(20000);
    for (Bytef& b : bytes) b = static_cast<Bytef>(random());
    const std::vector<Bytef> ones(20000, 0xff);
    EXPECT_EQ(shimAdler32(123, nullptr, 5), adler32(123, nullptr, 5));
    const std::vector<Bytef>* inputs[] = {&bytes, &ones};
    for (const std::vector<Bytef>* data : inputs) {
        for (uInt n : {0u, 1u, 15u, 16u, 5551u, 5552u, 5553u, 11104u, 20000u}) {
            const Bytef* p = data->data();
            const uLong whole = adler32(1, p, n);
            EXPECT_EQ(shimAdler32(1, p, n), whole) << n;
            EXPECT_EQ(shimAdler32(adler32(1, p, n / 3), p + n / 3, n - n / 3), whole) << n;
        }
    }
}

// Quotients and remainders, signed and unsigned, for operands of every
// size from one bit to 64 and of both signs, and the extremes.
TEST(StubShims, DivisionAgreesWithTheCompilers) {
    std::mt19937_64 random(11);
    const int64_t min = std::numeric_limits<int64_t>::min();
    const int64_t max = std::numeric_limits<int64_t>::max();
    std::vector<std::pair<uint64_t, uint64_t>> pairs = {{0, 1},
                                                        {1, 1},
                                                        {~0ull, 1},
                                                        {~0ull, ~0ull},
                                                        {~0ull - 1, ~0ull},
                                                        {1ull << 63, 3},
                                                        {1ull << 32, 10},
                                                        {(1ull << 32) - 1, 1ull << 32},
                                                        {12345, 100}};
    for (int i = 0; i < 4000; ++i) {
        const uint64_t n = random() >> (random() % 64);
        const uint64_t d = random() >> (random() % 64);
        pairs.push_back({n, d ? d : 7});
    }
    for (const auto& [n, d] : pairs) {
        unsigned long long rest = 0;
        ASSERT_EQ(shim__udivmoddi4(n, d, &rest), n / d) << n << " / " << d;
        ASSERT_EQ(rest, n % d) << n << " % " << d;
        ASSERT_EQ(shim__udivdi3(n, d), n / d);
        ASSERT_EQ(shim__umoddi3(n, d), n % d);
        // The same bits as signed numbers, of each sign (one overflowing
        // case, the least number by -1, is left out as C++ leaves it).
        const int64_t a = static_cast<int64_t>(n);
        const int64_t b = static_cast<int64_t>(d);
        for (int64_t x : {a, a == min ? a : -a}) {
            for (int64_t y : {b, b == min ? b : -b}) {
                if (x == min && y == -1) continue;
                ASSERT_EQ(shim__divdi3(x, y), x / y) << x << " / " << y;
                ASSERT_EQ(shim__moddi3(x, y), x % y) << x << " % " << y;
            }
        }
    }
    EXPECT_EQ(shim__divdi3(min, 1), min);
    EXPECT_EQ(shim__divdi3(max, -1), -max);
    EXPECT_EQ(shim__moddi3(min, max), min % max);
}

}  // namespace
