#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Texts measured, cut and named the way Excel counts them: in UTF-16 units.
namespace localservice::excel {

// Excel's limit of one cell's text.
constexpr std::size_t MaxCellTextUnits = 32767;

std::size_t utf16Length(const std::string& text);
// Cuts text to at most maxUnits UTF-16 units without splitting a character.
std::string truncateUtf16(const std::string& text, std::size_t maxUnits);

// Sheet names Excel and the library accept, one per wanted name, in order:
// forbidden characters replaced, cut to 31 units, no apostrophe at either
// end, "SheetN" for an empty one, and no two alike without regard to case.
// Translations are not trusted to respect this.
std::vector<std::string> sheetNames(const std::vector<std::string>& wanted);

} // namespace localservice::excel
