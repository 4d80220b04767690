#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace localservice {

// Lower case for comparisons that ignore case: ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic, which covers the names practitioners type.
// Other characters pass unchanged; invalid UTF-8 bytes pass unchanged too.
std::string foldCase(std::string_view utf8);

bool isValidUtf8(std::string_view bytes);

// Number of code points (for length limits); invalid bytes count one each.
size_t utf8Length(std::string_view utf8);

// Every distinct run of one or two code points in the text, in no particular
// order: a needle that short is in the text exactly when it is one of them.
std::vector<std::string_view> shortRuns(std::string_view utf8);

// The runs as words of lower-case hexadecimal digits, separated by spaces:
// words that any tokenizer keeps whole, whatever characters the runs hold.
std::string hexWords(const std::vector<std::string_view>& runs);

} // namespace localservice
