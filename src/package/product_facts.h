#pragma once
// The product's facts for the system's list of programs: its version,
// publisher, web address and icon. They travel in a "[Product]" section of
// the setup script, after the two [Run] lines (and after the [Checksums]
// lines when there are any) and before the licence text: where a setup that
// does not know them never reads. Each line is a name, '=' and the value,
// and a fact that is not given has no line:
//
//   [Product]
//   Version=2.4
//   Publisher=...
//   URL=https://...
//   Icon=[InstallDir]\editor.exe
//
// The section ends at the next line that begins with '[' or at the licence
// text. A line with a name this reader does not know is skipped, so a
// package that carries more facts still reads.
#include "package/format.h"
#include "platform/file.h"

namespace kestrova {

namespace format {
constexpr const char kSectionProduct[] = "[Product]\r\n";
constexpr const char kFactVersion[] = "Version";
constexpr const char kFactPublisher[] = "Publisher";
constexpr const char kFactUrl[] = "URL";
constexpr const char kFactIcon[] = "Icon";
constexpr char kFactSeparator = '=';
}  // namespace format

// A fact line is read whole with the long line buffer, CR LF included.
constexpr int kFactSize = format::kLongLineBuffer;

struct ProductFacts {
    char version[kFactSize] = {};
    char publisher[kFactSize] = {};
    char url[kFactSize] = {};
    char icon[kFactSize] = {};  // a path of the setup, its macro not yet expanded
};

// Reads the [Product] section of an unpacked setup script from its start.
// True when the script has one (facts it does not give stay empty); false,
// every fact empty, for a script without it (a package of an older tool).
// A line too long for the buffer is skipped whole. Leaves the script at an
// unspecified position.
bool readProductFacts(File& script, ProductFacts* facts);

}  // namespace kestrova
