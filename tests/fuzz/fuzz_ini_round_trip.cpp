// Writing into any INI file: an entry the editor accepts is what the reader then finds, and
// what the editor refuses leaves the file as it was. The input is a file, then, after the
// last two NUL bytes, a section, key and value separated by NUL bytes; each byte pair of
// those is one UTF-16 code unit, so any text can be asked for.
#include <string>
#include <vector>

#include "settings/ini_document.h"
#include "settings/lang_ini.h"
#include "tests/fuzz/fuzz_files.h"

namespace {

std::u16string CodeUnits(std::string_view bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return text;
}

std::vector<std::u16string> Fields(std::string_view bytes) {
    std::vector<std::u16string> fields;
    while (fields.size() < 2) {
        const auto end = bytes.find('\0');
        if (end == std::string_view::npos) {
            break;
        }
        fields.push_back(CodeUnits(bytes.substr(0, end)));
        bytes.remove_prefix(end + 1);
    }
    fields.push_back(CodeUnits(bytes));
    fields.resize(3);
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace arkivo;
    const std::string_view input = fuzz::AsText(data, size);
    const auto split = input.rfind(std::string_view("\0\0", 2));
    const std::string_view file = split == std::string_view::npos ? input : input.substr(0, split);
    const std::string_view asked =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 2);
    const auto fields = Fields(asked);
    const std::u16string& section = fields[0];
    const std::u16string& key = fields[1];
    const std::u16string& value = fields[2];

    IniDocument document(file);
    const std::string before = document.Bytes();
    if (document.SetEntry(section, key, value)) {
        fuzz::Require(document.Bytes() == before, "a refused entry changed the file");
        return 0;
    }
    const std::string written = document.Bytes();
    const auto path = fuzz::WriteScratchFile("written.ini", written);
    CLangIni store;
    fuzz::Require(store.Open(path), "the reader cannot open a written file");
    fuzz::Require(store.FindKey(store.FindSection(section), key) >= 0,
                  "the reader does not find a written key");
    fuzz::Require(store.GetValue(section, key) == value, "the reader finds another value");
    fuzz::Require(IniDocument(written).SectionEntries(section) == document.SectionEntries(section),
                  "the written file reads back to another section");
    return 0;
}
