// Browsing the folders of an FTP server, as the FTP location dialog and "arkivo ftp ls" do: what
// the user typed as the server, the sub-folders a folder offers, and the location text a chosen
// folder becomes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/ftp_client.h"

namespace arkivo::engine {

struct TypedServer {
    std::u16string host;
    // From the first "/" after the host on ("/a/b"); empty when none was typed.
    std::u16string folder;
};

// What the user typed in a server field: a leading "ftp://" (any case) is dropped, so that a
// pasted location still names its host, and the host ends at the first "/".
TypedServer ParseTypedServer(std::u16string_view typed);

// A port typed as a decimal number from 1 to 65535; nothing for any other text, so that a typo
// never becomes port 0 or a port cut to 16 bits.
std::optional<std::uint16_t> ParsePort(std::u16string_view typed);

// The entries in name order (UTF-16 code units): servers list in the folder's own order,
// which is no order to read.
void SortByName(std::vector<platform::FtpEntry>& entries);

// The names of the folders in the remote folder, in name order. Left out: files and links,
// names starting with "." (hidden, and the folder itself and its parent), and names that
// could lead elsewhere than the server meant (platform::FtpEntry::HasSafeName).
std::error_code ListSubfolders(platform::FtpConnection& connection, const std::u16string& folder,
                               std::vector<std::u16string>& names);

// A folder's sub-folders, each with its own sub-folders: enough for a tree to show every
// folder with an expand button when it has something to expand.
struct FolderLevel {
    std::vector<std::u16string> names;
    std::vector<std::vector<std::u16string>> subfolders;  // one list for each name
};

// Lists the folder and each of its sub-folders. A sub-folder that cannot be listed (no right
// to) shows as one with nothing inside; only a failure of the folder itself, or one that ends
// the session, fails the whole level.
std::error_code ListFolderLevel(platform::FtpConnection& connection, const std::u16string& folder,
                                FolderLevel& level);

// The remote path of a folder from its chain of names, the top folder first: {"b", "a"} is
// "/b/a", no names is the root "/".
std::u16string RemotePath(const std::vector<std::u16string>& names);

// What a location field holds after the "ftp://": the host followed by the remote path.
std::u16string LocationText(std::u16string_view host, std::u16string_view remotePath);

}  // namespace arkivo::engine
