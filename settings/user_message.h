// A message for the user: an interface text looked up in the chosen language, or one of the
// coded texts that read the same in every language. A detail (a file name and the system's
// reason, job numbers) may follow the text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "settings/text_keys.h"

namespace arkivo {

class CLangIni;

struct UserMessage {
    TextKey key{};
    std::u16string fixedText;
    std::u16string detail;

    static UserMessage Text(const TextKey& key) { return {key, {}, {}}; }
    static UserMessage TextWith(const TextKey& key, std::u16string detail) {
        return {key, {}, std::move(detail)};
    }
    static UserMessage Fixed(std::u16string_view text) { return {{}, std::u16string(text), {}}; }

    bool IsText(const TextKey& other) const {
        return fixedText.empty() && key.section == other.section && key.key == other.key;
    }
};

std::u16string Resolve(CLangIni& language, const UserMessage& message);

// "This file could not be written: <file> (<the system's reason>)", and the same for reading.
UserMessage FileWriteFailure(const std::filesystem::path& file, std::error_code error);
UserMessage FileReadFailure(const std::filesystem::path& file, std::error_code error);

}  // namespace arkivo
