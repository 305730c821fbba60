#include "settings/lang_ini.h"

#include <fstream>
#include <iterator>

#include "common/text.h"
#include "platform/codepage.h"
#include "settings/built_in_texts.h"
#include "settings/data_folder_lock.h"
#include "settings/ini_file.h"
#include "settings/ini_syntax.h"

namespace arkivo {
namespace {

constexpr std::string_view kWorkingCopyName = "Temp.ini";

template <typename Char>
std::basic_string_view<Char> WithoutCarriageReturn(std::basic_string_view<Char> line) {
    if (!line.empty() && line.back() == Char('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

}  // namespace

bool CLangIni::Open(const std::filesystem::path& path) {
    {
        std::lock_guard guard(m_lock);
        m_strPath = path;
    }
    return Reload();
}

bool CLangIni::Reload() {
    std::lock_guard guard(m_lock);
    std::error_code error;
    if (!std::filesystem::exists(m_strPath, error)) {
        return false;
    }
    std::ifstream in(m_strPath, std::ios::binary);
    if (!in) {
        m_strError = u"Unable to open file: \"" + m_strPath.u16string() + u"\"!!";
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::u16string section;

    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        const std::string_view content = std::string_view(bytes).substr(2);
        // The working copy is part of what other tools see; it is left in place.
        std::ofstream(std::filesystem::path(kWorkingCopyName), std::ios::binary | std::ios::trunc)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
        m_strUnicodeText.clear();
        for (std::size_t i = 0; i + 1 < content.size(); i += 2) {
            m_strUnicodeText.push_back(
                static_cast<char16_t>(static_cast<unsigned char>(content[i]) |
                                      (static_cast<unsigned char>(content[i + 1]) << 8)));
        }
        std::u16string_view rest = m_strUnicodeText;
        while (!rest.empty()) {
            const auto end = rest.find(u'\n');
            const auto line = WithoutCarriageReturn(rest.substr(0, end));
            ParseLine(line, line.size(), section);
            rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
        }
        return true;
    }

    std::string_view rest = bytes;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        rest.remove_prefix(3);
    }
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const auto line = WithoutCarriageReturn(rest.substr(0, end));
        // An over-long line is passed over unconverted: it is ignored whole.
        ParseLine(line.size() > kMaxIniLine ? std::u16string() : platform::AnsiToUtf16(line),
                  line.size(), section);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return true;
}

void CLangIni::ParseLine(std::u16string_view text, std::size_t storedLength,
                         std::u16string& currentSection) {
    const IniLine line = ClassifyIniLine(text, storedLength);
    if (line.kind == IniLineKind::Section) {
        currentSection = std::u16string(line.name);
    } else if (line.kind == IniLineKind::Entry) {
        SetValueLocked(currentSection, line.name, line.value, true);
    }
}

bool CLangIni::Reread() {
    std::lock_guard guard(m_lock);
    m_sections.clear();
    m_keys.clear();
    return Reload();
}

int CLangIni::FindSection(std::u16string_view name) const {
    std::lock_guard guard(m_lock);
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        if (m_sections[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CLangIni::FindKey(int section, std::u16string_view name) const {
    std::lock_guard guard(m_lock);
    if (section < 0 || static_cast<std::size_t>(section) >= m_keys.size()) {
        return -1;
    }
    const auto& names = m_keys[static_cast<std::size_t>(section)].names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::u16string CLangIni::GetValue(std::u16string_view section, std::u16string_view key) {
    std::lock_guard guard(m_lock);
    const int s = FindSection(section);
    if (s < 0) {
        m_strError = u"Unable to locate specified key: [" + std::u16string(section) + u"]";
        return {};
    }
    const int k = FindKey(s, key);
    if (k < 0) {
        m_strError = u"Unable to locate specified value: " + std::u16string(key) + u".";
        return {};
    }
    return m_keys[static_cast<std::size_t>(s)].values[static_cast<std::size_t>(k)];
}

std::u16string CLangIni::GetValue(const TextKey& text) {
    auto value = GetValue(text.section, text.key);
    return value.empty() ? BuiltInEnglishText(text) : value;
}

bool CLangIni::SetValue(std::u16string_view section, std::u16string_view key,
                        std::u16string_view value, bool create) {
    std::lock_guard guard(m_lock);
    return SetValueLocked(section, key, value, create);
}

bool CLangIni::SetValueLocked(std::u16string_view section, std::u16string_view key,
                              std::u16string_view value, bool create) {
    int s = FindSection(section);
    if (s < 0) {
        if (!create) {
            return false;
        }
        m_sections.emplace_back(section);
        m_keys.emplace_back();
        s = static_cast<int>(m_sections.size() - 1);
    }
    auto& entry = m_keys[static_cast<std::size_t>(s)];
    const int k = FindKey(s, key);
    if (k < 0) {
        if (!create) {
            return false;
        }
        entry.names.emplace_back(key);
        entry.values.emplace_back(value);
        return true;
    }
    entry.values[static_cast<std::size_t>(k)] = std::u16string(value);
    return true;
}

bool CLangIni::WriteValue(std::u16string_view section, std::optional<std::u16string_view> key,
                          std::optional<std::u16string_view> value) {
    const DataFolderLock folderLock(Path().parent_path());
    std::lock_guard guard(m_lock);
    m_writeError = EditIniFile(m_strPath, [&](IniDocument& document) -> std::error_code {
        if (!key) {
            document.RemoveSection(section);
        } else if (!value) {
            document.RemoveEntry(section, *key);
        } else {
            return document.SetEntry(section, *key, *value);
        }
        return {};
    });
    return !m_writeError;
}

bool CLangIni::WriteSection(std::u16string_view section,
                            const std::vector<std::pair<std::u16string, std::u16string>>& entries) {
    const DataFolderLock folderLock(Path().parent_path());
    std::lock_guard guard(m_lock);
    m_writeError = EditIniFile(m_strPath, [&](IniDocument& document) {
        return document.ReplaceSection(section, entries);
    });
    if (m_writeError) {
        return false;
    }
    ClearSection(FindSection(section));
    for (const auto& [name, value] : entries) {
        SetValueLocked(section, name, value, true);
    }
    return true;
}

std::error_code CLangIni::LastWriteError() const {
    std::lock_guard guard(m_lock);
    return m_writeError;
}

void CLangIni::ClearSection(int section) {
    std::lock_guard guard(m_lock);
    if (section < 0 || static_cast<std::size_t>(section) >= m_sections.size()) {
        return;
    }
    m_keys[static_cast<std::size_t>(section)] = key{};
    m_sections[static_cast<std::size_t>(section)].clear();
}

std::vector<std::pair<std::u16string, std::u16string>> CLangIni::SectionEntries(
    std::u16string_view section) const {
    std::lock_guard guard(m_lock);
    std::vector<std::pair<std::u16string, std::u16string>> entries;
    const int s = FindSection(section);
    if (s < 0) {
        return entries;
    }
    const auto& k = m_keys[static_cast<std::size_t>(s)];
    for (std::size_t i = 0; i < k.names.size(); ++i) {
        entries.emplace_back(k.names[i], k.values[i]);
    }
    return entries;
}

std::vector<std::u16string> CLangIni::SectionNames() const {
    std::lock_guard guard(m_lock);
    std::vector<std::u16string> names;
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        if (!m_sections[i].empty() || !m_keys[i].names.empty()) {
            names.push_back(m_sections[i]);
        }
    }
    return names;
}

std::u16string CLangIni::LastError() const {
    std::lock_guard guard(m_lock);
    return m_strError;
}

std::filesystem::path CLangIni::Path() const {
    std::lock_guard guard(m_lock);
    return m_strPath;
}

long long ReadNumber(CLangIni& store, std::u16string_view section, std::u16string_view key) {
    return ParseLeadingInt(store.GetValue(section, key));
}

bool StoreValue(CLangIni& store, std::u16string_view section, std::u16string_view key,
                std::u16string_view value) {
    store.SetValue(section, key, value, true);
    return store.WriteValue(section, key, value);
}

void RemoveSection(CLangIni& store, std::u16string_view section) {
    const int s = store.FindSection(section);
    if (s >= 0) {
        store.ClearSection(s);
    }
    store.WriteValue(section, std::nullopt, std::nullopt);
    store.Reload();
}

}  // namespace arkivo
