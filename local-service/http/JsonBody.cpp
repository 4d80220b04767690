#include "http/JsonBody.h"

namespace localservice {

namespace {

// The nesting and the number of values, counted over the text without
// building anything. Brackets and commas inside strings don't count; a text
// that isn't JSON at all is left to the parser to refuse.
const char* shapeProblem(std::string_view text)
{
    int depth = 0;
    std::size_t values = 1;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            break;
        case '[':
        case '{':
            if (++depth > MaxJsonDepth)
                return "jsonTooDeep";
            break;
        case ']':
        case '}':
            --depth;
            break;
        case ',':
            if (++values > MaxJsonValues)
                return "jsonTooLarge";
            break;
        default:
            break;
        }
    }
    return nullptr;
}

} // namespace

JsonBody parseJsonBody(std::string_view text)
{
    if (const char* problem = shapeProblem(text))
        return {std::nullopt, problem};
    nlohmann::json parsed = nlohmann::json::parse(text, nullptr, false);
    if (parsed.is_discarded())
        return {std::nullopt, "malformedJson"};
    return {std::move(parsed), {}};
}

} // namespace localservice
