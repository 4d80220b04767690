#pragma once

#include <string>

namespace localservice {

// A file of our own in the system's temporary folder, removed whatever
// happens: the spreadsheet library writes only to files, and exports may run
// on several threads at once. Failures throw ExportError.
class TemporaryFile
{
public:
    // Created empty, its name ending in the suffix.
    explicit TemporaryFile(const std::string& suffix);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    // The whole file; an empty one is a failure too.
    std::string read() const;

private:
    std::string path_;
};

} // namespace localservice
