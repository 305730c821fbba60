// Names for `--json`: a file name is bytes, and JSON text must be Unicode. A name that is valid
// UTF-8 is written as it is (quotes and control characters escaped by the JSON writer); one
// that is not is written with U+FFFD for each byte that does not belong to a character, and
// its exact bytes follow in base64 under the key with "Bytes" added, so no name is lost.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace arkivo::cli {

// object[key] = the name; object[key + "Bytes"] = its bytes in base64, when they are not UTF-8.
void PutName(nlohmann::ordered_json& object, const std::string& key, std::string_view bytes);

std::string Base64(std::string_view bytes);

}  // namespace arkivo::cli
