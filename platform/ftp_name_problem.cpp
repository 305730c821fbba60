#include "platform/ftp_name_problem.h"

#include "common/text.h"

namespace arkivo::platform {

FtpNameProblem NameProblemOf(std::string_view name) {
    if (name == "." || name == "..") {
        return FtpNameProblem::DotName;
    }
    if (name.find('\0') != std::string_view::npos) {
        return FtpNameProblem::Nul;
    }
    if (name.find_first_of("/\\") != std::string_view::npos) {
        return FtpNameProblem::Separator;
    }
    if (Utf16ToUtf8(Utf8ToUtf16(name)) != name) {
        return FtpNameProblem::NotUtf8;
    }
    return FtpNameProblem::None;
}

}  // namespace arkivo::platform
