// The INI reader on any bytes, read as an 8-bit file and, behind a byte-order mark, as a
// UTF-16 one: it never fails badly, and the editor's view of every section is the reader's.
#include <string>

#include "settings/ini_document.h"
#include "settings/lang_ini.h"
#include "tests/fuzz/fuzz_files.h"

namespace {

void CheckBothAgree(const std::string& bytes) {
    const auto path = arkivo::fuzz::WriteScratchFile("read.ini", bytes);
    arkivo::CLangIni store;
    arkivo::fuzz::Require(store.Open(path), "the reader cannot open an existing file");
    const arkivo::IniDocument document(bytes);
    for (const auto& section : store.SectionNames()) {
        arkivo::fuzz::Require(store.SectionEntries(section) == document.SectionEntries(section),
                              "the reader and the editor see a section differently");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(arkivo::fuzz::AsText(data, size));
    CheckBothAgree(bytes);
    CheckBothAgree("\xFF\xFE" + bytes);
    return 0;
}
