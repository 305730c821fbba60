#include "platform/posix/ftp/pwd_reply.h"

namespace arkivo::platform::ftp {

std::optional<std::string> ParsePwdReply(std::string_view text) {
    auto at = text.find('"');
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    std::string folder;
    for (++at; at < text.size(); ++at) {
        if (text[at] != '"') {
            folder.push_back(text[at]);
        } else if (at + 1 < text.size() && text[at + 1] == '"') {
            folder.push_back('"');
            ++at;
        } else {
            return folder.empty() ? std::nullopt : std::optional(folder);
        }
    }
    return std::nullopt;
}

}  // namespace arkivo::platform::ftp
