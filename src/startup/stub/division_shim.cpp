// 64-bit division for the 32-bit stub. The compiler calls these helpers for
// every 64-bit '/' and '%' (sizes, positions, percentages); the runtime
// library's own are built for speed and take 2 KB. Every division the stub
// makes is rare (a line of text, a picture's header, a file's progress), so
// these shift and subtract, one bit at a time, in a tenth of that.
// Division by zero gives an all-ones quotient here where the library's
// would fault; no caller divides by zero.
#ifndef KESTROVA_DIVISION_NAME
#define KESTROVA_DIVISION_NAME(name) name
#endif

using U64 = unsigned long long;
using S64 = long long;

extern "C" {

U64 KESTROVA_DIVISION_NAME(__udivmoddi4)(U64 n, U64 d, U64* remainder) {
    U64 quotient = 0;
    U64 rest = 0;
    for (int bit = 63; bit >= 0; --bit) {
        rest = (rest << 1) | ((n >> bit) & 1);
        if (rest >= d) {
            rest -= d;
            quotient |= U64{1} << bit;
        }
    }
    if (remainder) *remainder = rest;
    return quotient;
}

U64 KESTROVA_DIVISION_NAME(__udivdi3)(U64 n, U64 d) {
    return KESTROVA_DIVISION_NAME(__udivmoddi4)(n, d, nullptr);
}

U64 KESTROVA_DIVISION_NAME(__umoddi3)(U64 n, U64 d) {
    U64 rest;
    KESTROVA_DIVISION_NAME(__udivmoddi4)(n, d, &rest);
    return rest;
}

// Signed: the magnitudes divided, the quotient negative when the signs
// differ and the remainder taking the dividend's sign, as C++ has them.
S64 KESTROVA_DIVISION_NAME(__divdi3)(S64 a, S64 b) {
    const U64 n = a < 0 ? U64{0} - static_cast<U64>(a) : static_cast<U64>(a);
    const U64 d = b < 0 ? U64{0} - static_cast<U64>(b) : static_cast<U64>(b);
    const U64 q = KESTROVA_DIVISION_NAME(__udivmoddi4)(n, d, nullptr);
    return static_cast<S64>((a < 0) != (b < 0) ? U64{0} - q : q);
}

S64 KESTROVA_DIVISION_NAME(__moddi3)(S64 a, S64 b) {
    const U64 n = a < 0 ? U64{0} - static_cast<U64>(a) : static_cast<U64>(a);
    const U64 d = b < 0 ? U64{0} - static_cast<U64>(b) : static_cast<U64>(b);
    U64 rest;
    KESTROVA_DIVISION_NAME(__udivmoddi4)(n, d, &rest);
    return static_cast<S64>(a < 0 ? U64{0} - rest : rest);
}

}  // extern "C"
