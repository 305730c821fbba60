#include "platform/local_names.h"

namespace arkivo::platform {

// Any name without "/" and NUL is a name here; one too long for the file system fails when
// the file is made, and is reported then.
bool CanNameLocalFile(std::u16string_view name) {
    return !name.empty();
}

}  // namespace arkivo::platform
