// The stub inflates raw deflate streams only, and those carry no Adler-32
// check value. zlib's inflate names adler32() all the same (for its zlib
// wrapper and its dictionary check), which would bring zlib's adler32.o into
// the link: 2 KB with the combine functions nothing here calls. This small
// definition, linked before zlib's library, answers that name instead. It is
// the whole checksum, so a caller that does use it gets the right value.
#include <zlib.h>

extern "C" uLong ZEXPORT adler32(uLong adler, const Bytef* buf, uInt len) {
    constexpr unsigned long kBase = 65521;  // the largest prime below 65536
    // 5552 bytes is the most that cannot overflow 32 bits before the modulo.
    constexpr uInt kBlock = 5552;
    unsigned long a = adler & 0xffff;
    unsigned long b = (adler >> 16) & 0xffff;
    if (!buf) return 1;
    while (len > 0) {
        uInt n = len < kBlock ? len : kBlock;
        len -= n;
        while (n-- > 0) {
            a += *buf++;
            b += a;
        }
        a %= kBase;
        b %= kBase;
    }
    return (b << 16) | a;
}
