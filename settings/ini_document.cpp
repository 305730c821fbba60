#include "settings/ini_document.h"

#include <algorithm>
#include <optional>

#include "platform/codepage.h"
#include "settings/ini_syntax.h"

namespace arkivo {
namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string Utf16Bytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string Utf16Text(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return text;
}

bool IsBlank(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char16_t c) { return c == u' ' || c == u'\t'; });
}

}  // namespace

IniDocument::IniDocument(std::string_view bytes) {
    utf16_ = bytes.substr(0, 2) == kUtf16Mark;
    if (utf16_) {
        prefix_ = kUtf16Mark;
        bytes.remove_prefix(2);
        if (bytes.size() % 2 != 0) {
            tail_ = bytes.substr(bytes.size() - 1);
            bytes.remove_suffix(1);
        }
    } else if (bytes.substr(0, 3) == kUtf8Mark) {
        prefix_ = kUtf8Mark;
        bytes.remove_prefix(3);
    }
    const std::string lineFeed = utf16_ ? std::string("\n\0", 2) : "\n";
    const std::string carriageReturn = utf16_ ? std::string("\r\0", 2) : "\r";
    const std::size_t unit = utf16_ ? 2 : 1;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes.substr(end, unit) != lineFeed) {
            end += unit;
        }
        Line line;
        line.stored = bytes.substr(start, end - start);
        line.end = end < bytes.size() ? lineFeed : "";
        // As the reader does, a carriage return before the line feed (or the end) is no text.
        if (line.stored.size() >= unit &&
            line.stored.compare(line.stored.size() - unit, unit, carriageReturn) == 0) {
            line.stored.resize(line.stored.size() - unit);
            line.end = carriageReturn + line.end;
        }
        if (StoredLength(line) <= kMaxIniLine) {
            line.text = utf16_ ? Utf16Text(line.stored) : platform::AnsiToUtf16(line.stored);
        }
        lines_.push_back(std::move(line));
        start = end + unit;
    }
}

std::string IniDocument::Bytes() const {
    std::string bytes = prefix_;
    for (const auto& line : lines_) {
        bytes += line.stored;
        bytes += line.end;
    }
    return bytes + tail_;
}

std::size_t IniDocument::StoredLength(const Line& line) const {
    return utf16_ ? line.stored.size() / 2 : line.stored.size();
}

std::vector<IniDocument::Block> IniDocument::BlocksOf(std::u16string_view section) const {
    std::vector<Block> blocks;
    bool inside = section.empty();
    std::size_t header = std::string::npos;
    auto close = [&](std::size_t end) {
        if (inside) {
            blocks.push_back({header, header == std::string::npos ? 0 : header + 1, end});
        }
    };
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const IniLine line = ClassifyIniLine(lines_[i].text, StoredLength(lines_[i]));
        if (line.kind == IniLineKind::Section) {
            close(i);
            inside = line.name == section;
            header = i;
        }
    }
    close(lines_.size());
    return blocks;
}

std::error_code IniDocument::MakeLine(std::u16string_view text, Line& line) {
    std::optional<std::string> ansi;
    if (!utf16_ && !(ansi = platform::Utf16ToAnsi(text))) {
        BecomeUtf16();
    }
    if (utf16_) {
        line.stored = Utf16Bytes(text);
        line.end = Utf16Bytes(u"\r\n");
    } else {
        line.stored = std::move(*ansi);
        line.end = "\r\n";
    }
    if (StoredLength(line) > kMaxIniLine) {
        return std::make_error_code(std::errc::value_too_large);
    }
    line.text = text;
    return {};
}

void IniDocument::BecomeUtf16() {
    for (auto& line : lines_) {
        const std::u16string text = platform::AnsiToUtf16(line.stored);
        line.stored = Utf16Bytes(text);
        line.end = Utf16Bytes(std::u16string(line.end.begin(), line.end.end()));
        // A line too long in bytes may be short enough in UTF-16 units: judged anew.
        line.text = text.size() <= kMaxIniLine ? text : std::u16string();
    }
    prefix_ = kUtf16Mark;
    utf16_ = true;
}

// Only a line feed ends a line for the reader; a last line may have none, or a lone CR.
void IniDocument::EndLine(std::size_t index) {
    Line& line = lines_[index];
    const std::string lineFeed = utf16_ ? Utf16Bytes(u"\n") : "\n";
    if (line.end.find(lineFeed) == std::string::npos) {
        line.end = utf16_ ? Utf16Bytes(u"\r\n") : "\r\n";
    }
}

std::error_code IniDocument::SetEntry(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view value) {
    if (!IsStorableSectionName(section) || !IsStorableKey(key) || !IsStorableValue(value)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const std::u16string entryText = std::u16string(key) + u"=" + std::u16string(value);
    Line entry;
    if (auto error = MakeLine(entryText, entry)) {
        return error;
    }
    const auto blocks = BlocksOf(section);
    // The reader keeps a key's last value: that is the line to change.
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        for (std::size_t i = block->end; i-- > block->begin;) {
            const IniLine line = ClassifyIniLine(lines_[i].text, StoredLength(lines_[i]));
            if (line.kind == IniLineKind::Entry && line.name == key) {
                entry.end = lines_[i].end;
                lines_[i] = std::move(entry);
                return {};
            }
        }
    }
    const auto first = std::find_if(blocks.begin(), blocks.end(), [](const Block& block) {
        return block.header != std::string::npos;
    });
    if (first == blocks.end()) {
        Line header;
        if (auto error = MakeLine(u"[" + std::u16string(section) + u"]", header)) {
            return error;
        }
        // The header may have turned the file into UTF-16: the entry is made again in the
        // file's encoding.
        if (auto error = MakeLine(entryText, entry)) {
            return error;
        }
        if (!lines_.empty()) {
            EndLine(lines_.size() - 1);
        }
        lines_.push_back(std::move(header));
        lines_.push_back(std::move(entry));
        return {};
    }
    std::size_t at = first->end;
    while (at > first->begin && IsBlank(lines_[at - 1].text) &&
           StoredLength(lines_[at - 1]) <= kMaxIniLine) {
        --at;
    }
    EndLine(at - 1);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    return {};
}

void IniDocument::RemoveEntry(std::u16string_view section, std::u16string_view key) {
    const auto blocks = BlocksOf(section);
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        for (std::size_t i = block->end; i-- > block->begin;) {
            const IniLine line = ClassifyIniLine(lines_[i].text, StoredLength(lines_[i]));
            if (line.kind == IniLineKind::Entry && line.name == key) {
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
}

void IniDocument::RemoveSection(std::u16string_view section) {
    const auto blocks = BlocksOf(section);
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        if (block->header == std::string::npos) {
            // The lines before the first header have no header to remove: only their entries.
            for (std::size_t i = block->end; i-- > block->begin;) {
                if (ClassifyIniLine(lines_[i].text, StoredLength(lines_[i])).kind ==
                    IniLineKind::Entry) {
                    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
                }
            }
        } else {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(block->header),
                         lines_.begin() + static_cast<std::ptrdiff_t>(block->end));
        }
    }
}

std::error_code IniDocument::ReplaceSection(std::u16string_view section, const Entries& entries) {
    IniDocument changed = *this;
    changed.RemoveSection(section);
    for (const auto& [key, value] : entries) {
        if (auto error = changed.SetEntry(section, key, value)) {
            return error;
        }
    }
    *this = std::move(changed);
    return {};
}

IniDocument::Entries IniDocument::SectionEntries(std::u16string_view section) const {
    Entries entries;
    for (const auto& block : BlocksOf(section)) {
        for (std::size_t i = block.begin; i < block.end; ++i) {
            const IniLine line = ClassifyIniLine(lines_[i].text, StoredLength(lines_[i]));
            if (line.kind != IniLineKind::Entry) {
                continue;
            }
            const auto found = std::find_if(entries.begin(), entries.end(), [&line](const auto& e) {
                return e.first == line.name;
            });
            if (found == entries.end()) {
                entries.emplace_back(line.name, line.value);
            } else {
                found->second = line.value;
            }
        }
    }
    return entries;
}

}  // namespace arkivo
