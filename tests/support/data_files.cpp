#include "data_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kestrova::test {

std::string testDataFile(const std::string& path) {
    std::ifstream in(std::string(KESTROVA_TEST_DATA) + "/" + path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace kestrova::test
