#include "http/JsonText.h"

#include "storage/TextFolding.h"

#include <nlohmann/json.hpp>

namespace localservice {

void JsonText::beforeValue()
{
    if (m_afterValue)
        m_text += ',';
    m_afterValue = true;
}

JsonText& JsonText::open(char bracket)
{
    beforeValue();
    m_text += bracket;
    m_afterValue = false;
    return *this;
}

JsonText& JsonText::close(char bracket)
{
    m_text += bracket;
    m_afterValue = true;
    return *this;
}

JsonText& JsonText::key(std::string_view name)
{
    string(name);
    m_text += ':';
    m_afterValue = false;
    return *this;
}

JsonText& JsonText::string(std::string_view text)
{
    if (!isValidUtf8(text)) {
        // dump() refuses it; so does this, with the same error.
        (void)nlohmann::json(std::string(text)).dump();
    }
    beforeValue();
    m_text += '"';
    static const char hex[] = "0123456789abcdef";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            m_text += "\\\"";
            break;
        case '\\':
            m_text += "\\\\";
            break;
        case '\b':
            m_text += "\\b";
            break;
        case '\f':
            m_text += "\\f";
            break;
        case '\n':
            m_text += "\\n";
            break;
        case '\r':
            m_text += "\\r";
            break;
        case '\t':
            m_text += "\\t";
            break;
        default:
            if (byte < 0x20) {
                m_text += "\\u00";
                m_text += hex[byte >> 4];
                m_text += hex[byte & 0xF];
            } else {
                m_text += c;
            }
        }
    }
    m_text += '"';
    return *this;
}

JsonText& JsonText::number(std::int64_t value)
{
    beforeValue();
    m_text += std::to_string(value);
    return *this;
}

JsonText& JsonText::boolean(bool value)
{
    beforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonText& JsonText::null()
{
    beforeValue();
    m_text += "null";
    return *this;
}

JsonText& JsonText::written(std::string_view json)
{
    beforeValue();
    m_text += json;
    return *this;
}

} // namespace localservice
