#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace localservice {

// The limits of a request's JSON. The client sends objects a few levels deep
// with some thousands of values at most; a parsed value takes tens of bytes,
// and each level of nesting far more, so these keep a body of any shape
// within a small multiple of its size while it is parsed.
constexpr int MaxJsonDepth = 32;
constexpr std::size_t MaxJsonValues = 100000;

// A request body read as JSON: the parsed value, or the message key of why
// it was refused. Too deep or too many values is found by a pass over the
// text before anything is built.
struct JsonBody
{
    std::optional<nlohmann::json> value;
    std::string problem;
};
JsonBody parseJsonBody(std::string_view text);

} // namespace localservice
