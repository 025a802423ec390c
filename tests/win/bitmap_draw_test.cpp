// Pictures drawn by the system: each test picture is drawn into a memory
// context over a 32-bit DIB section and read back pixel by pixel against
// the .ppm it was made from (tests/data/bitmaps). And the display density,
// read by a child process after the test sets it in the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "picture_files.h"
#include "platform/win32/window_metrics.h"
#include "wizard/bitmap_draw_win.h"

namespace kestrova {
using kestrova::test::bitmapDataFile;
using kestrova::test::Ppm;
using kestrova::test::readPpm;
using kestrova::test::Rgb;

namespace {

// Started with this argument, the program reports screenDpi() as its exit
// code and ends before any test runs: the density is read once per process,
// so a changed setting needs a new one.
constexpr wchar_t kReportDpi[] = L"--report-screen-dpi";

const bool kIsDpiChild = [] {
    if (std::wcsstr(GetCommandLineW(), kReportDpi))
        ExitProcess(static_cast<UINT>(win32::screenDpi()));
    return false;
}();

constexpr uint32_t kBackground = 0x00123456;  // a colour no test picture has

// A memory context drawing into a top-down 32-bit DIB section.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i) bits_[i] = kBackground;
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    bool ready() const { return dc_ && bitmap_ && bits_; }
    HDC dc() const { return dc_; }
    uint32_t at(int x, int y) {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }

  private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

class BitmapDraw : public ::testing::Test {
  protected:
    // Draws a test picture at (x, y) of a fresh 16 x 12 canvas.
    bool draw(Canvas& canvas, const std::string& file, int x, int y, int* width, int* height) {
        fake.writeFile("C:\\TEMP\\Wel.Bmp", bitmapDataFile(file));
        return drawBitmapFile(fake, "C:\\TEMP\\Wel.Bmp", canvas.dc(), x, y, width, height);
    }

    // Every pixel of the picture at (x, y), the background everywhere else.
    // slack: how far a channel may be off (16-bit pixels carry 5 bits).
    void expectDrawn(const std::string& file, const std::string& ppmName, int slack = 0) {
        Canvas canvas(16, 12);
        ASSERT_TRUE(canvas.ready());
        Ppm ppm = readPpm(ppmName);
        const int x0 = 3, y0 = 2;
        int width = -1, height = -1;
        ASSERT_TRUE(draw(canvas, file, x0, y0, &width, &height)) << file;
        EXPECT_EQ(ppm.width, width) << file;
        EXPECT_EQ(ppm.height, height) << file;
        EXPECT_EQ(GetStockObject(DEFAULT_PALETTE), GetCurrentObject(canvas.dc(), OBJ_PAL)) << file;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                uint32_t got = canvas.at(x, y);
                bool inside = x >= x0 && x < x0 + ppm.width && y >= y0 && y < y0 + ppm.height;
                if (!inside) {
                    EXPECT_EQ(kBackground, got) << file << " outside at " << x << "," << y;
                    continue;
                }
                Rgb want = ppm.pixels[(y - y0) * ppm.width + (x - x0)];
                int r = got >> 16 & 255, g = got >> 8 & 255, b = got & 255;
                EXPECT_TRUE(std::abs(r - want.r) <= slack && std::abs(g - want.g) <= slack &&
                            std::abs(b - want.b) <= slack)
                    << file << " at " << x - x0 << "," << y - y0 << ": " << r << " " << g << " "
                    << b;
            }
    }

    test::FakePlatform fake;
};

TEST_F(BitmapDraw, PalettedPicturesShowTheirColours) {
    expectDrawn("pal8-cu20.bmp", "twenty.ppm");
    expectDrawn("pal8-cu0.bmp", "twenty.ppm");
    expectDrawn("rle8.bmp", "twenty.ppm");
    expectDrawn("core8.bmp", "twenty.ppm");
    expectDrawn("pal4.bmp", "nine.ppm");
    expectDrawn("core4.bmp", "nine.ppm");
    expectDrawn("mono1.bmp", "mono.ppm");
}

TEST_F(BitmapDraw, TrueColourPicturesShowTheirColours) {
    expectDrawn("rgb24.bmp", "nine.ppm");
    expectDrawn("w3-size0.bmp", "three.ppm");
    expectDrawn("rgb32.bmp", "nine.ppm");
    expectDrawn("rgb16.bmp", "nine.ppm", 8);
}

TEST_F(BitmapDraw, TopDownAndBitFieldPicturesShowTheirColours) {
    expectDrawn("rgb24-topdown.bmp", "nine.ppm");
    expectDrawn("pal8-topdown.bmp", "twenty.ppm");
    expectDrawn("bitfields565.bmp", "nine.ppm", 8);
    expectDrawn("bitfields32.bmp", "nine.ppm");
}

TEST_F(BitmapDraw, PicturesWithoutFileHeaderShowTheirColours) {
    expectDrawn("rgb24-nohdr.bmp", "nine.ppm");
    expectDrawn("pal8-cu20-nohdr.bmp", "twenty.ppm");
}

TEST_F(BitmapDraw, BadFilesDrawNothingAndReportNothing) {
    for (const char* file : {"rgb24-badsize.bmp", "bitfields16.bmp"}) {
        Canvas canvas(16, 12);
        ASSERT_TRUE(canvas.ready());
        int width = -7, height = -7;
        EXPECT_FALSE(draw(canvas, file, 0, 0, &width, &height)) << file;
        EXPECT_EQ(-7, width);
        EXPECT_EQ(-7, height);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) EXPECT_EQ(kBackground, canvas.at(x, y)) << file;
    }
    Canvas canvas(4, 4);
    EXPECT_FALSE(
        drawBitmapFile(fake, "C:\\TEMP\\missing.bmp", canvas.dc(), 0, 0, nullptr, nullptr));
}

// Wine reads the density from HKCU\Control Panel\Desktop\LogPixels when a
// process starts (it takes precedence over HKCC\Software\Fonts); a running
// wineserver passes a changed value on to new processes without a restart.
class ScreenDpi : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                                  KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr));
        savedSize_ = sizeof saved_;
        hadValue_ = RegQueryValueExW(key_, L"LogPixels", nullptr, &savedType_, saved_,
                                     &savedSize_) == ERROR_SUCCESS;
    }
    void TearDown() override {
        if (!key_) return;
        if (hadValue_)
            RegSetValueExW(key_, L"LogPixels", 0, savedType_, saved_, savedSize_);
        else
            RegDeleteValueW(key_, L"LogPixels");
        RegCloseKey(key_);
    }
    void setLogPixels(DWORD dpi) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD,
                                                reinterpret_cast<BYTE*>(&dpi), sizeof dpi));
    }
    // screenDpi() as a new process of this program reports it; -1 on failure.
    int dpiOfNewProcess() {
        wchar_t self[MAX_PATH];
        if (!GetModuleFileNameW(nullptr, self, MAX_PATH)) return -1;
        std::wstring command = L"\"" + std::wstring(self) + L"\" " + kReportDpi;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return -1;
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return static_cast<int>(code);
    }

    HKEY key_ = nullptr;
    bool hadValue_ = false;
    BYTE saved_[512] = {};  // the value as it was, of whatever type
    DWORD savedType_ = 0, savedSize_ = 0;
};

TEST_F(ScreenDpi, FollowsTheDisplaySetting) {
    setLogPixels(120);
    EXPECT_EQ(120, dpiOfNewProcess());
    setLogPixels(96);
    EXPECT_EQ(96, dpiOfNewProcess());
}

}  // namespace
}  // namespace kestrova
