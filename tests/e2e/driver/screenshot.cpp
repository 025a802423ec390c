#include "screenshot.h"

#include <windows.h>

#include "output.h"
#include "png_writer.h"

namespace kestrova::e2e {

bool captureScreenArea(int left, int top, int width, int height, std::vector<uint8_t>& rgb,
                       std::string& error) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bitmap != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY | CAPTUREBLT) != 0;
        SelectObject(memory, old);
    }
    if (ok) {
        // 32-bit DIB pixels are B, G, R, unused.
        const uint8_t* pixel = static_cast<const uint8_t*>(bits);
        rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
        for (size_t i = 0, o = 0; o < rgb.size(); i += 4, o += 3) {
            rgb[o] = pixel[i + 2];
            rgb[o + 1] = pixel[i + 1];
            rgb[o + 2] = pixel[i];
        }
    } else {
        error = "cannot copy the screen (error " + std::to_string(GetLastError()) + ")";
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool saveScreenshot(const std::wstring& path, HWND window, std::string& error) {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT frame;
    if (window && GetWindowRect(window, &frame)) IntersectRect(&area, &area, &frame);
    if (IsRectEmpty(&area))
        SetRect(&area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<uint8_t> rgb;
    if (!captureScreenArea(area.left, area.top, width, height, rgb, error)) return false;
    std::vector<uint8_t> png = encodePng(width, height, rgb);
    if (png.empty()) {
        error = "cannot compress the picture";
        return false;
    }
    return writeWholeFile(path, std::string(png.begin(), png.end()), error);
}

}  // namespace kestrova::e2e
