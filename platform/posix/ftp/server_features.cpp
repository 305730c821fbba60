#include "platform/posix/ftp/server_features.h"

#include <string_view>

#include "platform/posix/ftp/list_fields.h"

namespace arkivo::platform::ftp {
ServerFeatures ParseFeatures(const std::vector<std::string>& replyLines) {
    ServerFeatures features;
    for (std::size_t i = 1; i + 1 < replyLines.size(); ++i) {
        std::string_view line = replyLines[i];
        if (line.empty() || line.front() != ' ') {
            continue;
        }
        line.remove_prefix(1);
        const std::string_view name = line.substr(0, line.find(' '));
        features.mlst |= SameLetters(name, "MLST");
        features.utf8 |= SameLetters(name, "UTF8");
        features.epsv |= SameLetters(name, "EPSV");
        features.eprt |= SameLetters(name, "EPRT");
    }
    return features;
}

}  // namespace arkivo::platform::ftp
