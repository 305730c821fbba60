#include "platform/local_names.h"

namespace arkivo::platform {

bool CanNameLocalFile(std::u16string_view name) {
    return !WindowsCannotName(name);
}

}  // namespace arkivo::platform
