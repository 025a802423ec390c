#pragma once
// The committed test pictures (tests/data/bitmaps): .bmp files and the
// plain-text (P3) .ppm files that say which colours they show.
#include <string>
#include <tuple>
#include <vector>

namespace kestrova::test {

// The bytes of tests/data/bitmaps/<name>; a missing file fails the test.
std::string bitmapDataFile(const std::string& name);

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator<(const Rgb& o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
};

// A plain-text (P3) picture, top row first.
struct Ppm {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[y * width + x]; }
};

// Reads tests/data/bitmaps/<name>; a picture whose pixel count does not
// match its size fails the test.
Ppm readPpm(const std::string& name);

}  // namespace kestrova::test
