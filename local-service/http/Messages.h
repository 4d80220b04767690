#pragma once

#include <string>
#include <vector>

namespace localservice {

// The service's texts, in English and Russian, by key. "%1", "%2" take the
// arguments. An unknown key gives the key itself, so a missing text shows
// up in tests instead of vanishing. Arguments longer than 100 characters are
// cut short with an ellipsis.
std::string message(const std::string& key, const std::string& language, const std::vector<std::string>& args = {});

// The text, or its first 100 characters and an ellipsis.
std::string quotedShort(const std::string& text);

// "ru" for an Accept-Language that asks for Russian first, else "en".
std::string languageOf(const std::string& acceptLanguage);

} // namespace localservice
