#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace localservice {

// Standard Base64 with padding.
std::string encodeBase64(std::string_view bytes);

// Strict decoding of standard Base64: padding optional, no white space, no
// other characters. Empty input gives an empty string; anything malformed
// gives nullopt.
std::optional<std::string> decodeBase64(std::string_view text);

} // namespace localservice
