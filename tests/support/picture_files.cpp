#include "picture_files.h"

#include <gtest/gtest.h>

#include <sstream>

#include "data_files.h"

namespace kestrova::test {

std::string bitmapDataFile(const std::string& name) {
    return testDataFile("bitmaps/" + name);
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
