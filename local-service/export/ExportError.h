#pragma once

#include <stdexcept>

namespace localservice {

// A step of the spreadsheet export that failed; its text goes to the log.
class ExportError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace localservice
