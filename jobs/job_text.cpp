#include "jobs/job_text.h"

#include "jobs/job_record.h"

namespace arkivo {

std::optional<TextKey> CheckJobText(std::u16string_view text) {
    if (text.find(u',') != std::u16string_view::npos) {
        return text::RootCommaInText;
    }
    if (text.size() > kMaxJobText) {
        return text::RootTextTooLong;
    }
    return std::nullopt;
}

}  // namespace arkivo
