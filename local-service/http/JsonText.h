#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace localservice {

// Writes JSON straight into text, the same text nlohmann::json's dump()
// writes for the same values, without building the values first: long lists
// of patients and records are answered this way. dump() orders an object's
// members by name; callers give them in that order.
class JsonText
{
public:
    JsonText& beginObject() { return open('{'); }
    JsonText& endObject() { return close('}'); }
    JsonText& beginArray() { return open('['); }
    JsonText& endArray() { return close(']'); }
    JsonText& key(std::string_view name);

    // Text that is not UTF-8 throws the error dump() throws for it.
    JsonText& string(std::string_view text);
    JsonText& number(std::int64_t value);
    JsonText& boolean(bool value);
    JsonText& null();
    // A value written already, by another JsonText.
    JsonText& written(std::string_view json);

    const std::string& text() const { return m_text; }
    std::string take() { return std::move(m_text); }

private:
    void beforeValue();
    JsonText& open(char bracket);
    JsonText& close(char bracket);

    std::string m_text;
    bool m_afterValue = false;
};

} // namespace localservice
