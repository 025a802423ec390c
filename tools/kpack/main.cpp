// kpack: the authoring tool of Kestrova Setup. Builds a setup.exe from a
// manifest, and lists, extracts and verifies setup.exe files.
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>
#endif

#include "commands.h"
#include "compressor.h"
#include "error.h"
#include "file_io.h"
#include "package/format.h"
#include "package_builder.h"
#include "starter_product.h"
#include "usage.h"

using namespace kestrova::kpack;

namespace {

constexpr char kStubName[] = "kestrova-stub.exe";

struct UsageError {
    std::string message;
};

// The command line as UTF-8 texts.
std::vector<std::string> arguments(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int n = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n);
    for (int i = 1; wide && i < n; ++i)
        args.push_back(pathToUtf8(kestrova::kpack::fs::path(wide[i])));
    if (wide) LocalFree(wide);
#else
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
#endif
    return args;
}

// Takes the value after an option such as "-o".
std::string optionValue(const std::vector<std::string>& args, std::size_t* i) {
    if (*i + 1 >= args.size()) throw UsageError{args[*i] + " needs a value"};
    return args[++*i];
}

// Each option counts once: a second "-o" is more likely a mistake than a
// change of mind.
void once(std::vector<std::string>* seen, const std::string& option) {
    for (const std::string& s : *seen)
        if (s == option) throw UsageError{option + " is given twice"};
    seen->push_back(option);
}

// The options that build and verify share; false for another argument.
bool checkOption(const std::string& arg, bool build, CheckOptions* checks) {
    if (arg == "--strict") {
        checks->strict = true;
    } else if (arg == "--allow-reg-escapes") {
        checks->allowRegistryEscapes = true;
    } else if (arg == "--allow-empty-folders" && build) {
        checks->allowEmptyFolders = true;
    } else {
        return false;
    }
    return true;
}

// A file kpack takes from its own folder when no option names another:
// where it looks, and whether the file is there.
std::string besideKpack(const char* name, const char* option) {
    std::error_code ec;
    const fs::path path = programFolder() / name;
    return pathToUtf8(path) + (fs::is_regular_file(path, ec)
                                   ? ""
                                   : std::string(" (not there: ") + option + " names one)");
}

int version() {
    std::cout << "kpack " << kKpackVersion << ", the authoring tool of Kestrova Setup\n"
              << "stub:        " << besideKpack(kStubName, "--stub") << "\n"
              << "uninstaller: " << besideKpack(kestrova::kUninstallerFileName, "--uninstaller")
              << "\n";
    return 0;
}

int init(const std::vector<std::string>& args) {
    if (args.size() > 2) throw UsageError{"init takes one folder"};
    const std::string folder = args.size() == 2 ? args[1] : ".";
    if (folder.size() > 1 && folder[0] == '-') throw UsageError{"unknown option " + folder};
    const std::vector<std::string> files = writeStarterProduct(pathFromUtf8(folder), folder);
    for (const std::string& f : files) std::cout << "kpack: wrote " << f << "\n";
    const std::string manifest = files.front();
    std::cout << "kpack: build it with: kpack build " << manifest << " -o setup.exe\n";
    return 0;
}

int build(const std::vector<std::string>& args) {
    BuildOptions o;
    o.threads = defaultThreads();
    o.showProgress = stderrIsTerminal();
    std::string manifest, output, stub, uninstaller;
    std::vector<std::string> seen;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (!args[i].empty() && args[i][0] == '-') once(&seen, args[i]);
        if (checkOption(args[i], true, &o.checks)) {
            continue;
        } else if (args[i] == "-o") {
            output = optionValue(args, &i);
        } else if (args[i] == "--stub") {
            stub = optionValue(args, &i);
        } else if (args[i] == "--uninstaller") {
            uninstaller = optionValue(args, &i);
        } else if (args[i] == "-j") {
            const std::string value = optionValue(args, &i);
            if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
                value.size() > 3 || std::stoi(value) < 1)
                throw UsageError{"-j needs a number of threads"};
            o.threads = static_cast<unsigned>(std::stoi(value));
        } else if (args[i] == "--quiet") {
            o.showProgress = false;
        } else if (!args[i].empty() && args[i][0] == '-') {
            throw UsageError{"unknown option " + args[i]};
        } else if (manifest.empty()) {
            manifest = args[i];
        } else {
            throw UsageError{"more than one manifest: " + args[i]};
        }
    }
    if (manifest.empty()) throw UsageError{"build needs a manifest"};
    if (output.empty()) throw UsageError{"build needs -o SETUP.EXE"};
    o.manifest = pathFromUtf8(manifest);
    o.manifestName = manifest;
    o.output = pathFromUtf8(output);
    o.outputName = output;
    if (stub.empty()) {
        o.stub = programFolder() / kStubName;
        o.stubName = pathToUtf8(o.stub);
    } else {
        o.stub = pathFromUtf8(stub);
        o.stubName = stub;
    }
    if (uninstaller.empty()) {
        o.uninstaller = programFolder() / kestrova::kUninstallerFileName;
        o.uninstallerName = pathToUtf8(o.uninstaller);
    } else {
        o.uninstaller = pathFromUtf8(uninstaller);
        o.uninstallerName = uninstaller;
    }
    const BuildSummary summary = buildPackage(o);
    for (const std::string& warning : summary.warnings) std::cerr << warning << "\n";
    std::cout << "kpack: wrote " << output << ": " << summary.files << " file records, "
              << summary.originalBytes << " bytes compressed to " << summary.streamBytes << ", "
              << summary.packageBytes << " bytes in all\n";
    return 0;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"no command"};
    const std::string& command = args[0];
    if (command == "--version" || command == "version") return version();
    if (command == "-h" || command == "--help" || (command == "help" && args.size() == 1)) {
        std::cout << usageText();
        return 0;
    }
    if (command == "help") {
        if (args.size() > 2) throw UsageError{"help takes one command"};
        if (commandHelp(args[1]).empty()) throw UsageError{"unknown command " + args[1]};
        std::cout << commandHelp(args[1]);
        return 0;
    }
    if (commandHelp(command).empty()) throw UsageError{"unknown command " + command};
    for (std::size_t i = 1; i < args.size(); ++i)
        if (args[i] == "--help" || args[i] == "-h") {
            std::cout << commandHelp(command);
            return 0;
        }
    if (command == "build") return build(args);
    if (command == "init") return init(args);

    std::string package, folder;
    CheckOptions checks;
    std::vector<std::string> seen;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (!args[i].empty() && args[i][0] == '-') once(&seen, args[i]);
        if (command == "verify" && checkOption(args[i], false, &checks)) {
            continue;
        } else if (args[i] == "-d" && command == "extract") {
            folder = optionValue(args, &i);
        } else if (!args[i].empty() && args[i][0] == '-') {
            throw UsageError{"unknown option " + args[i]};
        } else if (package.empty()) {
            package = args[i];
        } else {
            throw UsageError{"more than one setup file: " + args[i]};
        }
    }
    if (package.empty()) throw UsageError{command + " needs a setup file"};
    const fs::path path = pathFromUtf8(package);
    if (command == "list") {
        listPackage(path, package, std::cout);
    } else if (command == "verify") {
        for (const std::string& warning : verifyPackage(path, package, std::cout, checks))
            std::cerr << warning << "\n";
    } else {
        if (folder.empty()) throw UsageError{"extract needs -d FOLDER"};
        const int files = extractPackage(path, package, pathFromUtf8(folder));
        std::cout << "kpack: extracted " << files << " files to " << folder << "\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Everything kpack prints is UTF-8.
    SetConsoleOutputCP(CP_UTF8);
#endif
    const std::vector<std::string> args = arguments(argc, argv);
    try {
        return run(args);
    } catch (const UsageError& e) {
        std::cout.flush();
        std::cerr << "kpack: " << e.message << "\n" << usageText();
        return 2;
    } catch (const KpackError& e) {
        std::cout.flush();
        std::cerr << e.report() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "kpack: out of memory\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "kpack: " << e.what() << "\n";
        return 1;
    }
}
