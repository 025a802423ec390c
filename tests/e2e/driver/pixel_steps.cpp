// expect-pixels: what a window shows on the screen, checked while it is
// there. The pixels are read from the screen itself, so they are what the
// user sees, whatever context the program drew them through.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "driver.h"
#include "screenshot.h"

namespace kestrova::e2e {
namespace {

constexpr double kDefaultPixelTimeout = 5;
// Per channel: room for a display that rounds colours, yet small enough to
// tell the welcome panel (fafafa) from the dialog's face (f5f5f5 here).
// Text is smoothed: its pixels are counted with a larger tolerance= that
// takes in the dark edges of the glyphs.
constexpr long kDefaultTolerance = 3;

struct Rgb {
    int red = 0, green = 0, blue = 0;
};

bool parseRgb(const std::string& text, Rgb& colour) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    long value = std::strtol(text.c_str(), nullptr, 16);
    colour = {static_cast<int>(value >> 16 & 0xFF), static_cast<int>(value >> 8 & 0xFF),
              static_cast<int>(value & 0xFF)};
    return true;
}

bool closeTo(const uint8_t* pixel, const Rgb& colour, long tolerance) {
    return std::abs(pixel[0] - colour.red) <= tolerance &&
           std::abs(pixel[1] - colour.green) <= tolerance &&
           std::abs(pixel[2] - colour.blue) <= tolerance;
}

std::string hex(const uint8_t* pixel) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", pixel[0], pixel[1], pixel[2]);
    return text;
}

// The three most frequent colours of the area, for the failure message.
std::string commonColours(const std::vector<uint8_t>& rgb) {
    std::map<std::string, int> counts;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) ++counts[hex(&rgb[i])];
    std::vector<std::pair<int, std::string>> order;
    for (const auto& [colour, count] : counts) order.emplace_back(count, colour);
    std::sort(order.rbegin(), order.rend());
    std::string text;
    for (size_t i = 0; i < order.size() && i < 3; ++i)
        text += (i ? ", " : "") + order[i].second + " x" + std::to_string(order[i].first);
    return text;
}

}  // namespace

bool Driver::expectPixels(const Step& step) {
    Rgb colour;
    if (!parseRgb(step.text("rgb"), colour))
        return fail("rgb= takes six hex digits RRGGBB, not \"" + step.text("rgb") + "\"");
    const long x = step.number("x", 0), y = step.number("y", 0);
    const long width = step.number("w", 1), height = step.number("h", 1);
    const long area = width * height;
    const long tolerance = step.number("tolerance", kDefaultTolerance);
    if (width < 1 || height < 1) return fail("w= and h= must be at least 1");
    // Without min= or max= every pixel must have the colour; max= alone
    // asks that at most so many have it (max=0: the colour is absent).
    const long atLeast = step.number("min", step.has("max") ? 0 : area);
    const long atMost = step.number("max", area);
    std::string error, seen;
    long count = 0;
    bool ok = waitFor(step.seconds("timeout", kDefaultPixelTimeout), [&] {
        HWND target = findControl(step, false, false, error);
        if (!target) return false;
        error.clear();
        RECT client = {};
        GetClientRect(target, &client);
        if (x < 0 || y < 0 || x + width > client.right || y + height > client.bottom) {
            error = "the area x=" + std::to_string(x) + " y=" + std::to_string(y) +
                    " w=" + std::to_string(width) + " h=" + std::to_string(height) +
                    " is not inside the client area of " + std::to_string(client.right) + "x" +
                    std::to_string(client.bottom);
            return false;
        }
        POINT origin = {x, y};
        ClientToScreen(target, &origin);
        std::vector<uint8_t> rgb;
        if (!captureScreenArea(origin.x, origin.y, width, height, rgb, error)) return false;
        count = 0;
        for (size_t i = 0; i + 2 < rgb.size(); i += 3)
            count += closeTo(&rgb[i], colour, tolerance) ? 1 : 0;
        seen = commonColours(rgb);
        return count >= atLeast && count <= atMost;
    });
    const std::string counted = std::to_string(count) + " of " + std::to_string(area) +
                                " pixels are " + step.text("rgb") + " (within " +
                                std::to_string(tolerance) + "; need " + std::to_string(atLeast) +
                                " to " + std::to_string(atMost) + "); most common: " + seen;
    if (ok) {
        result_ = counted;
        return true;
    }
    if (!failure_.empty()) return false;
    if (!error.empty()) return fail(error);
    return fail(counted);
}

}  // namespace kestrova::e2e
