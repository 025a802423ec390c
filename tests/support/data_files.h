#pragma once
// The small committed test files under tests/data.
#include <string>

namespace kestrova::test {

// The bytes of tests/data/<path>; a failed expectation and "" when it
// cannot be read.
std::string testDataFile(const std::string& path);

}  // namespace kestrova::test
