#pragma once

#include <string>
#include <string_view>

namespace localservice {

// A complete gzip stream (RFC 1952 wrapper) of the bytes.
std::string gzipCompress(std::string_view bytes);

} // namespace localservice
