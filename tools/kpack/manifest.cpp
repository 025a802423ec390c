#include "manifest.h"

// toml++ states the preconditions of its parser's steps as assumptions:
// assert() with NDEBUG off, and with it on a hint to the optimiser, which
// makes a broken one undefined behaviour. Input breaks some of them (a
// table header "[[[files]]" in Debian's 3.3.0). Here every one is checked in
// every build and ends the parse as an error instead.
namespace kestrova::kpack {
struct TomlReaderGaveUp {};
}  // namespace kestrova::kpack
#pragma push_macro("NDEBUG")
#undef NDEBUG
#define TOML_ASSERT(expr) \
    ((expr) ? static_cast<void>(0) : throw kestrova::kpack::TomlReaderGaveUp{})
#include <toml++/toml.h>
#pragma pop_macro("NDEBUG")

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>

#include "error.h"
#include "file_io.h"
#include "gbk_codec.h"
#include "manifest_hints.h"
#include "text_placeholders.h"
#include "toml_guard.h"

namespace kestrova::kpack {
namespace {

// Written as line 1 of the script when the manifest gives none; the setup
// does not read it.
constexpr char kDefaultFirstLine[] = "Kestrova Setup";

int lineOf(const toml::node& node) {
    return static_cast<int>(node.source().begin.line);
}

// What every table's reader shares: the manifest's name and folder, its
// text as written and as the TOML reader read it (for the positions of
// escapes), and what {product} and {version} stand for.
struct ReadContext {
    const std::string& file;
    const fs::path& folder;
    const std::string& original;
    const std::string& parsed;
    std::optional<std::string> product;  // UTF-8, once product.name is read
    std::optional<std::string> version;
};

bool holdsControlCharacter(const std::string& gbk) {
    // No GBK trail byte is below 0x40, so a byte search is exact.
    return gbk.find_first_of("\t\n\r\b\f\x1B") != std::string::npos;
}

// Reads one table of the manifest, naming its keys in messages by their
// dotted path ("product.name", "files[2].target").
class TableReader {
  public:
    TableReader(const toml::table& table, std::string path, ReadContext& context)
        : table_(table), path_(std::move(path)), c_(context) {}

    [[noreturn]] void fail(int line, const std::string& message) const {
        throw KpackError(c_.file, line, message);
    }
    int line() const { return lineOf(table_); }
    const std::string& name() const { return path_; }
    std::string field(const std::string& key) const {
        return path_.empty() ? key : path_ + "." + key;
    }
    bool has(const char* key) const { return table_.get(key) != nullptr; }

    void allowOnly(std::initializer_list<const char*> keys) const {
        for (auto&& [key, value] : table_) {
            bool known = false;
            for (const char* k : keys) known = known || key.str() == k;
            if (known) continue;
            std::string message = "unknown key " + field(std::string(key.str()));
            if (const std::string near = nearestKey(std::string(key.str()), keys); !near.empty()) {
                message += "; did you mean " + near + "?";
            } else {
                message += "; the keys here are";
                for (const char* k : keys)
                    message += std::string(k == *keys.begin() ? " " : ", ") + k;
            }
            fail(static_cast<int>(key.source().begin.line), message);
        }
    }

    const toml::node* node(const char* key, bool required) const {
        const toml::node* n = table_.get(key);
        if (!n && required) fail(line(), "missing " + field(key));
        return n;
    }

    std::optional<std::string> utf8(const char* key, bool required) const {
        const toml::node* n = node(key, required);
        if (!n) return std::nullopt;
        if (!n->is_string()) fail(lineOf(*n), field(key) + " must be a text");
        return n->as_string()->get();
    }

    // A text with {product} and {version} replaced.
    std::optional<std::string> expandedUtf8(const char* key, bool required) const {
        const std::optional<std::string> text = utf8(key, required);
        if (!text) return std::nullopt;
        return expand(*text, field(key), lineOf(*table_.get(key)));
    }

    std::optional<ManifestText> text(const char* key, bool required) const {
        const toml::node* n = node(key, required);
        if (!n) return std::nullopt;
        return toGbk(*n, field(key));
    }

    // A text that names a path of the setup, where a TOML escape is a
    // backslash the publisher meant.
    std::optional<ManifestText> path(const char* key, bool required) const {
        const toml::node* n = node(key, required);
        if (!n) return std::nullopt;
        return pathText(*n, field(key));
    }

    ManifestText toGbk(const toml::node& n, const std::string& name, bool expanded = true) const {
        if (!n.is_string()) fail(lineOf(n), name + " must be a text");
        ManifestText t;
        t.field = name;
        t.line = lineOf(n);
        const std::string utf8 =
            expanded ? expand(n.as_string()->get(), name, t.line) : n.as_string()->get();
        if (!utf8ToGbk(utf8, &t.gbk))
            fail(t.line,
                 name + ": the character " + firstWithoutGbkForm(utf8) + " has no GBK form");
        return t;
    }

    ManifestText pathText(const toml::node& n, const std::string& name) const {
        ManifestText t = toGbk(n, name);
        if (!holdsControlCharacter(t.gbk)) return t;
        const std::string escape = controlEscapeAt(c_.original, c_.parsed, t.line,
                                                   static_cast<int>(n.source().begin.column));
        if (!escape.empty())
            fail(t.line, name + ": \"" + escape + "\" in a \"...\" text is TOML's escape for " +
                             escapeMeaning(escape) +
                             ", not a backslash: write \\\\ for a backslash, or put the path in "
                             "'...' quotes");
        return t;
    }

    // utf8 with {product} and {version} replaced (text_placeholders.h).
    std::string expand(const std::string& utf8, const std::string& name, int line) const {
        std::string missing;
        const std::optional<std::string> out =
            expandPlaceholders(utf8, c_.product ? &*c_.product : nullptr,
                               c_.version ? &*c_.version : nullptr, &missing);
        if (out) return *out;
        if (missing == "{product}")
            fail(line, name + " uses {product}, which stands for product.name itself");
        fail(line, name +
                       " uses {version}, but [product] has no version: add one, such as "
                       "version = \"1.0\"");
    }

    std::optional<ManifestSource> source(const char* key, bool required) const {
        const std::optional<std::string> text = expandedUtf8(key, required);
        if (!text) return std::nullopt;
        ManifestSource s;
        s.text = *text;
        s.field = field(key);
        s.line = lineOf(*table_.get(key));
        if (text->empty()) fail(s.line, s.field + " is empty");
        const fs::path given = pathFromUtf8(*text);
        s.path = given.is_absolute() ? given : c_.folder / given;
        return s;
    }

    std::optional<bool> boolean(const char* key) const {
        const toml::node* n = node(key, false);
        if (!n) return std::nullopt;
        if (!n->is_boolean()) fail(lineOf(*n), field(key) + " must be true or false");
        return n->as_boolean()->get();
    }

    std::optional<int64_t> integer(const char* key) const {
        const toml::node* n = node(key, false);
        if (!n) return std::nullopt;
        if (!n->is_integer()) fail(lineOf(*n), field(key) + " must be a whole number");
        return n->as_integer()->get();
    }

    // A list of paths, each converted; empty when the key is absent.
    std::vector<ManifestText> paths(const char* key) const {
        std::vector<ManifestText> out;
        const toml::node* n = node(key, false);
        if (!n) return out;
        const toml::array* array = n->as_array();
        if (!array) fail(lineOf(*n), field(key) + " must be a list of texts");
        for (std::size_t i = 0; i < array->size(); ++i)
            out.push_back(pathText(*array->get(i), field(key) + "[" + std::to_string(i + 1) + "]"));
        return out;
    }

    // A sub-table; nullptr when absent.
    const toml::table* table(const char* key) const {
        const toml::node* n = node(key, false);
        if (!n) return nullptr;
        if (!n->is_table()) fail(lineOf(*n), field(key) + " must be a table [" + key + "]");
        return n->as_table();
    }

    // An array of tables ([[key]]); empty when absent.
    std::vector<const toml::table*> tables(const char* key) const {
        std::vector<const toml::table*> out;
        const toml::node* n = node(key, false);
        if (!n) return out;
        const toml::array* array = n->as_array();
        if (!array) fail(lineOf(*n), field(key) + " must be written as [[" + field(key) + "]]");
        for (std::size_t i = 0; i < array->size(); ++i) {
            const toml::table* t = array->get(i)->as_table();
            if (!t)
                fail(lineOf(*array->get(i)),
                     field(key) + " must be written as [[" + field(key) + "]]");
            out.push_back(t);
        }
        return out;
    }

    TableReader sub(const toml::table& table, const std::string& path) const {
        return TableReader(table, path, c_);
    }

    ReadContext& context() const { return c_; }

  private:
    const toml::table& table_;
    std::string path_;
    ReadContext& c_;
};

FileKind kindFrom(const TableReader& entry) {
    const std::optional<std::string> kind = entry.utf8("kind", false);
    if (!kind || *kind == "copy") return FileKind::Copy;
    if (*kind == "run-or-register") return FileKind::RunOrRegister;
    if (*kind == "registry-data") return FileKind::RegistryData;
    if (*kind == "not-logged") return FileKind::NotLogged;
    if (*kind == "run-and-delete") return FileKind::RunAndDelete;
    entry.fail(entry.line(), entry.field("kind") +
                                 " must be one of copy, run-or-register, "
                                 "registry-data, not-logged, run-and-delete");
}

// product.compression: lzss (the default) or deflate, which kpack then
// takes for every stream that it makes smaller.
void readCompression(const TableReader& product, const toml::table& table, Manifest& m) {
    const std::optional<std::string> compression = product.utf8("compression", false);
    if (!compression || *compression == "lzss") return;
    if (*compression != "deflate")
        product.fail(lineOf(*table.get("compression")),
                     product.field("compression") + " must be lzss or deflate");
    m.deflate = true;
}

void readProduct(const TableReader& top, Manifest& m) {
    const toml::table* table = top.table("product");
    if (!table) top.fail(0, "missing the [product] table");
    const TableReader product = top.sub(*table, "product");
    product.allowOnly({"name", "install_dir", "version", "publisher", "url", "icon", "first_line",
                       "licence", "licence_page", "uninstall", "total_size", "compression"});
    // The version and then the name first: the other texts may use them.
    if (const toml::node* version = table->get("version")) {
        m.version = product.toGbk(*version, product.field("version"), false);
        product.context().version = version->as_string()->get();
    }
    m.productName = *product.text("name", true);
    product.context().product = *product.expandedUtf8("name", true);
    m.installDir = *product.path("install_dir", true);
    m.publisher = product.text("publisher", false);
    m.url = product.text("url", false);
    m.icon = product.path("icon", false);
    if (auto first = product.text("first_line", false)) {
        m.firstLine = *first;
    } else {
        m.firstLine = {kDefaultFirstLine, product.field("first_line"), product.line()};
    }
    m.licence = product.source("licence", false);
    const std::optional<bool> page = product.boolean("licence_page");
    m.licencePage = page.value_or(m.licence.has_value());
    if (m.licencePage && !m.licence)
        product.fail(product.line(),
                     "product.licence_page is true but product.licence names no file");
    m.uninstall = product.boolean("uninstall").value_or(true);
    if (const std::optional<int64_t> total = product.integer("total_size")) {
        m.totalSizeLine = lineOf(*table->get("total_size"));
        if (*total < 0 || *total > int64_t(UINT32_MAX))
            product.fail(m.totalSizeLine,
                         "product.total_size must be between 0 and 4294967295 bytes: the setup "
                         "reads it as a 32-bit number");
        m.totalSize = static_cast<uint64_t>(*total);
    }
    readCompression(product, *table, m);
}

void readPictures(const TableReader& top, Manifest& m) {
    const toml::table* table = top.table("pictures");
    if (!table) top.fail(0, "missing the [pictures] table (welcome and title pictures)");
    const TableReader pictures = top.sub(*table, "pictures");
    pictures.allowOnly({"welcome", "title", "splash"});
    m.welcomePicture = *pictures.source("welcome", true);
    m.titlePicture = *pictures.source("title", true);
    m.splashPicture = pictures.source("splash", false);
}

void readEntries(const TableReader& top, Manifest& m) {
    const std::vector<const toml::table*> tables = top.tables("files");
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const TableReader entry = top.sub(*tables[i], "files[" + std::to_string(i + 1) + "]");
        ManifestEntry e;
        e.line = entry.line();
        const int given = entry.has("source") + entry.has("folder") + entry.has("none_app");
        if (given != 1)
            entry.fail(e.line, entry.name() + " needs exactly one of source, folder or none_app");
        if (entry.has("none_app")) {
            entry.allowOnly({"none_app"});
            if (!*entry.boolean("none_app"))
                entry.fail(e.line, entry.field("none_app") + " can only be true");
            e.type = ManifestEntry::Type::NoneApp;
        } else {
            entry.allowOnly({"source", "folder", "target", "kind"});
            const bool folder = entry.has("folder");
            e.type = folder ? ManifestEntry::Type::Folder : ManifestEntry::Type::File;
            e.source = *entry.source(folder ? "folder" : "source", true);
            e.target = *entry.path("target", true);
            e.kind = kindFrom(entry);
        }
        m.entries.push_back(std::move(e));
    }
}

void readMenu(const TableReader& top, Manifest& m) {
    m.group = {m.productName.gbk, "menu.group (the product name)", m.productName.line};
    const toml::table* table = top.table("menu");
    if (!table) return;
    const TableReader menu = top.sub(*table, "menu");
    menu.allowOnly({"group", "shortcuts"});
    if (auto group = menu.text("group", false)) m.group = *group;
    const std::vector<const toml::table*> tables = menu.tables("shortcuts");
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const TableReader s = menu.sub(*tables[i], "menu.shortcuts[" + std::to_string(i + 1) + "]");
        s.allowOnly({"name", "target", "arguments", "desktop", "startup"});
        ManifestShortcut shortcut;
        shortcut.line = s.line();
        shortcut.name = *s.text("name", true);
        shortcut.target = *s.path("target", true);
        if (auto arguments = s.text("arguments", false)) {
            shortcut.arguments = *arguments;
        } else {
            shortcut.arguments = {"", s.field("arguments"), shortcut.line};
        }
        shortcut.desktop = s.boolean("desktop").value_or(false);
        shortcut.startup = s.boolean("startup").value_or(false);
        m.shortcuts.push_back(std::move(shortcut));
    }
}

}  // namespace

Manifest parseManifest(const std::string& text, const std::string& displayName,
                       const fs::path& folder) {
    if (const std::string problem = encodingProblem(text); !problem.empty())
        throw KpackError(displayName, 0, problem);
    int badLine = 0;
    std::string safe;
    const std::string bad = tomlInputProblem(text, &badLine, &safe);
    if (!bad.empty()) throw KpackError(displayName, badLine, bad);
    toml::table root;
    try {
        root = toml::parse(safe, displayName);
    } catch (const toml::parse_error& e) {
        const int line = static_cast<int>(e.source().begin.line);
        throw KpackError(
            displayName, line,
            syntaxErrorMessage(text, safe, line, static_cast<int>(e.source().begin.column),
                               std::string(e.description())));
    } catch (const TomlReaderGaveUp&) {
        throw KpackError(displayName, 0,
                         "the manifest is not valid TOML (check its [table] headers and "
                         "the punctuation between values)");
    }
    Manifest m;
    m.file = displayName;
    m.folder = folder;
    ReadContext context{m.file, m.folder, text, safe, std::nullopt, std::nullopt};
    const TableReader top(root, "", context);
    top.allowOnly(
        {"product", "pictures", "directories", "files", "autoreg", "clearfile", "menu", "run"});
    readProduct(top, m);
    readPictures(top, m);
    if (const toml::table* t = top.table("directories")) {
        const TableReader directories = top.sub(*t, "directories");
        directories.allowOnly({"create"});
        m.directories = directories.paths("create");
    }
    readEntries(top, m);
    if (const toml::table* t = top.table("autoreg")) {
        const TableReader autoReg = top.sub(*t, "autoreg");
        autoReg.allowOnly({"files"});
        m.autoReg = autoReg.paths("files");
    }
    if (const toml::table* t = top.table("clearfile")) {
        const TableReader clearFile = top.sub(*t, "clearfile");
        clearFile.allowOnly({"files"});
        m.clearFile = clearFile.paths("files");
    }
    readMenu(top, m);
    if (const toml::table* t = top.table("run")) {
        const TableReader run = top.sub(*t, "run");
        run.allowOnly({"caption", "command"});
        m.hasRun = true;
        m.runCaption = *run.text("caption", true);
        m.runCommand = *run.path("command", true);
    }
    return m;
}

Manifest readManifest(const fs::path& path, const std::string& displayName) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readWholeFile(path, &bytes, &error))
        throw KpackError(displayName, 0, "cannot read the manifest: " + error);
    fs::path folder = path.parent_path();
    if (folder.empty()) folder = ".";
    return parseManifest(std::string(bytes.begin(), bytes.end()), displayName, folder);
}

}  // namespace kestrova::kpack
