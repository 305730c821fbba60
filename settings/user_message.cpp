#include "settings/user_message.h"

#include "platform/error_text.h"
#include "platform/file_system.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

std::u16string FileAndReason(const std::filesystem::path& file, std::error_code error) {
    return platform::PathText(file) + u" (" + platform::ErrorText(error) + u")";
}

}  // namespace

std::u16string Resolve(CLangIni& language, const UserMessage& message) {
    if (!message.fixedText.empty()) {
        return message.fixedText + message.detail;
    }
    return language.GetValue(message.key) + message.detail;
}

UserMessage FileWriteFailure(const std::filesystem::path& file, std::error_code error) {
    return UserMessage::TextWith(text::FileWriteFailed, FileAndReason(file, error));
}

UserMessage FileReadFailure(const std::filesystem::path& file, std::error_code error) {
    return UserMessage::TextWith(text::FileReadFailed, FileAndReason(file, error));
}

}  // namespace arkivo
