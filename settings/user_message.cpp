#include "settings/user_message.h"

#include "settings/lang_ini.h"

namespace arkivo {

std::u16string Resolve(CLangIni& language, const UserMessage& message) {
    if (!message.fixedText.empty()) {
        return message.fixedText;
    }
    return language.GetValue(message.key);
}

}  // namespace arkivo
