#pragma once
// The setup package format, defined once: the stub's reader and kpack's
// writer both use these numbers.
//
// A setup.exe is the stub (exactly kPackageStart bytes) followed by a
// 40-byte package header, the compressed setup script, and one compressed
// stream per file record. Record offsets count from the record base,
// kPackageStart + script stream length, so a stream directly after the
// script has offset kPackageHeaderSize.
#include <cstdint>

namespace kestrova {

// The stub's exact length: the package starts at this position of setup.exe.
constexpr int32_t kPackageStart = 0x43000;

// The uninstaller that kpack ships into the Windows folder and the setup
// registers and links to.
constexpr char kUninstallerFileName[] = "Kestrova-UnInstall.exe";

}  // namespace kestrova

namespace kestrova::format {

// Number fields: 20 bytes of decimal ASCII, space padded.
constexpr int kNumberFieldWidth = 20;

// Package header.
constexpr int kPackageHeaderSize = 40;
constexpr int kHeaderScriptLength = 0;  // field offsets
constexpr int kHeaderFileCount = 20;

// [File] record line: path, offset, length, kind, CR LF.
constexpr int kRecordPathWidth = 268;
constexpr int kRecordOffsetField = 268;
constexpr int kRecordLengthField = 288;
constexpr int kRecordKind = 308;
constexpr int kRecordWidth = 309;  // without CR LF
constexpr int kPictureRecordCount = 3;

// How a record's stream is coded: the last byte of its length field names
// the codec. A number field ends at its first byte that is not a digit, so
// the mark leaves the length as it reads; every byte but the two marks (a
// space above all, as in every package written before them) means LZSS.
constexpr int kRecordCodec = kRecordLengthField + kNumberFieldWidth - 1;
constexpr char kCodecMarkStored = 'S';   // the file's bytes as they are
constexpr char kCodecMarkDeflate = 'D';  // a raw deflate stream (RFC 1951)
// A raw deflate stream primed with the package's dictionary (below).
constexpr char kCodecMarkDeflateDictionary = 'Z';

// The package's deflate dictionary: bytes that many files of a product
// share (words, names, headers), which a small file's stream cannot
// refer to on its own. When the header's file count field ends early with a
// NUL, the decimal digits after it give the dictionary's length; it is the
// first stream after the script (offset field 40), its bytes as they are,
// and its CRC-32 is the last line of [Checksums].
constexpr int kHeaderDictionaryNul = 11;  // in the file count field
constexpr int kMaxDictionary = 32768;     // deflate's window

// Kind characters.
constexpr char kKindRunOrRegister = '1';
constexpr char kKindRegistryData = '2';
constexpr char kKindNotLogged = '4';
constexpr char kKindCopy = '0';  // any other character copies only
constexpr char kRunAndDeleteMark = '*';

// [Menu] shortcut line: name, target field, desktop flag, startup flag.
constexpr int kMenuNameWidth = 100;
constexpr int kMenuTargetField = 100;
constexpr int kMenuTargetWidth = 300;
constexpr int kMenuDesktopFlag = 400;
constexpr int kMenuStartupFlag = 401;
constexpr int kMenuLineWidth = 402;  // without CR LF

// Line buffers: a read takes at most buffer size - 1 bytes, CR LF included;
// a longer line is read in pieces.
constexpr int kLineBuffer = 400;        // start-up reader, first pass of the run
constexpr int kLongLineBuffer = 480;    // second pass, registry data, [Menu], section search
constexpr int kOptionLineBuffer = 100;  // script lines 4 and 5
constexpr int kDirLogLineBuffer = 270;  // rewrite of the directory log

// Section lines, compared byte for byte including CR LF.
constexpr const char kSectionDirectory[] = "[Directory]\r\n";
constexpr const char kSectionFile[] = "[File]\r\n";
constexpr const char kSectionTotalSize[] = "[TotalSize]\r\n";
constexpr const char kSectionAutoReg[] = "[AutoReg]\r\n";
constexpr const char kSectionClearFile[] = "[ClearFile]\r\n";
constexpr const char kSectionMenu[] = "[Menu]\r\n";
constexpr const char kSectionRun[] = "[Run]\r\n";
constexpr const char kNoneAppMarker[] = "<NoneApp>";
constexpr int kNoneAppMarkerLength = 9;

// LZSS: a 4096-byte ring preset to spaces at 0..4077, writing from 4078;
// matches of 3..18 bytes; a flag byte per eight items, lowest bit first,
// 1 for a literal, 0 for a match (12-bit position, 4-bit length - 3).
constexpr int kRingSize = 4096;
constexpr int kRingStart = 4078;  // 0xFEE = kRingSize - kMaxMatch
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 18;
constexpr uint8_t kRingFill = 0x20;

enum class StreamCodec { Lzss, Stored, Deflate, DeflateDictionary };

// The codec a record's mark byte names.
constexpr StreamCodec codecOfMark(char mark) {
    return mark == kCodecMarkStored              ? StreamCodec::Stored
           : mark == kCodecMarkDeflate           ? StreamCodec::Deflate
           : mark == kCodecMarkDeflateDictionary ? StreamCodec::DeflateDictionary
                                                 : StreamCodec::Lzss;
}

}  // namespace kestrova::format
