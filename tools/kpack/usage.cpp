#include "usage.h"

namespace kestrova::kpack {

const char kKpackVersion[] = "1.0";

namespace {

struct CommandHelp {
    const char* command;
    const char* text;
};

const CommandHelp kHelp[] = {
    {"build",
     "usage: kpack build MANIFEST -o SETUP.EXE [--stub STUB.EXE] [--uninstaller EXE]\n"
     "                  [-j THREADS] [--quiet] [--strict] [--allow-empty-folders]\n"
     "                  [--allow-reg-escapes] [--compression lzss|deflate]\n"
     "\n"
     "Makes SETUP.EXE from the manifest (tools/kpack/README.md describes it): the stub\n"
     "with the package appended. When anything is wrong it says where and writes\n"
     "nothing.\n"
     "\n"
     "  -o SETUP.EXE           the setup program to write; its folder is made\n"
     "  --stub STUB.EXE        the stub (default: kestrova-stub.exe beside kpack)\n"
     "  --uninstaller EXE      the Kestrova-UnInstall.exe that the uninstall option\n"
     "                         ships (default: the one beside kpack)\n"
     "  -j THREADS             compressing threads (default: one per core)\n"
     "  --compression deflate  also try deflate, taken for each file it makes smaller\n"
     "                         (default: the manifest's product.compression, or lzss)\n"
     "  --quiet                no progress line\n"
     "  --strict               every warning is an error (for CI)\n"
     "  --allow-empty-folders  a folder = source without files gives an empty folder\n"
     "  --allow-reg-escapes    \\\\ and \\\" in registry data are meant as the setup\n"
     "                         stores them, both characters\n"},
    {"init",
     "usage: kpack init [FOLDER]\n"
     "\n"
     "Writes a starter product into FOLDER (default: the current folder): product.toml\n"
     "with a comment on every key, pictures/welcome.bmp (164 x 314) and\n"
     "pictures/title.bmp (548 x 64), and files/readme.txt to install. It builds as it\n"
     "is (kpack build FOLDER/product.toml -o setup.exe); change it into your own.\n"
     "It never overwrites a file.\n"},
    {"list",
     "usage: kpack list SETUP.EXE\n"
     "\n"
     "Shows the package's header, signature, product, install folder and options,\n"
     "its sections and every record with its kind and sizes.\n"},
    {"extract",
     "usage: kpack extract SETUP.EXE -d FOLDER\n"
     "\n"
     "Writes the script (script.ini), the licence, the pictures and every file below\n"
     "FOLDER, a path macro becoming a folder of its name ([InstallDir]\\a.txt becomes\n"
     "FOLDER/InstallDir/a.txt).\n"},
    {"verify",
     "usage: kpack verify SETUP.EXE [--strict] [--allow-reg-escapes]\n"
     "\n"
     "Checks that the setup can read the whole package, and what the build checks:\n"
     "one file per target, paths Windows accepts, registry data the setup stores as\n"
     "meant, pictures of their places' sizes (a warning), the uninstaller.\n"
     "\n"
     "  --strict               every warning is an error (for CI)\n"
     "  --allow-reg-escapes    accept \\\\ and \\\" in registry data\n"},
    {"help",
     "usage: kpack help [COMMAND]\n"
     "       kpack COMMAND --help\n"
     "\n"
     "Shows what a command does and its options; without a command, every command.\n"},
};

}  // namespace

const char* usageText() {
    return "usage: kpack build MANIFEST -o SETUP.EXE [options]   make a setup program\n"
           "       kpack init [FOLDER]                          write a starter product\n"
           "       kpack list SETUP.EXE                         show what is inside\n"
           "       kpack extract SETUP.EXE -d FOLDER            write out its files\n"
           "       kpack verify SETUP.EXE [options]             check it as the setup reads it\n"
           "       kpack help COMMAND                           a command's options\n"
           "       kpack --version\n";
}

std::string commandHelp(const std::string& command) {
    for (const CommandHelp& h : kHelp)
        if (command == h.command) return h.text;
    return "";
}

}  // namespace kestrova::kpack
