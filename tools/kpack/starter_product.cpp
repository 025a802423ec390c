#include "starter_product.h"

#include <cstdint>
#include <system_error>

#include "error.h"
#include "file_io.h"
#include "setup_limits.h"

namespace kestrova::kpack {
namespace {

// Every key a first product needs, with what it does; the optional ones
// are there too, commented out. {product} and {version} show the
// placeholders, and the shortcut and run command make the finish page and
// the Start menu show something.
const char kManifest[] =
    u8R"(# A starter product for Kestrova Setup, written by kpack init. Build it with
#   kpack build product.toml -o setup.exe
# and change it into your own; tools/kpack/README.md describes every key.
# Texts are UTF-8 here; the setup shows them in GBK. Source paths are relative
# to this file. In a "..." text a backslash is written \\, in a '...' text as
# it is: install_dir = '[Program Files]\{product}' is the same as below.

[product]
name = "我的产品"                          # shown by the setup; names its uninstall logs
version = "1.0"                           # {version} in any text; the list of programs
# publisher = "我的公司"                   # the list of programs and the file properties
# url = "https://example.com"             # the product's page in the list of programs
# icon = "[InstallDir]\\my.exe"           # the list's icon: one of the files below
install_dir = "[Program Files]\\{product}" # the default install folder
# licence = "licence.htm"                 # an HTML licence the user must accept
uninstall = true                          # uninstall logs, uninstaller and its shortcut

[pictures]                                # PNG or BMP, drawn unscaled
welcome = "pictures/welcome.bmp"          # 164 x 314, left of the welcome page
title = "pictures/title.bmp"              # 548 x 64, the band above pages 2 to 5
# splash = "pictures/splash.bmp"          # shown for five seconds at start, any size

[[files]]                                 # one [[files]] per file
source = "files/readme.txt"               # the file as it is here
target = "[InstallDir]\\readme.txt"       # where the setup puts it

# [[files]]                               # a whole folder with its subfolders
# folder = "files/bin"
# target = "[InstallDir]\\bin"

# [[files]]                               # registry data: "name"="data" string values
# source = "files/settings.reg"           # in GBK with CR LF line ends
# target = "[InstallDir]\\settings.reg"
# kind = "registry-data"

[menu]
group = "{product}"                       # the Start menu folder of the shortcuts

[[menu.shortcuts]]
name = "{product} {version} 说明"          # the shortcut's name
target = "[InstallDir]\\readme.txt"
desktop = false                           # true: also on the desktop

[run]                                     # the finish page's check box
caption = "查看说明"
command = "[InstallDir]\\readme.txt"
)";

const char kReadme[] =
    u8"\uFEFF这是入门产品安装的说明文件，请换成您自己的程序和文件。\r\n"
    "The starter product of kpack init installs this file: replace it with your own "
    "program and files.\r\n";

void put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

// A 24-bit bitmap in the form the setup draws as it is (a 40-byte header,
// bottom-up rows): a gradient from one colour (0xRRGGBB) to another, across
// the picture or down it.
std::string gradientBitmap(int width, int height, uint32_t from, uint32_t to, bool across) {
    const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
    const uint32_t pixels = row * static_cast<uint32_t>(height);
    std::string b = "BM";
    put(b, 54 + pixels, 4);
    put(b, 0, 4);
    put(b, 54, 4);
    for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)})
        put(b, v, 4);
    put(b, 1, 2);   // planes
    put(b, 24, 2);  // bits per pixel
    for (uint32_t v : {0u, pixels, 2835u, 2835u, 0u, 0u}) put(b, v, 4);
    for (int y = height - 1; y >= 0; --y) {
        std::string line;
        const int t = across ? 0 : y * 255 / (height - 1);
        for (int x = 0; x < width; ++x) {
            const int share = across ? x * 255 / (width - 1) : t;
            for (int shift : {0, 8, 16}) {  // blue, green, red
                const int a = from >> shift & 0xFF, z = to >> shift & 0xFF;
                line += static_cast<char>(a + (z - a) * share / 255);
            }
        }
        line.resize(row, '\0');
        b += line;
    }
    return b;
}

struct StarterFile {
    const char* name;
    std::string bytes;
};

}  // namespace

std::vector<std::string> writeStarterProduct(const fs::path& folder,
                                             const std::string& folderName) {
    const StarterFile files[] = {
        {"product.toml", kManifest},
        {"pictures/welcome.bmp",
         gradientBitmap(kWelcomeWidth, kWelcomeHeight, 0x1F4E79, 0x9DC3E6, false)},
        {"pictures/title.bmp", gradientBitmap(kTitleWidth, kTitleHeight, 0x1F4E79, 0xDEEBF7, true)},
        {"files/readme.txt", kReadme},
    };
    const std::string prefix = folderName.empty() || folderName == "." ? "" : folderName + "/";
    std::error_code ec;
    for (const StarterFile& f : files)
        if (fs::exists(folder / fs::u8path(f.name), ec))
            throw KpackError(prefix + f.name, 0,
                             "exists already; kpack init writes a new product only into a "
                             "folder without one (nothing was written)");
    std::vector<std::string> written;
    for (const StarterFile& f : files) {
        const fs::path path = folder / fs::u8path(f.name);
        std::string error;
        if (!fs::is_directory(path.parent_path(), ec) &&
            !fs::create_directories(path.parent_path(), ec))
            throw KpackError(prefix + f.name, 0, "cannot make its folder: " + ec.message());
        if (!writeWholeFile(path, f.bytes.data(), f.bytes.size(), &error))
            throw KpackError(prefix + f.name, 0, "cannot write it: " + error);
        written.push_back(prefix + f.name);
    }
    return written;
}

}  // namespace kestrova::kpack
