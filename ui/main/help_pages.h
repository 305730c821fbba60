// The help page of each interface language.
#pragma once

#include <string_view>

namespace arkivo::ui {

inline std::u16string_view HelpPageAddress(int language) {
    switch (language) {
        case 1:
            return u"https://www.morrowen.example/arkivo/help/ja/";
        case 2:
            return u"https://www.morrowen.example/arkivo/help/ko/";
        default:
            return u"https://www.morrowen.example/arkivo/help/en/";
    }
}

}  // namespace arkivo::ui
