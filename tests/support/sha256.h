#pragma once
// SHA-256 for the fake platforms (FIPS 180-4): the real platform asks the
// system, the fakes compute the same digest here, on any host.
#include <cstddef>
#include <cstdint>

namespace kestrova::test {

void sha256(const void* data, std::size_t size, uint8_t digest[32]);

}  // namespace kestrova::test
