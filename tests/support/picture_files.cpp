#include "picture_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kestrova::test {

std::string bitmapDataFile(const std::string& name) {
    std::ifstream in(std::string(KESTROVA_TEST_DATA) + "/bitmaps/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

Ppm readPpm(const std::string& name) {
    std::istringstream in(bitmapDataFile(name));
    std::string magic;
    int maxValue = 0;
    Ppm ppm;
    in >> magic >> ppm.width >> ppm.height >> maxValue;
    Rgb c;
    while (in >> c.r >> c.g >> c.b) ppm.pixels.push_back(c);
    EXPECT_EQ(static_cast<std::size_t>(ppm.width * ppm.height), ppm.pixels.size()) << name;
    return ppm;
}

}  // namespace kestrova::test
