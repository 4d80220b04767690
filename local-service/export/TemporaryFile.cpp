#include "export/TemporaryFile.h"

#include "export/ExportError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unistd.h>

namespace localservice {

TemporaryFile::TemporaryFile(const std::string& suffix)
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        throw ExportError("no temporary folder: " + error.message());
    std::string pattern = (folder / ("sonvera-export-XXXXXX" + suffix)).string();
    const int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd < 0)
        throw ExportError("cannot create a temporary file in " + folder.string() + ": " + std::strerror(errno));
    ::close(fd);
    path_ = pattern;
}

TemporaryFile::~TemporaryFile()
{
    std::remove(path_.c_str());
}

std::string TemporaryFile::read() const
{
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        throw ExportError("cannot read back " + path_);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty())
        throw ExportError("the library wrote an empty file");
    return bytes;
}

} // namespace localservice
