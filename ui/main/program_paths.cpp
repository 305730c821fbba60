#include "ui/main/program_paths.h"

namespace arkivo::ui {
namespace {

constexpr std::size_t kMaxModulePath = 255;

}  // namespace

std::u16string ProgramFolderOf(std::u16string_view executablePath) {
    const auto path = executablePath.substr(0, kMaxModulePath);
    const auto slash = path.find_last_of(u'\\');
    return std::u16string(slash == std::u16string_view::npos ? path.substr(0, 0)
                                                             : path.substr(0, slash + 1));
}

}  // namespace arkivo::ui
