// The archive check behind `arkivo verify` on any file: it never fails badly, calls nothing
// sound that it has not decoded, and costs no more than the entries declare.
#include "tests/fuzz/fuzz_files.h"
#include "zip/verify.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace arkivo;
    const auto path = fuzz::WriteScratchFile("archive.zip", fuzz::AsText(data, size));
    const zip::ArchiveVerdict verdict = zip::VerifyZipArchive(path);
    std::uint64_t declared = 0;
    for (const auto& entry : verdict.entries) {
        declared = entry.uncompressedSize > UINT64_MAX - declared
                       ? UINT64_MAX
                       : declared + entry.uncompressedSize;
        if (verdict.status == zip::ArchiveCheck::Ok) {
            fuzz::Require(entry.check == zip::EntryCheck::Ok, "a sound archive has a bad entry");
        }
    }
    // Each entry may decode at most one match or stored piece past what it declares.
    const std::uint64_t slack = (verdict.entries.size() + 1) * 65536;
    fuzz::Require(declared > UINT64_MAX - slack || verdict.decodedBytes <= declared + slack,
                  "decoded far past the declared sizes");
    return 0;
}
