// An INI file's bytes as lines that can be changed one entry or section at a time. Lines that
// are not touched keep their bytes and their line ends; a file with a UTF-16 byte-order mark
// stays UTF-16, an 8-bit file stays in the ANSI code page (UTF-8 on POSIX) until it must hold
// text that code page cannot: then the whole file becomes UTF-16 with a byte-order mark, which
// every reader of these files reads, rather than losing the text. New lines end in CR LF. Every
// change is judged by the reader's line syntax (settings/ini_syntax.h), so the reader finds exactly
// what was written.
#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace arkivo {

class IniDocument {
  public:
    using Entries = std::vector<std::pair<std::u16string, std::u16string>>;

    explicit IniDocument(std::string_view bytes);

    std::string Bytes() const;

    // Sets the key's value where the reader takes it from; a new key joins the section's first
    // block after its last non-blank line, a new section goes to the end of the file.
    // std::errc::invalid_argument for a name or value the reader would not get back,
    // and std::errc::value_too_large for a line longer than the reader reads.
    std::error_code SetEntry(std::u16string_view section, std::u16string_view key,
                             std::u16string_view value);

    // Removes every line that gives the key a value in the section.
    void RemoveEntry(std::u16string_view section, std::u16string_view key);

    // Removes every block of the section, headers included.
    void RemoveSection(std::u16string_view section);

    // The section as one block at the end of the file, holding exactly these entries in this
    // order (none: the section is removed). Errors as for SetEntry; nothing changes then.
    std::error_code ReplaceSection(std::u16string_view section, const Entries& entries);

    // The section's entries as the reader reads them: in order of first appearance, each
    // with its last value.
    Entries SectionEntries(std::u16string_view section) const;

  private:
    struct Line {
        std::string stored;  // the bytes before the line end
        std::string end;     // the line end's bytes: CR LF, LF, or none on a last line
        std::u16string text;
    };

    // Lines [begin, end) of one block of a section; header is the block's header line, or
    // npos for the lines before the first header.
    struct Block {
        std::size_t header;
        std::size_t begin;
        std::size_t end;
    };

    std::size_t StoredLength(const Line& line) const;
    std::vector<Block> BlocksOf(std::u16string_view section) const;
    std::error_code MakeLine(std::u16string_view text, Line& line);
    void BecomeUtf16();
    void EndLine(std::size_t index);

    bool utf16_ = false;
    std::string prefix_;  // a byte-order mark
    std::string tail_;    // an odd last byte of a UTF-16 file
    std::vector<Line> lines_;
};

}  // namespace arkivo
