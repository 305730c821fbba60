#include "platform/error_text.h"

#include "common/text.h"

namespace arkivo::platform {

std::u16string ErrorText(std::error_code error) {
    return Utf8ToUtf16(error.message());
}

}  // namespace arkivo::platform
