// What a server offers beyond the base protocol, from its answer to FEAT: one feature per line,
// each line starting with a space (" MLST type*;size*;modify*;", " UTF8", " EPSV").
#pragma once

#include <string>
#include <vector>

namespace arkivo::platform::ftp {

struct ServerFeatures {
    bool mlst = false;  // MLST, and with it MLSD: listings with exact UTC times
    bool utf8 = false;
    bool epsv = false;
    bool eprt = false;
};

// The features named in a FEAT reply's lines (the first and the last line name none).
ServerFeatures ParseFeatures(const std::vector<std::string>& replyLines);

}  // namespace arkivo::platform::ftp
