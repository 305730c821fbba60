#include "engine/remote_folders.h"

#include <algorithm>

namespace arkivo::engine {
namespace {

constexpr std::u16string_view kScheme = u"ftp://";

bool StartsWithScheme(std::u16string_view text) {
    if (text.size() < kScheme.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kScheme.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
        if (c != kScheme[i]) {
            return false;
        }
    }
    return true;
}

bool IsOffered(const platform::FtpEntry& entry) {
    return entry.IsFolder() && entry.HasSafeName() && !entry.name.empty() &&
           entry.name.front() != u'.';
}

}  // namespace

TypedServer ParseTypedServer(std::u16string_view typed) {
    if (StartsWithScheme(typed)) {
        typed.remove_prefix(kScheme.size());
    }
    const auto slash = typed.find(u'/');
    if (slash == std::u16string_view::npos) {
        return {std::u16string(typed), {}};
    }
    return {std::u16string(typed.substr(0, slash)), std::u16string(typed.substr(slash))};
}

std::optional<std::uint16_t> ParsePort(std::u16string_view typed) {
    constexpr std::uint32_t kHighest = 65535;
    if (typed.empty()) {
        return std::nullopt;
    }
    std::uint32_t port = 0;
    for (const char16_t c : typed) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        port = port * 10 + static_cast<std::uint32_t>(c - u'0');
        if (port > kHighest) {
            return std::nullopt;
        }
    }
    if (port == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(port);
}

void SortByName(std::vector<platform::FtpEntry>& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
}

std::error_code ListSubfolders(platform::FtpConnection& connection, const std::u16string& folder,
                               std::vector<std::u16string>& names) {
    names.clear();
    platform::FtpListing listing;
    if (auto error = connection.List(folder, listing)) {
        return error;
    }
    SortByName(listing.entries);
    for (auto& entry : listing.entries) {
        if (IsOffered(entry)) {
            names.push_back(std::move(entry.name));
        }
    }
    return {};
}

std::error_code ListFolderLevel(platform::FtpConnection& connection, const std::u16string& folder,
                                FolderLevel& level) {
    level = {};
    if (auto error = ListSubfolders(connection, folder, level.names)) {
        return error;
    }
    const std::u16string prefix = folder.ends_with(u'/') ? folder : folder + u'/';
    for (const auto& name : level.names) {
        auto& inside = level.subfolders.emplace_back();
        if (auto error = ListSubfolders(connection, prefix + name, inside);
            error && !connection.IsConnected()) {
            level = {};
            return error;
        }
    }
    return {};
}

std::u16string RemotePath(const std::vector<std::u16string>& names) {
    if (names.empty()) {
        return u"/";
    }
    std::u16string path;
    for (const auto& name : names) {
        path += u'/';
        path += name;
    }
    return path;
}

std::u16string LocationText(std::u16string_view host, std::u16string_view remotePath) {
    std::u16string text(host);
    text += remotePath;
    return text;
}

}  // namespace arkivo::engine
