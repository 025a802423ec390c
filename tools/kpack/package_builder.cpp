#include "package_builder.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <system_error>

#include "compressor.h"
#include "deflate_dictionary.h"
#include "error.h"
#include "file_io.h"
#include "file_properties.h"
#include "gbk_codec.h"
#include "lzss_encoder.h"
#include "manifest.h"
#include "package/crc32.h"
#include "package/format.h"
#include "package_plan.h"
#include "script_parser.h"
#include "script_writer.h"
#include "uninstaller_record.h"

namespace kestrova::kpack {
namespace {

std::string readStub(const BuildOptions& o) {
    std::vector<uint8_t> bytes;
    std::string error;
    std::error_code ec;
    if (!fs::exists(o.stub, ec))
        throw KpackError(o.stubName, 0,
                         "the stub does not exist (build it with preset win, put it beside "
                         "kpack or name it with --stub)");
    if (!readWholeFile(o.stub, &bytes, &error))
        throw KpackError(o.stubName, 0, "cannot read the stub: " + error);
    if (bytes.size() != static_cast<std::size_t>(kPackageStart))
        throw KpackError(o.stubName, 0,
                         "the stub is " + std::to_string(bytes.size()) +
                             " bytes; a stub is exactly " + std::to_string(kPackageStart) +
                             " bytes (the package starts there)");
    return std::string(bytes.begin(), bytes.end());
}

// The stub's file properties describe the product (file_properties.h).
void describeProduct(const Manifest& m, const BuildOptions& o, std::string* stub) {
    auto text = [](const std::optional<ManifestText>& t) -> std::optional<std::string> {
        std::string out;
        if (!t || !gbkToUtf8(t->gbk, &out)) return std::nullopt;
        return out;
    };
    std::string name;
    gbkToUtf8(m.productName.gbk, &name);
    const std::string problem =
        writeFileProperties(stub, productProperties(name, text(m.version), text(m.publisher)));
    if (!problem.empty())
        throw KpackError(o.stubName, 0,
                         "the stub's file properties cannot describe the product: " + problem);
}

// The first bytes of every stream, from which the deflate dictionary is
// chosen. A source that cannot be read gives none here; compressing it
// reports the error.
std::vector<std::vector<uint8_t>> sampleStreams(const PackagePlan& plan) {
    std::vector<std::vector<uint8_t>> samples;
    for (const PlannedStream& s : plan.streams) {
        std::vector<uint8_t> sample;
        if (s.bytes) {
            sample.assign(s.bytes->begin(),
                          s.bytes->begin() + std::min(s.bytes->size(), kDictionarySample));
        } else if (!s.source.empty() && s.size >= kDictionarySample) {
            sample.resize(kDictionarySample);
            std::ifstream in(s.source, std::ios::binary);
            if (!in.read(reinterpret_cast<char*>(sample.data()), kDictionarySample)) sample.clear();
        }
        samples.push_back(std::move(sample));
    }
    return samples;
}

}  // namespace

BuildSummary buildPackage(const BuildOptions& o) {
    const uint64_t largest =
        std::min<uint64_t>(o.largestPackage, std::numeric_limits<int32_t>::max());
    const Manifest manifest = readManifest(o.manifest, o.manifestName);
    PackagePlan plan = planPackage(manifest, o.checks);
    std::string stub = readStub(o);
    describeProduct(manifest, o, &stub);
    if (!o.uninstaller.empty()) addUninstaller(manifest, o.uninstaller, o.uninstallerName, &plan);

    std::vector<CompressJob> jobs;
    uint64_t originalBytes = 0;
    for (const PlannedStream& s : plan.streams) {
        originalBytes += s.size;
        CompressJob job;
        job.size = s.size;
        job.append = [&s, &manifest](std::vector<uint8_t>& text) {
            if (s.bytes) {
                text.insert(text.end(), s.bytes->begin(), s.bytes->end());
                return;
            }
            if (s.source.empty()) return;
            std::string error;
            if (!appendWholeFile(s.source, s.size, &text, &error))
                throw KpackError(manifest.file, s.line,
                                 "cannot read the source " + s.label + ": " + error);
        };
        jobs.push_back(std::move(job));
    }
    const bool deflate = o.deflate.value_or(manifest.deflate);
    std::vector<uint8_t> dictionary;
    if (deflate) dictionary = buildDictionary(sampleStreams(plan));
    std::vector<PackedStream> streams;
    {
        Progress progress(o.showProgress, static_cast<int>(jobs.size()), originalBytes);
        streams = compressAll(jobs, o.threads, &progress, deflate, &dictionary);
    }
    settleDictionary(streams, dictionary);

    // Streams lie back to back after the script, in plan order, after the
    // dictionary when there is one; offsets count from the record base,
    // where the first stream has offset 40.
    std::vector<int64_t> offsets;
    uint64_t at = format::kPackageHeaderSize + dictionary.size(), streamBytes = dictionary.size();
    for (const PackedStream& s : streams) {
        offsets.push_back(static_cast<int64_t>(at));
        at += s.bytes.size();
        streamBytes += s.bytes.size();
    }
    auto tooLarge = [&](uint64_t total) {
        return KpackError(o.manifestName, 0,
                          "the setup.exe would be " + std::to_string(total) +
                              " bytes or more; the setup's 32-bit signed offsets reach only " +
                              std::to_string(largest));
    };
    if (uint64_t(kPackageStart) + at > largest) throw tooLarge(uint64_t(kPackageStart) + at);
    // The pictures' streams come first, then one per record in record order;
    // a <NoneApp> marker has no stream.
    std::size_t next = 0;
    auto place = [&](ScriptRecord& record) {
        record.offset = offsets[next];
        record.length = static_cast<int64_t>(streams[next].bytes.size());
        record.codec = streams[next].codec;
        ++next;
    };
    for (ScriptRecord& picture : plan.script.pictures) place(picture);
    for (ScriptRecord& record : plan.script.records)
        if (!record.noneApp) place(record);
    // Checksums in the same order: the pictures', then the records'.
    for (const PackedStream& s : streams)
        plan.script.checksums.push_back(crc32(s.bytes.data(), s.bytes.size()));
    if (!dictionary.empty())
        plan.script.checksums.push_back(crc32(dictionary.data(), dictionary.size()));

    const std::string script = writeScript(plan.script);
    // The script must read back as the setup reads it; anything else is a
    // fault in kpack, and no setup.exe is written.
    ParsedScript check;
    const std::string problem = parseScript(script, &check);
    if (!problem.empty())
        throw KpackError(o.manifestName, 0,
                         "internal error: the script kpack wrote does not read back: " + problem);

    const std::vector<uint8_t> scriptStream =
        lzssEncode(reinterpret_cast<const uint8_t*>(script.data()), script.size());
    const uint64_t total =
        uint64_t(kPackageStart) + format::kPackageHeaderSize + scriptStream.size() + streamBytes;
    if (total > largest) throw tooLarge(total);
    const std::string header = packageHeader(
        static_cast<int64_t>(scriptStream.size()), countedRecords(plan.script),
        crc32(scriptStream.data(), scriptStream.size()), static_cast<int64_t>(dictionary.size()));

    // The output's folder is made only now, when nothing can stop the build
    // but the writing itself.
    std::error_code ec;
    const fs::path folder = o.output.parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec) && !fs::create_directories(folder, ec))
        throw KpackError(
            o.outputName, 0,
            "cannot make the output's folder " + pathToUtf8(folder) + ": " + ec.message());
    OutputFile out;
    std::string error;
    if (!out.open(o.output, &error))
        throw KpackError(o.outputName, 0, "cannot create the output: " + error);
    bool ok = out.write(stub.data(), stub.size()) && out.write(header.data(), header.size()) &&
              out.write(scriptStream.data(), scriptStream.size()) &&
              out.write(dictionary.data(), dictionary.size());
    for (const PackedStream& s : streams) ok = ok && out.write(s.bytes.data(), s.bytes.size());
    if (!ok) throw KpackError(o.outputName, 0, "cannot write the output (is the disk full?)");
    if (!out.commit(&error)) throw KpackError(o.outputName, 0, "cannot write the output: " + error);

    BuildSummary summary;
    summary.warnings = plan.warnings;
    summary.files = static_cast<int>(countedRecords(plan.script));
    summary.originalBytes = originalBytes;
    summary.streamBytes = streamBytes;
    summary.packageBytes = total;
    return summary;
}

}  // namespace kestrova::kpack
